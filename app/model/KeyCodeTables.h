#pragma once
// The catalogue's fixed knowledge as data: the names of host codes and which keyboard code
// each host code stands for. KeyCatalogue builds its lookup tables from these arrays.
//
// The names are words of the profile file and of every key event list (a list entry is a
// name, and the transfer to the keyboard turns the name back into a code), so they must stay
// exactly as written here, to the character.
//
// Host code: a Windows virtual-key code (1..254), or 256 plus a number for functions that
// have none (269 keypad Enter, 331..333 power, 364..415 multimedia, mouse and keyboard
// functions, 455 double click). Keyboard code: what the keyboard itself emits and stores
// (1..159 and 199).

#include "KeyFunctionKind.h"

struct HostCodeName {
    int hostCode;
    const char* name;
};

// Ascending host code. Names are not unique ("Reserved", "OEM specific", "Sleep") and
// "CLEAR"/"Clear" differ only in case; look-ups by name take the first match in this order.
inline constexpr HostCodeName kHostCodeNames[] = {
    {1, "Left mouse button"},
    {2, "Right mouse button"},
    {3, "Control-break processing"},
    {4, "Middle mouse button"},
    {5, "X1 mouse button"},
    {6, "X2 mouse button"},
    {8, "BACKSPACE"},
    {9, "TAB"},
    {10, "Reserved"},
    {11, "Reserved"},
    {12, "CLEAR"},
    {13, "ENTER"},
    {16, "SHIFT"},
    {17, "Left CTRL"},
    {18, "Left ALT"},
    {19, "PAUSE"},
    {20, "CAPS LOCK"},
    {21, "IME Hangul mode"},
    {23, "IME Junja mode"},
    {24, "IME final mode"},
    {25, "IME Kanji mode"},
    {27, "ESC"},
    {28, "IME convert"},
    {29, "IME nonconvert"},
    {30, "IME accept"},
    {31, "IME mode change request"},
    {32, "SPACEBAR"},
    {33, "PAGE UP"},
    {34, "PAGE DOWN"},
    {35, "END"},
    {36, "HOME"},
    {37, "LEFT ARROW"},
    {38, "UP ARROW"},
    {39, "RIGHT ARROW"},
    {40, "DOWN ARROW"},
    {41, "SELECT"},
    {42, "PRINT"},
    {43, "EXECUTE"},
    {44, "PRINT SCREEN"},
    {45, "INS"},
    {46, "DEL"},
    {47, "HELP"},
    {48, "0"},
    {49, "1"},
    {50, "2"},
    {51, "3"},
    {52, "4"},
    {53, "5"},
    {54, "6"},
    {55, "7"},
    {56, "8"},
    {57, "9"},
    {65, "A"},
    {66, "B"},
    {67, "C"},
    {68, "D"},
    {69, "E"},
    {70, "F"},
    {71, "G"},
    {72, "H"},
    {73, "I"},
    {74, "J"},
    {75, "K"},
    {76, "L"},
    {77, "M"},
    {78, "N"},
    {79, "O"},
    {80, "P"},
    {81, "Q"},
    {82, "R"},
    {83, "S"},
    {84, "T"},
    {85, "U"},
    {86, "V"},
    {87, "W"},
    {88, "X"},
    {89, "Y"},
    {90, "Z"},
    {91, "Left Windows"},
    {92, "Right Windows"},
    {93, "Applications"},
    {94, "Reserved"},
    {95, "Sleep"},
    {96, "(0)"},
    {97, "(1)"},
    {98, "(2)"},
    {99, "(3)"},
    {100, "(4)"},
    {101, "(5)"},
    {102, "(6)"},
    {103, "(7)"},
    {104, "(8)"},
    {105, "(9)"},
    {106, "(*)"},
    {107, "(+)"},
    {108, "Separator"},
    {109, "(-)"},
    {110, "(.)"},
    {111, "(/)"},
    {112, "F1"},
    {113, "F2"},
    {114, "F3"},
    {115, "F4"},
    {116, "F5"},
    {117, "F6"},
    {118, "F7"},
    {119, "F8"},
    {120, "F9"},
    {121, "F10"},
    {122, "F11"},
    {123, "F12"},
    {124, "F13"},
    {125, "F14"},
    {126, "F15"},
    {127, "F16"},
    {128, "F17"},
    {129, "F18"},
    {130, "F19"},
    {131, "F20"},
    {132, "F21"},
    {133, "F22"},
    {134, "F23"},
    {135, "F24"},
    {144, "NUM LOCK"},
    {145, "SCROLL LOCK"},
    {160, "Left SHIFT"},
    {161, "Right SHIFT"},
    {162, "Left CONTROL"},
    {163, "Right CONTROL"},
    {164, "Left Alt"},
    {165, "Right Alt"},
    {166, "Browser Back"},
    {167, "Browser Forward"},
    {168, "Browser Refresh"},
    {169, "Browser Stop"},
    {170, "Browser Search"},
    {171, "Browser Favorites"},
    {172, "Browser Start and Home"},
    {173, "Volume Mute"},
    {174, "Volume Down"},
    {175, "Volume Up"},
    {176, "Next Track"},
    {177, "Previous Track"},
    {178, "Stop Media"},
    {179, "Play/Pause Media"},
    {180, "Start Mail"},
    {181, "Select Media"},
    {182, "Start Application 1"},
    {183, "Start Application 2"},
    {186, ";"},
    {187, "+"},
    {188, ","},
    {189, "-"},
    {190, "."},
    {191, "/"},
    {192, "`"},
    {219, "["},
    {220, "\\"},
    {221, "]"},
    {222, "'"},
    {223, "Used for miscellaneous characters; it can vary by keyboard."},
    {224, "Reserved"},
    {225, "OEM specific"},
    {226, "Either the angle bracket key or the backslash key on the RT 102-key keyboard"},
    {229, "IME PROCESS"},
    {230, "OEM specific"},
    {231, "Used to pass Unicode characters as if they were keystrokes. The VK_PACKET key is the low word of a 32-bit Virtual Key value used for non-keyboard input methods. For more information, see Remark in KEYBDINPUT, SendInput, WM_KEYDOWN, and WM_KEYUP"},
    {232, "Unassigned"},
    {246, "Attn"},
    {247, "CrSel"},
    {248, "ExSel"},
    {249, "Erase EOF"},
    {250, "Play"},
    {251, "Zoom"},
    {252, "Reserved"},
    {253, "PA1"},
    {254, "Clear"},
    {269, "(Enter)"},
    {331, "Wake Up"},
    {332, "Sleep"},
    {333, "Power"},
    {364, "Next track"},
    {365, "Previous track"},
    {366, "Stop"},
    {367, "Play/Pause"},
    {368, "Mute"},
    {369, "VolumeUp"},
    {370, "VolumeDn"},
    {371, "Media Select"},
    {372, "E-mail"},
    {373, "Calculator"},
    {374, "My computer"},
    {375, "WWW Search"},
    {376, "WWW Home"},
    {377, "WWW Back"},
    {378, "WWW Forward"},
    {379, "WWW Stop"},
    {380, "WWW Refresh"},
    {381, "WWW Favorities"},
    {382, "Mouse Left"},
    {383, "Mouse Right"},
    {384, "Mouse Up"},
    {385, "Mouse Down"},
    {386, "Mouse Key Left"},
    {387, "Mouse Key Right"},
    {388, "Mouse Key Middle"},
    {389, "Mouse Wheel Up"},
    {390, "Mouse Wheel Dn"},
    {391, "Backlight Switch"},
    {392, "Backlight Macro"},
    {393, "Backlight Area 1 Color Regulate"},
    {394, "Backlight Area 2 Color Regulate"},
    {395, "Backlight Area 3 Color Regulate"},
    {396, "Backlight Area 4 Color Regulate"},
    {397, "Backlight Breathe"},
    {398, "Breathe Frequence-"},
    {399, "Breathe Frequence+"},
    {400, "Backlight Lightness+"},
    {401, "Backlight Lightness-"},
    {402, "Sunset or Relax Mode"},
    {403, "Color Breathe"},
    {404, "Backlight All Color Regulate"},
    {405, "6 or N key convert"},
    {406, "Keyboard Lock"},
    {407, "Key Response Regulate"},
    {408, "Ctrl to Caps convert"},
    {409, "WinLock"},
    {410, "ScanDelay"},
    {411, "ReportRate"},
    {412, "FN"},
    {413, "DPI+"},
    {414, "DPI-"},
    {415, "Programmable Keyboard"},
    {455, "Left Double Click"},
};
inline constexpr int kHostCodeNameCount = sizeof(kHostCodeNames) / sizeof(kHostCodeNames[0]);

