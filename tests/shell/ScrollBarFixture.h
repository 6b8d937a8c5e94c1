#pragma once
// A shown scroll bar with a skin of solid cells, its repeat timers under the test's control
// and every notification recorded; optionally a parent that moves the position the way the
// key assignment dialog does.

#include "CSkinScrollBar.h"
#include "ScrollRepeatTimer.h"

#include <QPainter>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

inline constexpr int kCell = 16;

// Cell (column, row) of the test skin is one solid colour; the thumb cells have their first
// and last three pixel lines along the bar in a cap colour of their own.
inline QRgb cellColour(int column, int row) {
    return qRgb(20 + column * 25, 60 + row * 60, 100);
}
inline QRgb capColour(int column, int row) {
    return qRgb(240, 20 + row * 40, column * 20);
}

inline QPixmap solidCellSkin(int part = kCell) {
    QImage skin(9 * part, 3 * part, QImage::Format_RGB32);
    QPainter p(&skin);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 9; ++column) {
            const QRect cell(column * part, row * part, part, part);
            p.fillRect(cell, QColor::fromRgb(cellColour(column, row)));
            if (column == 2) {  // vertical thumb: caps at top and bottom
                p.fillRect(QRect(cell.x(), cell.y(), part, 3), QColor::fromRgb(capColour(column, row)));
                p.fillRect(QRect(cell.x(), cell.bottom() - 2, part, 3), QColor::fromRgb(capColour(column, row)));
            }
            if (column == 6) {  // horizontal thumb: caps at left and right
                p.fillRect(QRect(cell.x(), cell.y(), 3, part), QColor::fromRgb(capColour(column, row)));
                p.fillRect(QRect(cell.right() - 2, cell.y(), 3, part), QColor::fromRgb(capColour(column, row)));
            }
        }
    }
    p.end();
    return QPixmap::fromImage(skin);
}

struct Notification {
    ScrollCode code;
    int position;
    bool operator==(const Notification&) const = default;
};

inline void PrintTo(const Notification& n, std::ostream* os) {
    *os << "{" << static_cast<int>(n.code) << ", " << n.position << "}";
}

class ScrollBarFixture : public ::testing::Test {
protected:
    static constexpr QPoint kOrigin{10, 10};

    void SetUp() override {
        parent.resize(100, 260);
        bar = new CSkinScrollBar(Qt::Vertical, &parent);
        bar->setGeometry(kOrigin.x(), kOrigin.y(), 40, 200);
        bar->setBitmap(solidCellSkin());
        auto fake = std::make_unique<FakeScrollRepeatTimer>();
        timer = fake.get();
        bar->setRepeatTimer(std::move(fake));
        setRange(0, 19, 6, 0);
        QObject::connect(bar, &CSkinScrollBar::scrolled, bar, [this](ScrollCode code, int position) {
            sent.push_back({code, position});
            if (actLikeParent)
                applyAsParent(code, position);
        });
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
        park();
    }

    void setRange(int minimum, int maximum, int page, int position) {
        bar->setScrollInfo({ScrollInfoMask::All, minimum, maximum, page, position, 0});
    }

    // What the key assignment dialog does with a notification.
    void applyAsParent(ScrollCode code, int position) {
        int next = bar->position();
        switch (code) {
        case ScrollCode::LineUp: next -= 1; break;
        case ScrollCode::LineDown: next += 1; break;
        case ScrollCode::PageUp: next -= bar->page(); break;
        case ScrollCode::PageDown: next += bar->page(); break;
        case ScrollCode::ThumbTrack: next = position; break;
        default: break;
        }
        next = std::clamp(next, bar->minimum(), bar->scrollSpan());
        ScrollInfo info;
        info.mask = ScrollInfoMask::Pos;
        info.position = next;
        bar->setScrollInfo(info);
    }

    QWindow* window() { return parent.windowHandle(); }
    // Bar coordinates to window coordinates.
    static QPoint at(int x, int y) { return kOrigin + QPoint(x, y); }
    // Moves the pointer somewhere off the bar, so the next move is a real one.
    void park() { QTest::mouseMove(window(), QPoint(90, 250)); }
    void move(int x, int y) { QTest::mouseMove(window(), at(x, y)); }
    void press(int x, int y) { QTest::mousePress(window(), Qt::LeftButton, {}, at(x, y)); }
    void release(int x, int y) { QTest::mouseRelease(window(), Qt::LeftButton, {}, at(x, y)); }

    // The colour drawn at bar point (x, y).
    QRgb drawnAt(int x, int y) { return bar->grab().toImage().pixel(x, y) & 0xFFFFFFu; }
    QRgb rowColour(int column, int row) { return cellColour(column, row) & 0xFFFFFFu; }

    QWidget parent;
    CSkinScrollBar* bar = nullptr;
    FakeScrollRepeatTimer* timer = nullptr;
    std::vector<Notification> sent;
    bool actLikeParent = false;
};
