#pragma once
// A scroll bar drawn entirely from one skin bitmap that keeps its own scroll state. Towards
// its parent it behaves like a standard scroll bar: it reports every action through
// scrolled() with the standard scroll codes, answers scroll-information requests, and repeats
// arrow and page actions while the button is held (first after 500 ms, then every 100 ms).
//
// The skin is a grid of 9 x 3 square cells, partSize = width / 9 pixels each. Rows: 0 normal,
// 1 hot, 2 pressed. Columns 0..3 first arrow, second arrow, thumb and track of a vertical
// bar, 4..7 the same for a horizontal bar; column 8 is unused.

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>
#include <memory>

class ScrollRepeatTimer;

// The standard scroll codes, with their usual values.
enum class ScrollCode : int {
    LineUp = 0,
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Top = 6,
    Bottom = 7,
    EndScroll = 8,
};

// Which fields of a ScrollInfo a request reads or fills, with the usual values.
namespace ScrollInfoMask {
inline constexpr unsigned Range = 0x1;
inline constexpr unsigned Page = 0x2;
inline constexpr unsigned Pos = 0x4;
inline constexpr unsigned DisableNoScroll = 0x8;
inline constexpr unsigned TrackPos = 0x10;
inline constexpr unsigned All = Range | Page | Pos | TrackPos;
}  // namespace ScrollInfoMask

struct ScrollInfo {
    unsigned mask = 0;
    int minimum = 0;
    int maximum = 0;
    int page = 0;
    int position = 0;
    int trackPosition = 0;
};

class CSkinScrollBar : public QWidget {
    Q_OBJECT

public:
    // The parts of the bar; each code is also the scroll code sent for it.
    enum Part : int {
        NoPart = -1,
        FirstArrow = 0,   // top or left arrow: LineUp
        SecondArrow = 1,  // bottom or right arrow: LineDown
        TrackBefore = 2,  // track between the first arrow and the thumb: PageUp
        TrackAfter = 3,   // track between the thumb and the second arrow: PageDown
        Thumb = 5,        // ThumbTrack while dragging
    };
    Q_ENUM(Part)

    // Timer ids and intervals of the press-and-hold repeat.
    static constexpr int kFirstDelayTimer = 200;
    static constexpr int kFirstDelayMs = 500;
    static constexpr int kRepeatTimer = 100;
    static constexpr int kRepeatMs = 100;

    // Where each part lies along the bar, in pixels from its start (end exclusive).
    struct Segment {
        int start = 0;
        int end = 0;
        bool operator==(const Segment&) const = default;
    };
    struct Layout {
        int arrowLength = 0;  // partSize, or half the bar when it is shorter than two arrows
        int trackLength = 0;  // length - 2 * partSize, never negative
        int thumbLength = 0;  // 0 when there is no thumb
        int thumbOffset = 0;  // thumb start measured from the end of the first arrow
        Segment firstArrow, trackBefore, thumb, trackAfter, secondArrow;

        Segment segment(Part part) const;
    };

    explicit CSkinScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);
    ~CSkinScrollBar() override;

    // Skins the bar. The bitmap is shared, not copied; partSize becomes its width / 9 and the
    // bar is made exactly partSize thick (vertical: its width, horizontal: its height).
    void setBitmap(const QPixmap& bitmap);
    // Replaces the repeat timers (tests give a FakeScrollRepeatTimer). Never null.
    void setRepeatTimer(std::unique_ptr<ScrollRepeatTimer> timer);
    // Called when repeat timer `id` fires; other ids are ignored.
    void timerFired(int id);

    // Scroll-information requests. setScrollInfo stores the fields named by info.mask (Range,
    // Page, Pos) and repaints the track and thumb when `redraw` is set; a negative page counts
    // as 0. getScrollInfo fills the fields named by info.mask (Range, Page, Pos, TrackPos). Both
    // return true, as the control always answers them.
    bool setScrollInfo(const ScrollInfo& info, bool redraw = true);
    bool getScrollInfo(ScrollInfo& info) const;

    Qt::Orientation orientation() const { return orientation_; }
    int partSize() const { return partSize_; }
    // The client length along the bar: the height of a vertical bar, the width of a horizontal one.
    int length() const;
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int page() const { return page_; }
    int position() const { return position_; }
    int trackPosition() const { return trackPosition_; }  // -1 unless dragging
    bool isDragging() const { return dragging_; }
    Part pressedPart() const { return pressedPart_; }
    Part hotPart() const { return hotPart_; }
    bool isPointerOutside() const { return pointerOutside_; }
    // The positions the bar lets the thumb take: minimum .. scrollSpan().
    int scrollSpan() const;

    // The geometry for the current state. The hit-test layout gives the thumb at least 6 pixels
    // whenever the track is longer than 5, even when nothing can be scrolled.
    Layout layout(bool forHitTest = false) const;
    // The part under `point` (widget coordinates), NoPart before the bar's start or past its end.
    Part hitTest(QPoint point) const;
    // The widget rectangle of `part`, as drawn.
    QRect partRect(Part part) const;
    // Which row of the skin `part` is drawn from right now (0 normal, 1 hot, 2 pressed).
    int rowOf(Part part) const;

signals:
    // A scroll action for the parent. `position` is the thumb position for ThumbTrack and
    // ThumbPosition and 0 for the other codes. Delivered synchronously, like a sent message.
    void scrolled(ScrollCode code, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int along(QPoint point) const;
    QRect rectOf(Segment segment) const;
    QRect cellRect(int column, int row) const;
    int columnOf(Part part) const;
    void drawCell(QPainter& painter, Part part, const QRect& target) const;
    void drawThumb(QPainter& painter, const QRect& target) const;
    void drawTrack(QPainter& painter, const QRect& target) const;
    void repaintPart(Part part);
    void send(ScrollCode code, int position = 0);
    void repeatStep();
    void endPress();
    void trackPointer(QPoint point);

    Qt::Orientation orientation_;
    QPixmap skin_;
    QPixmap trackCell_;                  // the track cell, tiled over the track
    std::array<QPixmap, 3> thumbMiddle_{};  // the thumb cell without its 3-pixel caps, per row
    int partSize_ = 0;
    int minimum_ = 0;
    int maximum_ = 0;
    int page_ = 0;
    int position_ = 0;
    int trackPosition_ = -1;
    bool dragging_ = false;
    QPoint dragStart_;
    int dragStartPosition_ = 0;
    Part pressedPart_ = NoPart;
    Part hotPart_ = NoPart;
    bool repeatFast_ = false;
    bool pointerOutside_ = false;
    QPoint pointer_{-1, -1};  // last pointer position seen, for the page repeat
    std::unique_ptr<ScrollRepeatTimer> timer_;
};
