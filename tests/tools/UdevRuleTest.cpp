// The udev rule, evaluated against the devices udev would see. udevadm cannot test a rule
// here without the device, so the test reads the rule file and runs it through a small
// evaluator of the rule language's parts the rule may use; a key outside them fails the
// test rather than being guessed at.
//
// As udev does: match keys are ANDed; the parent keys of one rule (SUBSYSTEMS, KERNELS,
// DRIVERS, ATTRS) must all match on one device of the chain from the device itself upwards;
// ENV assignments are seen by the rules after them; GOTO jumps forward to its LABEL.
#include <fnmatch.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Device {
    std::string subsystem;
    std::string kernel;
    std::string driver;
    std::map<std::string, std::string> attrs;
};

struct Event {
    std::string action = "add";
    std::vector<Device> chain;  // the device, then its parents up to the root
};

struct Outcome {
    std::map<std::string, std::string> env;
    std::set<std::string> tags;
    std::vector<std::string> modes;  // every MODE assigned
};

struct Key {
    std::string name;  // "ATTRS"
    std::string arg;   // "idVendor" for ATTRS{idVendor}
    std::string op;
    std::string value;
};

using Rule = std::vector<Key>;

std::vector<Rule> parseRules(const std::string& text) {
    static const std::regex keyPattern(
        R"re(\s*([A-Z_]+)(?:\{([^}]*)\})?\s*(==|!=|\+=|-=|:=|=)\s*"([^"]*)"\s*(,|$))re");
    std::vector<Rule> rules;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        Rule rule;
        auto begin = line.cbegin();
        std::smatch m;
        while (begin != line.cend() && std::regex_search(begin, line.cend(), m, keyPattern,
                                                         std::regex_constants::match_continuous)) {
            rule.push_back({m[1], m[2], m[3], m[4]});
            begin = m[0].second;
        }
        EXPECT_TRUE(begin == line.cend()) << "cannot read rule line: " << line;
        rules.push_back(std::move(rule));
    }
    return rules;
}

// A udev pattern: shell glob, with "|" between alternatives.
bool matchesPattern(const std::string& value, const std::string& pattern) {
    std::size_t at = 0;
    for (;;) {
        const std::size_t bar = pattern.find('|', at);
        const std::string alternative = pattern.substr(at, bar == std::string::npos ? bar : bar - at);
        if (::fnmatch(alternative.c_str(), value.c_str(), 0) == 0) return true;
        if (bar == std::string::npos) return false;
        at = bar + 1;
    }
}

bool compare(const std::string& value, const Key& key) {
    const bool hit = matchesPattern(value, key.value);
    if (key.op == "==") return hit;
    if (key.op == "!=") return !hit;
    ADD_FAILURE() << key.name << " with operator " << key.op << " is not a match";
    return false;
}

bool isParentKey(const std::string& name) {
    return name == "SUBSYSTEMS" || name == "KERNELS" || name == "DRIVERS" || name == "ATTRS";
}

std::optional<std::string> parentValue(const Device& d, const Key& key) {
    if (key.name == "SUBSYSTEMS") return d.subsystem;
    if (key.name == "KERNELS") return d.kernel;
    if (key.name == "DRIVERS") return d.driver;
    const auto a = d.attrs.find(key.arg);
    if (a == d.attrs.end()) return std::nullopt;  // a missing attribute matches nothing
    return a->second;
}

Outcome evaluate(const std::vector<Rule>& rules, const Event& event) {
    Outcome out;
    const Device& self = event.chain.front();
    std::optional<std::string> gotoLabel;
    for (const Rule& rule : rules) {
        if (gotoLabel) {
            if (rule.size() == 1 && rule[0].name == "LABEL" && rule[0].value == *gotoLabel)
                gotoLabel.reset();
            continue;
        }
        bool matched = true;
        std::vector<const Key*> parentKeys;
        for (const Key& key : rule) {
            const bool isMatch = key.op == "==" || key.op == "!=";
            if (!isMatch) continue;
            if (key.name == "ACTION") matched = matched && compare(event.action, key);
            else if (key.name == "SUBSYSTEM") matched = matched && compare(self.subsystem, key);
            else if (key.name == "KERNEL") matched = matched && compare(self.kernel, key);
            else if (key.name == "DRIVER") matched = matched && compare(self.driver, key);
            else if (key.name == "ENV") matched = matched && compare(out.env[key.arg], key);
            else if (isParentKey(key.name)) {
                EXPECT_EQ(key.op, "==") << "negated parent keys are not modelled";
                parentKeys.push_back(&key);
            } else {
                ADD_FAILURE() << "match key " << key.name << " is not modelled";
                matched = false;
            }
        }
        if (matched && !parentKeys.empty()) {
            bool oneDevice = false;
            for (const Device& d : event.chain) {
                bool all = true;
                for (const Key* key : parentKeys) {
                    const auto value = parentValue(d, *key);
                    all = all && value && compare(*value, *key);
                }
                if (all) {
                    oneDevice = true;
                    break;
                }
            }
            matched = oneDevice;
        }
        if (!matched) continue;
        for (const Key& key : rule) {
            if (key.op == "==" || key.op == "!=") continue;
            if (key.name == "ENV") out.env[key.arg] = key.value;
            else if (key.name == "TAG" && key.op == "+=") out.tags.insert(key.value);
            else if (key.name == "MODE") out.modes.push_back(key.value);
            else if (key.name == "GOTO") gotoLabel = key.value;
            else if (key.name == "LABEL") {
            } else ADD_FAILURE() << "assignment " << key.name << key.op << " is not modelled";
        }
    }
    return out;
}

std::string ruleText() {
    std::ifstream in(KX30_UDEV_RULE);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A hidraw node of the keyboard's interface `interfaceNumber`, as sysfs shows its parents.
Event keyboardNode(const std::string& interfaceNumber, const std::string& vendor = "0483",
                   const std::string& product = "5018", const std::string& subsystem = "hidraw") {
    Event e;
    e.chain = {
        {subsystem, subsystem == "hidraw" ? "hidraw3" : "event7", "", {{"dev", "241:3"}}},
        {"hid", "0003:0483:5018.0004", "hid-generic", {{"country", "00"}}},
        {"usb", "1-2:1." + interfaceNumber.substr(1), "usbhid",
         {{"bInterfaceNumber", interfaceNumber}, {"bInterfaceClass", "03"},
          {"bAlternateSetting", " 0"}}},
        {"usb", "1-2", "usb", {{"idVendor", vendor}, {"idProduct", product}, {"bNumInterfaces", " 3"}}},
        {"usb", "usb1", "usb", {{"idVendor", "1d6b"}, {"idProduct", "0002"}}},
        {"pci", "0000:00:14.0", "xhci_hcd", {{"vendor", "0x8086"}}},
    };
    return e;
}

class UdevRule : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string text = ruleText();
        ASSERT_FALSE(text.empty()) << KX30_UDEV_RULE;
        rules = parseRules(text);
    }
    bool grantsUser(const Event& e) { return evaluate(rules, e).tags.count("uaccess") == 1; }
    std::vector<Rule> rules;
};

