// The predefined lists through the dialog: rows, renaming, New with its proposed name,
// Delete, the number fields, and scrolling with the skinned bars.
#include "KeyMapFixture.h"

#include "ScrollRepeatTimer.h"

namespace {

using Names = std::vector<std::string>;

KeyEventList named(Names names) {
    KeyEventList list(9);
    for (const std::string& n : names)
        list.append(n, eventsOf({"X"}));
    return list;
}

// ---- New: the proposed name ----

struct NewCase {
    const char* what;
    const char* language;
    int tab;
    Names existing;
    const char* proposed;
};

class NewProposesAName : public KeyMapDialogTest, public ::testing::WithParamInterface<NewCase> {};

TEST_P(NewProposesAName, FirstNumberNoEntryHasAndStoredByTheNextClick) {
    const NewCase& c = GetParam();
    config.language = c.language;
    config.predefinedCombos = named(c.existing);
    config.predefinedMacros = named(c.existing);
    config.predefinedEmulations = named(c.existing);
    open();
    click(c.tab);
    if (c.tab == 90)
        click(kKeyMapCombo);
    const int newId = c.tab == 90 ? kKeyMapComboNew : c.tab == 91 ? kKeyMapMacroNew : kKeyMapEmuNew;
    click(newId);
    ASSERT_TRUE(dialog->renaming());
    EXPECT_EQ(dialog->renameEdit()->text().toStdString(), c.proposed);
    EXPECT_TRUE(dialog->renameEdit()->isVisible());
    // The editor lies on the new entry's row, which is selected.
    const int firstRow = c.tab == 90 ? kKeyMapComboListRow : c.tab == 91 ? kKeyMapMacroListRow : kKeyMapEmuListRow;
    const KeyEventList& list = c.tab == 90 ? dialog->comboList() : c.tab == 91 ? dialog->macroList() : dialog->emuList();
    const SkinRect row = dialog->items().item(firstRow + list.cursorPos()).rect;
    EXPECT_EQ(dialog->renameEdit()->geometry(), QRect(row.left, row.top, row.width(), row.height()));
    EXPECT_EQ(list.selectedIndex(), static_cast<int>(c.existing.size()));
    EXPECT_EQ(list.items().back(), "") << "the name waits for the commit";

    click(kKeyMapClear);  // any item: this click only commits, it clears nothing
    EXPECT_FALSE(dialog->renaming());
    EXPECT_FALSE(dialog->renameEdit()->isVisible());
    EXPECT_EQ(list.items().back(), c.proposed);
    EXPECT_EQ(list.count(), static_cast<int>(c.existing.size()) + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NewProposesAName,
    ::testing::Values(NewCase{"macro, empty list", "en-US", 91, {}, "New Macro 1"},
                      NewCase{"macro, gap", "en-US", 91, {"New Macro 1", "New Macro 3"}, "New Macro 2"},
                      NewCase{"emulation", "en-US", 92, {"New Emu 1"}, "New Emu 2"},
                      NewCase{"combination", "en-US", 90, {"x"}, "New Combo 1"},
                      NewCase{"chinese macro", "zh-CN", 91, {"宏定义1"}, "宏定义2"},
                      NewCase{"chinese combination", "zh-CN", 90, {}, "组合键1"},
                      NewCase{"chinese emulation", "zh-CN", 92, {}, "模拟击键1"}),
    [](const auto& shown) { return "Case" + std::to_string(shown.index); });

TEST_F(KeyMapDialogTest, NewWithTheNameClearedLeavesAnEmptyName) {
    open();
    click(91);
    click(kKeyMapMacroNew);
    dialog->renameEdit()->clear();
    click(kKeyMapMacroListRow + 4);
    EXPECT_EQ(dialog->macroList().items(), Names{""});
}

TEST_F(KeyMapDialogTest, NewAndDeleteOnTheComboPageNeedComboMode) {
    config.predefinedCombos = named({"a"});
    open();
    click(kKeyMapComboNew);
    click(kKeyMapComboDelete);
    EXPECT_FALSE(dialog->renaming());
    EXPECT_EQ(dialog->comboList().count(), 1);
}

TEST_F(KeyMapDialogTest, NewGrowsTheListScrollRangeAndShowsAnEmptyRecord) {
    config.predefinedMacros = predefined({{"a", eventsOf({"A Down"})}});
    open();
    click(91);
    EXPECT_EQ(dialog->listScroll()->maximum(), 9);
    click(kKeyMapMacroNew);
    EXPECT_EQ(dialog->listScroll()->maximum(), 10);
    EXPECT_TRUE(dialog->macroRecord().empty());
    EXPECT_EQ(dialog->itemText(241), "");
}

// ---- Renaming in place ----

class RenameCommit : public KeyMapDialogTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RenameCommit, SecondClickOnTheSelectedRowEditsItsName) {
    const std::string how = GetParam();
    config.predefinedMacros = named({"one", "two"});
    open();
    click(91);
    click(kKeyMapMacroListRow);  // the selected row
    ASSERT_TRUE(dialog->renaming());
    EXPECT_EQ(dialog->renameEdit()->text(), "one");
    dialog->renameEdit()->selectAll();
    type(dialog->renameEdit(), "renamed");
    if (how == "return")
        QTest::keyClick(dialog->renameEdit(), Qt::Key_Return);
    else if (how == "focus")
        dialog->renameEdit()->clearFocus();
    else
        click(kKeyMapMacroListRow + 1);  // another row: only commits, selects nothing
    EXPECT_FALSE(dialog->renaming());
    EXPECT_EQ(dialog->macroList().selectedIndex(), 0);
    EXPECT_TRUE(stillOpen()) << "Return in the editor does not close the dialog";
    EXPECT_EQ(dialog->macroList().items(), (Names{"renamed", "two"}));
    EXPECT_EQ(dialog->itemText(kKeyMapMacroListRow), "renamed");
}

INSTANTIATE_TEST_SUITE_P(Ways, RenameCommit, ::testing::Values("click", "return", "focus"));

// ---- Rows ----

TEST_F(KeyMapDialogTest, ClickingAnotherRowKeepsTheOldContentAndShowsTheNew) {
    config.predefinedEmulations = predefined({{"ab", eventsOf({"A", "B"})}, {"c", eventsOf({"C"})}});
    open();
    click(92);
    // The delay edit changes the first entry's content; it must survive the switch.
    dialog->valueEdit()->selectAll();
    type(dialog->valueEdit(), "55");
    click(kKeyMapEmuListRow + 1);
    EXPECT_FALSE(dialog->renaming());
    EXPECT_EQ(dialog->emuList().selectedIndex(), 1);
    EXPECT_EQ(dialog->emuRecord().items(), Names{"C"});
    EXPECT_EQ(dialog->itemText(kKeyMapEmuRecordRow), "C");
    EXPECT_EQ(dialog->itemText(kKeyMapEmuRecordRow + 1), "");
    EXPECT_TRUE(dialog->isSelected(kKeyMapEmuListRow + 1));
    EXPECT_FALSE(dialog->isSelected(kKeyMapEmuListRow));
    EXPECT_EQ(dialog->emuList().child(0).delay(), 55);
    click(kKeyMapEmuListRow);
    EXPECT_EQ(dialog->valueEdit()->text(), "55");
}

TEST_F(KeyMapDialogTest, EmptyRowsDoNothingAndRecordRowsSelect) {
    config.predefinedMacros = predefined({{"m", eventsOf({"A Down", "<10 ms>", "A UP"})}});
    open();
    click(91);
    click(kKeyMapMacroListRow + 3);
    EXPECT_EQ(dialog->macroList().selectedIndex(), 0);
    EXPECT_FALSE(dialog->renaming());
    click(kKeyMapMacroRecordRow + 2);
    EXPECT_EQ(dialog->macroRecord().cursorPos(), 2);
    EXPECT_TRUE(dialog->isSelected(kKeyMapMacroRecordRow + 2));
    click(kKeyMapMacroRecordRow + 5);
    EXPECT_EQ(dialog->macroRecord().cursorPos(), 2);
}

// ---- Delete ----

TEST_F(KeyMapDialogTest, DeletingTheLastEntryLeavesEmptyListsAndThenNothingHappens) {
    config.predefinedMacros = predefined({{"only", eventsOf({"A Down"})}});
    open();
    click(91);
    EXPECT_EQ(dialog->itemText(kKeyMapMacroRecordRow), "A Down");
    click(kKeyMapMacroRemove);
    EXPECT_TRUE(dialog->macroList().empty());
    EXPECT_TRUE(dialog->macroRecord().empty());
    EXPECT_EQ(dialog->itemText(kKeyMapMacroListRow), "");
    EXPECT_EQ(dialog->itemText(kKeyMapMacroRecordRow), "");
    EXPECT_EQ(dialog->listScroll()->maximum(), 8);
    click(kKeyMapMacroRemove);
    EXPECT_EQ(dialog->listScroll()->maximum(), 8);
    click(kKeyMapOk);
    EXPECT_TRUE(config.predefinedMacros.empty());
}

TEST_F(KeyMapDialogTest, DeleteSelectsTheNextEntryAndShowsItsContent) {
    config.predefinedCombos = predefined({{"a", eventsOf({"A"})}, {"b", eventsOf({"B"})}, {"c", eventsOf({"C"})}}, 6);
    config.predefinedCombos.setView(0, 1);
    open();
    click(kKeyMapCombo);
    click(kKeyMapComboDelete);
    EXPECT_EQ(dialog->comboList().items(), (Names{"a", "c"}));
    EXPECT_EQ(dialog->comboText()->toPlainText(), "C");
}

// ---- The number fields ----

struct FieldCase {
    int tab;
    const char* typed;
    const char* shown;
    int stored;  // Delay of the emulation or Cycles of the macro
};

class NumberField : public KeyMapDialogTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(NumberField, ClampsAndStoresIntoTheSelectedEntry) {
    const FieldCase& c = GetParam();
    config.predefinedMacros = predefined({{"m", eventsOf({"A Down"})}});
    config.predefinedEmulations = predefined({{"e", eventsOf({"A"})}});
    open();
    click(c.tab);
    dialog->valueEdit()->selectAll();
    if (*c.typed)
        type(dialog->valueEdit(), c.typed);
    else
        QTest::keyClick(dialog->valueEdit(), Qt::Key_Backspace);
    dialog->refreshDynamicItems();  // as the next repaint does
    EXPECT_EQ(dialog->valueEdit()->text().toStdString(), c.shown);
    const bool macro = c.tab == 91;
    EXPECT_EQ(macro ? dialog->macroRecord().cycles() : dialog->emuRecord().delay(), c.stored);
    EXPECT_EQ(macro ? dialog->macroList().child(0).cycles() : dialog->emuList().child(0).delay(), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberField,
    ::testing::Values(FieldCase{92, "7000", "6000", 6000}, FieldCase{92, "250", "250", 250},
                      FieldCase{92, "", "0", 0}, FieldCase{92, "99999999999999", "6000", 6000},
                      FieldCase{92, "12a", "12", 12}, FieldCase{91, "300", "250", 250},
                      FieldCase{91, "", "1", 1}, FieldCase{91, "7", "7", 7}));

// ---- Scrolling ----

struct BarCase {
    int tab;
    bool listShown, recordShown;
    QRect listPlace, recordPlace;
    int listMaximum, listPage, recordMaximum, recordPage;
};

class ScrollBarsOfThePage : public KeyMapDialogTest, public ::testing::WithParamInterface<BarCase> {};

TEST_P(ScrollBarsOfThePage, ArePlacedAndRangedForTheirLists) {
    const BarCase& c = GetParam();
    config.predefinedCombos = named({"a", "b", "c"});
    config.predefinedMacros = predefined({{"m", eventsOf({"A Down", "A UP"})}});
    config.predefinedEmulations = predefined({{"e", eventsOf({"A", "B", "C", "D"})}, {"f", {}}});
    open();
    click(c.tab);
    const CSkinScrollBar* list = dialog->listScroll();
    const CSkinScrollBar* record = dialog->recordScroll();
    EXPECT_EQ(list->isVisible(), c.listShown);
    EXPECT_EQ(record->isVisible(), c.recordShown);
    if (!c.listShown)
        return;
    EXPECT_EQ(list->geometry(), c.listPlace);
    EXPECT_EQ(record->geometry(), c.recordPlace);
    EXPECT_EQ(list->partSize(), 16) << "skinned from bitmap 138";
    EXPECT_EQ(std::make_pair(list->maximum(), list->page()), std::make_pair(c.listMaximum, c.listPage));
    EXPECT_EQ(std::make_pair(record->maximum(), record->page()), std::make_pair(c.recordMaximum, c.recordPage));
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ScrollBarsOfThePage,
    ::testing::Values(BarCase{90, true, false, {358, 137, 16, 96}, {523, 137, 16, 96}, 8, 6, 0, 6},
                      BarCase{91, true, true, {181, 115, 16, 126}, {357, 115, 16, 126}, 9, 9, 10, 9},
                      BarCase{92, true, true, {181, 115, 16, 126}, {357, 115, 16, 126}, 10, 9, 12, 9},
                      BarCase{93, false, false, {}, {}, 0, 0, 0, 0},
                      BarCase{96, false, false, {}, {}, 0, 0, 0, 0}));

// A list longer than its view, on the Emulate page: entry i has the one event "K<i>".
class ScrollingTheList : public KeyMapDialogTest {
protected:
    void SetUp() override {
        std::vector<std::pair<std::string, KeyEventList>> entries;
        for (int i = 0; i < 12; ++i) {
            const std::string key = "K" + std::to_string(i);
            entries.emplace_back("emu " + std::to_string(i), eventsOf({key.c_str()}));
        }
        config.predefinedEmulations = predefined(entries);
        open();
        click(92);
        auto timer = std::make_unique<FakeScrollRepeatTimer>();
        timer_ = timer.get();
        dialog->listScroll()->setRepeatTimer(std::move(timer));
    }
    // A point of the list's bar, in dialog coordinates.
    QPoint onBar(int along) const {
        const QRect g = dialog->listScroll()->geometry();
        return QPoint(g.x() + g.width() / 2, g.y() + along);
    }
    std::string shownContent() const { return dialog->itemText(kKeyMapEmuRecordRow).toStdString(); }

