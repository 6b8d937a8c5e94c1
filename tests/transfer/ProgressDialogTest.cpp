// The progress window: its items, its bar, the jobs on the worker thread against the
// emulator process, failures, cancelling and one job at a time.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "CVelaDialogProgress.h"
#include "FakeShellServices.h"
#include "TransferCommands.h"
#include "TransferTexts.h"
#include "TransferUiSupport.h"

using namespace std::chrono_literals;
using namespace kx30uitest;

namespace {

constexpr TransferWaits kNoWaits{0ms, 0ms};

// A job that holds the worker until cancelled (or 5 s pass), standing in for a slow transfer.
void holdWorker(TransferRunner& runner, QObject& owner, TransferReceiver* receiver = nullptr) {
    ASSERT_TRUE(runner.start(&owner, receiver, [](KeyboardConfiguration&, const std::atomic<bool>& cancel) {
        for (int i = 0; i < 500 && !cancel.load(); ++i)
            std::this_thread::sleep_for(10ms);
    }));
}

TEST(ProgressBar, FillsByTheScaleOf150AndStopsAtFull) {
    const struct {
        int wParam;
        int percent;
    } cases[] = {{-3, 0}, {0, 0}, {1, 0}, {2, 1}, {75, 50}, {149, 99}, {150, 100}, {173, 100}, {100000, 100}};
    for (const auto& c : cases)
        EXPECT_EQ(progressPercent(c.wParam), c.percent) << c.wParam;
}

class ProgressDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(emulator.start()) << emulator.error();
        configuration = makeConfiguration();
        ASSERT_TRUE(configuration->device.isOpen());
        runner = std::make_unique<TransferRunner>(*configuration);
    }
    void TearDown() override {
        runner.reset();
        configuration.reset();
    }

    kx30test::EmulatorProcess emulator;
    std::unique_ptr<KeyboardConfiguration> configuration;
    std::unique_ptr<TransferRunner> runner;
    FakeShellServices fakes = makeFakeShellServices();
};

TEST_F(ProgressDialogTest, OnlyTheCloseBoxAndCancelButtonAnswerClicks) {
    // Hold the worker so the window's own job waits and the window stays up.
    QObject holder;
    holdWorker(*runner, holder);
    struct {
        QPoint point;
        bool closes;
    } cases[] = {{centreOf({332, 9, 355, 45}), true},
                 {centreOf({237, 201, 327, 235}), true},
                 {centreOf({100, 13, 266, 45}), false},   // the title
                 {centreOf({42, 116, 333, 135}), false},  // the warning
                 {QPoint(20, 180), false}};
    for (const auto& c : cases) {
        CVelaDialogProgress dialog(*configuration, skin(), *runner, TransferJob::WriteKeys);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_FALSE(dialog.jobStarted()) << "a job started while another still ran";
        clickAt(dialog, c.point);
        EXPECT_EQ(!dialog.isVisible(), c.closes) << c.point.x() << "," << c.point.y();
        if (c.closes) {
            EXPECT_EQ(dialog.result(), CVelaDialogProgress::Cancelled);
            EXPECT_EQ(dialog.percent(), 0);
        }
        EXPECT_EQ(dialog.hitArea(c.point) == SkinnedDialog::HitArea::Client, c.closes);
    }
    runner->detach(&holder, true);
    EXPECT_TRUE(runner->waitIdle(5s));
}

TEST_F(ProgressDialogTest, WrittenKeysReadBackAsTheConfiguration) {
    KeyboardConfiguration& c = *configuration;
    c.kind[30][0] = 1;  // W: the key B
    c.code[30][0] = 60;
    c.kind[43][1] = 5;  // A on Level 2: a multimedia key
    c.code[43][1] = 113;
    c.kind[70][0] = 6;  // Space: double click
    c.code[70][0] = 199;
    for (int i = 0; i < 12; ++i) c.backlight[std::size_t(3 + i)] = 10 + i;
    ASSERT_TRUE(runWriteKeysCommand(nullptr, c, skin(), fakes.services, *runner, kNoWaits));
    EXPECT_FALSE(emulator.waitForEvent("keys-written", 5s).empty());

    auto reader = makeConfiguration(false);
    c.device.__closeDev();
    ASSERT_TRUE(reader->device.__createDev());
    TransferRunner readerRunner(*reader);
    ASSERT_TRUE(runReadAllCommand(nullptr, *reader, skin(), fakes.services, readerRunner, kNoWaits));
    for (int key = 1; key <= 87; ++key) {
        for (int level = 0; level < 2; ++level) {
            EXPECT_EQ(reader->kindOf(key, level), c.kindOf(key, level)) << key << "/" << level;
            if (c.kindOf(key, level) != KeyFunctionKind::NotSet) {
                EXPECT_EQ(reader->code[key][level], c.code[key][level]) << key;
            }
        }
    }
    EXPECT_TRUE(fakes.messageBoxes->texts().empty()) << "a failure was reported";
}

