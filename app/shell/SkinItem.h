#pragma once
// The element record of every skinned window, and the few skin facts the windows and the
// skin painter share. Plain constexpr data without Qt, so the painter draws every element
// exactly where the windows hit-test it.

#include <cstdint>
#include <string_view>

// A colour as a 32-bit pixel value, 0x00RRGGBB.
using SkinColour = std::uint32_t;

constexpr SkinColour skinRgb(int red, int green, int blue) {
    return (static_cast<SkinColour>(red & 0xFF) << 16) | (static_cast<SkinColour>(green & 0xFF) << 8) |
           static_cast<SkinColour>(blue & 0xFF);
}
constexpr int skinRed(SkinColour c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int skinGreen(SkinColour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int skinBlue(SkinColour c) { return static_cast<int>(c & 0xFF); }

// Cut-out colour keys: every pixel of exactly this colour in a background picture is cut out
// of its window. Blue shapes the main window and the backlight dialog, red the others.
inline constexpr SkinColour kSkinKeyBlue = skinRgb(0, 0, 255);
inline constexpr SkinColour kSkinKeyRed = skinRgb(255, 0, 0);

// Backlight area masks: the area's pixels hold kSkinMaskKey, every other pixel kSkinMaskBackground.
inline constexpr SkinColour kSkinMaskKey = 0xFF0103;
inline constexpr SkinColour kSkinMaskBackground = 0x0102FE;

// Colours the program itself draws with.
inline constexpr SkinColour kSkinLabelColour = skinRgb(200, 200, 200);
inline constexpr SkinColour kSkinGreen = skinRgb(0, 255, 0);
inline constexpr SkinColour kSkinEditText = skinRgb(255, 111, 0);
inline constexpr SkinColour kSkinEditBackground = skinRgb(20, 20, 20);

// Text formats (the DrawText flags the tables use): left-aligned or horizontally centred,
// both at the top of the rectangle.
inline constexpr int kSkinFormatLeft = 0;
inline constexpr int kSkinFormatCentre = 1;

// A rectangle in client pixels: left, top, right, bottom. Right and bottom are exclusive,
// so the width is right - left.
struct SkinRect {
    int left = -1;
    int top = -1;
    int right = -1;
    int bottom = -1;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    constexpr bool operator==(const SkinRect&) const = default;
};

// A rectangle given by its top-left corner and size, as controls are placed.
constexpr SkinRect skinRectAt(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

struct SkinSize {
    int width = 0;
    int height = 0;
};

// A text in both interface languages, UTF-8; null where the item has none.
struct SkinText {
    const char* zhCN = nullptr;
    const char* enUS = nullptr;

    // The text for the language code "zh-CN" or "en-US"; null for any other code.
    constexpr const char* forLanguage(std::string_view language) const {
        if (language == "zh-CN")
            return zhCN;
        if (language == "en-US")
            return enUS;
        return nullptr;
    }
};

// One drawn and hit-tested element. The defaults are what every item has before its table
// entry fills it; items with id 0 or less are ignored by painting and hit-testing.
struct SkinItem {
    int id = -1;
    SkinText text{};                          // drawn for labels and list rows
    SkinText tip{};                           // tooltip text
    SkinRect rect{};                          // client rectangle
    SkinColour colour = kSkinLabelColour;     // text colour
    SkinColour activeColour = kSkinLabelColour;  // text colour while active
    int keyNumber = -1;                       // main window and backlight dialog: the key, 1..87
    int code = -1;                            // key assignment dialog: keyboard code of a catalogue entry
    bool active = false;                      // drawn from the active (selected) picture
    bool textOnly = false;                    // label: its text is drawn, never hit or highlighted
    bool listRow = false;                     // key assignment dialog: a row of a list
    bool visible = true;                      // the text is drawn only while set
    bool hovered = false;                     // pointer inside, kept by hit-testing
    int format = kSkinFormatCentre;           // kSkinFormatLeft or kSkinFormatCentre
    int font = 13;                            // index into the application's fonts: n pixels high
};