    FakeScrollRepeatTimer* timer_ = nullptr;
};

TEST_F(ScrollingTheList, HoldingTheDownArrowMovesTheSelectionWithTheRepeatTiming) {
    const QPoint downArrow = onBar(dialog->listScroll()->height() - 4);
    QTest::mousePress(dialog->windowHandle(), Qt::LeftButton, {}, downArrow);
    EXPECT_EQ(dialog->emuList().selectedIndex(), 1) << "one step at once";
    EXPECT_EQ(shownContent(), "K1");
    EXPECT_EQ(timer_->interval(CSkinScrollBar::kFirstDelayTimer), 500);
    ASSERT_TRUE(timer_->fire(CSkinScrollBar::kFirstDelayTimer));
    EXPECT_EQ(dialog->emuList().selectedIndex(), 2);
    EXPECT_EQ(timer_->interval(CSkinScrollBar::kRepeatTimer), 100);
    EXPECT_FALSE(timer_->isRunning(CSkinScrollBar::kFirstDelayTimer));
    for (int i = 3; i <= 5; ++i) {
        ASSERT_TRUE(timer_->fire(CSkinScrollBar::kRepeatTimer));
        EXPECT_EQ(dialog->emuList().selectedIndex(), i);
    }
    EXPECT_EQ(shownContent(), "K5");
    QTest::mouseRelease(dialog->windowHandle(), Qt::LeftButton, {}, downArrow);
    EXPECT_TRUE(timer_->isIdle());
    EXPECT_FALSE(dialog->emuRecording()) << "a press on the bar is no click of the dialog";
}

TEST_F(ScrollingTheList, DraggingTheThumbSelectsEachEntryInTurnAndShowsItsContent) {
    CSkinScrollBar* bar = dialog->listScroll();
    const CSkinScrollBar::Layout layout = bar->layout();
    const QPoint start = onBar((layout.thumb.start + layout.thumb.end) / 2);
    QTest::mousePress(dialog->windowHandle(), Qt::LeftButton, {}, start);
    std::vector<int> seen;
    for (int dy = 4; dy <= 200; dy += 4) {
        QTest::mouseMove(dialog->windowHandle(), start + QPoint(0, dy));
        if (seen.empty() || seen.back() != dialog->emuList().selectedIndex())
            seen.push_back(dialog->emuList().selectedIndex());
        ASSERT_EQ(shownContent(), "K" + std::to_string(dialog->emuList().selectedIndex()));
    }
    QTest::mouseRelease(dialog->windowHandle(), Qt::LeftButton, {}, start + QPoint(0, 200));
    // Every entry passes by, in order, ending on the last.
    std::vector<int> expected;
    for (int i = 0; i < 12; ++i)
        expected.push_back(i);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(bar->position(), 12) << "the range is entries + 8 with a page of 9";
    EXPECT_EQ(dialog->emuList().viewStartAt(), 11 - dialog->emuList().cursorPos());
}

TEST_F(ScrollingTheList, ScrollingKeepsEditsOfTheEntryLeft) {
    dialog->valueEdit()->selectAll();
    type(dialog->valueEdit(), "77");
    const QPoint downArrow = onBar(dialog->listScroll()->height() - 4);
    QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, downArrow);
    EXPECT_EQ(dialog->emuList().selectedIndex(), 1);
    EXPECT_EQ(dialog->emuList().child(0).delay(), 77);
    EXPECT_EQ(dialog->emuRecord().delay(), 30);
}

}  // namespace
