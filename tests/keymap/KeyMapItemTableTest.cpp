// The item table's lookups: first match in table order, pages, run-time texts.
#include <gtest/gtest.h>

#include "KeyMapItemTable.h"

namespace {

TEST(KeyMapItemTable, FindsTheFirstItemWithAnIdAndItemZeroForNone) {
    KeyMapItemTable t;
    EXPECT_EQ(t[t.findItem(36)].rect, (SkinRect{1, 12, 573, 33})) << "the title comes before the Power label";
    EXPECT_EQ(t.findItem(87), 0);
    EXPECT_EQ(t.findItem(999), 0);
    EXPECT_EQ(t.findItem(605), 0) << "the Function page has no 605";
    EXPECT_EQ(t.findItem(-1), static_cast<int>(kKeyMapItems.size())) << "the first unused entry";
}

struct HitCase {
    int page, x, y;
    int id;  // -1 for none
};

class KeyMapHitTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(KeyMapHitTest, TakesTheFirstItemOfThePage) {
    const HitCase& c = GetParam();
    KeyMapItemTable t;
    const int index = t.hitTest(c.page, c.x, c.y);
    EXPECT_EQ(index < 0 ? -1 : t[index].id, c.id);
}

INSTANTIATE_TEST_SUITE_P(
    Points, KeyMapHitTest,
    ::testing::Values(HitCase{1, 400, 340, 88},    // OK over its label
                      HitCase{4, 400, 340, 88},    // common on every page
                      HitCase{1, 100, 145, 103},   // the "no action" area over "Press a key:"
                      HitCase{7, 100, 145, -1},    // page 1's item is not on page 7
                      HitCase{1, 300, 20, 36},     // the title is a label and still hit
                      HitCase{7, 500, 60, 96},     // Power tab, not its label
                      HitCase{5, 100, 275, 511},   // the Mouse row before its label
                      HitCase{6, 100, 96, 651},
                      HitCase{1, 574, 369, -1},
                      HitCase{1, 117, 340, -1}));  // right edge is exclusive

TEST(KeyMapItemTable, PagesOwnTheirHundreds) {
    SkinItem item;
    item.id = 36;
    EXPECT_TRUE(KeyMapItemTable::belongsToPage(item, 7));
    item.id = 412;
    EXPECT_TRUE(KeyMapItemTable::belongsToPage(item, 4));
    EXPECT_FALSE(KeyMapItemTable::belongsToPage(item, 3));
    item.id = -1;
    EXPECT_FALSE(KeyMapItemTable::belongsToPage(item, 1));
}

TEST(KeyMapItemTable, RunTimeTextsAreKeptPerLanguage) {
    KeyMapItemTable t;
    const int row = t.findItem(221);
    t.setText(row, "en-US", "New Macro 1");
    EXPECT_EQ(t.text(row, "en-US"), "New Macro 1");
    EXPECT_EQ(t.text(row, "zh-CN"), "");
    t.setText(row, "fr-FR", "ignored");
    EXPECT_EQ(t.text(row, "en-US"), "New Macro 1");
    EXPECT_EQ(t.text(t.findItem(38), "zh-CN"), "确定");
    EXPECT_EQ(t.text(-5, "en-US"), "");
}

}  // namespace
