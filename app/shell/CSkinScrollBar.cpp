#include "CSkinScrollBar.h"

#include "ScrollRepeatTimer.h"

#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <climits>

namespace {

// The thumb keeps this many pixels of its cell at either end unstretched.
constexpr int kThumbCap = 3;
// Shortest thumb drawn, and the track length below which there is no thumb.
constexpr int kMinThumb = 6;
constexpr int kMaxTrackWithoutThumb = 5;

constexpr int clampToInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

}  // namespace

CSkinScrollBar::Segment CSkinScrollBar::Layout::segment(Part part) const {
    switch (part) {
    case FirstArrow: return firstArrow;
    case SecondArrow: return secondArrow;
    case TrackBefore: return trackBefore;
    case TrackAfter: return trackAfter;
    case Thumb: return thumb;
    case NoPart: break;
    }
    return {};
}

CSkinScrollBar::CSkinScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
    setMouseTracking(true);
    setRepeatTimer(std::make_unique<QtScrollRepeatTimer>());
}

CSkinScrollBar::~CSkinScrollBar() = default;

void CSkinScrollBar::setBitmap(const QPixmap& bitmap) {
    skin_ = bitmap;
    partSize_ = bitmap.width() / 9;
    trackCell_ = QPixmap();
    thumbMiddle_.fill(QPixmap());
    if (partSize_ > 0) {
        const bool vertical = orientation_ == Qt::Vertical;
        trackCell_ = skin_.copy(cellRect(columnOf(TrackBefore), 0));
        if (partSize_ > 2 * kThumbCap) {
            for (int row = 0; row < 3; ++row) {
                const QRect cell = cellRect(columnOf(Thumb), row);
                const QRect middle = vertical
                    ? QRect(cell.x(), cell.y() + kThumbCap, partSize_, partSize_ - 2 * kThumbCap)
                    : QRect(cell.x() + kThumbCap, cell.y(), partSize_ - 2 * kThumbCap, partSize_);
                thumbMiddle_[static_cast<std::size_t>(row)] = skin_.copy(middle);
            }
        }
        // Exactly partSize thick; the length along the bar stays. A bar without a usable skin
        // keeps its size and draws nothing.
        const QRect g = geometry();
        if (vertical)
            setGeometry(g.x(), g.y(), partSize_, g.height());
        else
            setGeometry(g.x(), g.y(), g.width(), partSize_);
    }
    update();
}

void CSkinScrollBar::setRepeatTimer(std::unique_ptr<ScrollRepeatTimer> timer) {
    if (!timer)
        return;
    timer_ = std::move(timer);
    timer_->setHandler([this](int id) { timerFired(id); });
}

bool CSkinScrollBar::setScrollInfo(const ScrollInfo& info, bool redraw) {
    if (info.mask & ScrollInfoMask::Page)
        page_ = std::max(0, info.page);
    if (info.mask & ScrollInfoMask::Pos)
        position_ = info.position;
    if (info.mask & ScrollInfoMask::Range) {
        minimum_ = info.minimum;
        maximum_ = info.maximum;
    }
    if (redraw) {
        // The track and thumb between the arrows; the arrows' look does not depend on the state.
        const Layout l = layout();
        update(rectOf({l.trackBefore.start, l.trackAfter.end}));
    }
    return true;
}

bool CSkinScrollBar::getScrollInfo(ScrollInfo& info) const {
    if (info.mask & ScrollInfoMask::Page)
        info.page = page_;
    if (info.mask & ScrollInfoMask::Pos)
        info.position = position_;
    if (info.mask & ScrollInfoMask::TrackPos)
        info.trackPosition = trackPosition_;
    if (info.mask & ScrollInfoMask::Range) {
        info.minimum = minimum_;
        info.maximum = maximum_;
    }
    return true;
}

int CSkinScrollBar::scrollSpan() const {
    // A page larger than the range leaves nothing to scroll rather than a negative span.
    return clampToInt(std::max<long long>(0, static_cast<long long>(maximum_) - minimum_ - page_ + 1));
}

