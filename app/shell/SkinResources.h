#pragma once
// The resources every skinned window shares: the skin bitmaps by resource id, the four
// backlight area masks, the dark brush and the twenty fonts. The application object owns
// one SkinResources; windows get a reference to it.

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QString>

#include <array>

class SkinResources {
public:
    // The skin bitmaps: 101, 102, 103 and 107 to 141, 38 in all. Ids 104 to 106 are not used.
    static constexpr std::array<int, 38> kBitmapIds = {
        101, 102, 103, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121,
        122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 136, 137, 138, 139,
        140, 141};
    // Bitmaps 134 to 137 hold the four backlight areas in the key colour.
    static constexpr std::array<int, 4> kAreaMaskSourceIds = {134, 135, 136, 137};
    static constexpr int kAreaCount = 4;
    static constexpr int kFontCount = 20;
    static constexpr int kStandardFont = 13;
    static constexpr QRgb kDarkBrushColour = 0x141414;  // red, green and blue 20
    // The family that draws both Latin and Chinese texts with one set of metrics.
    static constexpr const char* kFontFamily = "WenQuanYi Micro Hei";

    // Makes the brush and the fonts; no bitmaps until loadBitmaps(). Needs a QGuiApplication.
    SkinResources();

    // Makes the skin bitmaps of the registered resources ":/skin/<id>.png" and the area masks
    // available. Nothing is decoded here: each bitmap is read on its first bitmap() call and
    // each mask made on its first areaMask() call, then kept until releaseBitmaps(), so start-up
    // pays only for the pictures the first window draws. A bitmap that is missing stays a null
    // pixmap (and is not looked for again), a mask whose source is missing a null image:
    // whatever would draw it then draws nothing.
    void loadBitmaps();
    // Drops the bitmaps and masks (the brush and fonts stay); bitmap() and areaMask() give
    // null results until the next loadBitmaps().
    void releaseBitmaps();

    // The resource path of a skin bitmap.
    static QString bitmapPath(int id);
    // True for the ids in kBitmapIds.
    static bool isBitmapId(int id);

    // The skin bitmap `id`, read on first use; a null pixmap for a missing bitmap, an id that
    // is not a skin id, or before loadBitmaps(). GUI thread only. The reference stays valid
    // for the life of this object; releaseBitmaps() makes what it refers to null.
    const QPixmap& bitmap(int id) const;
    // The mask of backlight area 0..3 (from bitmap 134 + area), made on first use; a null image
    // when its source bitmap is missing, `area` is out of range, or before loadBitmaps().
    // GUI thread only.
    const QImage& areaMask(int area) const;
    // How many bitmaps and masks have been decoded since loadBitmaps(); what start-up pays for.
    int decodedBitmapCount() const;
    int madeAreaMaskCount() const;
    const QBrush& darkBrush() const { return darkBrush_; }
    // Font `index` is `index` pixels high; font 0 has the default size. An index outside
    // 0..19 gives font 0, so a wrong table entry draws in the default font.
    const QFont& font(int index) const;

private:
    // The caches fill from const accessors: what a bitmap looks like does not depend on
    // whether it was read yet.
    bool available_ = false;
    mutable std::array<QPixmap, kBitmapIds.size()> bitmaps_{};
    mutable std::array<bool, kBitmapIds.size()> bitmapTried_{};
    mutable std::array<QImage, kAreaCount> areaMasks_{};
    mutable std::array<bool, kAreaCount> maskTried_{};
    QBrush darkBrush_;
    std::array<QFont, kFontCount> fonts_{};
};
