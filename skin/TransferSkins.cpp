// The progress dialog's pictures (139 background, 140 hover, 141 the strip filled) and the
// firmware dialog's (128, 129, 130), which share the frame, the close box, the cancel button
// and the progress strip.

#include <QLinearGradient>
#include <QPainterPath>

#include "Art.h"
#include "Glyphs.h"
#include "Skins.h"
#include "transfer/FirmwareItems.h"
#include "transfer/ProgressItems.h"

namespace skin {
namespace {

constexpr int kRadius = 12;

enum class Picture { Background, Hover, Fill };

void drawTrough(QPainter& p, SkinRect strip) {
    const QRectF r = QRectF(toQRect(strip));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(palette::recessEdge);
    p.drawRoundedRect(r.adjusted(-2, -2, 2, 2), 4, 4);
    p.fillRect(r, palette::recess);
    // Tick marks every tenth.
    for (int i = 1; i < 10; ++i)
        p.fillRect(QRectF(r.left() + r.width() * i / 10.0, r.bottom() - 4, 1, 3), QColor(44, 47, 53));
    p.restore();
}

// The filled strip: an orange-to-amber gradient with a gloss on its upper half.
void drawFill(QPainter& p, SkinRect strip) {
    const QRectF r = QRectF(toQRect(strip));
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, QColor(232, 84, 0));
    g.setColorAt(1, QColor(255, 178, 36));
    p.fillRect(r, g);
    QLinearGradient gloss(r.topLeft(), r.bottomLeft());
    gloss.setColorAt(0, QColor(255, 255, 255, 90));
    gloss.setColorAt(0.45, QColor(255, 255, 255, 20));
    gloss.setColorAt(0.55, QColor(0, 0, 0, 0));
    gloss.setColorAt(1, QColor(0, 0, 0, 50));
    p.fillRect(r, gloss);
    // Fine diagonal stripes, so the strip reads as moving.
    p.save();
    p.setClipRect(r);
    p.setPen(QPen(QColor(255, 255, 255, 26), 4));
    for (qreal x = r.left() - r.height(); x < r.right(); x += 14)
        p.drawLine(QPointF(x, r.bottom()), QPointF(x + r.height(), r.top()));
    p.restore();
}

// A warning mark left of the "keep connected" text.
void drawWarning(QPainter& p, QPointF centre) {
    QPainterPath tri;
    tri.moveTo(centre + QPointF(0, -7.5));
    tri.lineTo(centre + QPointF(8, 6.5));
    tri.lineTo(centre + QPointF(-8, 6.5));
    tri.closeSubpath();
    p.save();
    p.setPen(QPen(QColor(255, 170, 40), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 170, 40, 40));
    p.drawPath(tri);
    p.setPen(QPen(QColor(255, 190, 80), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(0, -2.5), centre + QPointF(0, 1.5));
    p.drawPoint(centre + QPointF(0, 4.3));
    p.restore();
}

void drawItems(QPainter& p, const SkinItem* items, int count, int closeId, Look look) {
    for (int i = 0; i < count; ++i) {
        const SkinItem& item = items[i];
        if (item.id <= 0 || item.textOnly)
            continue;
        const QRect r = toQRect(item.rect);
        p.save();
        p.setClipRect(r);
        if (item.id == closeId)
            drawCloseBox(p, r, look);
        else
            drawButton(p, r, look);
        p.restore();
    }
}

QImage paintProgress(Picture picture) {
    QImage image = newPicture(kProgressSkinSize);
    {
        QPainter p(&image);
        prepare(p);
        paintWindowBody(p, QSize(kProgressSkinSize.width, kProgressSkinSize.height), kRadius, 52);
        drawRaisedPanel(p, QRectF(22, 102, 331, 86), 8);
        // A keyboard with its cable between the title and the warning.
        drawCatalogueGlyph(p, 614, QRectF(165, 58, 44, 44), palette::dimGlyph);
        drawWarning(p, QPointF(60, 124));
        drawTrough(p, kProgressStrip);
        if (picture == Picture::Fill)
            drawFill(p, kProgressStrip);
        drawItems(p, kProgressItems.data(), kProgressItemCount, kProgressClose,
                  picture == Picture::Hover ? Look::Hover : Look::Normal);
    }
    cutOut(image, kRadius, kSkinKeyRed);
    return image;
}

QImage paintFirmware(Picture picture) {
    QImage image = newPicture(kFirmwareSkinSize);
    {
        QPainter p(&image);
        prepare(p);
        paintWindowBody(p, QSize(kFirmwareSkinSize.width, kFirmwareSkinSize.height), kRadius, 52);
        drawRaisedPanel(p, QRectF(22, 62, 331, 126), 8);
        for (SkinRect field : {kFirmwareVersionField, kFirmwareFileField})
            drawRecess(p, QRectF(toQRect(field)).adjusted(-3, -3, 3, 3), 4, colour(kSkinEditBackground));
        drawTrough(p, kFirmwareStrip);
        if (picture == Picture::Fill)
            drawFill(p, kFirmwareStrip);
        drawItems(p, kFirmwareItems.data(), kFirmwareItemCount, kFirmwareClose,
                  picture == Picture::Hover ? Look::Hover : Look::Normal);
    }
    cutOut(image, kRadius, kSkinKeyRed);
    return image;
}

}  // namespace

std::vector<SkinBitmap> paintProgressDialog() {
    return {{kProgressBackgroundBitmap, paintProgress(Picture::Background)},
            {kProgressHoverBitmap, paintProgress(Picture::Hover)},
            {kProgressFillBitmap, paintProgress(Picture::Fill)}};
}

std::vector<SkinBitmap> paintFirmwareDialog() {
    return {{kFirmwareBackgroundBitmap, paintFirmware(Picture::Background)},
            {kFirmwareHoverBitmap, paintFirmware(Picture::Hover)},
            {kFirmwareFillBitmap, paintFirmware(Picture::Fill)}};
}

}  // namespace skin