CSkinScrollBar::Layout CSkinScrollBar::layout(bool forHitTest) const {
    Layout l;
    const long long span = scrollSpan();
    const long long range = static_cast<long long>(maximum_) - minimum_ + 1;
    l.trackLength = std::max(0, length() - 2 * partSize_);

    long long thumb = 0;
    if (l.trackLength > kMaxTrackWithoutThumb && span > 0 && range > 0)
        thumb = std::max<long long>(kMinThumb, page_ * static_cast<long long>(l.trackLength) / range);
    if (forHitTest && l.trackLength > kMaxTrackWithoutThumb)
        thumb = std::max<long long>(thumb, kMinThumb);
    l.thumbLength = clampToInt(std::min<long long>(thumb, l.trackLength));

    l.arrowLength = l.trackLength == 0 ? length() / 2 : partSize_;

    const long long p = trackPosition_ != -1 ? trackPosition_ : position_;
    const long long room = l.trackLength - l.thumbLength;
    const long long offset = span == 0 ? room / 2 : room * p / span;
    // A position outside the scroll range still leaves the thumb inside the track.
    l.thumbOffset = clampToInt(std::clamp<long long>(offset, 0, room));

    const int a = l.arrowLength;
    l.firstArrow = {0, a};
    l.trackBefore = {a, a + l.thumbOffset};
    l.thumb = {l.trackBefore.end, l.trackBefore.end + l.thumbLength};
    l.trackAfter = {l.thumb.end, std::max(l.thumb.end, length() - a)};
    l.secondArrow = {length() - a, length()};
    return l;
}

CSkinScrollBar::Part CSkinScrollBar::hitTest(QPoint point) const {
    const int c = along(point);
    if (c < 0)
        return NoPart;
    const Layout l = layout(true);
    for (Part part : {FirstArrow, TrackBefore, Thumb, TrackAfter, SecondArrow}) {
        const Segment s = l.segment(part);
        if (c >= s.start && c < s.end)
            return part;
    }
    return NoPart;
}

QRect CSkinScrollBar::partRect(Part part) const {
    return part == NoPart ? QRect() : rectOf(layout().segment(part));
}

int CSkinScrollBar::rowOf(Part part) const {
    const bool idle = pressedPart_ == NoPart && !dragging_;
    switch (part) {
    case Thumb:
        return dragging_ ? 2 : (idle && hotPart_ == Thumb ? 1 : 0);
    case FirstArrow:
    case SecondArrow:
        if (pressedPart_ == part)
            return pointerOutside_ ? 0 : 2;
        return idle && hotPart_ == part ? 1 : 0;
    case TrackBefore:
    case TrackAfter:
    case NoPart:
        break;
    }
    return 0;  // the track has no hover or pressed look
}

void CSkinScrollBar::timerFired(int id) {
    if (id != kFirstDelayTimer && id != kRepeatTimer)
        return;
    if (pressedPart_ == NoPart) {
        // A late tick after the press ended: nothing to repeat, so no timer keeps running.
        timer_->stop(kFirstDelayTimer);
        timer_->stop(kRepeatTimer);
        return;
    }
    if (id == kFirstDelayTimer) {
        repeatFast_ = true;
        timer_->stop(kFirstDelayTimer);
        timer_->start(kRepeatTimer, kRepeatMs);
    }
    repeatStep();
}

void CSkinScrollBar::repeatStep() {
    if (pointerOutside_)
        return;
    switch (pressedPart_) {
    case FirstArrow:
        if (position_ <= minimum_)
            timer_->stop(kRepeatTimer);
        else
            send(ScrollCode::LineUp);
        break;
    case SecondArrow:
        // The last position the thumb can take ends the repeat; with a page of 0 or 1 that is
        // the maximum itself.
        if (position_ >= std::min(maximum_, scrollSpan()))
            timer_->stop(kRepeatTimer);
        else
            send(ScrollCode::LineDown);
        break;
    case TrackBefore:
    case TrackAfter:
        if (hitTest(pointer_) == Thumb)
            timer_->stop(kRepeatTimer);
        else
            send(pressedPart_ == TrackBefore ? ScrollCode::PageUp : ScrollCode::PageDown);
        break;
    case Thumb:
    case NoPart:
        break;
    }
}