struct KeyboardCodeEntry {
    int keyboardCode;
    int hostCode;  // its name is the entry of kHostCodeNames
};

// Ascending keyboard code. From 108 on, and for 75..77 and 199, the host code is the
// keyboard code plus 256. Shift, Ctrl and Alt appear only with their side (160..165): the
// side-less host codes 16..18 have no keyboard code.
inline constexpr KeyboardCodeEntry kKeyboardCodes[] = {
    {1, 27},  // ESC
    {2, 112},  // F1
    {3, 113},  // F2
    {4, 114},  // F3
    {5, 115},  // F4
    {6, 116},  // F5
    {7, 117},  // F6
    {8, 118},  // F7
    {9, 119},  // F8
    {10, 120},  // F9
    {11, 121},  // F10
    {12, 122},  // F11
    {13, 123},  // F12
    {14, 192},  // `
    {15, 49},  // 1
    {16, 50},  // 2
    {17, 51},  // 3
    {18, 52},  // 4
    {19, 53},  // 5
    {20, 54},  // 6
    {21, 55},  // 7
    {22, 56},  // 8
    {23, 57},  // 9
    {24, 48},  // 0
    {25, 189},  // -
    {26, 187},  // +
    {27, 8},  // BACKSPACE
    {28, 9},  // TAB
    {29, 81},  // Q
    {30, 87},  // W
    {31, 69},  // E
    {32, 82},  // R
    {33, 84},  // T
    {34, 89},  // Y
    {35, 85},  // U
    {36, 73},  // I
    {37, 79},  // O
    {38, 80},  // P
    {39, 219},  // [
    {40, 221},  // ]
    {41, 220},  // backslash
    {42, 20},  // CAPS LOCK
    {43, 65},  // A
    {44, 83},  // S
    {45, 68},  // D
    {46, 70},  // F
    {47, 71},  // G
    {48, 72},  // H
    {49, 74},  // J
    {50, 75},  // K
    {51, 76},  // L
    {52, 186},  // ;
    {53, 222},  // '
    {54, 13},  // ENTER
    {55, 160},  // Left SHIFT
    {56, 90},  // Z
    {57, 88},  // X
    {58, 67},  // C
    {59, 86},  // V
    {60, 66},  // B
    {61, 78},  // N
    {62, 77},  // M
    {63, 188},  // ,
    {64, 190},  // .
    {65, 191},  // /
    {66, 161},  // Right SHIFT
    {67, 162},  // Left CONTROL
    {68, 91},  // Left Windows
    {69, 164},  // Left Alt
    {70, 32},  // SPACEBAR
    {71, 165},  // Right Alt
    {72, 92},  // Right Windows
    {73, 93},  // Applications
    {74, 163},  // Right CONTROL
    {75, 331},  // Wake Up
    {76, 332},  // Sleep
    {77, 333},  // Power
    {78, 44},  // PRINT SCREEN
    {79, 145},  // SCROLL LOCK
    {80, 19},  // PAUSE
    {81, 45},  // INS
    {82, 36},  // HOME
    {83, 33},  // PAGE UP
    {84, 46},  // DEL
    {85, 35},  // END
    {86, 34},  // PAGE DOWN
    {87, 38},  // UP ARROW
    {88, 37},  // LEFT ARROW
    {89, 40},  // DOWN ARROW
    {90, 39},  // RIGHT ARROW
    {91, 144},  // NUM LOCK
    {92, 111},  // (/)
    {93, 106},  // (*)
    {94, 103},  // (7)
    {95, 104},  // (8)
    {96, 105},  // (9)
    {97, 100},  // (4)
    {98, 101},  // (5)
    {99, 102},  // (6)
    {100, 97},  // (1)
    {101, 98},  // (2)
    {102, 99},  // (3)
    {103, 96},  // (0)
    {104, 110},  // (.)
    {105, 109},  // (-)
    {106, 107},  // (+)
    {107, 269},  // (Enter)
    {108, 364},  // Next track
    {109, 365},  // Previous track
    {110, 366},  // Stop
    {111, 367},  // Play/Pause
    {112, 368},  // Mute
    {113, 369},  // VolumeUp
    {114, 370},  // VolumeDn
    {115, 371},  // Media Select
    {116, 372},  // E-mail
    {117, 373},  // Calculator
    {118, 374},  // My computer
    {119, 375},  // WWW Search
    {120, 376},  // WWW Home
    {121, 377},  // WWW Back
    {122, 378},  // WWW Forward
    {123, 379},  // WWW Stop
    {124, 380},  // WWW Refresh
    {125, 381},  // WWW Favorities
    {126, 382},  // Mouse Left
    {127, 383},  // Mouse Right
    {128, 384},  // Mouse Up
    {129, 385},  // Mouse Down
    {130, 386},  // Mouse Key Left
    {131, 387},  // Mouse Key Right
    {132, 388},  // Mouse Key Middle
    {133, 389},  // Mouse Wheel Up
    {134, 390},  // Mouse Wheel Dn
    {135, 391},  // Backlight Switch
    {136, 392},  // Backlight Macro
    {137, 393},  // Backlight Area 1 Color Regulate
    {138, 394},  // Backlight Area 2 Color Regulate
    {139, 395},  // Backlight Area 3 Color Regulate
    {140, 396},  // Backlight Area 4 Color Regulate
    {141, 397},  // Backlight Breathe
    {142, 398},  // Breathe Frequence-
    {143, 399},  // Breathe Frequence+
    {144, 400},  // Backlight Lightness+
    {145, 401},  // Backlight Lightness-
    {146, 402},  // Sunset or Relax Mode
    {147, 403},  // Color Breathe
    {148, 404},  // Backlight All Color Regulate
    {149, 405},  // 6 or N key convert
    {150, 406},  // Keyboard Lock
    {151, 407},  // Key Response Regulate
    {152, 408},  // Ctrl to Caps convert
    {153, 409},  // WinLock
    {154, 410},  // ScanDelay
    {155, 411},  // ReportRate
    {156, 412},  // FN
    {157, 413},  // DPI+
    {158, 414},  // DPI-
    {159, 415},  // Programmable Keyboard
    {199, 455},  // Left Double Click
};
inline constexpr int kKeyboardCodeCount = sizeof(kKeyboardCodes) / sizeof(kKeyboardCodes[0]);

