// The jobs against the real emulator process: what job 1 writes, job 3 reads back, equal
// except where the key record cannot tell the difference.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EmulatorProcess.h"
#include "TransferJobs.h"

using namespace std::chrono_literals;

namespace {

constexpr JobOptions kNoWaits{0ms, 0ms, nullptr};

// Collects what the jobs and the library report, as a window would receive it.
class RecordingWindow : public ITransferWindow {
public:
    void postTransferProgress(int wParam) noexcept override {
        std::lock_guard lock(mutex);
        progress.push_back(wParam);
        if (cancelOnProgress) cancelOnProgress->store(true);
    }
    void postTransferFinished(int wParam) noexcept override {
        std::lock_guard lock(mutex);
        finished.push_back(wParam);
    }
    std::mutex mutex;
    std::vector<int> progress;
    std::vector<int> finished;
    std::atomic<bool>* cancelOnProgress = nullptr;
};

KeyEventList listOf(std::initializer_list<const char*> items, int cycles = 1, bool autoInterval = false,
                    int delay = 30) {
    KeyEventList list(9);
    for (const char* item : items) list.setOrAppend(KeyEventList::kAppendRow, item);
    list.setCycles(cycles);
    list.setAutoInterval(autoInterval);
    list.setDelay(delay);
    return list;
}

struct Setting {
    int kind;
    int code;
    KeyEventList events;
};

// What one key is given, and what it reads back as.
struct RoundTripCase {
    const char* what;
    Setting written;
    Setting read;
};

const std::vector<RoundTripCase>& roundTripCases() {
    static const std::vector<RoundTripCase> cases = {
        {"single", {1, 29, {}}, {1, 29, {}}},
        {"keypad enter", {1, 107, {}}, {1, 107, {}}},
        {"multimedia", {5, 113, {}}, {5, 113, {}}},
        {"mouse", {6, 126, {}}, {6, 126, {}}},
        {"double click", {6, 199, {}}, {6, 199, {}}},
        {"function", {7, 156, {}}, {7, 156, {}}},
        {"power", {8, 76, {}}, {8, 76, {}}},
        {"combo", {2, 0, listOf({"Left CONTROL", "C"})}, {2, 0, listOf({"Left CONTROL", "C"})}},
        {"one-entry combo reads as a single key", {2, 0, listOf({"A"})}, {1, 43, {}}},
        {"one-entry combo reads by the code's range", {2, 0, listOf({"VolumeUp"})}, {5, 113, {}}},
        {"two left clicks read as a double click", {2, 0, listOf({"Mouse Key Left", "Mouse Key Left"})}, {6, 199, {}}},
        {"entry not in the catalogue travels as 0", {2, 0, listOf({"Left CTRL", "C"})}, {2, 0, listOf({"-- --", "C"})}},
        {"empty combo reads as not set", {2, 0, listOf({})}, {0, 0, {}}},
        {"timed macro loses directions", {3, 0, listOf({"A Down", "<50 ms>", "A UP"}, 3)},
         {3, 0, listOf({"A", "<50 ms>", "A"}, 3)}},
        {"auto-interval macro", {3, 0, listOf({"A Down", "B Down", "B UP", "A UP"}, 2, true)},
         {3, 0, listOf({"A", "B", "B", "A"}, 2, true)}},
        {"timed macro with a mouse action", {3, 0, listOf({"Mouse Key Left", "<300 ms>", "ENTER Down"})},
         {3, 0, listOf({"Mouse Key Left", "<300 ms>", "ENTER"})}},
        {"trailing delay of a timed macro is dropped", {3, 0, listOf({"A Down", "<10 ms>", "B Down", "<20 ms>"})},
         {3, 0, listOf({"A", "<10 ms>", "B"})}},
        {"emulation", {4, 0, listOf({"H", "I"}, 1, false, 40)}, {4, 0, listOf({"H", "I"}, 1, false, 40)}},
        {"emulation with a 16-bit delay", {4, 0, listOf({"(1)"}, 1, false, 300)}, {4, 0, listOf({"(1)"}, 1, false, 300)}},
        {"kind past the table is not set", {12, 29, listOf({"A"})}, {0, 0, {}}},
    };
    return cases;
}

class TransferJobsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(emulator.start()) << emulator.error();
        writer = open();
        ASSERT_TRUE(writer);
    }

    // A cleared configuration with its own connection to the emulator.
    std::unique_ptr<KeyboardConfiguration> open() {
        auto c = std::make_unique<KeyboardConfiguration>();
        c->buildKeyCatalogue();
        c->clearConfiguration();
        if (!c->device.__createDev()) return nullptr;
        c->device.setReadTimeout(1000);
        c->transferWindow = &window;
        return c;
    }

    // Case i goes to key i + 1 on Level 1 and to key 87 - i on Level 2.
    static int keyOf(std::size_t i, int level) { return level == 0 ? int(i) + 1 : 87 - int(i); }

    void assign(KeyboardConfiguration& c, int key, int level, const Setting& s) {
        c.kind[key][level] = s.kind;
        c.code[key][level] = s.code;
        c.events[key][level] = s.events;
    }

    void fillWithEveryCase(KeyboardConfiguration& c) {
        const auto& cases = roundTripCases();
        for (std::size_t i = 0; i < cases.size(); ++i)
            for (int level = 0; level < kLevels; ++level) assign(c, keyOf(i, level), level, cases[i].written);
    }

    kx30test::EmulatorProcess emulator;
    RecordingWindow window;
    std::unique_ptr<KeyboardConfiguration> writer;
};

