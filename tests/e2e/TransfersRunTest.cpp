// The transfers as a user runs them from the main window: the real program in a real X window
// (the test runs under its own Xvfb), the real emulator process as the keyboard, xdotool as the
// user's mouse and keyboard. Which message a box shows is told by its size: this process lays
// out a message box with the expected text on the same display, with the same fonts and style,
// and the program's box must come out the same size. Screenshots of every step go to
// screenshots/transfers-*.png in the build folder.

#include "EmulatorProcess.h"

#include "backlight/BacklightItems.h"
#include "mainwindow/MainWindowItems.h"
#include "transfer/FirmwareItems.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QSize>
#include <QStyle>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kMainWidth = 1170;
constexpr int kMainHeight = 680;

std::string capture(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        ::pclose(pipe);
    }
    return out;
}

bool runQuiet(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

struct Window {
    std::string id;
    int x = 0, y = 0, width = 0, height = 0;
    bool isMain() const { return width == kMainWidth && height == kMainHeight; }
};

std::optional<Window> describe(const std::string& id) {
    Window w{id};
    std::istringstream lines(capture("xdotool getwindowgeometry --shell " + id + " 2>/dev/null"));
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") w.x = value;
        else if (key == "Y") w.y = value;
        else if (key == "WIDTH") w.width = value;
        else if (key == "HEIGHT") w.height = value;
    }
    if (w.width <= 0)
        return std::nullopt;
    return w;
}

// The visible windows whose name matches the regular expression `name`.
std::vector<Window> windowsNamed(const std::string& name) {
    std::vector<Window> found;
    std::istringstream ids(capture("xdotool search --onlyvisible --name '" + name + "' 2>/dev/null"));
    for (std::string id; std::getline(ids, id);)
        if (auto w = describe(id))
            found.push_back(*w);
    return found;
}

template <typename Pred>
std::optional<Window> waitForWindow(const std::string& name, Pred pred, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    do {
        for (const Window& w : windowsNamed(name))
            if (pred(w))
                return w;
        std::this_thread::sleep_for(50ms);
    } while (Clock::now() < end);
    return std::nullopt;
}

std::optional<Window> waitForWindow(const std::string& name, std::chrono::milliseconds timeout = 10s) {
    return waitForWindow(name, [](const Window&) { return true; }, timeout);
}

bool waitUntilGone(const Window& window, std::chrono::milliseconds timeout = 5s) {
    const auto end = Clock::now() + timeout;
    do {
        if (!describe(window.id) || capture("xdotool search --onlyvisible --name . 2>/dev/null").find(window.id) ==
                                        std::string::npos)
            return true;
        std::this_thread::sleep_for(50ms);
    } while (Clock::now() < end);
    return false;
}

// The program's message boxes carry its name, as the main window does, but not its size.
const std::string kProgramName = "^KelvaneX30$";
std::optional<Window> waitForMessageBox(std::chrono::milliseconds timeout = 10s) {
    return waitForWindow(kProgramName, [](const Window& w) { return !w.isMain(); }, timeout);
}