void CSkinScrollBar::paintEvent(QPaintEvent*) {
    if (skin_.isNull() || partSize_ <= 0)
        return;
    QPainter painter(this);
    const Layout l = layout();
    drawCell(painter, FirstArrow, rectOf(l.firstArrow));
    drawCell(painter, SecondArrow, rectOf(l.secondArrow));
    if (l.thumbLength > 0)
        drawThumb(painter, rectOf(l.thumb));
    drawTrack(painter, rectOf(l.trackBefore));
    drawTrack(painter, rectOf(l.trackAfter));
}

int CSkinScrollBar::length() const {
    return orientation_ == Qt::Vertical ? height() : width();
}

void CSkinScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Qt grabs the pointer for the widget while the button is held.
    const QPoint point = event->position().toPoint();
    trackPointer(point);
    const Part part = hitTest(point);
    if (part == Thumb) {
        dragging_ = true;
        dragStart_ = point;
        dragStartPosition_ = position_;
        trackPosition_ = position_;
        repaintPart(Thumb);
    } else if (part != NoPart) {
        pressedPart_ = part;
        send(static_cast<ScrollCode>(part));
        timer_->start(kFirstDelayTimer, kFirstDelayMs);
        pointerOutside_ = false;
        repaintPart(part);
    }
    event->accept();
}

void CSkinScrollBar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    trackPointer(point);
    if (dragging_) {
        const Layout l = layout();
        const long long room = l.trackLength - l.thumbLength;
        const long long d = along(point) - along(dragStart_);
        long long next = (room == 0 ? 0 : d * scrollSpan() / room) + dragStartPosition_;
        next = std::min<long long>(std::max<long long>(next, minimum_), scrollSpan());
        if (next == trackPosition_)
            return;
        const QRect before = partRect(Thumb);
        trackPosition_ = clampToInt(next);
        update(before | partRect(Thumb));
        send(ScrollCode::ThumbTrack, trackPosition_);
    } else if (pressedPart_ != NoPart) {
        const QRect pressed = rectOf(layout(true).segment(pressedPart_));
        const bool outside = !pressed.contains(point);
        if (outside != pointerOutside_) {
            pointerOutside_ = outside;
            repaintPart(pressedPart_);
        }
    } else {
        const Part part = hitTest(point);
        if (part != hotPart_) {
            const Part before = hotPart_;
            hotPart_ = part;
            repaintPart(before);
            repaintPart(part);
        }
    }
}

void CSkinScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    trackPointer(point);
    if (dragging_) {
        dragging_ = false;
        send(ScrollCode::ThumbPosition, trackPosition_);
        const QRect tracked = partRect(Thumb);
        trackPosition_ = -1;
        hotPart_ = hitTest(point) == Thumb ? Thumb : NoPart;
        update(tracked | partRect(Thumb));
    } else if (pressedPart_ != NoPart) {
        endPress();
    }
    event->accept();
}

void CSkinScrollBar::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click does nothing beyond the first click.
    event->accept();
}

void CSkinScrollBar::leaveEvent(QEvent* event) {
    if (dragging_) {
        // The thumb stays where the last move put it; a drag only ends on release.
    } else if (pressedPart_ != NoPart) {
        if (!pointerOutside_) {
            pointerOutside_ = true;
            repaintPart(pressedPart_);
        }
    } else if (hotPart_ != NoPart) {
        const Part before = hotPart_;
        hotPart_ = NoPart;
        repaintPart(before);
    }
    if (!dragging_)
        pointer_ = QPoint(-1, -1);
    QWidget::leaveEvent(event);
}

void CSkinScrollBar::hideEvent(QHideEvent* event) {
    // A hidden bar gets no release: end a press or drag so no repeat keeps running.
    if (pressedPart_ != NoPart)
        endPress();
    if (dragging_) {
        dragging_ = false;
        trackPosition_ = -1;
    }
    QWidget::hideEvent(event);
}