TEST_F(TransferJobsTest, EveryKindOnBothLevelsSurvivesTheKeyboard) {
    fillWithEveryCase(*writer);
    const JobResult written = writeKeySettings(*writer, kNoWaits);
    ASSERT_TRUE(written.ok()) << int(written.status);
    EXPECT_FALSE(emulator.waitForEvent("keys-written", 5s).empty());
    writer->device.__closeDev();

    // A fresh configuration reads it back; its old contents show what a read leaves alone.
    auto reader = open();
    ASSERT_TRUE(reader);
    for (int key = 1; key < kKeyRows; ++key)
        for (int level = 0; level < kLevels; ++level) reader->events[key][level] = listOf({"old"});
    const JobResult read = readConfiguration(*reader, kNoWaits);
    ASSERT_TRUE(read.ok()) << int(read.status);

    const auto& cases = roundTripCases();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        for (int level = 0; level < kLevels; ++level) {
            const int key = keyOf(i, level);
            SCOPED_TRACE(std::string(cases[i].what) + ", key " + std::to_string(key) + ", level " +
                         std::to_string(level));
            const Setting& expected = cases[i].read;
            EXPECT_EQ(reader->kind[key][level], expected.kind);
            const KeyFunctionKind kind = kindFromInt(expected.kind);
            if (usesCode(kind)) {
                EXPECT_EQ(reader->code[key][level], expected.code);
            }
            if (kind == KeyFunctionKind::Combo || kind == KeyFunctionKind::Macro ||
                kind == KeyFunctionKind::Emulation) {
                EXPECT_TRUE(reader->events[key][level].sameContent(expected.events))
                    << reader->valueText(key, level);
            } else {
                EXPECT_EQ(reader->events[key][level].items(), std::vector<std::string>{"old"});
            }
        }
    }
    // Keys nobody set read back as not set and keep their code.
    const int untouched = int(cases.size()) + 5;
    EXPECT_EQ(reader->kind[untouched][0], 0);
    EXPECT_EQ(reader->code[untouched][0], untouched);
}

TEST_F(TransferJobsTest, BacklightAreasSurviveTheKeyboard) {
    for (int i = 0; i < 12; ++i) writer->backlight[std::size_t(3 + i)] = 20 * i + 1;
    const JobResult written = writeBacklightAreas(*writer, kNoWaits);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(window.progress, std::vector<int>{150});  // the bar is full before the end
    EXPECT_EQ(window.finished, std::vector<int>{0});
    writer->device.__closeDev();

    auto reader = open();
    ASSERT_TRUE(reader);
    reader->backlight[0] = 9;
    ASSERT_TRUE(readConfiguration(*reader, kNoWaits).ok());
    for (int i = 0; i < 12; ++i) EXPECT_EQ(reader->backlight[std::size_t(3 + i)], 20 * i + 1) << i;
    EXPECT_EQ(reader->backlight[0], 9);
}

TEST_F(TransferJobsTest, WriteReportsProgressPerSlotAndFinishes) {
    writer->kind[1][0] = 1;
    ASSERT_TRUE(writeKeySettings(*writer, kNoWaits).ok());
    EXPECT_FALSE(window.progress.empty());
    EXPECT_EQ(window.progress.back(), 173);
    EXPECT_EQ(window.finished, std::vector<int>{0});
}

struct OversizeCase {
    const char* what;
    int kind;
    int entries;     // of "A Down" / "<5 ms>" as the kind needs
    bool autoInterval;
    bool fits;
};