// Which kind of function a keyboard code stands for: used to offer codes for assignment and
// to turn codes read back from the keyboard into kinds.
struct KeyboardCodeGroup {
    int first;  // keyboard codes first..last, inclusive
    int last;
    KeyFunctionKind kind;
};

inline constexpr KeyboardCodeGroup kKeyboardCodeGroups[] = {
    {1, 74, KeyFunctionKind::Single},
    {75, 77, KeyFunctionKind::Power},
    {78, 107, KeyFunctionKind::Single},
    {108, 125, KeyFunctionKind::Multimedia},
    {126, 134, KeyFunctionKind::Mouse},
    {135, 159, KeyFunctionKind::Function},
    {199, 199, KeyFunctionKind::Mouse},
};

// The group of a keyboard code; NotSet for a code outside every group.
constexpr KeyFunctionKind groupOfKeyboardCode(int code) {
    for (const KeyboardCodeGroup& g : kKeyboardCodeGroups)
        if (code >= g.first && code <= g.last) return g.kind;
    return KeyFunctionKind::NotSet;
}

// The keyboard code of the double click; it has no record form of its own and travels as
// two Mouse Key Left codes.
inline constexpr int kDoubleClickCode = 199;
inline constexpr int kMouseKeyLeftCode = 130;

namespace keycodetables_detail {
constexpr bool ascending() {
    for (int i = 1; i < kHostCodeNameCount; ++i)
        if (kHostCodeNames[i - 1].hostCode >= kHostCodeNames[i].hostCode) return false;
    for (int i = 1; i < kKeyboardCodeCount; ++i)
        if (kKeyboardCodes[i - 1].keyboardCode >= kKeyboardCodes[i].keyboardCode) return false;
    return true;
}
}  // namespace keycodetables_detail
static_assert(keycodetables_detail::ascending());
static_assert(kHostCodeNameCount == 234);
