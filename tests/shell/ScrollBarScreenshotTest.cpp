// A scroll bar drawn from a skin painted like the real one (chevrons, a rounded thumb, a
// groove; hot and pressed rows lighter), saved as a PNG for a person to look at.
#include "CSkinScrollBar.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

namespace {

QPixmap paintedSkin(int part) {
    QImage skin(9 * part, 3 * part, QImage::Format_RGB32);
    skin.fill(QColor(20, 20, 20));
    QPainter p(&skin);
    p.setRenderHint(QPainter::Antialiasing);
    for (int row = 0; row < 3; ++row) {
        const QColor glyph = row == 0 ? QColor(170, 175, 185) : row == 1 ? QColor(120, 200, 255) : QColor(255, 111, 0);
        const QColor panel = QColor(38 + row * 12, 41 + row * 12, 46 + row * 12);
        for (int base : {0, 4}) {
            const bool vertical = base == 0;
            for (int k = 0; k < 4; ++k) {
                const QRectF cell((base + k) * part, row * part, part, part);
                if (k == 3) {  // track: a dark groove
                    p.fillRect(cell, QColor(24, 26, 30));
                    const QRectF groove = vertical ? cell.adjusted(part * 0.4, 0, -part * 0.4, 0)
                                                   : cell.adjusted(0, part * 0.4, 0, -part * 0.4);
                    p.fillRect(groove, QColor(14, 14, 16));
                    continue;
                }
                if (k == 2) {  // thumb: a rounded bar over the cell's length
                    const QRectF bar = vertical ? cell.adjusted(3, 0.5, -3, -0.5) : cell.adjusted(0.5, 3, -0.5, -3);
                    QPainterPath path;
                    path.addRoundedRect(bar, 3, 3);
                    p.fillPath(path, panel.lighter(150));
                    p.setPen(QPen(glyph, 1));
                    p.drawPath(path);
                    continue;
                }
                p.fillRect(cell.adjusted(1, 1, -1, -1), panel);
                // Chevron pointing up/left (k 0) or down/right (k 1).
                const QPointF c = cell.center();
                const qreal s = part * 0.22;
                QPolygonF chevron;
                if (vertical)
                    chevron << QPointF(c.x() - s, c.y() + (k == 0 ? s / 2 : -s / 2)) << QPointF(c.x(), c.y() + (k == 0 ? -s / 2 : s / 2))
                            << QPointF(c.x() + s, c.y() + (k == 0 ? s / 2 : -s / 2));
                else
                    chevron << QPointF(c.x() + (k == 0 ? s / 2 : -s / 2), c.y() - s) << QPointF(c.x() + (k == 0 ? -s / 2 : s / 2), c.y())
                            << QPointF(c.x() + (k == 0 ? s / 2 : -s / 2), c.y() + s);
                p.setPen(QPen(glyph, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                p.drawPolyline(chevron);
            }
        }
    }
    p.end();
    return QPixmap::fromImage(skin);
}

TEST(ScrollBarScreenshot, DrawsFromAPaintedSkin) {
    QWidget parent;
    parent.resize(120, 220);
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(20, 20, 20));
    parent.setPalette(palette);

    const QPixmap skin = paintedSkin(16);
    CSkinScrollBar vertical(Qt::Vertical, &parent);
    vertical.setGeometry(10, 10, 16, 200);
    vertical.setBitmap(skin);
    vertical.setScrollInfo({ScrollInfoMask::All, 0, 19, 6, 7, 0});

    CSkinScrollBar horizontal(Qt::Horizontal, &parent);
    horizontal.setGeometry(36, 10, 74, 16);
    horizontal.setBitmap(skin);
    horizontal.setScrollInfo({ScrollInfoMask::All, 0, 9, 3, 0, 0});

    const QString dir = QStringLiteral(KX30_SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(dir));
    const QPixmap shot = parent.grab();
    EXPECT_EQ(shot.size(), QSize(120, 220));
    EXPECT_TRUE(shot.save(dir + QStringLiteral("/shell-scrollbar.png")));
    EXPECT_TRUE(skin.save(dir + QStringLiteral("/shell-scrollbar-skin.png")));
}

}  // namespace
