// The Macro page: recording with measured delays on the dialog's clock, the limits, the Auto
// check box in both directions, the delay editor and the mouse-action menu.
#include "KeyMapFixture.h"

#include <QAction>
#include <QMenu>

namespace {

using Names = std::vector<std::string>;
constexpr std::uint32_t kExt = FakeKeyCapture::kExtended;

class MacroPage : public KeyMapDialogTest {
protected:
    // Opens on the Macro page with one macro holding `content`, selected.
    void openWith(KeyEventList content) {
        config.predefinedMacros = predefined({{"Macro", std::move(content)}});
        setKey(KeyFunctionKind::Macro, 0, config.predefinedMacros.child(0));
        open();
        ASSERT_EQ(dialog->currentPage(), 2);
    }
    void openWith(const Names& content) {
        KeyEventList list(9);
        for (const std::string& e : content)
            list.append(e, {});
        openWith(std::move(list));
    }
    void record() {
        click(kKeyMapMacroRecord);
        ASSERT_TRUE(dialog->macroRecording());
    }
    const Names& entries() const { return dialog->macroRecord().items(); }
    // What the selected macro of the list holds now.
    const Names& stored() const { return dialog->macroList().child(dialog->macroList().selectedIndex()).items(); }
};

// ---- Recording ----

TEST_F(MacroPage, ThePauseBetweenTwoEventsIsRecordedAsADelay) {
    openWith(eventsOf({"Old Down"}));
    record();
    EXPECT_TRUE(entries().empty()) << "the recording replaces the old events";
    keys.press(0x41);
    wait(40);
    keys.release(0x41);
    EXPECT_EQ(entries(), (Names{"A Down", "<40 ms>", "A UP"}));
    EXPECT_EQ(dialog->itemText(kKeyMapMacroRecordRow + 2), "A UP");
    click(kKeyMapMacroRecord);  // stop
    EXPECT_FALSE(keys.installed());
    EXPECT_EQ(stored(), (Names{"A Down", "<40 ms>", "A UP"}));
}

TEST_F(MacroPage, APauseLongerThanSixSecondsIsRecordedAs6000) {
    openWith(Names{});
    record();
    keys.press(0x41);
    wait(10000);
    keys.release(0x41);
    EXPECT_EQ(entries(), (Names{"A Down", "<6000 ms>", "A UP"}));
}

TEST_F(MacroPage, AHeldKeyIsOnePressAndOneReleaseTimedFromItsLastRepeat) {
    openWith(Names{});
    record();
    keys.press(0x41);
    wait(500);
    keys.press(0x41);  // the platform's repeats
    wait(30);
    keys.press(0x41);
    wait(20);
    keys.release(0x41);
    EXPECT_EQ(entries(), (Names{"A Down", "<20 ms>", "A UP"}));
}

TEST_F(MacroPage, AReleaseOfAKeyHeldBeforeRecordIsIgnored) {
    openWith(Names{});
    record();
    keys.release(0x42);
    wait(15);
    keys.press(0x41);
    // No delay before the first recorded event: a macro starting with a delay would lose its
    // events to the Auto check box, which keeps the even places.
    EXPECT_EQ(entries(), (Names{"A Down"}));
}

TEST_F(MacroPage, TheKeypadEnterIsRecordedAsPressAndReleaseOfOneKey) {
    openWith(Names{});
    record();
    keys.press(0x0D, kExt);
    wait(60);
    keys.release(0x0D, kExt);
    EXPECT_EQ(entries(), (Names{"(Enter) Down", "<60 ms>", "(Enter) UP"}));
}

TEST_F(MacroPage, WithAutoOnlyEventsAreRecordedAndTheLoopCountStays) {
    KeyEventList content = eventsOf({"Old Down"});
    content.setAutoInterval(true);
    content.setCycles(7);
    openWith(content);
    EXPECT_TRUE(dialog->isSelected(kKeyMapAutoInterval));
    record();
    keys.press(0x41);
    wait(40);
    keys.release(0x41);
    EXPECT_EQ(entries(), (Names{"A Down", "A UP"}));
    EXPECT_EQ(dialog->macroRecord().cycles(), 7);
    EXPECT_TRUE(dialog->macroRecord().isAutoInterval());
}

struct LimitCase {
    bool autoInterval;
    int limit;
};

class MacroLimits : public MacroPage, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(MacroLimits, EventsBeyondTheLimitAreDropped) {
    KeyEventList content(9);
    content.setAutoInterval(GetParam().autoInterval);
    openWith(content);
    record();
    for (int i = 0; i < 150; ++i) {
        keys.stroke(0x41 + i % 20);
        wait(5);
    }
    EXPECT_EQ(dialog->macroRecord().count(), GetParam().limit);
    EXPECT_EQ(entries().back().find('<'), std::string::npos) << "the list ends on an event";
    click(kKeyMapMacroRecord);
    EXPECT_EQ(static_cast<int>(stored().size()), GetParam().limit);
}

INSTANTIATE_TEST_SUITE_P(Auto, MacroLimits, ::testing::Values(LimitCase{false, 127}, LimitCase{true, 254}),
                         [](const auto& shown) { return std::string(shown.param.autoInterval ? "On" : "Off"); });

TEST_F(MacroPage, OkWhileRecordingOnlyStopsAndASecondOkStores) {
    openWith(Names{});
    record();
    keys.stroke(0x41);
    click(kKeyMapOk);
    EXPECT_TRUE(stillOpen());
    EXPECT_FALSE(keys.installed());
    click(kKeyMapOk);
    EXPECT_FALSE(stillOpen());
    EXPECT_EQ(config.kindOf(kKey, 0), KeyFunctionKind::Macro);
    EXPECT_EQ(config.events[kKey][0].items(), (Names{"A Down", "<0 ms>", "A UP"}));
    EXPECT_EQ(config.predefinedMacros.child(0).items(), (Names{"A Down", "<0 ms>", "A UP"}));
}

// ---- Auto check box ----

TEST_F(MacroPage, AutoDropsTheDelaysAndBackGivesZeroDelays) {
    KeyEventList content = eventsOf({"A Down", "<40 ms>", "A UP", "<15 ms>", "B Down"});
    content.setCycles(3);
    openWith(content);
    click(kKeyMapAutoInterval);
    EXPECT_EQ(entries(), (Names{"A Down", "A UP", "B Down"}));
    EXPECT_TRUE(dialog->macroRecord().isAutoInterval());
    EXPECT_TRUE(dialog->isSelected(kKeyMapAutoInterval));
    EXPECT_EQ(dialog->macroRecord().cycles(), 3);
    EXPECT_EQ(stored(), (Names{"A Down", "A UP", "B Down"}));
    EXPECT_TRUE(dialog->macroList().child(0).isAutoInterval());

    click(kKeyMapAutoInterval);
    EXPECT_EQ(entries(), (Names{"A Down", "<0 ms>", "A UP", "<0 ms>", "B Down"})) << "the measured delays are gone";
    EXPECT_FALSE(dialog->macroRecord().isAutoInterval());
    EXPECT_FALSE(dialog->isSelected(kKeyMapAutoInterval));
    EXPECT_EQ(stored(), entries());
}

TEST_F(MacroPage, AutoOffOnALongAutomaticMacroKeepsItWithinTheLimit) {
    KeyEventList content(9);
    for (int i = 0; i < 200; ++i)
        content.append(i % 2 ? "A UP" : "A Down", {});
    content.setAutoInterval(true);
    openWith(content);
    click(kKeyMapAutoInterval);
    EXPECT_EQ(dialog->macroRecord().count(), 127);
    EXPECT_EQ(entries().back(), "A UP") << "event 64 of the 200, with delays between";
}

// ---- Delay editor ----

TEST_F(MacroPage, TheDelayEditorChangesTheSelectedDelay) {
    openWith(eventsOf({"A Down", "<40 ms>", "A UP"}));
    click(kKeyMapMacroRecordRow + 1);
    click(kKeyMapDelayButton);
    EXPECT_TRUE(dialog->delayEditing());
    EXPECT_TRUE(dialog->delayEdit()->isEnabled());
    EXPECT_EQ(dialog->delayEdit()->text(), "40");
    dialog->delayEdit()->clear();
    type(dialog->delayEdit(), "12345");
    click(kKeyMapDelayButton);
    EXPECT_FALSE(dialog->delayEditing());
    EXPECT_EQ(entries(), (Names{"A Down", "<12345 ms>", "A UP"})) << "a typed delay has no upper limit";
    EXPECT_EQ(stored(), entries());
    EXPECT_EQ(dialog->delayEdit()->text(), "");
    EXPECT_FALSE(dialog->delayEdit()->isEnabled());
}

TEST_F(MacroPage, AnEmptyDelayFieldStoresZero) {
    openWith(eventsOf({"A Down", "<40 ms>", "A UP"}));
    click(kKeyMapMacroRecordRow + 1);
    click(kKeyMapDelayButton);
    dialog->delayEdit()->clear();
    click(kKeyMapDelayButton);
    EXPECT_EQ(entries()[1], "<0 ms>");
}

TEST_F(MacroPage, TheDelayEditorIgnoresEventsAndAClickElsewhereAbandonsTheChange) {
    openWith(eventsOf({"A Down", "<40 ms>", "A UP"}));
    click(kKeyMapMacroRecordRow);  // an event
    click(kKeyMapDelayButton);
    EXPECT_FALSE(dialog->delayEditing());
    EXPECT_FALSE(dialog->delayEdit()->isEnabled());

    click(kKeyMapMacroRecordRow + 1);
    click(kKeyMapDelayButton);
    type(dialog->delayEdit(), "9");
    click(kKeyMapMacroRecordRow + 2);
    EXPECT_FALSE(dialog->delayEditing());
    EXPECT_FALSE(dialog->isSelected(kKeyMapDelayButton));
    EXPECT_EQ(dialog->delayEdit()->text(), "");
    EXPECT_EQ(entries(), (Names{"A Down", "<40 ms>", "A UP"}));
}

// ---- Mouse-action menu ----

class MouseMenu : public MacroPage {
protected:
    void rightClick(int id) {
        QTest::mouseClick(dialog->windowHandle(), Qt::RightButton, {}, centreOf(id));
    }
    // The menu's command with this id, searched through the submenus.
    static QAction* command(QMenu* menu, int id) {
        for (QAction* a : menu->actions()) {
            if (a->menu()) {
                if (QAction* found = command(a->menu(), id))
                    return found;
            } else if (a->data().toInt() == id) {
                return a;
            }
        }
        return nullptr;
    }
    // Right-clicks the record row and chooses the command from the menu that opens.
    void choose(int rowId, int id) {
        rightClick(rowId);
        QMenu* menu = dialog->mouseActionMenu();
        ASSERT_NE(menu, nullptr);
        QAction* action = command(menu, id);
        ASSERT_NE(action, nullptr) << id;
        action->trigger();
        menu->close();
    }
};

struct MenuCase {
    const char* what;
    bool autoInterval;
    Names before;
    int row;
    int command;
    Names after;
};

class MouseMenuCommands : public MouseMenu, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MouseMenuCommands, InsertOrDeleteAtTheRightClickedRow) {
    const MenuCase& c = GetParam();
    KeyEventList content(9);
    for (const std::string& e : c.before)
        content.append(e, {});
    content.setAutoInterval(c.autoInterval);
    openWith(content);
    choose(kKeyMapMacroRecordRow + c.row, c.command);
    EXPECT_EQ(entries(), c.after);
    EXPECT_EQ(stored(), c.after);
}

