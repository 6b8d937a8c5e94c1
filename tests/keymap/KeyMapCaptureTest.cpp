// Recording keys in the key assignment dialog with a fake keyboard capture: the decoding of
// one hooked key, the single key, the combination, the emulation, and that the capture is
// released on every way out and refused honestly when it cannot be had.
#include "KeyMapFixture.h"

#include <QKeyEvent>

namespace {

using Names = std::vector<std::string>;
constexpr std::uint32_t kUp = FakeKeyCapture::kUp;
constexpr std::uint32_t kExt = FakeKeyCapture::kExtended;

// ---- Decoding one WM_HOOKED_KEY ----

struct DecodeCase {
    const char* what;
    std::uint32_t wParam, lParam;
    int leftState, rightState;  // GetKeyState of 160 and 161 now
    bool leftDown, rightDown;   // GetAsyncKeyState of 160 and 161 now
    bool released;
    int vk, code;
};

class Decoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decoding, GivesTheEventCode) {
    const DecodeCase& c = GetParam();
    FakeKeyCapture states;
    states.leftShiftState = c.leftState;
    states.rightShiftState = c.rightState;
    states.leftShiftDown = c.leftDown;
    states.rightShiftDown = c.rightDown;
    ShiftSideMemory memory;  // both saved states 0
    const DecodedKey key = decodeHookedKey(c.wParam, c.lParam, states, memory);
    EXPECT_EQ(key.released, c.released);
    EXPECT_EQ(key.vk, c.vk);
    EXPECT_EQ(key.code, c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Decoding,
    ::testing::Values(
        DecodeCase{"press A", 0x41, 0, 0, 0, false, false, false, 65, 65},
        DecodeCase{"release A", kUp | 0x41, 0, 0, 0, false, false, true, 65, 577},
        DecodeCase{"system key bit ignored", 0x400000A4, 0, 0, 0, false, false, false, 164, 164},
        DecodeCase{"system key release", 0xC0000079, 0, 0, 0, false, false, true, 121, 633},
        DecodeCase{"main Enter", 0x0D, 0, 0, 0, false, false, false, 13, 13},
        DecodeCase{"main Enter release", kUp | 0x0D, 0, 0, 0, false, false, true, 13, 525},
        DecodeCase{"keypad Enter", 0x0D, kExt, 0, 0, false, false, false, 13, 269},
        DecodeCase{"keypad Enter release maps like its press", kUp | 0x0D, kExt, 0, 0, false, false, true, 13, 781},
        DecodeCase{"extended key other than Return", 0x2E, kExt, 0, 0, false, false, false, 46, 46},
        DecodeCase{"high bits of wParam beyond the key", 0x00FF0141, 0, 0, 0, false, false, false, 65, 65},
        DecodeCase{"plain Shift pressed with the left down", 0x10, 0, 0, 0, true, false, false, 160, 160},
        DecodeCase{"plain Shift pressed with the right down", 0x10, 0, 0, 0, false, true, false, 161, 161},
        DecodeCase{"plain Shift pressed, no side down", 0x10, 0, 0, 0, false, false, false, 16, 16},
        DecodeCase{"plain Shift released, left state changed", kUp | 0x10, 0, 1, 0, false, false, true, 160, 672},
        DecodeCase{"plain Shift released, right state changed", kUp | 0x10, 0, 0, 1, false, false, true, 161, 673},
        DecodeCase{"plain Shift released, nothing changed", kUp | 0x10, 0, 0, 0, false, false, true, 16, 528}),
    [](const auto& shown) { return "Case" + std::to_string(shown.index); });

TEST(DecodingShift, ReleasesCompareWithTheStatesSavedAtTheLastRelease) {
    FakeKeyCapture states;
    ShiftSideMemory memory;
    states.leftShiftState = 1;  // left Shift toggled by its release
    EXPECT_EQ(decodeHookedKey(kUp | 0x10, 0, states, memory).vk, 160);
    EXPECT_EQ(memory.left, 1);
    states.rightShiftState = 1;  // now the right one
    EXPECT_EQ(decodeHookedKey(kUp | 0x10, 0, states, memory).vk, 161);
    EXPECT_EQ(decodeHookedKey(kUp | 0x10, 0, states, memory).vk, 16) << "nothing changed since";
}

TEST(RecordedDelay, IsTheTimeSinceThePreviousKeyWithinZeroTo6000) {
    struct { std::int64_t now, previous, expected; } cases[] = {
        {1040, 1000, 40}, {1000, 1000, 0}, {7000, 1000, 6000}, {11000, 1000, 6000}, {900, 1000, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(clampedDelay(c.now, c.previous), c.expected) << c.now << " - " << c.previous;
}

// ---- Single key ----

TEST_F(KeyMapDialogTest, SingleCaptureKeepsTheLastKeyPressedAndOkStoresItsCode) {
    open();
    click(kKeyMapSingleRecord);
    ASSERT_TRUE(keys.installed());
    keys.stroke(0x41);  // A
    EXPECT_EQ(dialog->itemText(158), "A");
    keys.stroke(0x42);  // B
    EXPECT_EQ(dialog->singleKeyCode(), 66);
    EXPECT_EQ(dialog->itemText(158), "B");
    click(kKeyMapSingleRecord);  // the stopping click
    EXPECT_FALSE(keys.installed());
    EXPECT_FALSE(dialog->singleCapturing());
    keys.stroke(0x43);  // typed after the capture: nobody gets it
    EXPECT_EQ(dialog->singleKeyCode(), 66);
    click(kKeyMapOk);
    EXPECT_EQ(config.kindOf(kKey, 0), KeyFunctionKind::Single);
    EXPECT_EQ(config.code[kKey][0], 60);
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(KeyMapDialogTest, SingleCaptureOfAKeyWithoutKeyboardCodeSaysSoAndGoesOn) {
    open();
    click(kKeyMapSingleRecord);
    keys.stroke(124);  // F13
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0], "a=124, b=0, c=1023");
    EXPECT_EQ(dialog->itemText(158), "-- --");
    EXPECT_TRUE(keys.installed()) << "the capture goes on";
    click(kKeyMapOk);  // stops the capture, then OK
    EXPECT_FALSE(keys.installed());
    EXPECT_EQ(config.kindOf(kKey, 0), KeyFunctionKind::NotSet);
}

TEST_F(KeyMapDialogTest, ReturnAndEscDuringACaptureAreRecordedNotObeyed) {
    open();
    click(kKeyMapSingleRecord);
    keys.stroke(0x1B);  // Esc
    EXPECT_EQ(dialog->itemText(158), "ESC");
    keys.stroke(0x0D, kExt);
    EXPECT_EQ(dialog->itemText(158), "(Enter)");
    EXPECT_TRUE(stillOpen());
}

// ---- Combination ----

class ComboCapture : public KeyMapDialogTest {
protected:
    void SetUp() override {
        setKey(KeyFunctionKind::Combo);
        config.predefinedCombos = predefined({{"Copy", eventsOf({"Left CONTROL", "C"}, 6)}}, 6);
        open();
        click(kKeyMapComboRecord);
        ASSERT_TRUE(dialog->comboCapturing());
        ASSERT_TRUE(keys.installed());
    }
    std::string shown() const { return dialog->comboText()->toPlainText().toStdString(); }
};

TEST_F(ComboCapture, KeysPressedTogetherAreJoinedAndReplaceTheOldOnes) {
    EXPECT_TRUE(dialog->comboRecord().empty()) << "a new recording replaces the old keys";
    keys.press(0xA2);
    keys.press(0xA4);
    keys.press(0x2E, kExt);
    keys.release(0x2E, kExt);
    keys.release(0xA4);
    keys.release(0xA2);
    EXPECT_EQ(shown(), "Left CONTROL + Left Alt + DEL");
    click(kKeyMapOk);  // stores the recording into the entry, then OK with it
    EXPECT_FALSE(keys.installed());
    EXPECT_EQ(config.kindOf(kKey, 0), KeyFunctionKind::Combo);
    EXPECT_EQ(config.events[kKey][0].items(), (Names{"Left CONTROL", "Left Alt", "DEL"}));
    EXPECT_EQ(config.predefinedCombos.child(0).items(), (Names{"Left CONTROL", "Left Alt", "DEL"}));
}

TEST_F(ComboCapture, AHeldKeyCountsOnceAndAKeyPressedAgainTwice) {
    for (int i = 0; i < 10; ++i)
        keys.press(0x41);  // held: the platform repeats the press
    keys.release(0x41);
    keys.stroke(0x41);
    EXPECT_EQ(dialog->comboRecord().items(), (Names{"A", "A"}));
}

TEST_F(ComboCapture, ASeventhKeyIsIgnored) {
    for (int vk : {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47})
        keys.press(vk);
    EXPECT_EQ(shown(), "A + B + C + D + E + F");
}

TEST_F(ComboCapture, ShiftSidesAndBothEntersHaveTheirNames) {
    keys.press(0xA0);
    keys.press(0xA1);
    keys.press(0x0D, kExt);
    keys.press(0x0D);
    keys.leftShiftDown = true;
    keys.press(0x10);  // a plain Shift, as a platform without sides reports it
    EXPECT_EQ(dialog->comboRecord().items(), (Names{"Left SHIFT", "Right SHIFT", "(Enter)", "ENTER", "Left SHIFT"}));
}

TEST_F(ComboCapture, AKeyWithoutANameIsAddedAsNoName) {
    keys.press(0xFF);
    EXPECT_EQ(dialog->comboRecord().items(), (Names{"-- --"}));
}

// ---- Emulation ----

class EmulationCapture : public KeyMapDialogTest {
protected:
    void SetUp() override {
        KeyEventList old = eventsOf({"X"});
        old.setDelay(250);
        config.predefinedEmulations = predefined({{"Login", old}});
        setKey(KeyFunctionKind::Emulation, 0, old);
        open();
        click(kKeyMapEmuRecord);
        ASSERT_TRUE(dialog->emuRecording());
    }
};

TEST_F(EmulationCapture, KeysTypedInTurnAreRecordedOnceEachUpToSix) {
    EXPECT_TRUE(dialog->emuRecord().empty());
    EXPECT_EQ(dialog->emuRecord().delay(), 250) << "the delay is kept";
    keys.stroke(0x41);
    keys.stroke(0x42);
    for (int i = 0; i < 5; ++i)
        keys.press(0x41);  // held: once
    keys.release(0x41);
    EXPECT_EQ(dialog->emuRecord().items(), (Names{"A", "B", "A"}));
    EXPECT_EQ(dialog->itemText(kKeyMapEmuRecordRow + 2), "A");
    for (int vk : {0x43, 0x44, 0x45, 0x46})
        keys.stroke(vk);
    EXPECT_EQ(dialog->emuRecord().items(), (Names{"A", "B", "A", "C", "D", "E"}));
    click(kKeyMapOk);  // only stops the recording
    EXPECT_TRUE(stillOpen());
    EXPECT_FALSE(keys.installed());
    EXPECT_EQ(dialog->emuList().child(0).items(), (Names{"A", "B", "A", "C", "D", "E"}));
    click(kKeyMapOk);
    EXPECT_EQ(config.kindOf(kKey, 0), KeyFunctionKind::Emulation);
    EXPECT_EQ(config.events[kKey][0].items(), (Names{"A", "B", "A", "C", "D", "E"}));
    EXPECT_EQ(config.events[kKey][0].delay(), 250);
}

TEST_F(EmulationCapture, AReleaseOfAKeyHeldBeforeRecordIsIgnored) {
    keys.release(0x41);
    keys.press(0x41);
    EXPECT_EQ(dialog->emuRecord().items(), (Names{"A"}));
}

// ---- Releasing the capture on every way out ----

struct WayOut {
    const char* what;
    int tab;            // page of the Record button
    int recordButton;
    bool combo;         // the Uni/Combo page in Combo mode
    void (*leave)(KeyMapDialogTest&, std::unique_ptr<CVelaDialogKeyMapSettings>&);
};

class CaptureRelease : public KeyMapDialogTest, public ::testing::WithParamInterface<WayOut> {
public:
    void clickItem(int id) { click(id); }
};

TEST_P(CaptureRelease, LeavesNoCaptureBehind) {
    const WayOut& c = GetParam();
    const KeyEventList one = eventsOf({"A"}, 6);
    config.predefinedCombos = predefined({{"c", one}}, 6);
    config.predefinedMacros = predefined({{"m", one}});
    config.predefinedEmulations = predefined({{"e", one}});
    open();
    click(c.tab);
    if (c.combo)
        click(kKeyMapCombo);
    click(c.recordButton);
    ASSERT_TRUE(keys.installed());
    c.leave(*this, dialog);
    EXPECT_FALSE(keys.installed());
    EXPECT_EQ(keys.uninstalls, 1) << "released exactly once";
    EXPECT_EQ(keys.installs, 1);
}

void leaveByClick(KeyMapDialogTest& t, std::unique_ptr<CVelaDialogKeyMapSettings>&) {
    static_cast<CaptureRelease&>(t).clickItem(kKeyMapFirstTab + 6);
}
void leaveByOk(KeyMapDialogTest& t, std::unique_ptr<CVelaDialogKeyMapSettings>&) {
    static_cast<CaptureRelease&>(t).clickItem(kKeyMapOk);
}
void leaveByCancel(KeyMapDialogTest& t, std::unique_ptr<CVelaDialogKeyMapSettings>&) {
    static_cast<CaptureRelease&>(t).clickItem(kKeyMapCancel);
}
void leaveByCloseBox(KeyMapDialogTest& t, std::unique_ptr<CVelaDialogKeyMapSettings>&) {
    static_cast<CaptureRelease&>(t).clickItem(kKeyMapClose);
}
void leaveByClosingTheWindow(KeyMapDialogTest&, std::unique_ptr<CVelaDialogKeyMapSettings>& d) { d->close(); }
void leaveByEsc(KeyMapDialogTest&, std::unique_ptr<CVelaDialogKeyMapSettings>& d) {
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(d.get(), &esc);
    EXPECT_FALSE(d->isVisible());
}
void leaveByDestroying(KeyMapDialogTest&, std::unique_ptr<CVelaDialogKeyMapSettings>& d) { d.reset(); }

INSTANTIATE_TEST_SUITE_P(
    Ways, CaptureRelease,
    ::testing::Values(WayOut{"SingleStopClick", 90, 104, false, leaveByClick},
                      WayOut{"SingleOk", 90, 104, false, leaveByOk},
                      WayOut{"SingleCancel", 90, 104, false, leaveByCancel},
                      WayOut{"SingleCloseBox", 90, 104, false, leaveByCloseBox},
                      WayOut{"SingleWindowClosed", 90, 104, false, leaveByClosingTheWindow},
                      WayOut{"SingleEsc", 90, 104, false, leaveByEsc},
                      WayOut{"SingleDestroyed", 90, 104, false, leaveByDestroying},
                      WayOut{"ComboOk", 90, 107, true, leaveByOk},
                      WayOut{"ComboDestroyed", 90, 107, true, leaveByDestroying},
                      WayOut{"MacroStopClick", 91, 207, false, leaveByClick},
                      WayOut{"MacroCancelClickOnlyStops", 91, 207, false, leaveByCancel},
                      WayOut{"MacroWindowClosed", 91, 207, false, leaveByClosingTheWindow},
                      WayOut{"MacroDestroyed", 91, 207, false, leaveByDestroying},
                      WayOut{"EmulationCloseBoxOnlyStops", 92, 302, false, leaveByCloseBox},
                      WayOut{"EmulationDestroyed", 92, 302, false, leaveByDestroying}),
    [](const auto& shown) { return std::string(shown.param.what); });

TEST_F(KeyMapDialogTest, KeysPostedBeforeTheDialogWentAreDroppedSafely) {
    open();
    click(kKeyMapSingleRecord);
    IHookTarget* target = keys.target;
    ASSERT_NE(target, nullptr);
    target->postHookedKey(0x41, 0);  // queued, not yet handled
    dialog.reset();
    QCoreApplication::processEvents();  // the queued key finds no dialog
    EXPECT_FALSE(keys.installed());
}

// ---- When the keyboard cannot be captured ----

struct RefusalCase {
    const char* language;
    bool available;
    const char* text;
};

class CaptureRefused : public KeyMapDialogTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(CaptureRefused, TheRecordButtonSaysSoAndStaysOut) {
    const RefusalCase& c = GetParam();
    config.language = c.language;
    config.predefinedCombos = predefined({{"Copy", eventsOf({"Left CONTROL", "C"}, 6)}}, 6);
    config.predefinedMacros = predefined({{"m", eventsOf({"A Down"})}});
    keys.refuse = true;
    keys.available = c.available;
    open();
    click(kKeyMapSingleRecord);
    EXPECT_FALSE(dialog->singleCapturing());
    EXPECT_FALSE(dialog->isSelected(kKeyMapSingleRecord));
    EXPECT_TRUE(dialog->isTextVisible(154));
    EXPECT_FALSE(dialog->isTextVisible(155));
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(messages.texts()[0].toStdString(), c.text);

    click(kKeyMapCombo);
    click(kKeyMapComboRecord);
    EXPECT_FALSE(dialog->comboCapturing());
    EXPECT_EQ(dialog->comboRecord().items(), (Names{"Left CONTROL", "C"})) << "nothing is lost";
    click(kKeyMapFirstTab + 1);
    click(kKeyMapMacroRecord);
    EXPECT_FALSE(dialog->macroRecording());
    EXPECT_EQ(dialog->macroRecord().items(), (Names{"A Down"}));
    EXPECT_EQ(messages.texts().size(), 3u);
    EXPECT_FALSE(keys.installed());
}

INSTANTIATE_TEST_SUITE_P(
    Languages, CaptureRefused,
    ::testing::Values(
        RefusalCase{"en-US", true, "Keys cannot be captured now: another program holds the keyboard."},
        RefusalCase{"zh-CN", true, "现在无法捕获按键：另一个程序占用了键盘。"},
        RefusalCase{"en-US", false, "Keys cannot be captured here: the desktop offers no keyboard capture."},
        RefusalCase{"zh-CN", false, "此处无法捕获按键：桌面不提供键盘捕获。"}),
    [](const auto& shown) {
        return std::string(shown.param.language[0] == 'e' ? "English" : "Chinese") +
               (shown.param.available ? "Held" : "NoDisplay");
    });

}  // namespace
