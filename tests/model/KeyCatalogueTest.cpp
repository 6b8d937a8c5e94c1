#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "KeyCatalogue.h"
#include "KeyTable.h"

namespace {

class KeyCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(catalogue.buildKeyCatalogue()); }
    KeyCatalogue catalogue;
};

struct KeyboardCodeRow {
    int code;
    int host;
    const char* name;
};

// Every keyboard code with its host code and name, as the keyboard's code table lists them.
constexpr KeyboardCodeRow kKeyboardCodeRows[] = {
    {1, 27, "ESC"},
    {2, 112, "F1"},
    {3, 113, "F2"},
    {4, 114, "F3"},
    {5, 115, "F4"},
    {6, 116, "F5"},
    {7, 117, "F6"},
    {8, 118, "F7"},
    {9, 119, "F8"},
    {10, 120, "F9"},
    {11, 121, "F10"},
    {12, 122, "F11"},
    {13, 123, "F12"},
    {14, 192, "`"},
    {15, 49, "1"},
    {16, 50, "2"},
    {17, 51, "3"},
    {18, 52, "4"},
    {19, 53, "5"},
    {20, 54, "6"},
    {21, 55, "7"},
    {22, 56, "8"},
    {23, 57, "9"},
    {24, 48, "0"},
    {25, 189, "-"},
    {26, 187, "+"},
    {27, 8, "BACKSPACE"},
    {28, 9, "TAB"},
    {29, 81, "Q"},
    {30, 87, "W"},
    {31, 69, "E"},
    {32, 82, "R"},
    {33, 84, "T"},
    {34, 89, "Y"},
    {35, 85, "U"},
    {36, 73, "I"},
    {37, 79, "O"},
    {38, 80, "P"},
    {39, 219, "["},
    {40, 221, "]"},
    {41, 220, "\\"},
    {42, 20, "CAPS LOCK"},
    {43, 65, "A"},
    {44, 83, "S"},
    {45, 68, "D"},
    {46, 70, "F"},
    {47, 71, "G"},
    {48, 72, "H"},
    {49, 74, "J"},
    {50, 75, "K"},
    {51, 76, "L"},
    {52, 186, ";"},
    {53, 222, "'"},
    {54, 13, "ENTER"},
    {55, 160, "Left SHIFT"},
    {56, 90, "Z"},
    {57, 88, "X"},
    {58, 67, "C"},
    {59, 86, "V"},
    {60, 66, "B"},
    {61, 78, "N"},
    {62, 77, "M"},
    {63, 188, ","},
    {64, 190, "."},
    {65, 191, "/"},
    {66, 161, "Right SHIFT"},
    {67, 162, "Left CONTROL"},
    {68, 91, "Left Windows"},
    {69, 164, "Left Alt"},
    {70, 32, "SPACEBAR"},
    {71, 165, "Right Alt"},
    {72, 92, "Right Windows"},
    {73, 93, "Applications"},
    {74, 163, "Right CONTROL"},
    {75, 331, "Wake Up"},
    {76, 332, "Sleep"},
    {77, 333, "Power"},
    {78, 44, "PRINT SCREEN"},
    {79, 145, "SCROLL LOCK"},
    {80, 19, "PAUSE"},
    {81, 45, "INS"},
    {82, 36, "HOME"},
    {83, 33, "PAGE UP"},
    {84, 46, "DEL"},
    {85, 35, "END"},
    {86, 34, "PAGE DOWN"},
    {87, 38, "UP ARROW"},
    {88, 37, "LEFT ARROW"},
    {89, 40, "DOWN ARROW"},
    {90, 39, "RIGHT ARROW"},
    {91, 144, "NUM LOCK"},
    {92, 111, "(/)"},
    {93, 106, "(*)"},
    {94, 103, "(7)"},
    {95, 104, "(8)"},
    {96, 105, "(9)"},
    {97, 100, "(4)"},
    {98, 101, "(5)"},
    {99, 102, "(6)"},
    {100, 97, "(1)"},
    {101, 98, "(2)"},
    {102, 99, "(3)"},
    {103, 96, "(0)"},
    {104, 110, "(.)"},
    {105, 109, "(-)"},
    {106, 107, "(+)"},
    {107, 269, "(Enter)"},
    {108, 364, "Next track"},
    {109, 365, "Previous track"},
    {110, 366, "Stop"},
    {111, 367, "Play/Pause"},
    {112, 368, "Mute"},
    {113, 369, "VolumeUp"},
    {114, 370, "VolumeDn"},
    {115, 371, "Media Select"},
    {116, 372, "E-mail"},
    {117, 373, "Calculator"},
    {118, 374, "My computer"},
    {119, 375, "WWW Search"},
    {120, 376, "WWW Home"},
    {121, 377, "WWW Back"},
    {122, 378, "WWW Forward"},
    {123, 379, "WWW Stop"},
    {124, 380, "WWW Refresh"},
    {125, 381, "WWW Favorities"},
    {126, 382, "Mouse Left"},
    {127, 383, "Mouse Right"},
    {128, 384, "Mouse Up"},
    {129, 385, "Mouse Down"},
    {130, 386, "Mouse Key Left"},
    {131, 387, "Mouse Key Right"},
    {132, 388, "Mouse Key Middle"},
    {133, 389, "Mouse Wheel Up"},
    {134, 390, "Mouse Wheel Dn"},
    {135, 391, "Backlight Switch"},
    {136, 392, "Backlight Macro"},
    {137, 393, "Backlight Area 1 Color Regulate"},
    {138, 394, "Backlight Area 2 Color Regulate"},
    {139, 395, "Backlight Area 3 Color Regulate"},
    {140, 396, "Backlight Area 4 Color Regulate"},
    {141, 397, "Backlight Breathe"},
    {142, 398, "Breathe Frequence-"},
    {143, 399, "Breathe Frequence+"},
    {144, 400, "Backlight Lightness+"},
    {145, 401, "Backlight Lightness-"},
    {146, 402, "Sunset or Relax Mode"},
    {147, 403, "Color Breathe"},
    {148, 404, "Backlight All Color Regulate"},
    {149, 405, "6 or N key convert"},
    {150, 406, "Keyboard Lock"},
    {151, 407, "Key Response Regulate"},
    {152, 408, "Ctrl to Caps convert"},
    {153, 409, "WinLock"},
    {154, 410, "ScanDelay"},
    {155, 411, "ReportRate"},
    {156, 412, "FN"},
    {157, 413, "DPI+"},
    {158, 414, "DPI-"},
    {159, 415, "Programmable Keyboard"},
    {199, 455, "Left Double Click"},
};

