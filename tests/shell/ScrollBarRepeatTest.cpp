#include "ScrollBarFixture.h"

namespace {

using P = CSkinScrollBar::Part;
constexpr int kFirst = CSkinScrollBar::kFirstDelayTimer;
constexpr int kFast = CSkinScrollBar::kRepeatTimer;

std::size_t count(const std::vector<Notification>& sent, ScrollCode code) {
    return static_cast<std::size_t>(
        std::count_if(sent.begin(), sent.end(), [code](const Notification& n) { return n.code == code; }));
}

TEST_F(ScrollBarFixture, HoldingLineDownRepeatsAfter500ThenEvery100UntilTheEnd) {
    actLikeParent = true;
    move(8, 195);
    press(8, 195);
    EXPECT_EQ(count(sent, ScrollCode::LineDown), 1u);
    EXPECT_EQ(timer->interval(kFirst), 500);
    EXPECT_FALSE(timer->isRunning(kFast));

    ASSERT_TRUE(timer->fire(kFirst));
    EXPECT_EQ(count(sent, ScrollCode::LineDown), 2u);
    EXPECT_FALSE(timer->isRunning(kFirst));
    EXPECT_EQ(timer->interval(kFast), 100);

    // Positions 2 .. 14 (the last one the thumb can take with a page of 6), one per tick.
    for (int expected = 3; expected <= 14; ++expected) {
        ASSERT_TRUE(timer->fire(kFast));
        EXPECT_EQ(bar->position(), expected);
    }
    EXPECT_EQ(count(sent, ScrollCode::LineDown), 14u);
    ASSERT_TRUE(timer->fire(kFast));  // at the end: the repeat stops without another line
    EXPECT_EQ(count(sent, ScrollCode::LineDown), 14u);
    EXPECT_FALSE(timer->isRunning(kFast));

    release(8, 195);
    EXPECT_TRUE(timer->isIdle());
}

TEST_F(ScrollBarFixture, HoldingLineUpStopsAtTheMinimum) {
    actLikeParent = true;
    bar->setScrollInfo({ScrollInfoMask::Pos, 0, 0, 0, 2, 0});
    move(8, 4);
    press(8, 4);  // 2 -> 1
    timer->fire(kFirst);  // 1 -> 0
    EXPECT_EQ(bar->position(), 0);
    timer->fire(kFast);
    EXPECT_FALSE(timer->isRunning(kFast));
    EXPECT_EQ(sent, (std::vector<Notification>{{ScrollCode::LineUp, 0}, {ScrollCode::LineUp, 0}}));
    release(8, 4);
}

TEST_F(ScrollBarFixture, PointerOffTheArrowPausesTheRepeat) {
    move(8, 195);
    press(8, 195);
    timer->fire(kFirst);
    ASSERT_EQ(sent.size(), 2u);

    move(8, 100);
    EXPECT_EQ(bar->rowOf(P::SecondArrow), 0);
    timer->fire(kFast);
    timer->fire(kFast);
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_TRUE(timer->isRunning(kFast));  // paused, not stopped

    move(8, 190);
    EXPECT_EQ(bar->rowOf(P::SecondArrow), 2);
    timer->fire(kFast);
    EXPECT_EQ(sent.size(), 3u);
    release(8, 190);
    EXPECT_TRUE(timer->isIdle());
}

TEST_F(ScrollBarFixture, ReleaseBeforeTheFirstDelayEndsEverything) {
    move(8, 195);
    press(8, 195);
    release(8, 195);
    EXPECT_FALSE(timer->fire(kFirst));
    EXPECT_FALSE(timer->fire(kFast));
    EXPECT_EQ(sent.size(), 1u);
}

TEST_F(ScrollBarFixture, HoldingInTheTrackPagesUntilTheThumbReachesThePointer) {
    actLikeParent = true;
    move(8, 150);
    press(8, 150);        // 0 -> 6, thumb 66..116
    timer->fire(kFirst);  // 6 -> 12, thumb 117..167: now under the pointer
    EXPECT_EQ(bar->position(), 12);
    timer->fire(kFast);
    EXPECT_FALSE(timer->isRunning(kFast));
    EXPECT_EQ(sent, (std::vector<Notification>{{ScrollCode::PageDown, 0}, {ScrollCode::PageDown, 0}}));
    release(8, 150);
}

TEST_F(ScrollBarFixture, StrayTimerIdsAndLateTicksDoNothing) {
    bar->timerFired(42);
    bar->timerFired(kFast);
    bar->timerFired(kFirst);
    EXPECT_TRUE(sent.empty());
    EXPECT_TRUE(timer->isIdle());
}

TEST(QtScrollRepeatTimer, CallsBackWithTheTimerId) {
    QtScrollRepeatTimer timer;
    std::vector<int> fired;
    timer.setHandler([&](int id) {
        fired.push_back(id);
        timer.stop(id);
    });
    timer.start(7, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fired.empty(); }, 2000));
    EXPECT_EQ(fired, std::vector<int>{7});
}

}  // namespace
