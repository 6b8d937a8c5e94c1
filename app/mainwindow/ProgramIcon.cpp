#include "ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap iconAt(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // Dark tile, then one key cap glowing in the accent orange.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(28, 30, 34));
    painter.drawRoundedRect(QRectF(0, 0, s, s), s * 0.18, s * 0.18);
    painter.setBrush(QColor(255, 111, 0));
    const QRectF cap(s * 0.2, s * 0.2, s * 0.6, s * 0.6);
    painter.drawRoundedRect(cap, s * 0.1, s * 0.1);
    painter.setBrush(QColor(20, 20, 20));
    painter.drawRoundedRect(cap.adjusted(s * 0.1, s * 0.1, -s * 0.1, -s * 0.2), s * 0.05, s * 0.05);
    return pixmap;
}

}  // namespace

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(iconAt(size));
    return icon;
}