TEST_F(KeyCatalogueTest, EveryKeyboardCodeHasItsHostCodeAndName) {
    for (const KeyboardCodeRow& row : kKeyboardCodeRows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(catalogue.hostCodeOf(row.code), row.host);
        EXPECT_EQ(catalogue.keyboardCodeOfHost(row.host), row.code);
        EXPECT_EQ(catalogue.nameOfKeyboardCode(row.code), row.name);
        EXPECT_EQ(catalogue.nameOfHostCode(row.host, false), row.name);
    }
}

TEST_F(KeyCatalogueTest, CodesOutsideTheTableMapToNothing) {
    std::set<int> codes, hosts;
    for (const KeyboardCodeRow& row : kKeyboardCodeRows) {
        codes.insert(row.code);
        hosts.insert(row.host);
    }
    for (int host = 0; host < 512; ++host)
        if (!hosts.count(host)) {
            EXPECT_EQ(catalogue.keyboardCodeOfHost(host), 0) << host;
        }
    // Most host codes have no keyboard code and write into entry 0 of the inverse, the last
    // of them being 1023; every other entry no host code produced stays 0.
    EXPECT_EQ(catalogue.hostCodeOfKeyboard(0), 1023);
    for (int code = 1; code < KeyCatalogue::kTableSize; ++code)
        if (!codes.count(code)) {
            EXPECT_EQ(catalogue.hostCodeOfKeyboard(code), 0) << code;
        }
}

