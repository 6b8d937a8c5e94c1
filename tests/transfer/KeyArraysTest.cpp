#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "KeyArrays.h"

namespace {

KeyEventList listOf(std::initializer_list<const char*> items, int sizeOfView = 9) {
    KeyEventList list(sizeOfView);
    for (const char* item : items) list.setOrAppend(KeyEventList::kAppendRow, item);
    return list;
}

std::vector<std::string> itemsOf(std::initializer_list<const char*> items) {
    return std::vector<std::string>(items.begin(), items.end());
}

class KeyArraysTest : public ::testing::Test {
protected:
    void SetUp() override {
        configuration->buildKeyCatalogue();
        configuration->clearConfiguration();
    }
    const KeyCatalogue& catalogue() const { return configuration->catalogue; }
    std::unique_ptr<KeyboardConfiguration> configuration = std::make_unique<KeyboardConfiguration>();
};

TEST_F(KeyArraysTest, EventTextToValue) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"<100 ms>", 100}, {"<0 ms>", 0}, {"<30 ms>", 30}, {"<abc ms>", 0}, {"ms>", 0},
        {"<ms>", 0}, {"<99999999999 ms>", INT_MAX},
        {"A", 43}, {"A Down", 43}, {"A UP", 43},            // press and release: the same code
        {"a", 0}, {"A up", 0}, {"A  Down", 0}, {"", 0},     // exact comparisons only
        {"Left CONTROL", 67}, {"Left CTRL", 0},             // the side-less code has no key
        {"ENTER", 54}, {"(Enter)", 107}, {"Mouse Key Left", 130}, {"Power UP", 77},
        {"Sleep", 0},                                        // 95 comes before 332
        {"Reserved", 0}, {"Left Double Click", 199}, {"-- --", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(valueOfEventText(catalogue(), c.text), c.value) << c.text;
}

struct WriteCase {
    const char* what;
    int kind;
    int code;
    std::initializer_list<const char*> events;
    int cycles;
    bool autoInterval;
    int delay;
    std::vector<int> array;
};

TEST_F(KeyArraysTest, ConfigurationArrayByKind) {
    const WriteCase cases[] = {
        {"single", 1, 29, {}, 1, false, 30, {0, 1, 29}},
        {"power", 8, 76, {}, 1, false, 30, {0, 1, 76}},
        {"double click is two left clicks", 6, 199, {}, 1, false, 30, {0, 2, 130, 130}},
        {"combo", 2, 0, {"Left CONTROL", "C"}, 1, false, 30, {0, 2, 67, 58}},
        {"combo entry not in the catalogue", 2, 0, {"no such key"}, 1, false, 30, {0, 1, 0}},
        {"empty combo", 2, 0, {}, 1, false, 30, {0, 0}},
        {"timed macro", 3, 0, {"A Down", "<50 ms>", "A UP"}, 3, false, 30, {2, 3, 0, 2, 43, 50, 43}},
        {"auto-interval macro", 3, 0, {"A Down", "B Down", "B UP"}, 1, true, 30, {2, 1, 1, 3, 43, 60, 60}},
        {"timed macro ending in a delay", 3, 0, {"A Down", "<10 ms>"}, 1, false, 30, {2, 1, 0, 1, 43, 10}},
        {"emulation", 4, 0, {"H", "I"}, 1, false, 40, {1, 40, 2, 48, 36}},
        {"not set", 0, 29, {"A"}, 1, false, 30, {}},
        {"kind past the table", 9, 29, {"A"}, 1, false, 30, {}},
        {"negative kind", -4, 29, {"A"}, 1, false, 30, {}},
    };
    for (const WriteCase& c : cases) {
        configuration->kind[20][1] = c.kind;
        configuration->code[20][1] = c.code;
        KeyEventList events = listOf(c.events);
        events.setCycles(c.cycles);
        events.setAutoInterval(c.autoInterval);
        events.setDelay(c.delay);
        configuration->events[20][1] = events;
        EXPECT_EQ(configurationArrayOf(*configuration, 20, 1), c.array) << c.what;
    }
    configuration->kind[1][0] = 1;
    EXPECT_TRUE(configurationArrayOf(*configuration, 1, 0).size() == 3);
    for (const auto& [key, level] : {std::pair{0, 0}, {88, 0}, {-1, 0}, {1, 2}, {1, -1}})
        EXPECT_TRUE(configurationArrayOf(*configuration, key, level).empty()) << key << "/" << level;
}

struct ReadCase {
    const char* what;
    std::vector<int> array;
    KeyFunctionKind kind;
    int code;                                   // -1: code untouched
    std::initializer_list<const char*> events;  // checked when the kind uses events
    int cycles;
    bool autoInterval;
    int delay;
};