// Moves the pointer onto the middle of an item, lets the window see the move (its hover), then
// presses and releases there, as a user's click does.
void clickItem(const Window& w, SkinRect rect) {
    const int x = w.x + (rect.left + rect.right) / 2;
    const int y = w.y + (rect.top + rect.bottom) / 2;
    runQuiet("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
    std::this_thread::sleep_for(150ms);
    runQuiet("xdotool click 1");
    std::this_thread::sleep_for(150ms);
}

SkinRect mainItem(int id) {
    for (const SkinItem& item : kMainWindowItems)
        if (item.id == id && !item.textOnly)
            return item.rect;
    ADD_FAILURE() << "no main window item " << id;
    return {};
}

std::filesystem::path screenshotDir() {
    std::filesystem::path dir = KX30_SCREENSHOT_DIR;
    std::filesystem::create_directories(dir);
    return dir;
}

QImage screenshot(const std::string& step) {
    const std::filesystem::path file = screenshotDir() / ("transfers-" + step + ".png");
    runQuiet("import -window root " + file.string());
    return QImage(QString::fromStdString(file.string()));
}

bool differs(const QImage& a, const QImage& b, const QRect& rect) {
    if (a.isNull() || b.isNull())
        return false;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return true;
    return false;
}

// The test process's own connection to the display, to lay out reference message boxes.
QApplication& guiApp() {
    static int argc = 1;
    static char name[] = "transfers_e2e";
    static char* argv[] = {name, nullptr};
    if (!qApp) {
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        // Deliberately left to the end of the process: Qt's own statics go before it could be
        // destroyed safely from a static of ours.
        new QApplication(argc, argv);
    }
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

// The size of the program's message box for `text` (the program's boxes: no icon, one OK
// button, its name as the caption, which also sets the least width). Shown only for the
// moment of its layout, between the test's searches for the program's windows.
QSize messageBoxSize(const char* text) {
    guiApp();
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("KelvaneX30"), QString::fromUtf8(text), QMessageBox::Ok);
    // The program's OK button carries the style's icon; this process's theme may not add it.
    if (QAbstractButton* ok = box.button(QMessageBox::Ok))
        ok->setIcon(box.style()->standardIcon(QStyle::SP_DialogOkButton));
    box.show();
    QApplication::processEvents();
    const QSize size = box.size();
    box.hide();
    return size;
}

const char* const kOk = "OK!";
const char* const kTransferFailed =
    "The transfer with the keyboard failed!\r\nCheck that the keyboard is connected and try again.";
const char* const kNotConnected = "Keyboard is not connected";
const char* const kFirmwareDone =
    "The Firmware is downloaded successfully.\r\nPlease keep the USB plug in until three indicator lights "
    "flash simultaneously.\r\nThen firmware updated completely,pleased unplug the USB and plug in.";

// Dismisses message box `box` with Return, as the user would; whether it went.
bool dismiss(const Window& box) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        // Without a window manager nobody gives the box the focus: the test gives it.
        runQuiet("xdotool windowfocus --sync " + box.id);
        runQuiet("xdotool key Return");
        if (waitUntilGone(box, 2s))
            return true;
    }
    return false;
}

// Checks that `box` shows `text` (by its size), then dismisses it.
void expectMessage(const Window& box, const char* text) {
    EXPECT_EQ(QSize(box.width, box.height), messageBoxSize(text)) << "the box does not show \"" << text << "\"";
    EXPECT_TRUE(dismiss(box)) << "the box did not go with Return";
}

class Program {
public:
    bool start() {
        const std::string path = KX30_PROGRAM;
        char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
        return ::posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) == 0;
    }
    bool running() {
        if (pid_ <= 0)
            return false;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return false;
        }
        return true;
    }
    std::optional<int> waitForExit(std::chrono::milliseconds timeout) {
        const auto end = Clock::now() + timeout;
        while (running() && Clock::now() < end)
            std::this_thread::sleep_for(50ms);
        return running() ? std::nullopt : exitCode_;
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

class TransfersRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "needs an X display (run under scripts/with-xvfb)";
        guiApp();
    }

    // The emulator with `args`, then the program; the main window as it appeared.
    void startBoth(std::vector<std::string> args = {}) {
        ASSERT_TRUE(emulator.start({.args = std::move(args)})) << emulator.error();
        ASSERT_TRUE(program.start());
        const auto w = waitForWindow(kProgramName, [](const Window& x) { return x.isMain(); }, 10s);
        ASSERT_TRUE(w) << "no main window appeared";
        main = *w;
    }

    // Ends the program with its Exit item and expects it to go.
    void exitProgram() {
        clickItem(main, mainItem(kMainExit));
        EXPECT_EQ(program.waitForExit(10s), 0);
    }

    kx30test::EmulatorProcess emulator;
    Program program;
    Window main;
};

TEST_F(TransfersRunTest, WriteKeysAndReadAllReachTheKeyboardAndSayOk) {
    ASSERT_NO_FATAL_FAILURE(startBoth());
    screenshot("01-main");

    clickItem(main, mainItem(kMainWriteKeys));
    const auto progress = waitForWindow("^Progress$", 5s);
    EXPECT_TRUE(progress) << "WriteKeys opened no progress window";
    screenshot("02-writekeys-progress");
    EXPECT_EQ(emulator.waitForEvent("keys-written", 15s), "keys-written 174");
    const auto done = waitForMessageBox(15s);
    ASSERT_TRUE(done) << "no message after WriteKeys";
    screenshot("03-writekeys-ok");
    expectMessage(*done, kOk);

    clickItem(main, mainItem(kMainReadAll));
    EXPECT_FALSE(emulator.waitForEvent("keys-read", 15s).empty());
    EXPECT_FALSE(emulator.waitForEvent("lights-read", 15s).empty());
    const auto read = waitForMessageBox(15s);
    ASSERT_TRUE(read) << "no message after ReadAll";
    screenshot("04-readall-ok");
    expectMessage(*read, kOk);

    // The same command a second time still works: nothing of the first run stays in the way.
    clickItem(main, mainItem(kMainWriteKeys));
    EXPECT_EQ(emulator.waitForEvent("keys-written", 15s), "keys-written 174");
    const auto again = waitForMessageBox(15s);
    ASSERT_TRUE(again);
    expectMessage(*again, kOk);
    exitProgram();
}