const Names kAUpDown{"A Down", "<40 ms>", "A UP"};

INSTANTIATE_TEST_SUITE_P(
    Commands, MouseMenuCommands,
    ::testing::Values(
        MenuCase{"LeftClickBeforeAnEvent", false, kAUpDown, 2, 1137,
                 {"A Down", "<40 ms>", "Mouse Key Left", "<0 ms>", "Mouse Key Left", "<0 ms>", "A UP"}},
        MenuCase{"RightPressBeforeADelay", false, kAUpDown, 1, 1138,
                 {"A Down", "<0 ms>", "Mouse Key Right", "<40 ms>", "A UP"}},
        MenuCase{"RightReleaseIsTheSameEntry", false, kAUpDown, 1, 1139,
                 {"A Down", "<0 ms>", "Mouse Key Right", "<40 ms>", "A UP"}},
        MenuCase{"MiddleClickBeforeADelay", false, kAUpDown, 1, 1143,
                 {"A Down", "<0 ms>", "Mouse Key Middle", "<0 ms>", "Mouse Key Middle", "<40 ms>", "A UP"}},
        MenuCase{"WheelDownBeforeTheFirstEvent", false, kAUpDown, 0, 1145,
                 {"Mouse Wheel Dn", "<0 ms>", "A Down", "<40 ms>", "A UP"}},
        MenuCase{"WheelUpWithAuto", true, {"A Down", "A UP"}, 1, 1144, {"A Down", "Mouse Wheel Up", "A UP"}},
        MenuCase{"LeftClickWithAuto", true, {"A Down", "A UP"}, 0, 1137,
                 {"Mouse Key Left", "Mouse Key Left", "A Down", "A UP"}},
        MenuCase{"DeleteAnEventTakesTheDelayAfterIt", false, kAUpDown, 0, 1147, {"A UP"}},
        MenuCase{"DeleteADelayTakesTheEventAfterIt", false,
                 {"A Down", "<40 ms>", "A UP", "<10 ms>", "B Down"}, 1, 1147, {"A Down", "<10 ms>", "B Down"}},
        MenuCase{"DeleteTheLastEventTakesTheDelayBeforeIt", false, kAUpDown, 2, 1147, {"A Down"}},
        MenuCase{"DeleteWithAutoTakesOneEntry", true, {"A Down", "A UP"}, 0, 1147, {"A UP"}}),
    [](const auto& shown) { return std::string(shown.param.what); });

