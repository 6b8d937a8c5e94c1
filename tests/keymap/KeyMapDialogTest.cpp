// The frame of the key assignment dialog: the page it opens on, the click dispatcher's order,
// what OK stores, Clear per page, and the ways to close without storing.
#include "KeyMapFixture.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

namespace {

// ---- Opening on the page of the key's kind ----

struct OpenCase {
    const char* what;
    int kind;
    int code;
    int page;
    bool singleMode;
    const char* singleKeyName;  // item 158 on page 1
};

class OpensOnItsPage : public KeyMapDialogTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpensOnItsPage, ShowsThePageAndTheKeysChoice) {
    const OpenCase& c = GetParam();
    config.kind[kKey][0] = c.kind;
    config.code[kKey][0] = c.code;
    auto& d = open();
    EXPECT_EQ(d.currentPage(), c.page);
    EXPECT_EQ(d.singleMode(), c.singleMode);
    EXPECT_EQ(d.isSelected(kKeyMapUniques), c.singleMode);
    EXPECT_EQ(d.isSelected(151), c.singleMode);
    EXPECT_EQ(d.isSelected(kKeyMapCombo), !c.singleMode);
    EXPECT_EQ(d.isSelected(152), !c.singleMode);
    if (c.page == 1) {
        EXPECT_EQ(d.itemText(158).toStdString(), c.singleKeyName);
    }
    const int chosen[] = {d.mediaCode(), d.mouseCode(), d.functionCode(), d.powerCode()};
    for (int page = 4; page <= 7; ++page)
        EXPECT_EQ(chosen[page - 4], page == c.page ? c.code : -1) << "page " << page;
    // The visible controls belong to the page.
    EXPECT_EQ(d.comboText()->isVisible(), c.page == 1);
    EXPECT_EQ(d.valueEdit()->isVisible(), c.page == 2 || c.page == 3);
    EXPECT_EQ(d.delayEdit()->isVisible(), c.page == 2);
    EXPECT_EQ(d.listScroll()->isVisible(), c.page <= 3);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, OpensOnItsPage,
    ::testing::Values(OpenCase{"not set", 0, 0, 1, true, "-- --"},
                      OpenCase{"single A", 1, 43, 1, true, "A"},
                      OpenCase{"single without a name", 1, 0, 1, true, "-- --"},
                      OpenCase{"combo", 2, 0, 1, false, "-- --"},
                      OpenCase{"macro", 3, 0, 2, true, ""},
                      OpenCase{"emulation", 4, 0, 3, true, ""},
                      OpenCase{"multimedia", 5, 113, 4, true, ""},
                      OpenCase{"mouse", 6, 126, 5, true, ""},
                      OpenCase{"function", 7, 157, 6, true, ""},
                      OpenCase{"power", 8, 76, 7, true, ""},
                      OpenCase{"stored kind out of range", 42, 113, 1, true, "-- --"}),
    [](const auto& shown) { return "Case" + std::to_string(shown.index); });

// The key's combination, macro or emulation is selected among the predefined entries; the
// record list shows its content.
TEST_F(KeyMapDialogTest, OpensWithTheKeysOwnEntrySelectedInEachList) {
    const KeyEventList own = eventsOf({"Left CONTROL", "C"});
    const auto lists = [&] {
        return predefined({{"first", eventsOf({"A"})}, {"second", own}});
    };
    config.predefinedCombos = lists();
    config.predefinedMacros = lists();
    config.predefinedEmulations = lists();
    for (int kind : {2, 3, 4}) {
        SCOPED_TRACE(kind);
        setKey(kindFromInt(kind), 0, own);
        auto& d = open();
        const KeyEventList& list = kind == 2 ? d.comboList() : kind == 3 ? d.macroList() : d.emuList();
        const KeyEventList& record = kind == 2 ? d.comboRecord() : kind == 3 ? d.macroRecord() : d.emuRecord();
        EXPECT_EQ(list.selectedIndex(), 1);
        EXPECT_TRUE(record.sameContent(own));
        if (kind == 2)
            EXPECT_EQ(d.comboText()->toPlainText().toStdString(), "Left CONTROL + C");
        else
            EXPECT_EQ(d.itemText(kind == 3 ? 242 : 342).toStdString(), "C");
        dialog->close();
    }
}

