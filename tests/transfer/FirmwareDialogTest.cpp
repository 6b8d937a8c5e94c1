// The firmware window and its job: version, file choice, downloads against the emulator
// process with their outcome messages, and the rules that keep one download whole.
#include <gtest/gtest.h>

#include <QLineEdit>

#include <mutex>
#include <vector>

#include "CVelaDialogFirmwareUpdate.h"
#include "FakeShellServices.h"
#include "FirmwareJob.h"
#include "TransferTexts.h"
#include "TransferUiSupport.h"

using namespace std::chrono_literals;
using namespace kx30uitest;

namespace {

QString text(const transfer_texts::Text& t, const char* language) { return QString::fromUtf8(t.forLanguage(language)); }

class FirmwareTest : public ::testing::Test {
protected:
    void startKeyboard(std::vector<std::string> args = {}) {
        ASSERT_TRUE(emulator.start({.args = std::move(args)})) << emulator.error();
        configuration = makeConfiguration();
        ASSERT_TRUE(configuration->device.isOpen());
        runner = std::make_unique<TransferRunner>(*configuration);
    }
    void TearDown() override {
        runner.reset();
        configuration.reset();
    }
    std::unique_ptr<CVelaDialogFirmwareUpdate> dialog() {
        return std::make_unique<CVelaDialogFirmwareUpdate>(*configuration, skin(), fakes.services, *runner);
    }
    std::string image(const std::string& name, const std::string& content) {
        return writeFile(emulator.tempDir(), name, content);
    }
    const std::vector<QString>& messages() const { return fakes.messageBoxes->texts(); }

    kx30test::EmulatorProcess emulator;
    std::unique_ptr<KeyboardConfiguration> configuration;
    std::unique_ptr<TransferRunner> runner;
    FakeShellServices fakes = makeFakeShellServices();
};

// Collects what the job posts, as a window would receive it.
class RecordingWindow : public ITransferWindow {
public:
    void postTransferProgress(int wParam) noexcept override {
        std::lock_guard lock(mutex);
        progress.push_back(wParam);
    }
    void postTransferFinished(int wParam) noexcept override {
        std::lock_guard lock(mutex);
        finished.push_back(wParam);
    }
    std::mutex mutex;
    std::vector<int> progress;
    std::vector<int> finished;
};

TEST_F(FirmwareTest, ThreeHundredLinesPostProgressOneTo150) {
    startKeyboard();
    RecordingWindow window;
    configuration->transferWindow = &window;
    configuration->firmwarePath = image("fw.hex", hexImage(299));
    EXPECT_EQ(runFirmwareJob(*configuration), transfer_texts::kFirmwareDownloaded);
    std::vector<int> expected;
    for (int i = 1; i <= 150; ++i) expected.push_back(i);
    EXPECT_EQ(window.progress, expected);
    EXPECT_EQ(window.finished, std::vector<int>{transfer_texts::kFirmwareDownloaded});
    EXPECT_EQ(emulator.waitForEvent("firmware-flashed", 5s).rfind("firmware-flashed 300", 0), 0u);
    configuration->transferWindow = nullptr;
}

TEST_F(FirmwareTest, OutcomesOfTheJobByFile) {
    startKeyboard();
    const struct {
        const char* what;
        std::string path;
        int outcome;
    } cases[] = {
        {"no file chosen", "", transfer_texts::kFirmwareUnreadable},
        {"missing file", emulator.tempDir() + "/absent.hex", transfer_texts::kFirmwareUnreadable},
        {"empty file", image("empty.hex", ""), transfer_texts::kFirmwareFailed},
        {"leading blank line", image("blank.hex", "\r\n" + hexImage(2)), transfer_texts::kFirmwareFailed},
        {"bad checksum on line 3", image("sum.hex", hexImage(5, 3)), transfer_texts::kFirmwareFailed},
        {"good image", image("good.hex", hexImage(4)), transfer_texts::kFirmwareDownloaded},
    };
    for (const auto& c : cases) {
        configuration->firmwarePath = c.path;
        EXPECT_EQ(runFirmwareJob(*configuration), c.outcome) << c.what;
    }
    // Refused images send nothing: the only lines the keyboard saw are the good image's five.
    emulator.waitForEvent("firmware-flashed", 5s);
    int lines = 0;
    for (const std::string& event : emulator.events()) lines += event.rfind("firmware-line", 0) == 0;
    EXPECT_EQ(lines, 5);
}

TEST_F(FirmwareTest, UpdateBeforeOpenCannotOpenTheFile) {
    startKeyboard();
    for (const char* language : {KeyboardConfiguration::kEnglish, KeyboardConfiguration::kChinese}) {
        configuration->language = language;
        auto window = dialog();
        window->show();
        window->startUpdate();
        ASSERT_TRUE(waitUntil([&] { return !window->downloading(); }, 5s));
        ASSERT_FALSE(messages().empty());
        EXPECT_EQ(messages().back(), text(transfer_texts::kFirmwareOutcomes[2], language));
        EXPECT_LE(window->percent(), 1);
        EXPECT_TRUE(window->isVisible()) << "the window stays open after an outcome";
    }
}

TEST_F(FirmwareTest, ACancelledSecondOpenKeepsTheFirstPath) {
    startKeyboard();
    auto window = dialog();
    fakes.fileDialogs->queueAnswer(QStringLiteral("/tmp/first.hex"));
    fakes.fileDialogs->queueAnswer(std::nullopt);
    window->openFile();
    window->openFile();
    EXPECT_EQ(window->filePath(), QStringLiteral("/tmp/first.hex"));
    EXPECT_EQ(window->fileField()->text(), QStringLiteral("/tmp/first.hex"));
    EXPECT_TRUE(window->fileField()->isReadOnly());
}

TEST_F(FirmwareTest, ClickedUpdateDownloadsAndFillsTheBar) {
    startKeyboard();
    const std::string path = image("fw.hex", hexImage(63));
    auto window = dialog();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    fakes.fileDialogs->queueAnswer(QString::fromStdString(path));
    clickAt(*window, centreOf({270, 108, 333, 140}));  // Open
    clickAt(*window, centreOf({47, 201, 129, 235}));   // Update
    EXPECT_TRUE(window->downloading());
    ASSERT_TRUE(waitUntil([&] { return !window->downloading(); }, 10s));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0], text(transfer_texts::kFirmwareOutcomes[0], KeyboardConfiguration::kEnglish));
    EXPECT_EQ(window->percent(), 100);
    EXPECT_EQ(configuration->firmwarePath, path);
    EXPECT_TRUE(window->isVisible());
    clickAt(*window, centreOf({237, 201, 327, 235}));  // Cancel
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
}

