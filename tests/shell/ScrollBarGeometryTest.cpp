#include "ScrollBarFixture.h"

namespace {

using Segment = CSkinScrollBar::Segment;

struct GeometryCase {
    const char* name;
    int length;
    int minimum, maximum, page, position;
    int arrowLength, trackLength;
    Segment thumb;
    Segment firstArrow, secondArrow;
};

class ScrollBarGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(ScrollBarGeometry, PlacesArrowsAndThumb) {
    const GeometryCase& c = GetParam();
    CSkinScrollBar bar(Qt::Vertical);
    bar.resize(kCell, c.length);
    bar.setBitmap(solidCellSkin());
    bar.setScrollInfo({ScrollInfoMask::All, c.minimum, c.maximum, c.page, c.position, 0}, false);

    const CSkinScrollBar::Layout l = bar.layout();
    EXPECT_EQ(l.arrowLength, c.arrowLength);
    EXPECT_EQ(l.trackLength, c.trackLength);
    EXPECT_EQ(l.thumb, c.thumb);
    EXPECT_EQ(l.firstArrow, c.firstArrow);
    EXPECT_EQ(l.secondArrow, c.secondArrow);
    // The track parts fill what lies between the arrows and the thumb.
    EXPECT_EQ(l.trackBefore, (Segment{c.firstArrow.end, c.thumb.start}));
    EXPECT_EQ(l.trackAfter, (Segment{c.thumb.end, c.secondArrow.start}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScrollBarGeometry,
    ::testing::Values(
        // 20 entries, 6 shown: thumb 6 * 168 / 20 = 50 pixels.
        GeometryCase{"Top", 200, 0, 19, 6, 0, 16, 168, {16, 66}, {0, 16}, {184, 200}},
        GeometryCase{"Bottom", 200, 0, 19, 6, 14, 16, 168, {134, 184}, {0, 16}, {184, 200}},
        GeometryCase{"Middle", 200, 0, 19, 6, 7, 16, 168, {75, 125}, {0, 16}, {184, 200}},
        // A huge range would give a thumb under one pixel: it stays 6 long.
        GeometryCase{"HugeRangeTop", 200, 0, 9999, 1, 0, 16, 168, {16, 22}, {0, 16}, {184, 200}},
        GeometryCase{"HugeRangeEnd", 200, 0, 9999, 1, 9999, 16, 168, {178, 184}, {0, 16}, {184, 200}},
        // Nothing to scroll (span 0): no thumb, the track split in the middle.
        GeometryCase{"PageFillsRange", 200, 0, 5, 6, 0, 16, 168, {100, 100}, {0, 16}, {184, 200}},
        // A page larger than the range counts as nothing to scroll, not as a negative span.
        GeometryCase{"PageBeyondRange", 200, 0, 5, 9, 0, 16, 168, {100, 100}, {0, 16}, {184, 200}},
        // A position past the end still leaves the thumb inside the track.
        GeometryCase{"PositionPastEnd", 200, 0, 19, 6, 50, 16, 168, {134, 184}, {0, 16}, {184, 200}},
        GeometryCase{"PositionBeforeStart", 200, 0, 19, 6, -5, 16, 168, {16, 66}, {0, 16}, {184, 200}},
        // A track of 5 pixels or less has no thumb.
        GeometryCase{"ShortTrack", 37, 0, 19, 6, 0, 16, 5, {16, 16}, {0, 16}, {21, 37}},
        // Shorter than two arrows: the arrows share the bar, no thumb.
        GeometryCase{"ShorterThanTwoArrows", 20, 0, 19, 6, 0, 10, 0, {10, 10}, {0, 10}, {10, 20}},
        GeometryCase{"OddLengthBelowTwoArrows", 25, 0, 19, 6, 0, 12, 0, {12, 12}, {0, 12}, {13, 25}},
        // An empty range (maximum below minimum) has no thumb instead of dividing by zero.
        GeometryCase{"EmptyRange", 200, 0, -1, 0, 0, 16, 168, {100, 100}, {0, 16}, {184, 200}}),
    [](const auto& p) { return std::string(p.param.name); });

struct HitCase {
    int position;
    int y;
    CSkinScrollBar::Part expected;
};

class ScrollBarHitTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(ScrollBarHitTest, FindsThePartAlongTheBar) {
    const HitCase& c = GetParam();
    CSkinScrollBar bar(Qt::Vertical);
    bar.resize(kCell, 200);
    bar.setBitmap(solidCellSkin());
    bar.setScrollInfo({ScrollInfoMask::All, 0, 19, 6, c.position, 0}, false);
    EXPECT_EQ(bar.hitTest(QPoint(5, c.y)), c.expected) << "y " << c.y;
    // Only the coordinate along the bar counts.
    EXPECT_EQ(bar.hitTest(QPoint(-30, c.y)), c.expected) << "y " << c.y;
}

using P = CSkinScrollBar::Part;
INSTANTIATE_TEST_SUITE_P(
    Table, ScrollBarHitTest,
    ::testing::Values(HitCase{0, -1, P::NoPart}, HitCase{0, 0, P::FirstArrow}, HitCase{0, 15, P::FirstArrow},
                      HitCase{0, 16, P::Thumb}, HitCase{0, 65, P::Thumb}, HitCase{0, 66, P::TrackAfter},
                      HitCase{0, 183, P::TrackAfter}, HitCase{0, 184, P::SecondArrow},
                      HitCase{0, 199, P::SecondArrow}, HitCase{0, 200, P::NoPart},
                      HitCase{14, 16, P::TrackBefore}, HitCase{14, 133, P::TrackBefore},
                      HitCase{14, 134, P::Thumb}, HitCase{7, 74, P::TrackBefore}, HitCase{7, 75, P::Thumb},
                      HitCase{7, 125, P::TrackAfter}));

TEST(ScrollBarHitTestNoScroll, FindsASixPixelThumbWhereNoneIsDrawn) {
    CSkinScrollBar bar(Qt::Vertical);
    bar.resize(kCell, 200);
    bar.setBitmap(solidCellSkin());
    bar.setScrollInfo({ScrollInfoMask::All, 0, 5, 6, 0, 0}, false);
    EXPECT_EQ(bar.layout().thumbLength, 0);
    EXPECT_EQ(bar.layout(true).thumb, (CSkinScrollBar::Segment{97, 103}));
    EXPECT_EQ(bar.hitTest(QPoint(0, 96)), P::TrackBefore);
    EXPECT_EQ(bar.hitTest(QPoint(0, 97)), P::Thumb);
    EXPECT_EQ(bar.hitTest(QPoint(0, 103)), P::TrackAfter);
}

TEST(ScrollBarSkin, SetBitmapMakesTheBarOnePartThick) {
    QWidget parent;
    CSkinScrollBar vertical(Qt::Vertical, &parent);
    vertical.setGeometry(10, 20, 50, 200);
    vertical.setBitmap(solidCellSkin(16));
    EXPECT_EQ(vertical.partSize(), 16);
    EXPECT_EQ(vertical.geometry(), QRect(10, 20, 16, 200));

    CSkinScrollBar horizontal(Qt::Horizontal, &parent);
    horizontal.setGeometry(5, 6, 200, 40);
    horizontal.setBitmap(solidCellSkin(12));
    EXPECT_EQ(horizontal.partSize(), 12);
    EXPECT_EQ(horizontal.geometry(), QRect(5, 6, 200, 12));
}

TEST(ScrollBarSkin, HorizontalBarLaysOutAlongX) {
    CSkinScrollBar bar(Qt::Horizontal);
    bar.resize(200, kCell);
    bar.setBitmap(solidCellSkin());
    bar.setScrollInfo({ScrollInfoMask::All, 0, 19, 6, 14, 0}, false);
    EXPECT_EQ(bar.partRect(P::Thumb), QRect(134, 0, 50, kCell));
    EXPECT_EQ(bar.partRect(P::SecondArrow), QRect(184, 0, 16, kCell));
    EXPECT_EQ(bar.hitTest(QPoint(140, 300)), P::Thumb);
    EXPECT_EQ(bar.hitTest(QPoint(20, 5)), P::TrackBefore);

    // Drawn from columns 4 to 7, the thumb with its caps at the left and right ends.
    const QImage shot = bar.grab().toImage();
    EXPECT_EQ(shot.pixel(5, 5) & 0xFFFFFFu, cellColour(4, 0) & 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(190, 5) & 0xFFFFFFu, cellColour(5, 0) & 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(60, 5) & 0xFFFFFFu, cellColour(7, 0) & 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(134, 5) & 0xFFFFFFu, capColour(6, 0) & 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(183, 5) & 0xFFFFFFu, capColour(6, 0) & 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(160, 5) & 0xFFFFFFu, cellColour(6, 0) & 0xFFFFFFu);
}

TEST(ScrollBarSkin, VerticalBarDrawsEachPartFromItsCell) {
    CSkinScrollBar bar(Qt::Vertical);
    bar.resize(kCell, 200);
    bar.setBitmap(solidCellSkin());
    bar.setScrollInfo({ScrollInfoMask::All, 0, 19, 6, 7, 0}, false);  // thumb 75..125
    const QImage shot = bar.grab().toImage();
    const auto at = [&](int y) { return shot.pixel(8, y) & 0xFFFFFFu; };
    EXPECT_EQ(at(0), cellColour(0, 0) & 0xFFFFFFu);
    EXPECT_EQ(at(199), cellColour(1, 0) & 0xFFFFFFu);
    EXPECT_EQ(at(40), cellColour(3, 0) & 0xFFFFFFu);
    EXPECT_EQ(at(150), cellColour(3, 0) & 0xFFFFFFu);
    // 3-pixel caps at both ends of the 50-pixel thumb, the cell's middle tiled between.
    for (int y : {75, 77, 122, 124})
        EXPECT_EQ(at(y), capColour(2, 0) & 0xFFFFFFu) << y;
    for (int y : {78, 100, 121})
        EXPECT_EQ(at(y), cellColour(2, 0) & 0xFFFFFFu) << y;
}

TEST(ScrollBarSkin, ShortBarStretchesTheArrows) {
    CSkinScrollBar bar(Qt::Vertical);
    bar.resize(kCell, 20);
    bar.setBitmap(solidCellSkin());
    const QImage shot = bar.grab().toImage();
    EXPECT_EQ(shot.pixel(8, 0) & 0xFFFFFFu, cellColour(0, 0) & 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(8, 9) & 0xFFFFFFu, cellColour(0, 0) & 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(8, 10) & 0xFFFFFFu, cellColour(1, 0) & 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(8, 19) & 0xFFFFFFu, cellColour(1, 0) & 0xFFFFFFu);
}

}  // namespace