TEST_F(KeyMapDialogTest, OpensOnTheEntrySelectedWhenTheListWasStored) {
    config.predefinedMacros = predefined({{"a", eventsOf({"A Down"})}, {"b", eventsOf({"B Down"})}});
    config.predefinedMacros.setView(0, 1);
    auto& d = open();
    EXPECT_EQ(d.macroList().selectedIndex(), 1);
    EXPECT_EQ(d.macroList().sizeOfView(), 9);
    EXPECT_EQ(d.macroRecord().items(), std::vector<std::string>{"B Down"});
}

// ---- The dispatcher's order ----

TEST_F(KeyMapDialogTest, ClickWhileRenamingOnlyCommitsTheName) {
    open();
    click(91);  // Macro page
    click(kKeyMapMacroNew);
    ASSERT_TRUE(dialog->renaming());
    click(93);  // a tab: ends the editor, does not switch
    EXPECT_FALSE(dialog->renaming());
    EXPECT_EQ(dialog->currentPage(), 2);
    EXPECT_EQ(dialog->macroList().items(), std::vector<std::string>{"New Macro 1"});
}

TEST_F(KeyMapDialogTest, OkWhileRenamingCommitsAndStores) {
    open();
    click(91);
    click(kKeyMapMacroNew);
    click(kKeyMapOk);
    EXPECT_FALSE(stillOpen());
    EXPECT_EQ(config.predefinedMacros.items(), std::vector<std::string>{"New Macro 1"});
}

struct CaptureCase {
    const char* what;
    int tab;
    bool comboMode;
    int recordButton, recordCaption, stopCaption;
    bool (CVelaDialogKeyMapSettings::*running)() const;
    bool okGoesOn;  // a capture of keys lets OK through; a recording swallows it
};

class CaptureEndsOnTheNextClick : public KeyMapDialogTest, public ::testing::WithParamInterface<CaptureCase> {
protected:
    void SetUp() override {
        const KeyEventList one = predefined({{"entry", eventsOf({"A"})}});
        config.predefinedCombos = one;
        config.predefinedMacros = one;
        config.predefinedEmulations = one;
    }
    void startCapture() {
        const CaptureCase& c = GetParam();
        click(c.tab);
        if (c.comboMode)
            click(kKeyMapCombo);
        click(c.recordButton);
        ASSERT_TRUE((dialog.get()->*c.running)());
        EXPECT_TRUE(dialog->isSelected(c.recordButton));
        EXPECT_FALSE(dialog->isTextVisible(c.recordCaption));
        EXPECT_TRUE(dialog->isTextVisible(c.stopCaption));
    }
};

TEST_P(CaptureEndsOnTheNextClick, AnyClickStopsAndDoesNothingElse) {
    const CaptureCase& c = GetParam();
    open();
    startCapture();
    click(96);  // the Power tab
    EXPECT_FALSE((dialog.get()->*c.running)());
    EXPECT_EQ(dialog->currentPage(), c.tab - 89);
    EXPECT_FALSE(dialog->isSelected(c.recordButton));
    EXPECT_TRUE(dialog->isTextVisible(c.recordCaption));
    EXPECT_FALSE(dialog->isTextVisible(c.stopCaption));
}

