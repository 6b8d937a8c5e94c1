#include "SkinResources.h"

#include "AreaMask.h"

#include <QImageReader>

#include <algorithm>
#include <utility>

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
    // A second call keeps what was read already: the resources did not change meanwhile.
    available_ = true;
}

void SkinResources::releaseBitmaps() {
    available_ = false;
    bitmaps_.fill(QPixmap());
    bitmapTried_.fill(false);
    areaMasks_.fill(QImage());
    maskTried_.fill(false);
}

const QPixmap& SkinResources::bitmap(int id) const {
    const int index = bitmapIndex(id);
    if (index < 0)
        return nullPixmap();
    const auto i = static_cast<std::size_t>(index);
    if (available_ && !bitmapTried_[i]) {
        bitmapTried_[i] = true;
        // Read through QImageReader rather than QPixmap::load, which would also keep a
        // reference in the global pixmap cache after releaseBitmaps(). A failed read leaves
        // the pixmap null, which is what "missing" means here.
        QImage image = QImageReader(bitmapPath(id)).read();
        if (!image.isNull())
            bitmaps_[i] = QPixmap::fromImage(std::move(image));
    }
    return bitmaps_[i];
}

const QImage& SkinResources::areaMask(int area) const {
    if (area < 0 || area >= kAreaCount)
        return nullImage();
    const auto a = static_cast<std::size_t>(area);
    if (available_ && !maskTried_[a]) {
        maskTried_[a] = true;
        const int source = kAreaMaskSourceIds[a];
        // Only the mask is drawn: its source picture is read for it and not kept, unless
        // something has asked for the picture itself.
        const std::size_t i = static_cast<std::size_t>(bitmapIndex(source));
        areaMasks_[a] = bitmapTried_[i] ? makeAreaMask(bitmaps_[i])
                                        : makeAreaMask(QImageReader(bitmapPath(source)).read());
    }
    return areaMasks_[a];
}

int SkinResources::decodedBitmapCount() const {
    int n = 0;
    for (std::size_t i = 0; i < bitmaps_.size(); ++i)
        n += bitmapTried_[i] && !bitmaps_[i].isNull() ? 1 : 0;
    return n;
}

int SkinResources::madeAreaMaskCount() const {
    int n = 0;
    for (const QImage& mask : areaMasks_)
        n += mask.isNull() ? 0 : 1;
    return n;
}

const QFont& SkinResources::font(int index) const {
    if (index < 0 || index >= kFontCount)
        index = 0;
    return fonts_[static_cast<std::size_t>(index)];
}
