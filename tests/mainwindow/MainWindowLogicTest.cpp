// The window's decisions without a window: where a point lies, which item a click hits, and
// what the information box says.

#include "KeyTable.h"
#include "KeyboardConfiguration.h"
#include "MainWindowLogic.h"

#include <gtest/gtest.h>

namespace {

struct HitCase {
    bool overItem;
    int x;
    int y;
    HitArea expected;
};

class HitAreaTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(HitAreaTest, ItemsThenResizeBandsThenCaption) {
    const HitCase& c = GetParam();
    EXPECT_EQ(hitArea(c.overItem, c.x, c.y, kMainWindowSkinSize.width, kMainWindowSkinSize.height), c.expected);
}

// The window is 1170 x 680: the bands are x > 1164 and y > 674.
INSTANTIATE_TEST_SUITE_P(Bands, HitAreaTest,
                         ::testing::Values(HitCase{false, 600, 60, HitArea::Caption},
                                           HitCase{false, 1164, 300, HitArea::Caption},
                                           HitCase{false, 1165, 300, HitArea::Right},
                                           HitCase{false, 600, 674, HitArea::Caption},
                                           HitCase{false, 600, 675, HitArea::Bottom},
                                           HitCase{false, 1169, 679, HitArea::BottomRight},
                                           HitCase{false, 0, 0, HitArea::Caption},
                                           HitCase{true, 1169, 679, HitArea::Client},
                                           HitCase{true, 600, 60, HitArea::Client}));

struct ItemCase {
    const char* what;
    int x;
    int y;
    int expectedIndex;  // -1: no item
};

class HotItemTest : public ::testing::TestWithParam<ItemCase> {};

TEST_P(HotItemTest, LabelsNeverTakeThePoint) {
    const ItemCase& c = GetParam();
    EXPECT_EQ(hotItemAt(kMainWindowItems, c.x, c.y), c.expectedIndex) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HotItemTest,
    ::testing::Values(
        ItemCase{"free picture", 600, 60, -1},
        ItemCase{"Save label over the Save area", 80, 115, 4},
        ItemCase{"Clear area left of its label", 270, 110, 6},
        ItemCase{"Clear label over the Clear area", 350, 120, 6},
        ItemCase{"ReadAll label left of its area", 725, 110, -1},
        ItemCase{"Update label right of its area", 980, 110, -1},
        ItemCase{"language label over the language area", 1100, 120, 0},
        ItemCase{"LevelUp label over the level switch", 80, 200, kMainWindowLevelItem},
        ItemCase{"LevelUp label beside the level switch", 60, 170, -1},
        ItemCase{"LevelDn label below the level switch", 80, 310, -1},
        ItemCase{"help", 1090, 30, 1},
        ItemCase{"hide", 1060, 30, 2},
        ItemCase{"exit", 1110, 30, 3},
        ItemCase{"key 29, Q", 280, 290, 11 + 29},
        ItemCase{"gap between keys 29 and 30", 308, 290, -1},
        ItemCase{"key 30, W", 310, 290, 11 + 30}));

TEST(InfoBoxText, TitleAloneWithoutAKey) {
    KeyboardConfiguration configuration;
    configuration.buildKeyCatalogue();
    configuration.clearConfiguration();
    EXPECT_EQ(infoBoxText(configuration, 0), "Kelvane X30 Programming Software [Ver 1.0.1]");
    EXPECT_EQ(infoBoxText(configuration, 88), "Kelvane X30 Programming Software [Ver 1.0.1]");
    configuration.language = KeyboardConfiguration::kChinese;
    EXPECT_EQ(infoBoxText(configuration, -1), "Kelvane X30 编程软件 [版本 1.0.1]");
}

TEST(InfoBoxText, ClearedKeyShowsNotSetOnBothLevelsInEitherLanguage) {
    KeyboardConfiguration configuration;
    configuration.buildKeyCatalogue();
    configuration.clearConfiguration();
    EXPECT_EQ(infoBoxText(configuration, 29),
              "Kelvane X30 Programming Software [Ver 1.0.1]\r\n\r\nKey settings L1：Not set \r\n"
              "\r\nKey settings L2：Not set \r\n");
    configuration.language = KeyboardConfiguration::kChinese;
    EXPECT_EQ(infoBoxText(configuration, 29),
              "Kelvane X30 编程软件 [版本 1.0.1]\r\n\r\n上档键：未设置 \r\n\r\n下档键：未设置 \r\n");
}

TEST(InfoBoxText, ShowsBothLevelsWhateverLevelIsShown) {
    KeyboardConfiguration configuration;
    configuration.buildKeyCatalogue();
    configuration.clearConfiguration();
    configuration.kind[5][1] = static_cast<int>(KeyFunctionKind::Combo);
    configuration.events[5][1].setOrAppend(20000, "Left CTRL");
    configuration.events[5][1].setOrAppend(20000, "C");
    configuration.kind[5][0] = 42;  // not a kind: reads as Not set
    for (int level : {0, 1}) {
        configuration.currentLevel = level;
        EXPECT_EQ(infoBoxText(configuration, 5),
                  "Kelvane X30 Programming Software [Ver 1.0.1]\r\n\r\nKey settings L1：Not set \r\n"
                  "\r\nKey settings L2：Combo Left CTRL | C\r\n");
    }
}

}  // namespace
