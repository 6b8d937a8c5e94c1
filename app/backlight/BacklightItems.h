#pragma once
// The backlight dialog's skin items, its 87 key rectangles with their backlight areas, and
// the geometry its pictures and area masks are drawn for. Qt-free constexpr data shared by
// the dialog and the skin painter.

#include <array>

#include "shell/SkinItem.h"

// Skin bitmaps: the background (with the keyboard picture), every element hovered, and the
// four area masks (area a is kBacklightFirstMaskBitmap + a - 1).
inline constexpr int kBacklightBackgroundBitmap = 131;
inline constexpr int kBacklightHoverBitmap = 132;
inline constexpr int kBacklightFirstMaskBitmap = 134;
inline constexpr int kBacklightAreaCount = 4;

// Size of the background, the hover picture and the masks, and so of the dialog.
inline constexpr SkinSize kBacklightSkinSize{1040, 480};

// The part of a recoloured mask that the dialog copies over its picture.
inline constexpr SkinRect kBacklightMaskCopyRect = skinRectAt(23, 83, 985, 331);

// The swatch of an area is its item's rectangle inset by these many pixels; the dialog fills
// that inner rectangle with the area's colour.
inline constexpr int kBacklightSwatchInsetX = 12;
inline constexpr int kBacklightSwatchInsetY = 5;
constexpr SkinRect backlightSwatchFill(SkinRect swatch) {
    return {swatch.left + kBacklightSwatchInsetX, swatch.top + kBacklightSwatchInsetY,
            swatch.right - kBacklightSwatchInsetX, swatch.bottom - kBacklightSwatchInsetY};
}

// Default area colours (red, green, blue), area 1 first.
inline constexpr SkinColour kBacklightDefaultColours[kBacklightAreaCount] = {
    skinRgb(0, 137, 225), skinRgb(0, 144, 73), skinRgb(161, 72, 117), skinRgb(255, 128, 0)};

enum BacklightId : int {
    kBacklightFirstSwatch = 81,  // 81..84: areas 1..4
    kBacklightClose = 88,
    kBacklightDefault = 90,
    kBacklightProgram = 91,
    kBacklightCancel = 92,
    kBacklightOk = 94,
    kBacklightKeyIdBase = 99,  // a key's id is this + key number
};

// Where key k lies on the backlight picture (kBacklightKeys[k - 1]) and its area, 1..4:
// 1 W A S D, 2 the arrows, 3 F1..F12 and PrtScreen..PgDown, 4 every other key.
struct BacklightKey {
    SkinRect rect;
    int area;
};
inline constexpr int kBacklightKeyCount = 87;
inline constexpr BacklightKey kBacklightKeys[kBacklightKeyCount] = {
    {{49, 100, 94, 145}, 4},  // 1 Esc
    {{146, 102, 196, 149}, 3},  // 2 F1
    {{198, 102, 248, 149}, 3},  // 3 F2
    {{250, 102, 300, 149}, 3},  // 4 F3
    {{302, 102, 352, 149}, 3},  // 5 F4
    {{378, 102, 428, 149}, 3},  // 6 F5
    {{430, 102, 480, 149}, 3},  // 7 F6
    {{482, 102, 532, 149}, 3},  // 8 F7
    {{534, 102, 584, 149}, 3},  // 9 F8
    {{609, 102, 659, 149}, 3},  // 10 F9
    {{661, 102, 711, 149}, 3},  // 11 F10
    {{713, 102, 763, 149}, 3},  // 12 F11
    {{765, 102, 813, 149}, 3},  // 13 F12
    {{49, 152, 94, 197}, 4},  // 14 ~
    {{99, 152, 146, 197}, 4},  // 15 1
    {{149, 152, 196, 197}, 4},  // 16 2
    {{200, 152, 248, 197}, 4},  // 17 3
    {{251, 152, 300, 197}, 4},  // 18 4
    {{303, 152, 351, 197}, 4},  // 19 5
    {{353, 152, 401, 197}, 4},  // 20 6
    {{404, 152, 452, 197}, 4},  // 21 7
    {{454, 152, 503, 197}, 4},  // 22 8
    {{506, 152, 555, 197}, 4},  // 23 9
    {{557, 152, 607, 197}, 4},  // 24 0
    {{609, 152, 659, 197}, 4},  // 25 -
    {{661, 152, 711, 197}, 4},  // 26 +
    {{714, 152, 813, 197}, 4},  // 27 BackSpace
    {{49, 202, 123, 247}, 4},  // 28 Tab
    {{126, 202, 176, 247}, 4},  // 29 Q
    {{179, 202, 228, 247}, 1},  // 30 W
    {{229, 202, 279, 247}, 4},  // 31 E
    {{281, 202, 331, 247}, 4},  // 32 R
    {{333, 202, 382, 247}, 4},  // 33 T
    {{384, 202, 433, 247}, 4},  // 34 Y
    {{435, 202, 483, 247}, 4},  // 35 U
    {{485, 202, 533, 247}, 4},  // 36 I
    {{535, 202, 583, 247}, 4},  // 37 O
    {{585, 202, 633, 247}, 4},  // 38 P
    {{636, 202, 685, 247}, 4},  // 39 [
    {{687, 202, 737, 247}, 4},  // 40 ]
    {{738, 202, 813, 247}, 4},  // 41 backslash
    {{49, 252, 134, 299}, 4},  // 42 Caps Lock
    {{136, 252, 186, 299}, 1},  // 43 A
    {{188, 252, 238, 299}, 1},  // 44 S
    {{240, 252, 289, 299}, 1},  // 45 D
    {{291, 252, 341, 299}, 4},  // 46 F
    {{343, 252, 392, 299}, 4},  // 47 G
    {{394, 252, 443, 299}, 4},  // 48 H
    {{445, 252, 494, 299}, 4},  // 49 J
    {{496, 252, 545, 299}, 4},  // 50 K
    {{547, 252, 596, 299}, 4},  // 51 L
    {{598, 252, 647, 299}, 4},  // 52 ;
    {{649, 252, 698, 299}, 4},  // 53 '
    {{700, 252, 813, 299}, 4},  // 54 Enter
    {{49, 302, 164, 349}, 4},  // 55 Shift
    {{167, 302, 216, 349}, 4},  // 56 Z
    {{218, 302, 267, 349}, 4},  // 57 X
    {{269, 302, 318, 349}, 4},  // 58 C
    {{320, 302, 369, 349}, 4},  // 59 V
    {{371, 302, 420, 349}, 4},  // 60 B
    {{422, 302, 471, 349}, 4},  // 61 N
    {{473, 302, 522, 349}, 4},  // 62 M
    {{524, 302, 573, 349}, 4},  // 63 <
    {{576, 302, 625, 349}, 4},  // 64 >
    {{627, 302, 677, 349}, 4},  // 65 ?
    {{679, 302, 813, 349}, 4},  // 66 Shift
    {{49, 352, 110, 399}, 4},  // 67 Ctrl
    {{112, 352, 178, 399}, 4},  // 68 Win
    {{180, 352, 245, 399}, 4},  // 69 Alt
    {{247, 352, 544, 399}, 4},  // 70 Space
    {{546, 352, 614, 399}, 4},  // 71 Alt
    {{616, 352, 682, 399}, 4},  // 72 Win
    {{684, 352, 746, 399}, 4},  // 73 LMenu
    {{748, 352, 813, 399}, 4},  // 74 Ctrl
    {{840, 102, 890, 149}, 3},  // 75 PrtScreen
    {{892, 102, 942, 149}, 3},  // 76 ScrollLock
    {{944, 102, 994, 149}, 3},  // 77 Pause
    {{840, 152, 890, 199}, 3},  // 78 Insert
    {{892, 152, 942, 199}, 3},  // 79 Home
    {{944, 152, 994, 199}, 3},  // 80 PgUp
    {{840, 202, 890, 249}, 3},  // 81 Delete
    {{892, 202, 942, 249}, 3},  // 82 End
    {{944, 202, 994, 249}, 3},  // 83 PgDown
    {{892, 303, 942, 351}, 2},  // 84 Up
    {{840, 353, 890, 401}, 2},  // 85 Left
    {{892, 353, 942, 401}, 2},  // 86 Down
    {{944, 353, 994, 401}, 2},  // 87 Right
};

