// The whole program in a real X window (the test runs under its own Xvfb), the emulator as
// the keyboard, xdotool as the user's mouse and keyboard, screenshots of the whole screen.

#include "EmulatorProcess.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

constexpr int kWidth = 1170;
constexpr int kHeight = 680;

// Runs a shell command and returns what it printed.
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

struct WindowInfo {
    std::string id;
    int x = 0, y = 0, width = 0, height = 0;
};

std::optional<WindowInfo> describe(const std::string& id) {
    const std::string text = capture("xwininfo -id " + id + " 2>/dev/null");
    WindowInfo info{id};
    auto field = [&](const char* name) {
        const auto at = text.find(name);
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + std::strlen(name));
    };
    info.x = field("Absolute upper-left X:");
    info.y = field("Absolute upper-left Y:");
    info.width = field("Width:");
    info.height = field("Height:");
    if (info.width <= 0)
        return std::nullopt;
    return info;
}

// The program's visible windows (the main window and its message boxes are all named after it).
std::vector<WindowInfo> programWindows() {
    std::vector<WindowInfo> found;
    std::istringstream ids(capture("xdotool search --onlyvisible --name '^KelvaneX30$' 2>/dev/null"));
    for (std::string id; std::getline(ids, id);)
        if (auto info = describe(id))
            found.push_back(*info);
    return found;
}

template <typename Pred>
std::optional<WindowInfo> waitForWindow(Pred pred, std::chrono::milliseconds timeout = 10s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        for (const WindowInfo& w : programWindows())
            if (pred(w))
                return w;
        std::this_thread::sleep_for(100ms);
    }
    return std::nullopt;
}

bool isMainWindow(const WindowInfo& w) { return w.width == kWidth && w.height == kHeight; }

class Program {
public:
    bool start() {
        const std::string path = KX30_PROGRAM;
        char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
        return ::posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) == 0;
    }
    // The exit status, or nullopt when it is still running after `timeout`.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (pid_ > 0 && std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(50ms);
        }
        return std::nullopt;
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = -1;
};

std::filesystem::path screenshotDir() {
    std::filesystem::path dir = KX30_SCREENSHOT_DIR;
    std::filesystem::create_directories(dir);
    return dir;
}

// The whole screen (import shows shaped windows as they are), kept under `name`.
QImage screenshot(const std::string& name) {
    const std::filesystem::path file = screenshotDir() / (name + ".png");
    runQuiet("import -window root " + file.string());
    return QImage(QString::fromStdString(file.string()));
}

// The part of a screenshot the main window covers.
QImage windowPart(const QImage& shot, const WindowInfo& w) { return shot.copy(w.x, w.y, w.width, w.height); }

void mouseTo(const WindowInfo& w, int x, int y) {
    runQuiet("xdotool mousemove " + std::to_string(w.x + x) + " " + std::to_string(w.y + y));
    std::this_thread::sleep_for(300ms);
}

void clickAt(const WindowInfo& w, int x, int y) {
    mouseTo(w, x, y);
    runQuiet("xdotool click 1");
    std::this_thread::sleep_for(400ms);
}

bool differs(const QImage& a, const QImage& b, const QRect& rect) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return true;
    return false;
}

// Dismisses the message box that the program shows, as the user would with Return.
bool dismissMessage() {
    const auto box = waitForWindow([](const WindowInfo& w) { return !isMainWindow(w); });
    if (!box)
        return false;
    auto stillShown = [&] {
        for (const WindowInfo& w : programWindows())
            if (w.id == box->id)
                return true;
        return false;
    };
    // Without a window manager nobody gives the box the focus: give it, then press Return.
    for (int attempt = 0; attempt < 3; ++attempt) {
        runQuiet("xdotool windowfocus " + box->id);
        std::this_thread::sleep_for(200ms);
        runQuiet("xdotool key Return");
        std::this_thread::sleep_for(500ms);
        if (!stillShown())
            return true;
    }
    return false;
}

class ProgramRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "needs an X display (run under scripts/with-xvfb)";
    }
};

TEST_F(ProgramRunTest, WindowIsShapedAndAnswersHoverAndClicks) {
    kx30test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start()) << emulator.error();
    Program program;
    ASSERT_TRUE(program.start());
    const auto window = waitForWindow(isMainWindow);
    ASSERT_TRUE(window) << "no 1170 x 680 window appeared";
    std::this_thread::sleep_for(500ms);

    const QImage first = screenshot("mainwindow-en-level1");
    ASSERT_FALSE(first.isNull());
    const QRect screen = first.rect();
    EXPECT_EQ(window->x, (screen.width() - kWidth) / 2);
    EXPECT_EQ(window->y, (screen.height() - kHeight) / 2);
    // The rounded corner is cut out: the white root shows through; the middle is the picture.
    EXPECT_EQ(QColor(first.pixel(window->x, window->y)), QColor(Qt::white));
    EXPECT_NE(QColor(first.pixel(window->x + 585, window->y + 340)), QColor(Qt::white));

    mouseTo(*window, 282, 290);  // key 29
    const QImage hovered = windowPart(screenshot("mainwindow-hover-key29"), *window);
    const QImage before = windowPart(first, *window);
    EXPECT_TRUE(differs(before, hovered, QRect(257, 267, 50, 45))) << "key 29 not highlighted";
    EXPECT_TRUE(differs(before, hovered, QRect(47, 506, 913, 144))) << "information box unchanged";

    clickAt(*window, 85, 250);  // level switch
    mouseTo(*window, 600, 60);
    const QImage level2 = windowPart(screenshot("mainwindow-en-level2"), *window);
    EXPECT_TRUE(differs(before, level2, QRect(65, 180, 40, 110))) << "level switch looks the same";

    clickAt(*window, 1100, 120);  // language
    mouseTo(*window, 600, 60);
    const QImage chinese = windowPart(screenshot("mainwindow-zh-level2"), *window);
    EXPECT_TRUE(differs(level2, chinese, QRect(35, 101, 940, 29))) << "button labels unchanged";

    clickAt(*window, 85, 250);
    mouseTo(*window, 600, 60);
    const QImage chineseLevel1 = windowPart(screenshot("mainwindow-zh-level1"), *window);
    EXPECT_TRUE(differs(chinese, chineseLevel1, QRect(65, 180, 40, 110)));

    clickAt(*window, 1116, 35);  // exit
    EXPECT_EQ(program.waitForExit(10s), 0);
}

TEST_F(ProgramRunTest, KeyboardGoingAwayEndsTheProgramAfterTheMessage) {
    kx30test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start()) << emulator.error();
    Program program;
    ASSERT_TRUE(program.start());
    ASSERT_TRUE(waitForWindow(isMainWindow));
    emulator.stop();
    const auto box = waitForWindow([](const WindowInfo& w) { return !isMainWindow(w); });
    ASSERT_TRUE(box) << "no message box";
    screenshot("message-keyboard-removed");
    ASSERT_TRUE(dismissMessage());
    EXPECT_EQ(program.waitForExit(10s), 0);
}

TEST_F(ProgramRunTest, WithoutAKeyboardItSaysSoAndEnds) {
    const std::string nowhere = (std::filesystem::temp_directory_path() / "kx30-e2e-no-keyboard.sock").string();
    ::setenv("KELVANE_X30_EMULATOR", nowhere.c_str(), 1);
    Program program;
    ASSERT_TRUE(program.start());
    const auto box = waitForWindow([](const WindowInfo&) { return true; });
    ASSERT_TRUE(box) << "no message box";
    EXPECT_FALSE(isMainWindow(*box));
    screenshot("message-no-keyboard");
    ASSERT_TRUE(dismissMessage());
    EXPECT_EQ(program.waitForExit(10s), 0);
    ::unsetenv("KELVANE_X30_EMULATOR");
}

}  // namespace
