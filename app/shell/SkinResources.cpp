#include "SkinResources.h"

#include "AreaMask.h"

#include <algorithm>

namespace {

const QPixmap& nullPixmap() {
    static const QPixmap none;
    return none;
}

const QImage& nullImage() {
    static const QImage none;
    return none;
}

int bitmapIndex(int id) {
    const auto& ids = SkinResources::kBitmapIds;
    const auto* it = std::find(ids.begin(), ids.end(), id);
    return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
}

}  // namespace

SkinResources::SkinResources() : darkBrush_(QColor::fromRgb(kDarkBrushColour)) {
    for (int i = 0; i < kFontCount; ++i) {
        QFont f(QString::fromLatin1(kFontFamily));
        // Qt names the font a pixel height; 0 keeps the default size.
        if (i > 0)
            f.setPixelSize(i);
        fonts_[static_cast<std::size_t>(i)] = f;
    }
}

QString SkinResources::bitmapPath(int id) {
    return QStringLiteral(":/skin/%1.png").arg(id);
}

bool SkinResources::isBitmapId(int id) {
    return bitmapIndex(id) >= 0;
}

void SkinResources::loadBitmaps() {
    for (std::size_t i = 0; i < kBitmapIds.size(); ++i) {
        QPixmap pixmap;
        // A failed load leaves the pixmap null, which is what "missing" means here.
        pixmap.load(bitmapPath(kBitmapIds[i]));
        bitmaps_[i] = pixmap;
    }
    for (int area = 0; area < kAreaCount; ++area)
        areaMasks_[static_cast<std::size_t>(area)] =
            makeAreaMask(bitmap(kAreaMaskSourceIds[static_cast<std::size_t>(area)]));
}

void SkinResources::releaseBitmaps() {
    bitmaps_.fill(QPixmap());
    areaMasks_.fill(QImage());
}

const QPixmap& SkinResources::bitmap(int id) const {
    const int index = bitmapIndex(id);
    return index < 0 ? nullPixmap() : bitmaps_[static_cast<std::size_t>(index)];
}

const QImage& SkinResources::areaMask(int area) const {
    if (area < 0 || area >= kAreaCount)
        return nullImage();
    return areaMasks_[static_cast<std::size_t>(area)];
}

const QFont& SkinResources::font(int index) const {
    if (index < 0 || index >= kFontCount)
        index = 0;
    return fonts_[static_cast<std::size_t>(index)];
}