// The area of key number k (1..87); 0 for a number outside the keyboard.
constexpr int backlightAreaOfKey(int keyNumber) {
    return keyNumber >= 1 && keyNumber <= kBacklightKeyCount ? kBacklightKeys[keyNumber - 1].area : 0;
}

// The dialog keeps a table of 107 items; the first 105 are used, the last two keep id -1.
inline constexpr int kBacklightItemCount = 107;
inline constexpr int kBacklightFirstKeyItem = 18;  // item 17 + k is key k

namespace backlight_items_detail {

constexpr SkinItem area(int id, SkinRect rect) {
    SkinItem item;
    item.id = id;
    item.rect = rect;
    return item;
}

constexpr SkinItem label(int id, SkinRect rect, const char* zhCN, const char* enUS) {
    SkinItem item = area(id, rect);
    item.text = {zhCN, enUS};
    item.textOnly = true;
    return item;
}

constexpr std::array<SkinItem, kBacklightItemCount> make() {
    std::array<SkinItem, kBacklightItemCount> items{};
    int n = 0;
    // Swatches, close box and buttons: clickable, no text.
    items[n++] = area(81, {142, 50, 210, 74});
    items[n++] = area(82, {332, 50, 400, 74});
    items[n++] = area(83, {522, 50, 590, 74});
    items[n++] = area(84, {712, 50, 780, 74});
    items[n++] = area(kBacklightClose, {985, 9, 1018, 45});
    items[n++] = area(kBacklightDefault, {143, 420, 258, 454});
    items[n++] = area(kBacklightProgram, {505, 420, 588, 454});
    items[n++] = area(kBacklightCancel, {699, 420, 784, 454});
    items[n++] = area(kBacklightOk, {602, 420, 685, 454});
    // Labels, font 13.
    items[n++] = label(81, {97, 50, 159, 74}, "区域1", "Area 1");
    items[n++] = label(82, {285, 50, 349, 74}, "区域2", "Area 2");
    items[n++] = label(83, {473, 50, 539, 74}, "区域3", "Area 3");
    items[n++] = label(84, {661, 50, 729, 74}, "区域4", "Area 4");
    items[n++] = label(88, {450, 13, 602, 45}, "背光设置面板", "BackLight Settings");
    items[n++] = label(90, {136, 428, 228, 454}, "恢复默认", "Default");
    items[n++] = label(91, {505, 428, 585, 454}, "写入背光", "Program");
    items[n++] = label(92, {699, 428, 784, 454}, "取消", "Cancel");
    items[n++] = label(95, {602, 428, 682, 454}, "确定", "OK");
    // The keys: clickable, never highlighted, no text.
    for (int k = 1; k <= kBacklightKeyCount; ++k) {
        SkinItem item = area(kBacklightKeyIdBase + k, kBacklightKeys[k - 1].rect);
        item.keyNumber = k;
        items[n++] = item;
    }
    return items;
}

}  // namespace backlight_items_detail

inline constexpr std::array<SkinItem, kBacklightItemCount> kBacklightItems = backlight_items_detail::make();