TEST_F(KeyArraysTest, ReadBackArrayBecomesKindCodeAndEvents) {
    using K = KeyFunctionKind;
    const ReadCase cases[] = {
        {"empty slot", {0, 0}, K::NotSet, -1, {}, 1, false, 30},
        {"plain key", {0, 1, 29}, K::Single, 29, {}, 1, false, 30},
        {"keypad enter", {0, 1, 107}, K::Single, 107, {}, 1, false, 30},
        {"power", {0, 1, 76}, K::Power, 76, {}, 1, false, 30},
        {"multimedia", {0, 1, 113}, K::Multimedia, 113, {}, 1, false, 30},
        {"mouse", {0, 1, 130}, K::Mouse, 130, {}, 1, false, 30},
        {"function", {0, 1, 140}, K::Function, 140, {}, 1, false, 30},
        {"unknown lone code", {0, 1, 200}, K::Single, 200, {}, 1, false, 30},
        {"two left clicks", {0, 2, 130, 130}, K::Mouse, 199, {}, 1, false, 30},
        {"combination", {0, 2, 67, 58}, K::Combo, -1, {"Left CONTROL", "C"}, 1, false, 30},
        {"combination with code 0", {0, 2, 0, 58}, K::Combo, -1, {"-- --", "C"}, 1, false, 30},
        {"emulation", {1, 40, 2, 48, 36}, K::Emulation, -1, {"H", "I"}, 1, false, 40},
        {"empty emulation", {1, 40, 0}, K::NotSet, -1, {}, 1, false, 30},
        {"timed macro", {2, 3, 0, 2, 43, 50, 43}, K::Macro, -1, {"A", "<50 ms>", "A"}, 3, false, 30},
        {"auto-interval macro", {2, 1, 1, 2, 43, 44}, K::Macro, -1, {"A", "S"}, 1, true, 30},
        {"empty macro", {2, 1, 0, 0}, K::NotSet, -1, {}, 1, false, 30},
        {"unknown kind", {7, 1, 2, 3}, K::NotSet, -1, {}, 1, false, 30},
        {"count past the array", {0, 50, 29}, K::Single, 29, {}, 1, false, 30},
        {"steps past the array", {2, 1, 0, 100, 43}, K::Macro, -1, {"A"}, 1, false, 30},
        {"negative count", {1, 5, -3, 43}, K::NotSet, -1, {}, 1, false, 30},
        {"too short to hold a count", {0}, K::NotSet, -1, {}, 1, false, 30},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        const KeySettingUpdate update = settingFromConfigurationArray(catalogue(), c.array);
        EXPECT_EQ(update.kind, c.kind);
        EXPECT_EQ(update.code.value_or(-1), c.code);
        const bool usesEvents = c.kind == K::Combo || c.kind == K::Macro || c.kind == K::Emulation;
        ASSERT_EQ(update.events.has_value(), usesEvents);
        if (!usesEvents) continue;
        EXPECT_EQ(update.events->items(), itemsOf(c.events));
        EXPECT_EQ(update.events->cycles(), c.cycles);
        EXPECT_EQ(update.events->isAutoInterval(), c.autoInterval);
        EXPECT_EQ(update.events->delay(), c.delay);
        EXPECT_EQ(update.events->sizeOfView(), c.kind == K::Combo ? 6 : 9);
    }
}

TEST_F(KeyArraysTest, ReadBackListsAreAppendedLikeAnEditorDoes) {
    const std::vector<int> array = {2, 1, 1, 10, 43, 43, 43, 43, 43, 43, 43, 43, 43, 43};
    const KeySettingUpdate update = settingFromConfigurationArray(catalogue(), array);
    ASSERT_TRUE(update.events);
    EXPECT_EQ(update.events->count(), 10);
    EXPECT_EQ(update.events->viewStartAt(), 1);
    EXPECT_EQ(update.events->cursorPos(), 8);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(update.events->child(i).count(), 0);
}

TEST_F(KeyArraysTest, ApplyingKeepsWhatTheUpdateDoesNotMention) {
    configuration->kind[7][0] = 3;
    configuration->code[7][0] = 55;
    configuration->events[7][0] = listOf({"A Down"});
    applySetting(*configuration, 7, 0, KeySettingUpdate{});  // read back as not set
    EXPECT_EQ(configuration->kind[7][0], 0);
    EXPECT_EQ(configuration->code[7][0], 55);
    EXPECT_EQ(configuration->events[7][0].items(), itemsOf({"A Down"}));

    applySetting(*configuration, 7, 0, settingFromConfigurationArray(catalogue(), std::vector<int>{0, 2, 67, 58}));
    EXPECT_EQ(configuration->kind[7][0], 2);
    EXPECT_EQ(configuration->code[7][0], 55);
    EXPECT_EQ(configuration->events[7][0].items(), itemsOf({"Left CONTROL", "C"}));

    applySetting(*configuration, 88, 0, KeySettingUpdate{KeyFunctionKind::Single, 1, {}});  // ignored
    applySetting(*configuration, 1, 5, KeySettingUpdate{KeyFunctionKind::Single, 1, {}});
}

}  // namespace
