#include "AreaMask.h"

#include "SkinItem.h"

namespace {

constexpr QRgb kOpaque = 0xFF000000u;
constexpr QRgb kRgbBits = 0x00FFFFFFu;

// Copies `source` as 32-bit pixels and passes every pixel (without alpha) through `rule`.
template <typename Rule>
QImage rewritePixels(const QImage& source, Rule rule) {
    if (source.isNull())
        return {};
    QImage copy = source.convertToFormat(QImage::Format_RGB32);
    if (copy.isNull())
        return {};
    for (int y = 0; y < copy.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(copy.scanLine(y));
        for (int x = 0; x < copy.width(); ++x)
            line[x] = kOpaque | rule(line[x] & kRgbBits);
    }
    return copy;
}

}  // namespace

QImage makeAreaMask(const QImage& source) {
    return rewritePixels(source, [](QRgb pixel) -> QRgb {
        return pixel == kSkinMaskKey ? pixel : kSkinMaskBackground;
    });
}

QImage makeAreaMask(const QPixmap& source) {
    return source.isNull() ? QImage() : makeAreaMask(source.toImage());
}

QImage recolourAreaMask(ColourRef colour, const QImage& source) {
    const QRgb replacement = pixelFromColourRef(colour);
    return rewritePixels(source, [replacement](QRgb pixel) -> QRgb {
        return pixel == kSkinMaskKey ? replacement : pixel;
    });
}

QImage recolourAreaMask(ColourRef colour, const QPixmap& source) {
    return source.isNull() ? QImage() : recolourAreaMask(colour, source.toImage());
}