TEST_F(FirmwareTest, GetVersionShowsTheKeyboardsText) {
    startKeyboard({"--version", "X30 test 7.7"});
    auto window = dialog();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    clickAt(*window, centreOf({220, 70, 333, 100}));
    EXPECT_EQ(window->versionField()->text(), QStringLiteral("X30 test 7.7"));
    EXPECT_TRUE(messages().empty());
}

TEST_F(FirmwareTest, AVersionThatDoesNotComeSaysSoAndKeepsTheField) {
    startKeyboard({"--silent"});
    for (const char* language : {KeyboardConfiguration::kEnglish, KeyboardConfiguration::kChinese}) {
        configuration->language = language;
        auto window = dialog();
        window->versionField()->setText(QStringLiteral("old"));
        window->getVersion();
        ASSERT_FALSE(messages().empty());
        EXPECT_EQ(messages().back(), text(transfer_texts::kVersionFailed, language));
        EXPECT_EQ(window->versionField()->text(), QStringLiteral("old"));
    }
}

TEST_F(FirmwareTest, ADownloadIsNeverAbandoned) {
    // Paced: a thousand lines take about a second.
    startKeyboard({"--usb-pacing"});
    auto window = dialog();
    window->show();
    fakes.fileDialogs->queueAnswer(QString::fromStdString(image("fw.hex", hexImage(999))));
    window->openFile();
    window->startUpdate();
    ASSERT_TRUE(window->downloading());

    window->getVersion();
    window->startUpdate();
    window->reject();
    ASSERT_EQ(messages().size(), 3u);
    EXPECT_EQ(messages()[0], text(transfer_texts::kDownloadRunning, KeyboardConfiguration::kEnglish));
    EXPECT_EQ(messages()[1], text(transfer_texts::kDownloadRunning, KeyboardConfiguration::kEnglish));
    EXPECT_EQ(messages()[2], text(transfer_texts::kWaitForDownload, KeyboardConfiguration::kEnglish));
    EXPECT_TRUE(window->isVisible()) << "closed during the download";
    EXPECT_TRUE(window->closePending());

    ASSERT_TRUE(waitUntil([&] { return !window->isVisible(); }, 15s));
    EXPECT_EQ(messages().back(), text(transfer_texts::kFirmwareOutcomes[0], KeyboardConfiguration::kEnglish));
    EXPECT_FALSE(emulator.waitForEvent("firmware-flashed 1000", 5s).empty());
}

TEST_F(FirmwareTest, ScreenshotsInBothLanguages) {
    startKeyboard();
    for (const char* language : {KeyboardConfiguration::kEnglish, KeyboardConfiguration::kChinese}) {
        configuration->language = language;
        auto window = dialog();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->getVersion();
        fakes.fileDialogs->queueAnswer(QStringLiteral("/home/user/firmware/x30-1.03.hex"));
        window->openFile();
        saveScreenshot(*window, QStringLiteral("firmware-") + QString::fromLatin1(language));
    }
}

}  // namespace