TEST_F(TransfersRunTest, LightSetProgramsTheUnchangedColours) {
    ASSERT_NO_FATAL_FAILURE(startBoth());
    clickItem(main, mainItem(kMainLightSet));
    const auto lights = waitForWindow("^BackLight Settings$", 5s);
    ASSERT_TRUE(lights) << "LightSet opened no backlight window";
    screenshot("05-backlight");

    ASSERT_EQ(kBacklightItems[6].id, kBacklightProgram);
    clickItem(*lights, kBacklightItems[6].rect);
    // The factory colours of the four areas, as the keyboard got them.
    const std::string written = emulator.waitForEvent("lights-written", 15s);
    EXPECT_FALSE(written.empty());
    const auto ok = waitForMessageBox(15s);
    ASSERT_TRUE(ok) << "no message after Program";
    screenshot("06-backlight-ok");
    expectMessage(*ok, kOk);
    // After the message the backlight window closes itself.
    EXPECT_TRUE(waitUntilGone(*lights));
    exitProgram();
}

// An Intel HEX image the keyboard accepts: two data records and the end-of-file record.
std::string hexRecord(int address, const std::vector<int>& data) {
    char buffer[16];
    int sum = static_cast<int>(data.size()) + (address >> 8) + (address & 0xFF);
    std::string line = ":";
    std::snprintf(buffer, sizeof buffer, "%02X%04X00", static_cast<int>(data.size()), address);
    line += buffer;
    for (int byte : data) {
        std::snprintf(buffer, sizeof buffer, "%02X", byte);
        line += buffer;
        sum += byte;
    }
    std::snprintf(buffer, sizeof buffer, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
    return line + buffer + "\r\n";
}

TEST_F(TransfersRunTest, FirmwareWindowReadsTheVersionAndDownloadsAnImage) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kx30-e2e-hex-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path image = dir / "firmware.hex";
    {
        std::ofstream out(image, std::ios::binary);
        out << hexRecord(0x0000, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})
            << hexRecord(0x0010, {16, 17, 18, 19, 20, 21, 22, 23}) << ":00000001FF\r\n";
    }
    ASSERT_NO_FATAL_FAILURE(startBoth());
    clickItem(main, mainItem(kMainUpdate));
    const auto fw = waitForWindow("^Firmware Update$", 5s);
    ASSERT_TRUE(fw) << "Update opened no firmware window";
    const QImage before = screenshot("07-firmware");

    ASSERT_EQ(kFirmwareItems[1].id, kFirmwareGetVersion);
    clickItem(*fw, kFirmwareItems[1].rect);  // Get Version
    EXPECT_FALSE(emulator.waitForEvent("version-read", 5s).empty());
    std::this_thread::sleep_for(300ms);
    const QImage version = screenshot("08-firmware-version");
    const QRect field(fw->x + kFirmwareVersionField.left, fw->y + kFirmwareVersionField.top,
                      kFirmwareVersionField.width(), kFirmwareVersionField.height());
    EXPECT_TRUE(differs(before, version, field)) << "the version field stayed empty";
    EXPECT_FALSE(waitForMessageBox(300ms)) << "reading the version gave a message";

    ASSERT_EQ(kFirmwareItems[2].id, kFirmwareOpen);
    clickItem(*fw, kFirmwareItems[2].rect);  // Open
    const auto open = waitForWindow("^Open$", 5s);
    ASSERT_TRUE(open) << "Open showed no file dialog";
    // The file name field has the focus once the dialog has it: type the path there.
    runQuiet("xdotool windowfocus --sync " + open->id);
    std::this_thread::sleep_for(200ms);
    runQuiet("xdotool type --delay 5 '" + image.string() + "'");
    screenshot("09-file-dialog");
    runQuiet("xdotool key Return");
    EXPECT_TRUE(waitUntilGone(*open));
    std::this_thread::sleep_for(300ms);
    screenshot("10-firmware-file");

    ASSERT_EQ(kFirmwareItems[3].id, kFirmwareUpdate);
    clickItem(*fw, kFirmwareItems[3].rect);  // Update
    EXPECT_EQ(emulator.waitForEvent("firmware-flashed", 15s).rfind("firmware-flashed 3 ", 0), 0u);
    const auto result = waitForMessageBox(15s);
    ASSERT_TRUE(result) << "no message after the download";
    screenshot("11-firmware-done");
    expectMessage(*result, kFirmwareDone);

    ASSERT_EQ(kFirmwareItems[4].id, kFirmwareCancel);
    clickItem(*fw, kFirmwareItems[4].rect);  // Cancel closes the window
    EXPECT_TRUE(waitUntilGone(*fw));
    exitProgram();
    std::filesystem::remove_all(dir);
}