TEST_F(KeyCatalogueTest, ShiftCtrlAndAltHaveKeyboardCodesOnlyWithTheirSide) {
    const int sided[][3] = {{16, 160, 55}, {17, 162, 67}, {18, 164, 69}};
    for (const auto& [plain, left, code] : sided) {
        EXPECT_EQ(catalogue.keyboardCodeOfHost(plain), 0) << plain;
        EXPECT_EQ(catalogue.keyboardCodeOfHost(left), code) << left;
    }
    EXPECT_EQ(catalogue.keyboardCodeOfHost(161), 66);
    EXPECT_EQ(catalogue.keyboardCodeOfHost(163), 74);
    EXPECT_EQ(catalogue.keyboardCodeOfHost(165), 71);
}

TEST_F(KeyCatalogueTest, HostCodeNamesAreTheFullVocabularyInAscendingOrder) {
    const auto& names = catalogue.hostCodeNames();
    EXPECT_EQ(names.size(), 234u);
    // Host codes below 256 without a name.
    std::set<int> unnamed = {0, 7, 14, 15, 22, 26, 184, 185, 227, 228, 255};
    for (int h = 58; h <= 64; ++h) unnamed.insert(h);
    for (int h = 136; h <= 143; ++h) unnamed.insert(h);
    for (int h = 146; h <= 159; ++h) unnamed.insert(h);
    for (int h = 193; h <= 218; ++h) unnamed.insert(h);
    for (int h = 233; h <= 245; ++h) unnamed.insert(h);
    for (int h = 0; h < 256; ++h)
        EXPECT_EQ(names.count(h) == 0, unnamed.count(h) == 1) << h;
    // Above 255 only the keyboard's own functions are named.
    std::set<int> named{269, 331, 332, 333, 455};
    for (int h = 364; h <= 415; ++h) named.insert(h);
    for (const auto& [host, name] : names)
        if (host > 255) {
            EXPECT_TRUE(named.count(host)) << host;
        }
}

struct NameCase {
    int host;
    const char* name;
};

TEST_F(KeyCatalogueTest, NamesThatAreEasyToGetWrong) {
    const NameCase cases[] = {
        {1, "Left mouse button"}, {3, "Control-break processing"}, {12, "CLEAR"}, {254, "Clear"},
        {10, "Reserved"}, {94, "Reserved"}, {252, "Reserved"}, {225, "OEM specific"},
        {230, "OEM specific"}, {95, "Sleep"}, {332, "Sleep"}, {17, "Left CTRL"},
        {162, "Left CONTROL"}, {18, "Left ALT"}, {164, "Left Alt"}, {48, "0"}, {57, "9"},
        {65, "A"}, {90, "Z"}, {96, "(0)"}, {105, "(9)"}, {112, "F1"}, {135, "F24"},
        {172, "Browser Start and Home"}, {187, "+"}, {192, "`"}, {220, "\\"}, {222, "'"},
        {223, "Used for miscellaneous characters; it can vary by keyboard."},
        {226, "Either the angle bracket key or the backslash key on the RT 102-key keyboard"},
        {231, "Used to pass Unicode characters as if they were keystrokes. The VK_PACKET key is "
              "the low word of a 32-bit Virtual Key value used for non-keyboard input methods. "
              "For more information, see Remark in KEYBDINPUT, SendInput, WM_KEYDOWN, and "
              "WM_KEYUP"},
        {249, "Erase EOF"}, {269, "(Enter)"}, {381, "WWW Favorities"},
        {398, "Breathe Frequence-"}, {405, "6 or N key convert"}, {415, "Programmable Keyboard"},
        {455, "Left Double Click"},
    };
    for (const NameCase& c : cases) EXPECT_EQ(catalogue.nameOfHostCode(c.host, false), c.name) << c.host;
}

struct EventNameCase {
    int eventCode;
    bool withDirection;
    const char* expected;
};

