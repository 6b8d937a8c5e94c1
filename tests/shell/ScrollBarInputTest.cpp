#include "ScrollBarFixture.h"

#include <QEvent>

namespace {

using P = CSkinScrollBar::Part;

struct ClickCase {
    const char* name;
    int position;
    int y;
    ScrollCode expected;
};

class ScrollBarClick : public ScrollBarFixture, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ScrollBarClick, SendsOnePartCodeOnPressAndNothingOnRelease) {
    const ClickCase& c = GetParam();
    ScrollInfo info;
    info.mask = ScrollInfoMask::Pos;
    info.position = c.position;
    bar->setScrollInfo(info);

    move(8, c.y);
    press(8, c.y);
    EXPECT_EQ(sent, (std::vector<Notification>{{c.expected, 0}}));
    EXPECT_EQ(timer->interval(CSkinScrollBar::kFirstDelayTimer), 500);
    release(8, c.y);
    EXPECT_EQ(sent.size(), 1u);
    EXPECT_TRUE(timer->isIdle());
    EXPECT_EQ(bar->pressedPart(), P::NoPart);
    // The bar leaves the position to its parent.
    EXPECT_EQ(bar->position(), c.position);
}

INSTANTIATE_TEST_SUITE_P(Parts, ScrollBarClick,
                         ::testing::Values(ClickCase{"FirstArrow", 5, 4, ScrollCode::LineUp},
                                           ClickCase{"SecondArrow", 5, 195, ScrollCode::LineDown},
                                           ClickCase{"TrackBeforeThumb", 14, 50, ScrollCode::PageUp},
                                           ClickCase{"TrackAfterThumb", 0, 150, ScrollCode::PageDown}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(ScrollBarFixture, DoubleClickOnAnArrowScrollsOneLine) {
    move(8, 195);
    QTest::mouseDClick(window(), Qt::LeftButton, {}, at(8, 195));
    EXPECT_EQ(sent, (std::vector<Notification>{{ScrollCode::LineDown, 0}}));
    EXPECT_TRUE(timer->isIdle());
}

TEST_F(ScrollBarFixture, RightButtonDoesNothing) {
    move(8, 195);
    QTest::mousePress(window(), Qt::RightButton, {}, at(8, 195));
    QTest::mouseRelease(window(), Qt::RightButton, {}, at(8, 195));
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(timer->isIdle());
}

TEST_F(ScrollBarFixture, DraggingTheThumbTracksAndEndsWithThumbPosition) {
    move(8, 20);
    press(8, 20);  // on the thumb (16..66)
    EXPECT_TRUE(bar->isDragging());
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(bar->trackPosition(), 0);
    EXPECT_EQ(bar->rowOf(P::Thumb), 2);

    // 118 free pixels for 14 positions: position = moved pixels * 14 / 118.
    move(8, 28);  // 8 pixels: still position 0, nothing sent
    EXPECT_TRUE(sent.empty());
    move(8, 30);  // 10 pixels: position 1
    move(8, 31);  // still 1: nothing new
    move(8, 79);  // 59 pixels: position 7
    EXPECT_EQ(sent, (std::vector<Notification>{{ScrollCode::ThumbTrack, 1}, {ScrollCode::ThumbTrack, 7}}));
    EXPECT_EQ(bar->trackPosition(), 7);
    EXPECT_EQ(bar->partRect(P::Thumb), QRect(0, 75, kCell, 50));  // the thumb follows the drag
    EXPECT_EQ(bar->position(), 0);

    sent.clear();
    release(8, 79);
    EXPECT_EQ(sent, (std::vector<Notification>{{ScrollCode::ThumbPosition, 7}}));
    EXPECT_FALSE(bar->isDragging());
    EXPECT_EQ(bar->trackPosition(), -1);
    // Released over where the thumb was dragged to, but the position is still 0: the thumb is
    // back at the top until the parent sets the new position.
    EXPECT_EQ(bar->partRect(P::Thumb), QRect(0, 16, kCell, 50));
    EXPECT_TRUE(timer->isIdle());
}

TEST_F(ScrollBarFixture, DraggingIsClampedToTheScrollRange) {
    move(8, 40);
    press(8, 40);
    move(8, 400);  // far below the bar: the grab keeps the moves coming
    EXPECT_EQ(bar->trackPosition(), 14);
    move(8, -300);
    EXPECT_EQ(bar->trackPosition(), 0);
    EXPECT_EQ(sent, (std::vector<Notification>{{ScrollCode::ThumbTrack, 14}, {ScrollCode::ThumbTrack, 0}}));
    release(8, -300);
    EXPECT_EQ(sent.back(), (Notification{ScrollCode::ThumbPosition, 0}));
}

TEST_F(ScrollBarFixture, ParentThatFollowsTheDragMovesThePosition) {
    actLikeParent = true;
    move(8, 20);
    press(8, 20);
    move(8, 79);
    release(8, 79);
    EXPECT_EQ(bar->position(), 7);
    EXPECT_EQ(bar->partRect(P::Thumb), QRect(0, 75, kCell, 50));
    // The pointer rests on the thumb: it shows hot.
    EXPECT_EQ(bar->hotPart(), P::Thumb);
    EXPECT_EQ(drawnAt(8, 100), rowColour(2, 1));
}

TEST_F(ScrollBarFixture, HoverLightsArrowsAndThumbOnly) {
    move(8, 195);
    EXPECT_EQ(bar->hotPart(), P::SecondArrow);
    EXPECT_EQ(drawnAt(8, 195), rowColour(1, 1));
    EXPECT_EQ(drawnAt(8, 4), rowColour(0, 0));

    move(8, 100);  // track: no hover look, and the arrow goes back to normal
    EXPECT_EQ(bar->hotPart(), P::TrackAfter);
    EXPECT_EQ(drawnAt(8, 195), rowColour(1, 0));
    EXPECT_EQ(drawnAt(8, 100), rowColour(3, 0));

    move(8, 40);
    EXPECT_EQ(bar->hotPart(), P::Thumb);
    EXPECT_EQ(drawnAt(8, 40), rowColour(2, 1));

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(bar, &leave);
    EXPECT_EQ(bar->hotPart(), P::NoPart);
    EXPECT_EQ(drawnAt(8, 40), rowColour(2, 0));
    EXPECT_TRUE(sent.empty());
}

TEST_F(ScrollBarFixture, PressedArrowLooksPressedOnlyWhileThePointerIsOnIt) {
    move(8, 4);
    press(8, 4);
    EXPECT_EQ(drawnAt(8, 4), rowColour(0, 2));
    move(8, 60);
    EXPECT_TRUE(bar->isPointerOutside());
    EXPECT_EQ(drawnAt(8, 4), rowColour(0, 0));
    move(8, 10);
    EXPECT_FALSE(bar->isPointerOutside());
    EXPECT_EQ(drawnAt(8, 4), rowColour(0, 2));
    release(8, 10);
    EXPECT_EQ(drawnAt(8, 4), rowColour(0, 0));
}

TEST_F(ScrollBarFixture, LeavingDuringADragKeepsTheTrackedPosition) {
    move(8, 20);
    press(8, 20);
    move(8, 79);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(bar, &leave);
    EXPECT_TRUE(bar->isDragging());
    EXPECT_EQ(bar->trackPosition(), 7);
    EXPECT_EQ(sent.size(), 1u);  // the track, nothing for the leave
    release(8, 79);
}

TEST_F(ScrollBarFixture, HidingDuringAPressStopsTheRepeat) {
    move(8, 195);
    press(8, 195);
    ASSERT_TRUE(timer->isRunning(CSkinScrollBar::kFirstDelayTimer));
    bar->hide();
    EXPECT_TRUE(timer->isIdle());
    EXPECT_EQ(bar->pressedPart(), P::NoPart);
}

TEST_F(ScrollBarFixture, ScrollInfoRequestsTouchOnlyTheMaskedFields) {
    ScrollInfo info;
    info.mask = ScrollInfoMask::Range;
    info.minimum = 2;
    info.maximum = 40;
    info.page = 99;
    info.position = 99;
    EXPECT_TRUE(bar->setScrollInfo(info));
    EXPECT_EQ(bar->minimum(), 2);
    EXPECT_EQ(bar->maximum(), 40);
    EXPECT_EQ(bar->page(), 6);
    EXPECT_EQ(bar->position(), 0);

    ScrollInfo pageAndPos{ScrollInfoMask::Page | ScrollInfoMask::Pos, 0, 0, 9, 12, 0};
    EXPECT_TRUE(bar->setScrollInfo(pageAndPos, false));

    ScrollInfo out{ScrollInfoMask::Page | ScrollInfoMask::TrackPos, -7, -7, -7, -7, -7};
    EXPECT_TRUE(bar->getScrollInfo(out));
    EXPECT_EQ(out.page, 9);
    EXPECT_EQ(out.trackPosition, -1);  // not dragging
    EXPECT_EQ(out.minimum, -7);        // not asked for
    EXPECT_EQ(out.maximum, -7);
    EXPECT_EQ(out.position, -7);

    ScrollInfo all{ScrollInfoMask::All, 0, 0, 0, 0, 0};
    bar->getScrollInfo(all);
    EXPECT_EQ(all.minimum, 2);
    EXPECT_EQ(all.maximum, 40);
    EXPECT_EQ(all.page, 9);
    EXPECT_EQ(all.position, 12);

    // A negative page counts as none.
    bar->setScrollInfo({ScrollInfoMask::Page, 0, 0, -4, 0, 0});
    EXPECT_EQ(bar->page(), 0);
}

TEST_F(ScrollBarFixture, TrackPositionIsReportedWhileDragging) {
    move(8, 20);
    press(8, 20);
    move(8, 79);
    ScrollInfo info{ScrollInfoMask::TrackPos | ScrollInfoMask::Pos, 0, 0, 0, 0, 0};
    bar->getScrollInfo(info);
    EXPECT_EQ(info.trackPosition, 7);
    EXPECT_EQ(info.position, 0);
    release(8, 79);
}

}  // namespace
