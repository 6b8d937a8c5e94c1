#pragma once
// The 87 physical keys of the keyboard: key number, legend and where the key lies on the
// main window's keyboard picture. Plain data with no dependencies, so the skin painter and
// the windows can use it as well as the model.
//
// Key numbers run 1..87, row by row as drawn. Keys 55/66 are the left/right Shift, 67/74
// the left/right Ctrl, 68/72 the left/right Windows keys, 69/71 the left/right Alt and 73
// the application (menu) key.

// A rectangle in client pixels of the main window: left, top, right, bottom.
struct KeyRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct KeyInfo {
    int number;          // 1..87
    const char* legend;  // the text printed on the key
    KeyRect rect;        // where the key lies on the main window's keyboard picture
};

inline constexpr int kKeyCount = 87;

// kKeyTable[k - 1] is key number k.
inline constexpr KeyInfo kKeyTable[kKeyCount] = {
    {1, "Esc", {180, 165, 225, 212}},
    {2, "F1", {277, 165, 327, 212}},
    {3, "F2", {329, 165, 379, 212}},
    {4, "F3", {381, 165, 431, 212}},
    {5, "F4", {433, 165, 483, 212}},
    {6, "F5", {509, 165, 559, 212}},
    {7, "F6", {561, 165, 611, 212}},
    {8, "F7", {613, 165, 663, 212}},
    {9, "F8", {665, 165, 715, 212}},
    {10, "F9", {740, 165, 790, 212}},
    {11, "F10", {792, 165, 842, 212}},
    {12, "F11", {844, 165, 894, 212}},
    {13, "F12", {896, 165, 944, 212}},
    {14, "~", {180, 217, 225, 262}},
    {15, "1", {230, 217, 277, 262}},
    {16, "2", {280, 217, 327, 262}},
    {17, "3", {331, 217, 379, 262}},
    {18, "4", {382, 217, 431, 262}},
    {19, "5", {434, 217, 482, 262}},
    {20, "6", {484, 217, 532, 262}},
    {21, "7", {535, 217, 583, 262}},
    {22, "8", {585, 217, 634, 262}},
    {23, "9", {637, 217, 686, 262}},
    {24, "0", {688, 217, 738, 262}},
    {25, "-", {740, 217, 790, 262}},
    {26, "+", {792, 217, 842, 262}},
    {27, "BackSpace", {845, 217, 944, 262}},
    {28, "Tab", {180, 267, 254, 312}},
    {29, "Q", {257, 267, 307, 312}},
    {30, "W", {310, 267, 359, 312}},
    {31, "E", {360, 267, 410, 312}},
    {32, "R", {412, 267, 462, 312}},
    {33, "T", {464, 267, 513, 312}},
    {34, "Y", {515, 267, 564, 312}},
    {35, "U", {566, 267, 614, 312}},
    {36, "I", {616, 267, 664, 312}},
    {37, "O", {666, 267, 714, 312}},
    {38, "P", {716, 267, 764, 312}},
    {39, "[", {767, 267, 816, 312}},
    {40, "]", {818, 267, 868, 312}},
    {41, "\\", {869, 267, 944, 312}},
    {42, "Caps Lock", {180, 317, 265, 364}},
    {43, "A", {267, 317, 317, 364}},
    {44, "S", {319, 317, 369, 364}},
    {45, "D", {371, 317, 420, 364}},
    {46, "F", {422, 317, 472, 364}},
    {47, "G", {474, 317, 523, 364}},
    {48, "H", {525, 317, 574, 364}},
    {49, "J", {576, 317, 625, 364}},
    {50, "K", {627, 317, 676, 364}},
    {51, "L", {678, 317, 727, 364}},
    {52, ";", {729, 317, 778, 364}},
    {53, "'", {780, 317, 829, 364}},
    {54, "Enter", {831, 317, 944, 364}},
    {55, "Shift", {180, 367, 295, 414}},
    {56, "Z", {298, 367, 347, 414}},
    {57, "X", {349, 367, 398, 414}},
    {58, "C", {400, 367, 449, 414}},
    {59, "V", {451, 367, 500, 414}},
    {60, "B", {502, 367, 551, 414}},
    {61, "N", {553, 367, 602, 414}},
    {62, "M", {604, 367, 653, 414}},
    {63, "<", {655, 367, 704, 414}},
    {64, ">", {707, 367, 756, 414}},
    {65, "?", {758, 367, 808, 414}},
    {66, "Shift", {810, 367, 944, 414}},
    {67, "Ctrl", {180, 417, 241, 464}},
    {68, "Win", {243, 417, 309, 464}},
    {69, "Alt", {311, 417, 376, 464}},
    {70, "Space", {378, 417, 675, 464}},
    {71, "Alt", {677, 417, 745, 464}},
    {72, "Win", {747, 417, 813, 464}},
    {73, "LMenu", {815, 417, 877, 464}},
    {74, "Ctrl", {879, 417, 944, 464}},
    {75, "PrtScreen", {972, 165, 1022, 212}},
    {76, "ScrollLock", {1024, 165, 1074, 212}},
    {77, "Pause", {1076, 165, 1126, 212}},
    {78, "Insert", {972, 215, 1022, 262}},
    {79, "Home", {1024, 215, 1074, 262}},
    {80, "PgUp", {1076, 215, 1126, 262}},
    {81, "Delete", {972, 265, 1022, 312}},
    {82, "End", {1024, 265, 1074, 312}},
    {83, "PgDown", {1076, 265, 1126, 312}},
    {84, "Up", {1024, 366, 1074, 414}},
    {85, "Left", {972, 416, 1022, 464}},
    {86, "Down", {1024, 416, 1074, 464}},
    {87, "Right", {1076, 416, 1126, 464}},
};

// The entry of key number `key`, or nullptr when key is not 1..87.
constexpr const KeyInfo* keyInfo(int key) {
    return key >= 1 && key <= kKeyCount ? &kKeyTable[key - 1] : nullptr;
}

// The keyboard code a key emits when it keeps its own function. Keys 1..74 emit their own
// number; keys 75..87 emit 78..90, because codes 75..77 are the three power functions,
// which have no physical key. 0 when key is not 1..87.
constexpr int keyboardCodeOfKey(int key) {
    if (key < 1 || key > kKeyCount) return 0;
    return key <= 74 ? key : key + 3;
}

static_assert(kKeyTable[0].number == 1 && kKeyTable[kKeyCount - 1].number == kKeyCount);
static_assert(keyboardCodeOfKey(74) == 74 && keyboardCodeOfKey(75) == 78 &&
              keyboardCodeOfKey(87) == 90);

// The table is looked up by position; keep it in key-number order.
namespace keytable_detail {
constexpr bool inKeyNumberOrder() {
    for (int i = 0; i < kKeyCount; ++i)
        if (kKeyTable[i].number != i + 1) return false;
    return true;
}
}  // namespace keytable_detail
static_assert(keytable_detail::inKeyNumberOrder());
