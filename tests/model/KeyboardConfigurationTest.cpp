#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <memory>
#include <string>

#include "KeyboardConfiguration.h"

namespace {

class KeyboardConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override {
        configuration->buildKeyCatalogue();
        configuration->clearConfiguration();
    }

    KeyEventList listOf(std::initializer_list<const char*> items) {
        KeyEventList list(9);
        for (const char* item : items) list.setOrAppend(KeyEventList::kAppendRow, item);
        return list;
    }

    // Heap: the configuration holds 176 event lists and the device.
    std::unique_ptr<KeyboardConfiguration> configuration = std::make_unique<KeyboardConfiguration>();
};

TEST_F(KeyboardConfigurationTest, BuildingTheCatalogueSetsEnglish) {
    EXPECT_EQ(configuration->language, "en-US");
    EXPECT_FALSE(configuration->isChinese());
}

TEST_F(KeyboardConfigurationTest, ClearResetsEveryKeyAndTheDefaults) {
    KeyboardConfiguration& c = *configuration;
    c.currentKey = 42;
    c.currentLevel = 1;
    c.backlight[0] = 7;
    c.kind[5][1] = 3;
    c.code[5][1] = 99;
    c.events[5][1] = listOf({"A Down"});
    c.events[5][1].setSizeOfView(4);
    c.predefinedCombos.setOrAppend(0, "mine");
    c.light[5][1] = 9;
    c.backlight[3] = 1;

    c.clearConfiguration();
    for (int key = 0; key < kKeyRows; ++key) {
        for (int level = 0; level < kLevels; ++level) {
            SCOPED_TRACE(key * 2 + level);
            EXPECT_EQ(c.kind[key][level], 0);
            EXPECT_EQ(c.code[key][level], key);
            EXPECT_EQ(c.events[key][level].count(), 0);
            EXPECT_EQ(c.valueText(key, level), "");
        }
    }
    EXPECT_EQ(c.events[5][1].sizeOfView(), 4);
    EXPECT_EQ(c.currentKey, 42);
    EXPECT_EQ(c.currentLevel, 1);
    EXPECT_EQ(c.backlight[0], 7);
    EXPECT_EQ(c.predefinedMacros.sizeOfView(), 9);
    EXPECT_EQ(c.predefinedCombos.sizeOfView(), 6);
    EXPECT_EQ(c.predefinedEmulations.sizeOfView(), 9);
    EXPECT_EQ(c.predefinedCombos.count(), 0);

    const int areas[12] = {0, 137, 225, 0, 144, 73, 161, 72, 117, 255, 128, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(c.backlight[static_cast<std::size_t>(3 + i)], areas[i]) << i;
}

TEST_F(KeyboardConfigurationTest, DefaultLightValues) {
    const struct {
        int key;
        int light;
    } cases[] = {
        {0, 0},  {1, 3},  {14, 3}, {15, 2}, {28, 2}, {29, 1}, {30, 2}, {31, 3}, {42, 1},
        {43, 1}, {44, 3}, {45, 3}, {46, 3}, {47, 2}, {55, 1}, {56, 1}, {57, 2}, {66, 2},
        {67, 1}, {70, 1}, {75, 1}, {76, 2}, {87, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(configuration->light[c.key][0], c.light) << c.key;
        EXPECT_EQ(configuration->light[c.key][1], c.light) << c.key;
    }
    // The block view addresses [key][level] at key * 2 + level.
    auto block = configuration->lightBlock();
    EXPECT_EQ(block.size(), 176u);
    block[44 * 2 + 1] = 7;
    EXPECT_EQ(configuration->light[44][1], 7);
    EXPECT_EQ(configuration->light[44][0], 3);
}

struct ValueCase {
    const char* what;
    int kind;
    int code;
    std::initializer_list<const char*> events;
    const char* expected;
};

TEST_F(KeyboardConfigurationTest, ValueTextByKind) {
    const ValueCase cases[] = {
        {"single", 1, 29, {}, "Q"},
        {"single with code 0", 1, 0, {}, "-- --"},
        {"single with a code past the tables", 1, 5000, {}, "-- --"},
        {"single with a negative code", 1, -3, {}, "-- --"},
        {"power", 8, 76, {}, "Sleep"},
        {"multimedia", 5, 113, {}, "VolumeUp"},
        {"mouse double click", 6, 199, {}, "Left Double Click"},
        {"function", 7, 156, {}, "FN"},
        {"combo", 2, 0, {"Left CTRL", "C"}, "Left CTRL | C"},
        {"combo with one entry", 2, 0, {"A"}, "A"},
        {"empty combo", 2, 0, {}, ""},
        {"combo with an empty entry", 2, 0, {"", "B"}, " | B"},
        {"emulation", 4, 0, {"H", "I"}, "H | I"},
        {"macro", 3, 0, {"A Down", "<30 ms>", "A UP"}, "A,30,A"},
        {"macro with a mouse action", 3, 0, {"Mouse Key Left", "<5 ms>", "B UP"}, "Mouse Key Left,5,B"},
        {"macro keeps text that only looks shortenable", 3, 0, {"<a>b>", " UP", "X UP Y"}, "<a>b>, UP,X UP Y"},
        {"macro with short delay-like items", 3, 0, {"<ms>", "< ms>"}, "<ms>,"},
        {"not set ignores its events", 0, 29, {"A"}, ""},
        {"kind past the table", 9, 29, {"A"}, ""},
        {"negative kind", -1, 29, {"A"}, ""},
    };
    for (const ValueCase& c : cases) {
        configuration->kind[10][1] = c.kind;
        configuration->code[10][1] = c.code;
        configuration->events[10][1] = listOf(c.events);
        EXPECT_EQ(configuration->valueText(10, 1), c.expected) << c.what;
    }
}

TEST_F(KeyboardConfigurationTest, LongMacroTextStopsRightAfterTheItemThatCrosses120) {
    // Each item shortens to 10 characters; with commas n items take 11n - 1 characters, so
    // 11 items are exactly 120 and the 12th crosses.
    auto macroOf = [&](int n) {
        KeyEventList list(9);
        for (int i = 0; i < n; ++i) list.setOrAppend(KeyEventList::kAppendRow, "ABCDEFGHIJ Down");
        configuration->kind[3][0] = 3;
        configuration->events[3][0] = list;
        return configuration->valueText(3, 0);
    };
    std::string eleven;
    for (int i = 0; i < 11; ++i) eleven += i ? ",ABCDEFGHIJ" : "ABCDEFGHIJ";
    EXPECT_EQ(macroOf(11), eleven);
    EXPECT_EQ(macroOf(12), eleven + ",ABCDEFGHIJ ... ...");  // even when it is the last item
    EXPECT_EQ(macroOf(30), eleven + ",ABCDEFGHIJ ... ...");
}

TEST_F(KeyboardConfigurationTest, OutOfRangeSlotsReadAsNotSet) {
    configuration->kind[1][0] = 1;
    for (const auto& [key, level] : {std::pair{-1, 0}, {88, 0}, {1, 2}, {1, -1}, {INT_MAX, 0}}) {
        EXPECT_EQ(configuration->valueText(key, level), "") << key << "/" << level;
        EXPECT_EQ(configuration->kindOf(key, level), KeyFunctionKind::NotSet);
    }
    EXPECT_EQ(configuration->kindOf(1, 0), KeyFunctionKind::Single);
    configuration->kind[1][0] = 12;
    EXPECT_EQ(configuration->kindOf(1, 0), KeyFunctionKind::NotSet);
    EXPECT_EQ(configuration->kind.find(88, 0), nullptr);
    EXPECT_EQ(configuration->kind.find(0, 2), nullptr);
}

}  // namespace