// Arrays that would not fit a key record are refused and nothing is sent: the keyboard keeps
// its whole previous configuration.
TEST_F(TransferJobsTest, ArraysThatDoNotFitAKeyRecordAreNotSent) {
    const OversizeCase cases[] = {
        {"combo of 58", 2, 58, false, true},
        {"combo of 59", 2, 59, false, false},
        {"emulation of 56", 4, 56, false, true},
        {"emulation of 57", 4, 57, false, false},
        {"auto-interval macro of 255 steps", 3, 255, true, true},
        {"auto-interval macro of 256 steps", 3, 256, true, false},
        {"timed macro of 64 steps", 3, 127, false, true},
        {"timed macro of 65 steps", 3, 129, false, false},
    };
    writer->kind[1][0] = 1;
    writer->code[1][0] = 29;
    ASSERT_TRUE(writeKeySettings(*writer, kNoWaits).ok());
    ASSERT_FALSE(emulator.waitForEvent("keys-written", 5s).empty());

    for (const OversizeCase& c : cases) {
        SCOPED_TRACE(c.what);
        KeyEventList list(9);
        for (int i = 0; i < c.entries; ++i)
            list.setOrAppend(KeyEventList::kAppendRow, c.kind == 3 && !c.autoInterval && i % 2 ? "<5 ms>" : "A Down");
        list.setAutoInterval(c.autoInterval);
        writer->kind[40][1] = c.kind;
        writer->events[40][1] = list;
        window.finished.clear();
        const JobResult result = writeKeySettings(*writer, kNoWaits);
        if (c.fits) {
            EXPECT_TRUE(result.ok()) << int(result.status);
            EXPECT_FALSE(emulator.waitForEvent("keys-written", 5s).empty());
            continue;
        }
        EXPECT_EQ(result.status, JobStatus::KeyRefused);
        EXPECT_EQ(result.key, 40);
        EXPECT_EQ(result.level, 1);
        EXPECT_EQ(window.finished, std::vector<int>{int(JobStatus::KeyRefused)});
    }
    // Only the good writes arrived: reading back finds the last one that fitted.
    writer->kind[40][1] = 0;
    auto reader = open();
    ASSERT_TRUE(reader);
    writer->device.__closeDev();
    ASSERT_TRUE(readConfiguration(*reader, kNoWaits).ok());
    EXPECT_EQ(reader->kind[1][0], 1);
    EXPECT_EQ(reader->code[1][0], 29);
    EXPECT_EQ(reader->kind[40][1], 3);
    EXPECT_EQ(reader->events[40][1].count(), 127);
}

TEST_F(TransferJobsTest, CancelStopsAtTheNextBoundary) {
    std::atomic<bool> cancel{true};
    const JobOptions cancelled{0ms, 0ms, &cancel};
    writer->kind[1][0] = 1;
    EXPECT_EQ(writeKeySettings(*writer, cancelled).status, JobStatus::Cancelled);
    EXPECT_EQ(writeBacklightAreas(*writer, cancelled).status, JobStatus::Cancelled);
    EXPECT_TRUE(emulator.waitForEvent("keys-written", 300ms).empty());
    EXPECT_TRUE(emulator.waitForEvent("lights-written", 10ms).empty());

    // Cancelled while the library reads: the configuration is left as it was.
    cancel = false;
    ASSERT_TRUE(writeKeySettings(*writer, kNoWaits).ok());
    writer->kind[1][0] = 0;
    window.cancelOnProgress = &cancel;
    EXPECT_EQ(readConfiguration(*writer, {0ms, 0ms, &cancel}).status, JobStatus::Cancelled);
    EXPECT_EQ(writer->kind[1][0], 0);
}

TEST_F(TransferJobsTest, LongWaitsEndEarlyOnCancel) {
    std::atomic<bool> cancel{false};
    window.cancelOnProgress = &cancel;  // the full bar of the backlight job sets it
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(writeBacklightAreas(*writer, {60s, 60s, &cancel}).ok());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
}

class SilentKeyboardTest : public ::testing::Test {};

TEST_F(SilentKeyboardTest, AFailedReadLeavesTheConfigurationAlone) {
    kx30test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start({.args = {"--silent"}})) << emulator.error();
    auto c = std::make_unique<KeyboardConfiguration>();
    c->buildKeyCatalogue();
    c->clearConfiguration();
    ASSERT_TRUE(c->device.__createDev());
    c->device.setReadTimeout(200);
    RecordingWindow window;
    c->transferWindow = &window;
    c->kind[3][1] = 4;
    c->events[3][1] = listOf({"A"});
    c->backlight[3] = 77;

    const JobResult result = readConfiguration(*c, kNoWaits);
    EXPECT_EQ(result.status, JobStatus::KeyReadFailed);
    EXPECT_EQ(window.finished, std::vector<int>{int(JobStatus::KeyReadFailed)});
    EXPECT_EQ(c->kind[3][1], 4);
    EXPECT_EQ(c->events[3][1].items(), std::vector<std::string>{"A"});
    EXPECT_EQ(c->backlight[3], 77);
}

TEST_F(SilentKeyboardTest, AKeyboardThatGoesAwayFailsTheWrite) {
    kx30test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start({.args = {"--disconnect-after", "3"}})) << emulator.error();
    auto c = std::make_unique<KeyboardConfiguration>();
    c->buildKeyCatalogue();
    c->clearConfiguration();
    ASSERT_TRUE(c->device.__createDev());
    c->device.setReadTimeout(200);
    EXPECT_EQ(writeKeySettings(*c, kNoWaits).status, JobStatus::KeyWriteFailed);
}

}  // namespace
