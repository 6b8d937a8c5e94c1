// The backlight dialog's pictures: 131 the background with a neutral keyboard, 132 every
// swatch and button hovered, and 134..137 the masks of the four areas. The dialog paints the
// area colours over the keys through the masks, so a mask holds the key colour exactly on
// the caps of its area's keys; the legends are left out, so they stay readable, dark on the
// coloured caps.

#include <QLinearGradient>
#include <QPainterPath>

#include "Art.h"
#include "Glyphs.h"
#include "Skins.h"
#include "backlight/BacklightItems.h"
#include "model/KeyTable.h"

namespace skin {
namespace {

constexpr int kRadius = 16;

// The face of a key as the masks colour it: the cap inside its dark outline.
QRectF maskedFace(const QRect& r) { return QRectF(r).adjusted(2, 2, -2, -2); }

const QColor kLegend(22, 24, 27);

void drawNeutralKey(QPainter& p, const QRect& r, const char* legend) {
    const QRectF cap = QRectF(r).adjusted(1, 1, -1, -1);
    p.save();
    p.setPen(QPen(QColor(10, 11, 13), 1));
    QLinearGradient g(cap.topLeft(), cap.bottomLeft());
    g.setColorAt(0, QColor(112, 117, 125));
    g.setColorAt(1, QColor(84, 88, 95));
    p.setBrush(g);
    p.drawRoundedRect(cap.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p.restore();
    drawLegend(p, maskedFace(r).adjusted(1, 0, -1, -3), legend, kLegend, 12);
}

void drawSwatch(QPainter& p, const QRect& item, Look look) {
    const SkinRect fill = backlightSwatchFill({item.left(), item.top(), item.left() + item.width(), item.top() + item.height()});
    const QRectF inner = QRectF(toQRect(fill));
    p.save();
    drawRecess(p, inner.adjusted(-2, -2, 2, 2), 3, QColor(40, 42, 46));
    if (look == Look::Hover) {
        p.setPen(QPen(palette::hover, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(inner.adjusted(-3.5, -3.5, 3.5, 3.5), 4, 4);
    }
    // A small caret at the right: the swatch opens a colour chooser.
    QPainterPath caret;
    const QPointF c(inner.right() + 7, inner.center().y());
    caret.moveTo(c + QPointF(-3, -1.5));
    caret.lineTo(c + QPointF(3, -1.5));
    caret.lineTo(c + QPointF(0, 2.5));
    caret.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(look == Look::Hover ? palette::hover : palette::dimGlyph);
    p.drawPath(caret);
    p.restore();
}

void paintBase(QPainter& p) {
    const QSize size(kBacklightSkinSize.width, kBacklightSkinSize.height);
    paintWindowBody(p, size, kRadius, 46);
    drawBrand(p, QPointF(26, 15), 15);
    // The swatch row and the keyboard case.
    const QRectF caseRect(33, 86, 975, 328);
    p.save();
    QLinearGradient g(caseRect.topLeft(), caseRect.bottomLeft());
    g.setColorAt(0, QColor(54, 58, 65));
    g.setColorAt(1, QColor(34, 36, 41));
    p.setPen(QPen(QColor(70, 75, 84), 1));
    p.setBrush(g);
    p.drawRoundedRect(caseRect.adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    p.restore();
    drawRecess(p, caseRect.adjusted(8, 8, -8, -8), 7, QColor(17, 18, 21));
    for (int k = 1; k <= kBacklightKeyCount; ++k)
        drawNeutralKey(p, toQRect(kBacklightKeys[k - 1].rect), kKeyTable[k - 1].legend);
}

void drawElement(QPainter& p, const SkinItem& item, Look look) {
    const QRect r = toQRect(item.rect);
    p.save();
    p.setClipRect(r);
    if (item.id >= kBacklightFirstSwatch && item.id < kBacklightFirstSwatch + kBacklightAreaCount) {
        drawSwatch(p, r, look);
    } else if (item.id == kBacklightClose) {
        drawCloseBox(p, r, look);
    } else {
        drawButton(p, r, look);
        if (item.id == kBacklightDefault) {
            // Restoring the defaults: a circular arrow right of the caption.
            drawCatalogueGlyph(p, 412, QRectF(r.right() - 26, r.top() + 9, 16, 16),
                               look == Look::Hover ? QColor(255, 255, 255) : palette::glyph);
        }
    }
    p.restore();
}

QImage paintPicture(Look look) {
    QImage image = newPicture(kBacklightSkinSize);
    {
        QPainter p(&image);
        prepare(p);
        paintBase(p);
        for (const SkinItem& item : kBacklightItems)
            if (item.id > 0 && !item.textOnly && item.keyNumber < 0)
                drawElement(p, item, look);
    }
    cutOut(image, kRadius, kSkinKeyBlue);
    return image;
}

// Mask of one area: key colour on the faces of its keys, except where a legend is printed.
QImage paintMask(int area) {
    QImage mask(kBacklightSkinSize.width, kBacklightSkinSize.height, QImage::Format_RGB32);
    mask.fill(QColor(skinRed(kSkinMaskBackground), skinGreen(kSkinMaskBackground), skinBlue(kSkinMaskBackground)));
    QImage legends(mask.size(), QImage::Format_ARGB32_Premultiplied);
    legends.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(skinRed(kSkinMaskKey), skinGreen(kSkinMaskKey), skinBlue(kSkinMaskKey)));
        QPainter lp(&legends);
        prepare(lp);
        for (int k = 1; k <= kBacklightKeyCount; ++k) {
            if (kBacklightKeys[k - 1].area != area)
                continue;
            const QRect r = toQRect(kBacklightKeys[k - 1].rect);
            p.drawRoundedRect(maskedFace(r), 4, 4);
            drawLegend(lp, maskedFace(r).adjusted(1, 0, -1, -3), kKeyTable[k - 1].legend, Qt::black, 12);
        }
    }
    const QRgb background = 0xFF000000u | kSkinMaskBackground;
    const QRgb key = 0xFF000000u | kSkinMaskKey;
    for (int y = 0; y < mask.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(mask.scanLine(y));
        const auto* ink = reinterpret_cast<const QRgb*>(legends.constScanLine(y));
        for (int x = 0; x < mask.width(); ++x) {
            // Anything the painter left that is not exactly the key colour is background.
            if (line[x] != key || qAlpha(ink[x]) >= 110)
                line[x] = background;
        }
    }
    return mask;
}

}  // namespace

std::vector<SkinBitmap> paintBacklightDialog() {
    std::vector<SkinBitmap> bitmaps{{kBacklightBackgroundBitmap, paintPicture(Look::Normal)},
                                    {kBacklightHoverBitmap, paintPicture(Look::Hover)}};
    for (int area = 1; area <= kBacklightAreaCount; ++area)
        bitmaps.push_back({kBacklightFirstMaskBitmap + area - 1, paintMask(area)});
    return bitmaps;
}

}  // namespace skin