TEST_F(UdevRule, GivesTheUserTheConfigurationInterfaceOnly) {
    const struct {
        const char* what;
        Event event;
        bool granted;
    } cases[] = {
        {"configuration interface 01", keyboardNode("01"), true},
        {"interface 00 carries key strokes", keyboardNode("00"), false},
        {"interface 02 carries key strokes", keyboardNode("02"), false},
        {"the input node of interface 01", keyboardNode("01", "0483", "5018", "input"), false},
        {"another vendor's interface 01", keyboardNode("01", "046d", "5018"), false},
        {"another product of the vendor", keyboardNode("01", "0483", "5740"), false},
    };
    for (const auto& c : cases) EXPECT_EQ(grantsUser(c.event), c.granted) << c.what;
}

TEST_F(UdevRule, FollowsTheEventsThatMatter) {
    Event change = keyboardNode("01");
    change.action = "change";  // what the package's trigger after installation sends
    EXPECT_TRUE(grantsUser(change));
    Event remove = keyboardNode("01");
    remove.action = "remove";
    EXPECT_FALSE(grantsUser(remove));

    // Behind a hub the chain is longer; the hub's own interface is no parent of the node.
    Event behindHub = keyboardNode("01");
    behindHub.chain.insert(behindHub.chain.begin() + 4,
                           Device{"usb", "1-1", "usb", {{"idVendor", "05e3"}, {"idProduct", "0610"}}});
    EXPECT_TRUE(grantsUser(behindHub));
}

TEST_F(UdevRule, NeverMakesTheNodeWorldWritable) {
    for (const char* iface : {"00", "01", "02"}) {
        for (const std::string& mode : evaluate(rules, keyboardNode(iface)).modes) {
            const unsigned long bits = std::stoul(mode, nullptr, 8);
            EXPECT_EQ(bits & 0002u, 0u) << "MODE=" << mode;
        }
    }
    // Nor anywhere in the file, whichever device it would apply to.
    for (const Rule& rule : rules)
        for (const Key& key : rule)
            if (key.name == "MODE") {
                EXPECT_EQ(std::stoul(key.value, nullptr, 8) & 0002u, 0u);
            }
}

}  // namespace

namespace {

// The trap the rule is written around: one rule asking for vendor, product and interface
// number never matches, as no single device of the chain carries all three.
TEST(UdevRuleEvaluator, ParentKeysOfOneRuleMatchOnOneDevice) {
    const auto naive = parseRules(
        R"(SUBSYSTEM=="hidraw", ATTRS{idVendor}=="0483", ATTRS{idProduct}=="5018", )"
        R"(ATTRS{bInterfaceNumber}=="01", TAG+="uaccess")");
    EXPECT_EQ(evaluate(naive, keyboardNode("01")).tags.count("uaccess"), 0u);
    const auto split = parseRules(
        R"(SUBSYSTEM=="hidraw", ATTRS{idVendor}=="0483", ATTRS{idProduct}=="5018", TAG+="uaccess")");
    EXPECT_EQ(evaluate(split, keyboardNode("01")).tags.count("uaccess"), 1u);
}

}  // namespace