TEST_F(KeyCatalogueTest, NameOfHostCodeMasksTheCodeAndAddsTheDirection) {
    const EventNameCase cases[] = {
        {65, true, "A Down"},
        {65 + 0x200, true, "A UP"},
        {65 + 0x200, false, "A"},
        {65 + 0x400, true, "A UP"},  // any bit above the host code means released
        {65, false, "A"},
        {269, true, "(Enter) Down"},  // the keypad Enter is not 13
        {13, true, "ENTER Down"},
        {58, true, "-- --"},          // no name: no suffix either
        {58 + 0x200, true, "-- --"},
        {-1, true, "-- --"},
        {INT_MIN + 65, true, "A UP"},
    };
    for (const EventNameCase& c : cases)
        EXPECT_EQ(catalogue.nameOfHostCode(c.eventCode, c.withDirection), c.expected) << c.eventCode;
}

TEST_F(KeyCatalogueTest, KeyboardCodeLookupsAreSafeOutsideTheTables) {
    const struct {
        int code;
        int host;
        const char* name;
    } cases[] = {
        {77, 333, "Power"}, {78, 44, "PRINT SCREEN"}, {199, 455, "Left Double Click"},
        {0, 1023, "-- --"}, {160, 0, "-- --"}, {1023, 0, "-- --"}, {1024, 0, "-- --"},
        {INT_MAX, 0, "-- --"}, {-1, -1, "-- --"}, {INT_MIN, -1, "-- --"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(catalogue.hostCodeOf(c.code), c.host) << c.code;
        EXPECT_EQ(catalogue.nameOfKeyboardCode(c.code), c.name) << c.code;
    }
    EXPECT_EQ(catalogue.hostCodeOfKeyboard(-7), 0);
    EXPECT_EQ(catalogue.keyboardCodeOfHost(160 + 0x200), 55);  // the release bit is masked off
}

TEST_F(KeyCatalogueTest, PhysicalKeysEmitTheirNumberExceptPastTheMainBlock) {
    for (int key = 1; key <= kKeyCount; ++key) {
        const int code = keyboardCodeOfKey(key);
        EXPECT_EQ(code, key <= 74 ? key : key + 3) << key;
        EXPECT_NE(catalogue.nameOfKeyboardCode(code), KeyCatalogue::kNoName) << key;
    }
    EXPECT_EQ(catalogue.nameOfKeyboardCode(keyboardCodeOfKey(29)), "Q");
    EXPECT_EQ(catalogue.nameOfKeyboardCode(keyboardCodeOfKey(75)), "PRINT SCREEN");
    EXPECT_EQ(catalogue.nameOfKeyboardCode(keyboardCodeOfKey(87)), "RIGHT ARROW");
    EXPECT_EQ(keyInfo(0), nullptr);
    EXPECT_EQ(keyInfo(88), nullptr);
    ASSERT_NE(keyInfo(70), nullptr);
    EXPECT_STREQ(keyInfo(70)->legend, "Space");
    EXPECT_EQ(keyInfo(87)->rect.right, 1126);
}

TEST(KeyCatalogueKinds, NamesInBothLanguagesAndUnknownKindsReadAsNotSet) {
    EXPECT_STREQ(KeyCatalogue::kindName(0, "en-US"), "Not set");
    EXPECT_STREQ(KeyCatalogue::kindName(4, "en-US"), "Emulation");
    EXPECT_STREQ(KeyCatalogue::kindName(8, "en-US"), "Power");
    EXPECT_STREQ(KeyCatalogue::kindName(2, "zh-CN"), "组合键");
    EXPECT_STREQ(KeyCatalogue::kindName(7, "zh-CN"), "操控键");
    for (int bad : {9, -1, 100, INT_MIN, INT_MAX}) {
        EXPECT_STREQ(KeyCatalogue::kindName(bad, "en-US"), "Not set") << bad;
        EXPECT_STREQ(KeyCatalogue::kindName(bad, "zh-CN"), "未设置") << bad;
    }
}

TEST(KeyCatalogueUnbuilt, FindsNothingBeforeItIsBuilt) {
    KeyCatalogue empty;
    EXPECT_EQ(empty.nameOfKeyboardCode(29), "-- --");
    EXPECT_EQ(empty.keyboardCodeOfHost(81), 0);
    EXPECT_EQ(empty.hostCodeOf(29), 0);
}

}  // namespace