// A keyboard that takes the reports but never answers: ReadAll ends in the failure message,
// not "OK!", within the library's waits, and the window goes on working afterwards. (A write
// to it succeeds: the keyboard takes every report, and a write waits for no answer.)
TEST_F(TransfersRunTest, ReadAllFromASilentKeyboardFailsInBoundedTimeAndTheWindowStaysUsable) {
    ASSERT_NO_FATAL_FAILURE(startBoth({"--silent"}));
    const auto clicked = Clock::now();
    clickItem(main, mainItem(kMainReadAll));
    const auto failed = waitForMessageBox(60s);
    ASSERT_TRUE(failed) << "no message within 60 s";
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - clicked);
    RecordProperty("failure_after_ms", static_cast<int>(took.count()));
    screenshot("12-silent-failed");
    EXPECT_NE(QSize(failed->width, failed->height), messageBoxSize(kOk));
    expectMessage(*failed, kTransferFailed);

    // Still answering: the level switch changes the picture.
    runQuiet("xdotool mousemove " + std::to_string(main.x + 600) + " " + std::to_string(main.y + 60));
    std::this_thread::sleep_for(300ms);
    const QImage before = screenshot("13-silent-after");
    clickItem(main, mainItem(kMainLevel));
    runQuiet("xdotool mousemove " + std::to_string(main.x + 600) + " " + std::to_string(main.y + 60));
    std::this_thread::sleep_for(400ms);
    const QImage level2 = screenshot("14-silent-level2");
    const SkinRect level = mainItem(kMainLevel);
    EXPECT_TRUE(differs(before, level2,
                        QRect(main.x + level.left, main.y + level.top, level.width(), level.height())))
        << "the window did not answer after the failed read";
    exitProgram();
}

// The keyboard unplugged in the middle of the write: the failure message and, as the program
// notices the keyboard is gone, its message; the second stacks on the first, so the newest box
// is answered first. Then the program ends.
TEST_F(TransfersRunTest, KeyboardUnpluggedDuringWriteKeysFailsAndEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(startBoth({"--disconnect-after", "20"}));
    clickItem(main, mainItem(kMainWriteKeys));
    EXPECT_TRUE(emulator.waitForExit(15s).has_value()) << "the emulator did not take 20 reports";
    ASSERT_TRUE(waitForMessageBox(30s)) << "no message within 30 s";
    const auto end = Clock::now() + 10s;
    std::vector<QSize> shown;
    while (Clock::now() < end && shown.size() < 2) {
        std::vector<Window> boxes;
        for (const Window& w : windowsNamed(kProgramName))
            if (!w.isMain())
                boxes.push_back(w);
        if (boxes.empty()) {
            std::this_thread::sleep_for(100ms);
            continue;
        }
        // X hands out window ids in creation order: the largest is the newest box.
        const Window newest = *std::max_element(boxes.begin(), boxes.end(), [](const Window& a, const Window& b) {
            return std::stoul(a.id) < std::stoul(b.id);
        });
        screenshot("15-unplugged-message-" + std::to_string(shown.size() + 1));
        shown.push_back(QSize(newest.width, newest.height));
        EXPECT_TRUE(dismiss(newest));
    }
    EXPECT_EQ(std::count(shown.begin(), shown.end(), messageBoxSize(kTransferFailed)), 1);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), messageBoxSize(kNotConnected)), 1);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), messageBoxSize(kOk)), 0);
    EXPECT_EQ(program.waitForExit(10s), 0);
}

}  // namespace