TEST_F(MouseMenu, InsertionsPastTheLimitAreCutFromTheEnd) {
    KeyEventList content(9);
    for (int i = 0; i < 127; ++i)
        content.append(i % 2 ? "<5 ms>" : "A Down", {});
    openWith(content);
    choose(kKeyMapMacroRecordRow, 1140);  // Right Click: four entries
    ASSERT_EQ(dialog->macroRecord().count(), 127);
    EXPECT_EQ(entries()[0], "Mouse Key Right");
    EXPECT_EQ(entries()[3], "<0 ms>");
    EXPECT_EQ(entries().back(), "A Down") << "the list's own end was cut";
}

struct MenuTextCase {
    const char* language;
    Names titles;       // the menu's entries
    Names leftClick;    // the first submenu's commands
};

class MouseMenuTexts : public MouseMenu, public ::testing::WithParamInterface<MenuTextCase> {};

TEST_P(MouseMenuTexts, AreInTheDialogsLanguage) {
    config.language = GetParam().language;
    openWith(kAUpDown);
    rightClick(kKeyMapMacroRecordRow);
    QMenu* menu = dialog->mouseActionMenu();
    ASSERT_NE(menu, nullptr);
    Names titles;
    for (QAction* a : menu->actions())
        titles.push_back(a->text().toStdString());
    EXPECT_EQ(titles, GetParam().titles);
    Names left;
    for (QAction* a : menu->actions()[0]->menu()->actions())
        left.push_back(a->text().toStdString());
    EXPECT_EQ(left, GetParam().leftClick);
    menu->close();
}

