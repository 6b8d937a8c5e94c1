// The scroll bar skin (138): 9 columns x 3 rows of square cells. Rows: normal, hot, pressed.
// Columns: first arrow, second arrow, thumb, track of a vertical bar; the same four for a
// horizontal bar; the last column is unused. The bar tiles the track cell along its length
// and draws the thumb from its cell with 3 px end caps, tiling the middle, so both are
// uniform along the bar apart from those caps.
// Also the small plain bitmap 133, which is loaded but never drawn.

#include <QLinearGradient>
#include <QPainterPath>

#include "Art.h"
#include "Skins.h"
#include "keymap/KeyMapItems.h"

namespace skin {
namespace {

constexpr int kCell = kKeyMapScrollBarPart;

const QColor kTrack(18, 19, 22);

// Draws one cell of a vertical bar into the cell at `origin`; horizontal cells are drawn
// the same way through a transposing transform.
void drawVerticalCell(QPainter& p, int column, int row) {
    const QRectF cell(0, 0, kCell, kCell);
    // Track groove: dark, with slightly darker edges; uniform along y.
    p.fillRect(cell, kTrack);
    p.fillRect(QRectF(0, 0, 1, kCell), QColor(10, 10, 12));
    p.fillRect(QRectF(kCell - 1, 0, 1, kCell), QColor(34, 36, 41));
    if (column == 3)
        return;
    if (column == 2) {
        // Thumb: a rounded bar whose rounding fits in the 3 px end caps.
        const QColor fills[3] = {QColor(86, 92, 103), QColor(118, 126, 140), QColor(150, 160, 176)};
        p.setPen(Qt::NoPen);
        p.setBrush(fills[row]);
        p.drawRoundedRect(QRectF(3, 0.5, kCell - 6, kCell - 1), 3, 2.5);
        // Middle rows carry the same two highlight columns, so tiling shows no seams.
        p.fillRect(QRectF(4, 3, 1, kCell - 6), QColor(255, 255, 255, 40));
        p.fillRect(QRectF(kCell - 5, 3, 1, kCell - 6), QColor(0, 0, 0, 50));
        return;
    }
    // Arrow buttons: a raised square with a chevron pointing up (column 0) or down (1).
    const QColor faces[3] = {QColor(40, 43, 49), QColor(58, 64, 73), QColor(76, 84, 96)};
    const QColor chevrons[3] = {QColor(150, 156, 166), palette::hover, QColor(255, 255, 255)};
    const QRectF face = cell.adjusted(1, 1, -1, -1);
    p.setPen(QPen(QColor(62, 67, 76), 1));
    p.setBrush(faces[row]);
    p.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    QPainterPath chevron;
    const qreal cx = kCell / 2.0;
    const qreal cy = kCell / 2.0;
    const qreal d = column == 0 ? -1 : 1;
    chevron.moveTo(cx - 4, cy - 2 * d);
    chevron.lineTo(cx, cy + 2 * d);
    chevron.lineTo(cx + 4, cy - 2 * d);
    p.setPen(QPen(chevrons[row], 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
}

QImage paintScrollBarSkin() {
    QImage image(9 * kCell, 3 * kCell, QImage::Format_RGB32);
    image.fill(kTrack);
    QPainter p(&image);
    prepare(p);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            p.save();
            p.translate(column * kCell, row * kCell);
            p.setClipRect(QRect(0, 0, kCell, kCell));
            drawVerticalCell(p, column, row);
            p.restore();
            // Horizontal: the vertical cell mirrored over its diagonal (x <-> y).
            p.save();
            p.translate((column + 4) * kCell, row * kCell);
            p.setClipRect(QRect(0, 0, kCell, kCell));
            p.setTransform(QTransform(0, 1, 1, 0, 0, 0), true);
            drawVerticalCell(p, column, row);
            p.restore();
        }
    }
    p.end();
    clearKeyColours(image);
    return image;
}

}  // namespace

std::vector<SkinBitmap> paintScrollBar() { return {{kKeyMapScrollBarBitmap, paintScrollBarSkin()}}; }

std::vector<SkinBitmap> paintUnused() {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(palette::baseBottom);
    return {{133, image}};
}

}  // namespace skin
