#pragma once
// The frame every small skinned window shares: a frameless dialog sized to its background
// picture and shaped by a colour key, a table of SkinItem records that it hit-tests and
// highlights from its hover picture, dragging by any free point, resizing by the right and
// bottom bands, and clicks dispatched on release to the first clickable item under the
// pointer. The progress, firmware and backlight windows derive from it and paint their own
// extras.

#include <QDialog>
#include <QPoint>
#include <QRect>

#include <span>

#include "shell/SkinItem.h"

class SkinResources;

class SkinnedDialog : public QDialog {
    Q_OBJECT

public:
    // Where a point lies for a press that may start a click, a move or a resize.
    enum class HitArea { Client, Caption, Right, Bottom, BottomRight };
    // Width of the bands along the right and bottom edges that resize the window.
    static constexpr int kResizeBorder = 6;

    struct Look {
        int background = 0;        // skin bitmap id of the background
        int hover = 0;             // skin bitmap id copied over a hovered item
        SkinColour colourKey = 0;  // background pixels of this colour are cut out
        SkinSize fallbackSize{};   // the size when the background bitmap is missing
    };

    // `items` is the derived window's table; it must outlive this object.
    SkinnedDialog(SkinResources& skin, Look look, std::span<SkinItem> items, QWidget* parent);

    // Index of the first item in table order with a positive id that is not a label and whose
    // rectangle holds `point`; -1 for none.
    int hotItemAt(QPoint point) const;
    // Client for a point on a clickable item, else the resize bands, else Caption.
    HitArea hitArea(QPoint point) const;
    // The last pointer position in client coordinates; (-1, -1) while the pointer is away.
    QPoint mousePoint() const { return mousePoint_; }
    std::span<const SkinItem> items() const { return items_; }
    SkinResources& skin() const { return skin_; }

protected:
    // The clicked item (an index into the table) on a release over the item the press began on.
    virtual void itemClicked(int index) = 0;
    // Whether an item is drawn in its hovered look while the pointer is over it.
    virtual bool highlights(const SkinItem& item) const;

    // Painting steps for paintEvent: the background, the hovered items, the labels' texts in
    // `language` (font 13 style: each item's own font, its colour, centred at the top).
    void drawBackground(QPainter& painter) const;
    void drawHover(QPainter& painter) const;
    void drawLabels(QPainter& painter, const std::string& language) const;
    // Copies the left `percent` of the strip from the fill bitmap; 0..100, larger values
    // fill the strip and no more.
    void drawBar(QPainter& painter, int fillBitmap, SkinRect strip, int percent) const;

    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Drag { None, System, Move, Resize };

    void trackPointer(QPoint point);
    void updateShape();

    SkinResources& skin_;
    Look look_;
    std::span<SkinItem> items_;
    QPoint mousePoint_{-1, -1};
    int pressedItem_ = -1;
    Drag drag_ = Drag::None;
    HitArea dragArea_ = HitArea::Caption;
    QPoint dragStartGlobal_;
    QRect dragStartGeometry_;
};

// The rectangle of a skin item as Qt wants it.
inline QRect toQRect(SkinRect r) { return QRect(r.left, r.top, r.width(), r.height()); }