INSTANTIATE_TEST_SUITE_P(
    Languages, MouseMenuTexts,
    ::testing::Values(MenuTextCase{"en-US", {"Left Click", "Right Click", "Middle Click", "Wheel", "Deleta"},
                                   {"Press", "Release", "Click"}},
                      MenuTextCase{"zh-CN", {"鼠标左键", "鼠标右键", "鼠标中键", "滚轮", "删除"}, {"按下", "释放", "点击"}}),
    [](const auto& shown) { return std::string(shown.param.language[0] == 'e' ? "English" : "Chinese"); });

TEST_F(MouseMenu, OpensOnlyOverARecordRowThatHoldsAnEntry) {
    openWith(kAUpDown);
    rightClick(kKeyMapMacroRecordRow + 3);  // empty row
    EXPECT_EQ(dialog->mouseActionMenu(), nullptr);
    rightClick(kKeyMapMacroListRow);  // a row of the macro list
    EXPECT_EQ(dialog->mouseActionMenu(), nullptr);
}

TEST_F(MouseMenu, AnotherLanguageHasNoMenu) {
    config.language = "fr-FR";
    openWith(kAUpDown);
    rightClick(kKeyMapMacroRecordRow);
    EXPECT_EQ(dialog->mouseActionMenu(), nullptr);
}

TEST_F(MouseMenu, ARightClickDoesNotStopARecording) {
    openWith(kAUpDown);
    record();
    keys.stroke(0x41);
    choose(kKeyMapMacroRecordRow, 1135);
    EXPECT_TRUE(dialog->macroRecording());
    EXPECT_TRUE(keys.installed());
    EXPECT_EQ(entries(), (Names{"Mouse Key Left", "<0 ms>", "A Down", "<0 ms>", "A UP"}));
}

}  // namespace