TEST_F(ProgressDialogTest, TheWindowClosesWhenTheJobFinishes) {
    CVelaDialogProgress dialog(*configuration, skin(), *runner, TransferJob::WriteKeys);
    dialog.setWaits(0ms, 0ms);
    ModalWatchdog watchdog(10s);
    EXPECT_EQ(dialog.exec(), CVelaDialogProgress::Finished);
    EXPECT_FALSE(watchdog.fired());
    EXPECT_EQ(dialog.status(), JobStatus::Ok);
    // The last slot index 173 would be 115 per cent: the bar stops at full.
    EXPECT_EQ(dialog.percent(), 100);
    const QImage picture = dialog.grab().toImage();
    const QImage fill = skin().bitmap(kProgressFillBitmap).toImage();
    const QPoint lastColumn(kProgressStrip.right - 1, kProgressStrip.top + kProgressStrip.height() / 2);
    EXPECT_EQ(picture.pixel(lastColumn), fill.pixel(lastColumn));
    const QImage background = skin().bitmap(kProgressBackgroundBitmap).toImage();
    const QPoint pastStrip(kProgressStrip.right + 2, lastColumn.y());
    EXPECT_EQ(picture.pixel(pastStrip), background.pixel(pastStrip));
}

TEST_F(ProgressDialogTest, CancelClosesAtOnceAndTheNextJobWaitsForTheCancelledOne) {
    // A silent keyboard keeps the read waiting for its timeout.
    emulator.stop();
    ASSERT_TRUE(emulator.start({.args = {"--silent"}})) << emulator.error();
    configuration->device.__closeDev();
    ASSERT_TRUE(configuration->device.__createDev());

    CVelaDialogProgress first(*configuration, skin(), *runner, TransferJob::ReadAll);
    first.setWaits(0ms, 0ms);
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
    ASSERT_TRUE(first.jobStarted());
    // Give the worker time to get into the library's read, where a cancel cannot reach it;
    // cancelled before that, the job ends at its first checkpoint and nothing is left running.
    QTest::qWait(300);
    QElapsedTimer clock;
    clock.start();
    clickAt(first, centreOf({237, 201, 327, 235}));
    EXPECT_FALSE(first.isVisible());
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_EQ(first.result(), CVelaDialogProgress::Cancelled);
    ASSERT_TRUE(runner->busy()) << "the library call should still be waiting for the keyboard";

    CVelaDialogProgress second(*configuration, skin(), *runner, TransferJob::WriteBacklight);
    second.setWaits(0ms, 0ms);
    second.show();
    EXPECT_FALSE(second.jobStarted());
    // The cancelled read ends within its read timeout; then the second job runs.
    EXPECT_TRUE(waitUntil([&] { return second.jobStarted(); }, 10s));
    EXPECT_TRUE(waitUntil([&] { return !second.isVisible(); }, 10s));
}

// The keyboard goes away or stops answering: the window ends as a failure within bounded
// time, the failure is reported instead of "OK!", and the GUI thread kept running meanwhile.
struct FaultCase {
    const char* name;
    std::vector<std::string> emulatorArgs;
    TransferJob job;
    bool unplugFirst = false;  // the keyboard goes away after it was opened
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class ProgressFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(ProgressFaultTest, EndsWithTheFailureMessage) {
    kx30test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start({.args = GetParam().emulatorArgs})) << emulator.error();
    auto configuration = makeConfiguration();
    ASSERT_TRUE(configuration->device.isOpen());
    if (GetParam().unplugFirst)
        emulator.stop();
    configuration->kind[2][0] = 1;
    configuration->code[2][0] = 43;
    for (const char* language : {KeyboardConfiguration::kEnglish, KeyboardConfiguration::kChinese}) {
        configuration->language = language;
        TransferRunner runner(*configuration);
        FakeShellServices fakes = makeFakeShellServices();
        int ticks = 0;
        QTimer heartbeat;
        QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++ticks; });
        heartbeat.start(10);
        ModalWatchdog watchdog(15s);
        QElapsedTimer clock;
        clock.start();
        const auto result = runTransferJob(nullptr, GetParam().job, *configuration, skin(), fakes.services, runner,
                                           {0ms, 0ms});
        EXPECT_FALSE(watchdog.fired());
        EXPECT_EQ(result, CVelaDialogProgress::Failed);
        EXPECT_LT(clock.elapsed(), 12000);
        ASSERT_EQ(fakes.messageBoxes->texts().size(), 1u);
        EXPECT_EQ(fakes.messageBoxes->texts()[0],
                  QString::fromUtf8(transfer_texts::kTransferFailed.forLanguage(language)));
        if (clock.elapsed() > 200) {
            EXPECT_GE(ticks, clock.elapsed() / 100) << "the GUI thread was blocked";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keyboard, ProgressFaultTest,
    ::testing::Values(FaultCase{"WriteUnplugged", {"--disconnect-after", "3"}, TransferJob::WriteKeys},
                      FaultCase{"ReadUnplugged", {"--disconnect-after", "1"}, TransferJob::ReadAll},
                      FaultCase{"ReadSilent", {"--silent"}, TransferJob::ReadAll},
                      FaultCase{"LightsUnplugged", {}, TransferJob::WriteBacklight, true}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(ProgressScreenshots, BothLanguages) {
    auto configuration = makeConfiguration(false);
    TransferRunner runner(*configuration);
    QObject holder;
    holdWorker(runner, holder);
    for (const char* language : {KeyboardConfiguration::kEnglish, KeyboardConfiguration::kChinese}) {
        configuration->language = language;
        CVelaDialogProgress dialog(*configuration, skin(), runner, TransferJob::ReadAll);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        saveScreenshot(dialog, QStringLiteral("progress-") + QString::fromLatin1(language));
        dialog.reject();
    }
    runner.detach(&holder, true);
}

}  // namespace
