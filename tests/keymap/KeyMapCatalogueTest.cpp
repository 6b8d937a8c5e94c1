// The four catalogue pages: choosing and undoing an entry, and the icons' tooltips.
#include "KeyMapFixture.h"

#include <QHelpEvent>
#include <QToolTip>

namespace {

struct ChoiceCase {
    int tab;
    int first, second;  // two entries of the page
    int firstCode, secondCode;
    int (CVelaDialogKeyMapSettings::*chosen)() const;
};

class CatalogueChoice : public KeyMapDialogTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(CatalogueChoice, OneEntryAtATimeAndASecondClickUndoes) {
    const ChoiceCase& c = GetParam();
    open();
    click(c.tab);
    click(c.first);
    EXPECT_EQ((dialog.get()->*c.chosen)(), c.firstCode);
    EXPECT_TRUE(dialog->isSelected(c.first));
    click(c.second);
    EXPECT_EQ((dialog.get()->*c.chosen)(), c.secondCode);
    EXPECT_TRUE(dialog->isSelected(c.second));
    EXPECT_FALSE(dialog->isSelected(c.first));
    click(c.second);
    EXPECT_EQ((dialog.get()->*c.chosen)(), -1);
    EXPECT_FALSE(dialog->isSelected(c.second));
    // Another page keeps its own choice.
    click(c.first);
    click(c.tab == 93 ? 94 : 93);
    click(c.tab);
    EXPECT_EQ((dialog.get()->*c.chosen)(), c.firstCode);
    EXPECT_TRUE(dialog->isSelected(c.first));
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CatalogueChoice,
    ::testing::Values(ChoiceCase{93, 401, 418, 115, 117, &CVelaDialogKeyMapSettings::mediaCode},
                      ChoiceCase{94, 503, 511, 127, 199, &CVelaDialogKeyMapSettings::mouseCode},
                      ChoiceCase{95, 601, 628, 149, 148, &CVelaDialogKeyMapSettings::functionCode},
                      ChoiceCase{96, 701, 703, 75, 77, &CVelaDialogKeyMapSettings::powerCode}));

// Every entry of the catalogue pages stores its own code: clicking each once, in turn.
TEST_F(KeyMapDialogTest, EveryCatalogueEntryChoosesItsCode) {
    open();
    int entries = 0;
    for (const SkinItem& item : kKeyMapItems) {
        if (item.code < 0)
            continue;
        click(90 + item.id / 100 - 1);
        click(item.id);
        const int chosen[] = {dialog->mediaCode(), dialog->mouseCode(), dialog->functionCode(), dialog->powerCode()};
        EXPECT_EQ(chosen[item.id / 100 - 4], item.code) << "item " << item.id;
        ++entries;
    }
    EXPECT_EQ(entries, 18 + 10 + 25 + 3);
}

// ---- Tooltips ----

struct TipCase {
    const char* language;
    int tab;
    int id;
    const char* tip;  // "" for none
};

class Tooltip : public KeyMapDialogTest, public ::testing::WithParamInterface<TipCase> {};

TEST_P(Tooltip, ShowsTheIconsNameInTheLanguage) {
    const TipCase& c = GetParam();
    config.language = c.language;
    open();
    click(c.tab);
    hover(c.id);
    const QPoint at = centreOf(c.id);
    EXPECT_EQ(dialog->tooltipAt(at).toStdString(), c.tip);
    QHelpEvent help(QEvent::ToolTip, at, dialog->mapToGlobal(at));
    QApplication::sendEvent(dialog.get(), &help);
    if (*c.tip) {
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(QToolTip::text().toStdString(), c.tip);
    } else {
        EXPECT_FALSE(QToolTip::isVisible());
    }
    QToolTip::hideText();
}

INSTANTIATE_TEST_SUITE_P(
    Icons, Tooltip,
    ::testing::Values(TipCase{"en-US", 95, 612, "Mouse DPI+"}, TipCase{"zh-CN", 95, 612, "鼠标DPI+"},
                      TipCase{"en-US", 93, 401, "Media Select"}, TipCase{"zh-CN", 93, 418, "计算器"},
                      TipCase{"en-US", 96, 701, "WakeUp"}, TipCase{"zh-CN", 96, 703, "电源"},
                      TipCase{"en-US", 94, 502, ""},  // mouse rows have no tooltip
                      TipCase{"en-US", 90, 88, ""}),
    [](const auto& shown) { return "Case" + std::to_string(shown.index); });

TEST_F(KeyMapDialogTest, SelectedIconShowsNoTooltipAndHoverLeavesIt) {
    open();
    click(95);
    click(612);
    hover(612);
    EXPECT_EQ(dialog->tooltipAt(centreOf(612)), "");
    hover(611);
    EXPECT_EQ(dialog->tooltipAt(centreOf(611)), "Mouse DPI-");
    EXPECT_TRUE(dialog->items().item(611).hovered);
    hover(kKeyMapOk);
    EXPECT_FALSE(dialog->items().item(611).hovered);
}

TEST_F(KeyMapDialogTest, TooltipAppearsAfterTheShortRestAndPageSwitchHidesIt) {
    open();
    click(93);
    hover(402);
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 2000);
    EXPECT_EQ(QToolTip::text(), "Play/Pause");
    click(94);
    EXPECT_FALSE(QToolTip::isVisible());
}

}  // namespace