void CSkinScrollBar::endPress() {
    timer_->stop(repeatFast_ ? kRepeatTimer : kFirstDelayTimer);
    repeatFast_ = false;
    const Part released = pressedPart_;
    pressedPart_ = NoPart;
    pointerOutside_ = false;
    // The released arrow shows unpressed until the pointer moves again.
    hotPart_ = NoPart;
    repaintPart(released);
}

void CSkinScrollBar::trackPointer(QPoint point) {
    pointer_ = point;
}

int CSkinScrollBar::along(QPoint point) const {
    return orientation_ == Qt::Vertical ? point.y() : point.x();
}

QRect CSkinScrollBar::rectOf(Segment segment) const {
    const int extent = std::max(0, segment.end - segment.start);
    return orientation_ == Qt::Vertical ? QRect(0, segment.start, partSize_, extent)
                                        : QRect(segment.start, 0, extent, partSize_);
}

QRect CSkinScrollBar::cellRect(int column, int row) const {
    return QRect(column * partSize_, row * partSize_, partSize_, partSize_);
}

int CSkinScrollBar::columnOf(Part part) const {
    const int base = orientation_ == Qt::Vertical ? 0 : 4;
    switch (part) {
    case FirstArrow: return base;
    case SecondArrow: return base + 1;
    case Thumb: return base + 2;
    case TrackBefore:
    case TrackAfter:
    case NoPart:
        break;
    }
    return base + 3;
}

void CSkinScrollBar::drawCell(QPainter& painter, Part part, const QRect& target) const {
    if (target.isEmpty())
        return;
    // Same size: a plain copy; otherwise Qt stretches the cell over the target.
    painter.drawPixmap(target, skin_, cellRect(columnOf(part), rowOf(part)));
}

void CSkinScrollBar::drawThumb(QPainter& painter, const QRect& target) const {
    const int row = rowOf(Thumb);
    const QRect cell = cellRect(columnOf(Thumb), row);
    const bool vertical = orientation_ == Qt::Vertical;
    const int extent = vertical ? target.height() : target.width();
    const QPixmap& middle = thumbMiddle_[static_cast<std::size_t>(row)];
    if (extent == partSize_ || middle.isNull() || extent < 2 * kThumbCap) {
        painter.drawPixmap(target, skin_, cell);
        return;
    }
    // Caps of 3 pixels at both ends, the middle of the cell tiled between them.
    const int c = kThumbCap;
    if (vertical) {
        painter.drawPixmap(QRect(target.x(), target.y(), partSize_, c), skin_,
                           QRect(cell.x(), cell.y(), partSize_, c));
        painter.drawPixmap(QRect(target.x(), target.y() + extent - c, partSize_, c), skin_,
                           QRect(cell.x(), cell.y() + partSize_ - c, partSize_, c));
        painter.drawTiledPixmap(QRect(target.x(), target.y() + c, partSize_, extent - 2 * c), middle);
    } else {
        painter.drawPixmap(QRect(target.x(), target.y(), c, partSize_), skin_,
                           QRect(cell.x(), cell.y(), c, partSize_));
        painter.drawPixmap(QRect(target.x() + extent - c, target.y(), c, partSize_), skin_,
                           QRect(cell.x() + partSize_ - c, cell.y(), c, partSize_));
        painter.drawTiledPixmap(QRect(target.x() + c, target.y(), extent - 2 * c, partSize_), middle);
    }
}

void CSkinScrollBar::drawTrack(QPainter& painter, const QRect& target) const {
    if (target.isEmpty() || trackCell_.isNull())
        return;
    painter.drawTiledPixmap(target, trackCell_);
}

void CSkinScrollBar::repaintPart(Part part) {
    // Only arrows and the thumb change their look; the track is always drawn from row 0.
    if (part == FirstArrow || part == SecondArrow || part == Thumb)
        update(partRect(part));
}

void CSkinScrollBar::send(ScrollCode code, int position) {
    emit scrolled(code, position);
}
