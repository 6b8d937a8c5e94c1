#include "SkinnedDialog.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

#include "SkinResources.h"

SkinnedDialog::SkinnedDialog(SkinResources& skin, Look look, std::span<SkinItem> items, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), skin_(skin), look_(look), items_(items) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const QPixmap& background = skin_.bitmap(look_.background);
    const QSize size = background.isNull() ? QSize(look_.fallbackSize.width, look_.fallbackSize.height)
                                           : background.size();
    resize(size);
    // Centred on the screen by integer division, as the window's picture expects.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
    }
    updateShape();
}

int SkinnedDialog::hotItemAt(QPoint point) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const SkinItem& item = items_[i];
        if (item.id > 0 && !item.textOnly && item.rect.contains(point.x(), point.y()))
            return static_cast<int>(i);
    }
    return -1;
}

SkinnedDialog::HitArea SkinnedDialog::hitArea(QPoint point) const {
    if (hotItemAt(point) >= 0)
        return HitArea::Client;
    const bool right = point.x() > width() - kResizeBorder;
    const bool bottom = point.y() > height() - kResizeBorder;
    if (right && bottom)
        return HitArea::BottomRight;
    if (right)
        return HitArea::Right;
    if (bottom)
        return HitArea::Bottom;
    return HitArea::Caption;
}

bool SkinnedDialog::highlights(const SkinItem& item) const {
    return item.id > 0 && !item.textOnly;
}

void SkinnedDialog::drawBackground(QPainter& painter) const {
    const QPixmap& background = skin_.bitmap(look_.background);
    if (background.isNull())
        painter.fillRect(rect(), QColor(20, 20, 20));
    else
        painter.drawPixmap(0, 0, background);
}

void SkinnedDialog::drawHover(QPainter& painter) const {
    const QPixmap& hover = skin_.bitmap(look_.hover);
    if (hover.isNull())
        return;
    for (const SkinItem& item : items_) {
        if (highlights(item) && item.rect.contains(mousePoint_.x(), mousePoint_.y()))
            painter.drawPixmap(toQRect(item.rect), hover, toQRect(item.rect));
    }
}

void SkinnedDialog::drawLabels(QPainter& painter, const std::string& language) const {
    for (const SkinItem& item : items_) {
        if (item.id <= 0 || !item.textOnly || !item.visible)
            continue;
        const char* text = item.text.forLanguage(language);
        if (!text)
            continue;
        painter.setFont(skin_.font(item.font));
        painter.setPen(QColor(QRgb(item.colour)));
        const int align = (item.format == kSkinFormatCentre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop;
        painter.drawText(toQRect(item.rect), align, QString::fromUtf8(text));
    }
}

void SkinnedDialog::drawBar(QPainter& painter, int fillBitmap, SkinRect strip, int percent) const {
    const QPixmap& fill = skin_.bitmap(fillBitmap);
    const int filled = std::clamp(percent, 0, 100) * strip.width() / 100;
    if (fill.isNull() || filled <= 0)
        return;
    const QRect part(strip.left, strip.top, filled, strip.height());
    painter.drawPixmap(part, fill, part);
}

void SkinnedDialog::trackPointer(QPoint point) {
    mousePoint_ = point;
    for (SkinItem& item : items_) {
        if (item.id <= 0 || item.textOnly)
            continue;
        const bool inside = item.rect.contains(point.x(), point.y());
        if (inside != item.hovered) {
            item.hovered = inside;
            if (highlights(item))
                update(toQRect(item.rect));
        }
    }
}

void SkinnedDialog::mouseMoveEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    if (drag_ == Drag::Move) {
        move(dragStartGeometry_.topLeft() + (global - dragStartGlobal_));
        return;
    }
    if (drag_ == Drag::Resize) {
        const QPoint delta = global - dragStartGlobal_;
        QSize size = dragStartGeometry_.size();
        if (dragArea_ != HitArea::Bottom)
            size.setWidth(std::max(kResizeBorder * 2, size.width() + delta.x()));
        if (dragArea_ != HitArea::Right)
            size.setHeight(std::max(kResizeBorder * 2, size.height() + delta.y()));
        resize(size);
        return;
    }
    trackPointer(event->position().toPoint());
}

void SkinnedDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    trackPointer(point);
    const HitArea area = hitArea(point);
    if (area == HitArea::Client) {
        pressedItem_ = hotItemAt(point);
        return;
    }
    pressedItem_ = -1;
    // A window manager moves the window itself; plain X servers and tests do without one.
    QWindow* window = windowHandle();
    const Qt::Edges edges = area == HitArea::Right    ? Qt::Edges(Qt::RightEdge)
                            : area == HitArea::Bottom ? Qt::Edges(Qt::BottomEdge)
                                                      : Qt::Edges(Qt::RightEdge | Qt::BottomEdge);
    if (window && (area == HitArea::Caption ? window->startSystemMove() : window->startSystemResize(edges))) {
        drag_ = Drag::System;
        return;
    }
    drag_ = area == HitArea::Caption ? Drag::Move : Drag::Resize;
    dragArea_ = area;
    dragStartGlobal_ = event->globalPosition().toPoint();
    dragStartGeometry_ = geometry();
}

void SkinnedDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    const bool wasDrag = drag_ != Drag::None;
    drag_ = Drag::None;
    const int pressed = pressedItem_;
    pressedItem_ = -1;
    if (wasDrag || pressed < 0)
        return;
    // Only a release over the item the press began on is a click.
    if (hotItemAt(event->position().toPoint()) == pressed)
        itemClicked(pressed);
}

void SkinnedDialog::leaveEvent(QEvent* event) {
    trackPointer(QPoint(-1, -1));
    QDialog::leaveEvent(event);
}

void SkinnedDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    updateShape();
}

void SkinnedDialog::updateShape() {
    const QPixmap& background = skin_.bitmap(look_.background);
    if (background.isNull())
        return;
    // The window keeps every pixel but the colour key's (the colour compares raw words, so
    // the picture must be RGB32 first).
    const QImage image = background.toImage().convertToFormat(QImage::Format_RGB32);
    QRegion shape(QBitmap::fromImage(image.createMaskFromColor(QRgb(look_.colourKey) | 0xFF000000u, Qt::MaskInColor)));
    // A window made larger than its picture keeps the part beyond it.
    shape += QRegion(rect()) - QRegion(image.rect());
    setMask(shape);
}
