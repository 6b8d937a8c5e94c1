// The compare behind verified writes: settings the keyboard cannot tell apart are equal,
// every other difference is listed with plain words.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ProfileFixtures.h"
#include "Verify.h"

namespace {

using kx30test::codeOf;
using kx30test::freshConfiguration;
using kx30test::setCode;
using kx30test::setList;
using Setup = std::function<void(KeyboardConfiguration&)>;

struct EqualCase {
    const char* what;
    Setup wanted;
    Setup held;
};

TEST(Verify, SettingsTheKeyboardCannotTellApartAreEqual) {
    const EqualCase cases[] = {
        {"a combo of one key is a single key",
         [](auto& c) { setList(c, 5, 0, KeyFunctionKind::Combo, {"A"}); },
         [](auto& c) { setCode(c, 5, 0, KeyFunctionKind::Single, codeOf(c, "A")); }},
        {"the kind of a single code is chosen by its range",
         [](auto& c) { setCode(c, 5, 0, KeyFunctionKind::Multimedia, codeOf(c, "A")); },
         [](auto& c) { setCode(c, 5, 0, KeyFunctionKind::Single, codeOf(c, "A")); }},
        {"an emulation without entries is no setting",
         [](auto& c) { setList(c, 7, 1, KeyFunctionKind::Emulation, {}); },
         [](auto&) {}},
        {"press and release names travel as the key's code",
         [](auto& c) { setList(c, 9, 0, KeyFunctionKind::Macro, {"A Down", "<50 ms>", "A UP"}); },
         [](auto& c) { setList(c, 9, 0, KeyFunctionKind::Macro, {"A", "<50 ms>", "A"}); }},
        {"a delay after the last step is not sent",
         [](auto& c) { setList(c, 9, 0, KeyFunctionKind::Macro, {"A", "<50 ms>", "B", "<70 ms>"}); },
         [](auto& c) { setList(c, 9, 0, KeyFunctionKind::Macro, {"A", "<50 ms>", "B"}); }},
        {"a code of a kind that is not set is not sent",
         [](auto& c) { c.code[3][0] = 77; },
         [](auto&) {}},
    };
    for (const EqualCase& c : cases) {
        auto wanted = freshConfiguration();
        auto held = freshConfiguration();
        c.wanted(*wanted);
        c.held(*held);
        const VerifyReport report = compareAsKeyboardSees(*wanted, *held);
        EXPECT_TRUE(report.matches()) << c.what << ": "
                                      << (report.keys.empty() ? "" : describeDifference(report.keys[0]));
    }
}

struct DifferenceCase {
    const char* what;
    Setup wanted;
    Setup held;
    std::string line;  // the one difference, described
};

TEST(Verify, EachDifferenceIsDescribed) {
    const DifferenceCase cases[] = {
        {"another single key",
         [](auto& c) { setCode(c, 5, 0, KeyFunctionKind::Single, codeOf(c, "A")); },
         [](auto& c) { setCode(c, 5, 0, KeyFunctionKind::Single, codeOf(c, "B")); },
         "Level 1 key 5 (F4): wanted Single: A, keyboard has Single: B"},
        {"a key the keyboard lost",
         [](auto& c) { setList(c, 12, 1, KeyFunctionKind::Combo, {"A", "B"}); },
         [](auto&) {},
         "Level 2 key 12 (F11): wanted Combo: A + B, keyboard has Not set"},
        {"another macro delay",
         [](auto& c) { setList(c, 30, 0, KeyFunctionKind::Macro, {"A", "<50 ms>", "A"}); },
         [](auto& c) { setList(c, 30, 0, KeyFunctionKind::Macro, {"A", "<80 ms>", "A"}); },
         "Level 1 key 30 (W): wanted Macro, 1 cycle, timed: A, <50 ms>, A, keyboard has Macro, 1 "
         "cycle, timed: A, <80 ms>, A"},
        {"another emulation pace",
         [](auto& c) { setList(c, 31, 0, KeyFunctionKind::Emulation, {"H", "I"}); },
         [](auto& c) {
             setList(c, 31, 0, KeyFunctionKind::Emulation, {"H", "I"});
             c.events[31][0].setDelay(90);
         },
         "Level 1 key 31 (E): wanted Emulation, 30 ms apart: H, I, keyboard has Emulation, 90 ms "
         "apart: H, I"},
        {"a setting no key record can hold",
         [](auto& c) {
             setCode(c, 2, 0, KeyFunctionKind::Single, 300);  // codes are bytes on the wire
         },
         [](auto&) {},
         "Level 1 key 2 (F1): wanted cannot be stored on the keyboard, keyboard has Not set"},
    };
    for (const DifferenceCase& c : cases) {
        auto wanted = freshConfiguration();
        auto held = freshConfiguration();
        c.wanted(*wanted);
        c.held(*held);
        const VerifyReport report = compareAsKeyboardSees(*wanted, *held);
        ASSERT_EQ(report.keys.size(), 1u) << c.what;
        EXPECT_EQ(describeDifference(report.keys[0]), c.line) << c.what;
        EXPECT_TRUE(report.areas.empty()) << c.what;
    }
}

TEST(Verify, ListsEveryDifferingKeyInSlotOrderAndTheAreas) {
    auto wanted = kx30test::sampleConfiguration(0);
    auto held = kx30test::sampleConfiguration(1);
    const VerifyReport report = compareAsKeyboardSees(*wanted, *held);
    std::vector<std::pair<int, int>> slots;
    for (const KeyDifference& d : report.keys) slots.emplace_back(d.level, d.key);
    EXPECT_EQ(slots, (std::vector<std::pair<int, int>>{{0, 5}, {0, 30}, {1, 40}}));
    ASSERT_EQ(report.areas.size(), 1u);
    EXPECT_EQ(describeDifference(report.areas[0]),
              "Backlight area 2: wanted 0,144,73, keyboard has 0,200,73");

    EXPECT_TRUE(compareAsKeyboardSees(*wanted, *held, CompareAreas::No).areas.empty());
    EXPECT_TRUE(compareAsKeyboardSees(*wanted, *kx30test::sampleConfiguration(0)).matches());
}

}  // namespace