TEST_P(CaptureEndsOnTheNextClick, OkStopsAndThenOnlyACaptureOfKeysGoesOn) {
    const CaptureCase& c = GetParam();
    open();
    startCapture();
    click(kKeyMapOk);
    EXPECT_FALSE((dialog.get()->*c.running)());
    EXPECT_EQ(stillOpen(), !c.okGoesOn);
    if (c.okGoesOn) {
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CaptureEndsOnTheNextClick,
    ::testing::Values(
        CaptureCase{"single", 90, false, 104, 154, 155, &CVelaDialogKeyMapSettings::singleCapturing, true},
        CaptureCase{"combo", 90, true, 107, 159, 160, &CVelaDialogKeyMapSettings::comboCapturing, true},
        CaptureCase{"macro", 91, false, 207, 267, 268, &CVelaDialogKeyMapSettings::macroRecording, false},
        CaptureCase{"emulation", 92, false, 302, 352, 353, &CVelaDialogKeyMapSettings::emuRecording, false}),
    [](const auto& shown) { return std::string(shown.param.what); });

TEST_F(KeyMapDialogTest, RecordButtonsNeedTheirConditions) {
    open();  // every list empty, Uniques mode
    click(kKeyMapComboRecord);
    EXPECT_FALSE(dialog->comboCapturing());
    click(91);
    click(kKeyMapMacroRecord);
    EXPECT_FALSE(dialog->macroRecording());
    click(92);
    click(kKeyMapEmuRecord);
    EXPECT_FALSE(dialog->emuRecording());
    click(90);
    click(kKeyMapCombo);
    click(kKeyMapSingleRecord);  // the single key is captured in Uniques mode only
    EXPECT_FALSE(dialog->singleCapturing());
}

TEST_F(KeyMapDialogTest, UniquesAndComboToggleWhicheverIsClicked) {
    open();
    click(kKeyMapUniques);  // selected: flips to Combo
    EXPECT_FALSE(dialog->singleMode());
    click(kKeyMapUniques);
    EXPECT_TRUE(dialog->singleMode());
    click(kKeyMapCombo);
    EXPECT_FALSE(dialog->singleMode());
    EXPECT_TRUE(dialog->isSelected(152));
    EXPECT_FALSE(dialog->isSelected(151));
}

TEST_F(KeyMapDialogTest, HotAreaWinsOverTheLabelOverItAndALabelAloneDoesNothing) {
    open();
    clickAt(QPoint(400, 345));  // OK's hot area and its label 38
    EXPECT_FALSE(stillOpen());
    open();
    click(95);  // Function page: label 651 lies partly over no icon
    clickAt(QPoint(150, 95));
    EXPECT_TRUE(stillOpen());
    EXPECT_EQ(dialog->functionCode(), -1);
}

// ---- OK ----

struct OkCase {
    const char* what;
    int tab;                  // page to click to, 0 to stay
    std::vector<int> clicks;  // then these items
    int kind;
    int code;
};

class OkStoresThePageShown : public KeyMapDialogTest, public ::testing::WithParamInterface<OkCase> {};

TEST_P(OkStoresThePageShown, WritesKindAndCode) {
    const OkCase& c = GetParam();
    setKey(KeyFunctionKind::Single, 43);  // an old setting to replace
    open();
    if (c.tab)
        click(c.tab);
    for (int id : c.clicks)
        click(id);
    click(kKeyMapOk);
    EXPECT_FALSE(stillOpen());
    EXPECT_EQ(config.kind[kKey][0], c.kind);
    if (c.kind != 0) {
        EXPECT_EQ(config.code[kKey][0], c.code);
    }
    EXPECT_EQ(config.kind[kKey][1], 0) << "the other level stays";
}

INSTANTIATE_TEST_SUITE_P(
    Pages, OkStoresThePageShown,
    ::testing::Values(OkCase{"single kept", 0, {}, 1, 43},
                      OkCase{"multimedia", 93, {407}, 5, 113},
                      OkCase{"mouse", 94, {502}, 6, 126},
                      OkCase{"mouse double click", 94, {511}, 6, 199},
                      OkCase{"function", 95, {612}, 7, 157},
                      OkCase{"power", 96, {702}, 8, 76},
                      OkCase{"empty multimedia page clears the key", 93, {}, 0, 0},
                      OkCase{"undone choice clears the key", 93, {407, 407}, 0, 0},
                      OkCase{"the page shown decides", 93, {407, 94}, 0, 0},
                      OkCase{"combo mode without entries clears the key", 0, {kKeyMapCombo}, 0, 0},
                      OkCase{"empty macro page clears the key", 91, {}, 0, 0},
                      OkCase{"empty emulate page clears the key", 92, {}, 0, 0}),
    [](const auto& shown) { return "Case" + std::to_string(shown.index); });

class FnRule : public KeyMapDialogTest, public ::testing::WithParamInterface<int> {};

TEST_P(FnRule, FnGoesOnBothLevelsOtherFunctionsOnlyOnTheCurrentOne) {
    const int level = GetParam();
    const int other = 1 - level;
    config.currentLevel = level;
    config.kind[kKey][other] = 5;
    config.code[kKey][other] = 113;
    open();
    click(95);
    click(612);  // Mouse DPI+
    click(kKeyMapOk);
    EXPECT_EQ(config.kind[kKey][level], 7);
    EXPECT_EQ(config.kind[kKey][other], 5);
    EXPECT_EQ(config.code[kKey][other], 113);

    open();
    click(613);  // FN
    click(kKeyMapOk);
    for (int l : {0, 1}) {
        EXPECT_EQ(config.kind[kKey][l], 7) << "level " << l;
        EXPECT_EQ(config.code[kKey][l], 156) << "level " << l;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, FnRule, ::testing::Values(0, 1));

TEST_F(KeyMapDialogTest, OkStoresTheSelectedEntryAndOnlyThePagesList) {
    const KeyEventList combo = eventsOf({"Left CONTROL", "C"}, 6);
    const KeyEventList macro = eventsOf({"A Down", "<50 ms>", "A UP"});
    config.predefinedCombos = predefined({{"copy", combo}}, 6);
    config.predefinedMacros = predefined({{"m", macro}});
    config.predefinedEmulations = predefined({{"e", eventsOf({"A", "B"})}});
    open();
    click(kKeyMapCombo);
    click(kKeyMapComboNew);  // an edit of the combinations, discarded below
    click(91);               // ends the editor
    click(91);
    click(kKeyMapOk);
    EXPECT_EQ(config.kind[kKey][0], 3);
    EXPECT_TRUE(config.events[kKey][0].sameContent(macro));
    EXPECT_EQ(config.predefinedCombos.count(), 1) << "combination edits are discarded";

    open();  // on the Macro page now
    click(90);
    click(kKeyMapCombo);
    click(kKeyMapOk);
    EXPECT_EQ(config.kind[kKey][0], 2);
    EXPECT_TRUE(config.events[kKey][0].sameContent(combo));

    open();
    click(92);
    click(kKeyMapOk);
    EXPECT_EQ(config.kind[kKey][0], 4);
    EXPECT_EQ(config.events[kKey][0].items(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(KeyMapDialogTest, OkWithACurrentKeyOutsideTheTableWritesNoKey) {
    config.currentKey = 200;
    config.currentLevel = 3;
    open();
    click(93);
    click(407);
    click(kKeyMapOk);
    EXPECT_FALSE(stillOpen());
    for (int key = 0; key < kKeyRows; ++key)
        ASSERT_EQ(config.kind[key][0] + config.kind[key][1], 0) << key;
}

// ---- Clear ----

class ClearEmptiesThePage : public KeyMapDialogTest, public ::testing::WithParamInterface<int> {};

TEST_P(ClearEmptiesThePage, EmptiesOnlyThePageShownAndOkThenClearsTheKey) {
    const int page = GetParam();
    const KeyEventList two = predefined({{"a", eventsOf({"A"})}, {"b", eventsOf({"B"})}});
    config.predefinedCombos = two;
    config.predefinedMacros = two;
    config.predefinedEmulations = two;
    setKey(KeyFunctionKind::Single, 43);
    open();
    click(89 + page);
    for (int id : {407, 502, 612, 702})
        if (id / 100 == page)
            click(id);
    click(kKeyMapClear);

    const auto& d = *dialog;
    const KeyEventList* lists[] = {&d.comboList(), &d.macroList(), &d.emuList()};
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(lists[p - 1]->count(), p == page ? 0 : 2) << "list of page " << p;
    if (page == 1) {
        EXPECT_EQ(d.singleKeyCode(), -1);
    }
    if (page <= 3) {
        for (const CSkinScrollBar* bar : {d.listScroll(), d.recordScroll()}) {
            EXPECT_EQ(bar->maximum(), 5);
            EXPECT_EQ(bar->page(), 6);
            EXPECT_EQ(bar->position(), 0);
        }
    }
    const int chosen[] = {d.mediaCode(), d.mouseCode(), d.functionCode(), d.powerCode()};
    for (int c : chosen)
        EXPECT_EQ(c, -1);

    click(kKeyMapOk);
    EXPECT_EQ(config.kind[kKey][0], 0);
    const KeyEventList* stored[] = {&config.predefinedCombos, &config.predefinedMacros, &config.predefinedEmulations};
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(stored[p - 1]->count(), p == page ? 0 : 2) << "stored list of page " << p;
}

INSTANTIATE_TEST_SUITE_P(Pages, ClearEmptiesThePage, ::testing::Range(1, 8));

// ---- Closing without storing ----

struct CloseCase {
    const char* what;
    int id;      // item to click, or 0
    int key;     // key to press, or 0
};

class ClosesWithoutStoring : public KeyMapDialogTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ClosesWithoutStoring, LeavesTheConfigurationAlone) {
    const CloseCase& c = GetParam();
    setKey(KeyFunctionKind::Single, 43);
    open();
    click(93);
    click(407);
    if (c.id)
        click(c.id);
    else
        QTest::keyClick(dialog.get(), static_cast<Qt::Key>(c.key));
    EXPECT_FALSE(stillOpen());
    EXPECT_EQ(config.kind[kKey][0], 1);
    EXPECT_EQ(config.code[kKey][0], 43);
}

INSTANTIATE_TEST_SUITE_P(Ways, ClosesWithoutStoring,
                         ::testing::Values(CloseCase{"cancel", kKeyMapCancel, 0},
                                           CloseCase{"close box", kKeyMapClose, 0},
                                           CloseCase{"escape", 0, Qt::Key_Escape},
                                           CloseCase{"return", 0, Qt::Key_Return}),
                         [](const auto& shown) { return std::string(shown.param.what == std::string("close box") ? "closebox" : shown.param.what); });

TEST_F(KeyMapDialogTest, ReturnInTheNumberFieldsIsConsumed) {
    config.predefinedMacros = predefined({{"m", eventsOf({"A Down"})}});
    open();
    click(91);
    dialog->valueEdit()->setFocus();
    QTest::keyClick(dialog->valueEdit(), Qt::Key_Return);
    EXPECT_TRUE(stillOpen());
}

// ---- Hit test of the window ----

TEST_F(KeyMapDialogTest, FreeBackgroundDragsAndTheEdgesAreReported) {
    auto& d = open();
    const int w = d.width(), h = d.height();
    using A = CVelaDialogKeyMapSettings::HitArea;
    const std::pair<QPoint, A> cases[] = {
        {centreOf(kKeyMapOk), A::Client},
        {QPoint(300, 20), A::Caption},           // over the title label only
        {QPoint(w - 3, 100), A::Right},
        {QPoint(100, h - 3), A::Bottom},
        {QPoint(w - 3, h - 3), A::BottomRight},
    };
    for (const auto& [point, area] : cases)
        EXPECT_EQ(d.hitArea(point), area) << point.x() << "," << point.y();
}

TEST_F(KeyMapDialogTest, WindowIsShapedByTheRedColourKey) {
    auto& d = open();
    const QPixmap& background = testSkin().bitmap(107);
    ASSERT_FALSE(background.isNull());
    EXPECT_EQ(d.size(), background.size());
    const QImage image = background.toImage().convertToFormat(QImage::Format_RGB32);
    const QRegion shape = d.mask();
    ASSERT_FALSE(shape.isEmpty());
    for (const QPoint p : {QPoint(0, 0), QPoint(300, 200), centreOf(kKeyMapOk)})
        EXPECT_EQ(shape.contains(p), image.pixel(p) != qRgb(255, 0, 0)) << p.x() << "," << p.y();
}

TEST_F(KeyMapDialogTest, EditsAreOrangeOnDark) {
    auto& d = open();
    for (QWidget* w : std::initializer_list<QWidget*>{d.valueEdit(), d.delayEdit(), d.renameEdit(), d.comboText()}) {
        EXPECT_EQ(w->palette().color(QPalette::Text), QColor(255, 111, 0)) << w->objectName().toStdString();
        EXPECT_EQ(w->palette().color(QPalette::Base), QColor(20, 20, 20)) << w->objectName().toStdString();
        EXPECT_EQ(w->font().pixelSize(), 13);
    }
}

}  // namespace
