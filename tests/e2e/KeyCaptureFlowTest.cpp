// The key assignment dialog in the real program, as a user works it: under a private Xvfb,
// with the emulator as the keyboard, xdotool as the user's mouse and keyboard, and the
// program's keyboard capture taking the keys typed. What was recorded is written to the
// keyboard and read back from it with the library. Screenshots of the recording states go
// to screenshots/ in the build folder.

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "EmulatorProcess.h"
#include "KeyMapItems.h"
#include "KeyTable.h"
#include "KeyboardConfiguration.h"
#include "TransferJobs.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

constexpr int kMainWidth = 1170;
constexpr int kMainHeight = 680;
// Main window buttons, centres in client pixels.
constexpr int kWriteKeysX = 490, kWriteKeysY = 112;
constexpr int kReadAllX = 795, kReadAllY = 112;

std::string output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        ::pclose(pipe);
    }
    return out;
}

bool run(const std::string& command) { return std::system(("timeout 20 " + command + " >/dev/null 2>&1").c_str()) == 0; }

struct Window {
    std::string id;
    int x = 0, y = 0, width = 0, height = 0;
};

std::optional<Window> geometry(const std::string& id) {
    const std::string text = output("xwininfo -id " + id + " 2>/dev/null");
    const auto field = [&](const char* name) {
        const auto at = text.find(name);
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + std::strlen(name));
    };
    Window w{id, field("Absolute upper-left X:"), field("Absolute upper-left Y:"), field("Width:"), field("Height:")};
    if (w.width <= 0)
        return std::nullopt;
    return w;
}

std::vector<Window> visibleWindows(const std::string& name) {
    std::vector<Window> found;
    std::istringstream ids(output("xdotool search --onlyvisible --name '^" + name + "$' 2>/dev/null"));
    for (std::string id; std::getline(ids, id);)
        if (auto w = geometry(id))
            found.push_back(*w);
    return found;
}

template <typename Pred>
std::optional<Window> waitFor(const std::string& name, Pred pred, std::chrono::milliseconds timeout = 10s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        for (const Window& w : visibleWindows(name))
            if (pred(w))
                return w;
        std::this_thread::sleep_for(100ms);
    } while (std::chrono::steady_clock::now() < end);
    return std::nullopt;
}

bool isMain(const Window& w) { return w.width == kMainWidth && w.height == kMainHeight; }

bool waitGone(const Window& window, std::chrono::milliseconds timeout = 10s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (!geometry(window.id) || visibleWindows("Key Settings").empty())
            return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

void pointAt(const Window& w, int x, int y) {
    run("xdotool mousemove " + std::to_string(w.x + x) + " " + std::to_string(w.y + y));
    std::this_thread::sleep_for(250ms);
}

void clickAt(const Window& w, int x, int y) {
    pointAt(w, x, y);
    run("xdotool click 1");
    std::this_thread::sleep_for(350ms);
}

QPoint centreOfItem(int id) {
    for (const SkinItem& item : kKeyMapItems)
        if (item.id == id)
            return QPoint((item.rect.left + item.rect.right) / 2, (item.rect.top + item.rect.bottom) / 2);
    ADD_FAILURE() << "no item " << id;
    return {};
}

void clickItem(const Window& dialog, int id) {
    const QPoint p = centreOfItem(id);
    clickAt(dialog, p.x(), p.y());
}

QPoint centreOfKey(int key) {
    const KeyRect& r = kKeyTable[key - 1].rect;
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The user types: xdotool through XTEST, as a real keyboard would.
void type(const std::string& args) {
    ASSERT_TRUE(run("xdotool " + args)) << args;
    std::this_thread::sleep_for(300ms);
}

std::filesystem::path screenshotPath(const std::string& name) {
    std::filesystem::path dir = KX30_SCREENSHOT_DIR;
    std::filesystem::create_directories(dir);
    return dir / (name + ".png");
}

// The whole screen; import shows shaped windows as they are.
QImage screenshot(const std::string& name) {
    const std::filesystem::path file = screenshotPath(name);
    run("import -window root " + file.string());
    return QImage(QString::fromStdString(file.string()));
}

// The part of a screenshot a window covers, kept as its own picture.
QImage windowShot(const std::string& name, const Window& w) {
    QImage part = screenshot(name).copy(w.x, w.y, w.width, w.height);
    part.save(QString::fromStdString(screenshotPath(name).string()));
    return part;
}

bool differs(const QImage& a, const QImage& b, const QRect& rect) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return true;
    return false;
}

QRect itemRect(int id) {
    for (const SkinItem& item : kKeyMapItems)
        if (item.id == id)
            return QRect(item.rect.left, item.rect.top, item.rect.right - item.rect.left, item.rect.bottom - item.rect.top);
    return {};
}

QRect keyRect(int key) {
    const KeyRect& r = kKeyTable[key - 1].rect;
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

class Program {
public:
    bool start() {
        const std::string path = KX30_PROGRAM;
        char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
        return ::posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) == 0;
    }
    void kill() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    ~Program() { kill(); }

private:
    pid_t pid_ = -1;
};

// Another X client: a focused window of its own that listens for keys.
class OtherClient {
public:
    OtherClient() : c_(xcb_connect(nullptr, nullptr)) {}
    ~OtherClient() { xcb_disconnect(c_); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    bool open() {
        if (xcb_connection_has_error(c_))
            return false;
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        window_ = xcb_generate_id(c_);
        const std::uint32_t mask[] = {XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 100, 60, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, mask);
        xcb_map_window(c_, window_);
        xcb_flush(c_);
        return waitForEvent(XCB_MAP_NOTIFY, 3s);
    }
    void focus() {
        xcb_set_input_focus(c_, XCB_INPUT_FOCUS_PARENT, window_, XCB_CURRENT_TIME);
        free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
        drain();
    }
    bool receivesKeyPress(std::chrono::milliseconds timeout) { return waitForEvent(XCB_KEY_PRESS, timeout); }

private:
    void drain() {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c_))
            free(e);
    }
    bool waitForEvent(int type, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
                const bool match = (e->response_type & 0x7F) == type;
                free(e);
                if (match)
                    return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || xcb_connection_has_error(c_))
                return false;
            pollfd p{xcb_get_file_descriptor(c_), POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(left.count()));
        }
    }

    xcb_connection_t* c_;
    xcb_window_t window_ = 0;
};

class KeyCaptureFlow : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "needs an X display (run under scripts/with-xvfb)";
        ASSERT_TRUE(emulator.start()) << emulator.error();
        ASSERT_TRUE(program.start());
        auto found = waitFor("KelvaneX30", isMain);
        ASSERT_TRUE(found) << "no main window";
        main = *found;
        std::this_thread::sleep_for(500ms);
    }

    // Clicks a key of the keyboard picture and waits for its dialog.
    std::optional<Window> openKey(int key) {
        const QPoint p = centreOfKey(key);
        clickAt(main, p.x(), p.y());
        auto dialog = waitFor("Key Settings", [](const Window&) { return true; });
        std::this_thread::sleep_for(300ms);
        return dialog;
    }

    // Says OK to the dialog and waits until it has gone.
    void ok(const Window& dialog) {
        clickItem(dialog, kKeyMapOk);
        ASSERT_TRUE(waitGone(dialog)) << "the dialog did not close";
        std::this_thread::sleep_for(300ms);
    }

    // The "OK!" box after a transfer, answered with Return as the user would.
    void dismissDone() {
        const auto box = waitFor("KelvaneX30", [](const Window& w) { return !isMain(w); }, 20s);
        ASSERT_TRUE(box) << "no message after the transfer";
        for (int attempt = 0; attempt < 5; ++attempt) {
            // Without a window manager nobody gives the box the focus.
            run("xdotool windowfocus " + box->id);
            std::this_thread::sleep_for(200ms);
            run("xdotool key Return");
            std::this_thread::sleep_for(400ms);
            if (!geometry(box->id) || visibleWindows("KelvaneX30").size() == 1)
                return;
        }
        FAIL() << "the message did not go";
    }

    void writeKeys() {
        clickAt(main, kWriteKeysX, kWriteKeysY);
        dismissDone();
        EXPECT_FALSE(emulator.waitForEvent("keys-written", 10s).empty());
    }

    // What the keyboard holds now, read with the library.
    void readBack(KeyboardConfiguration& reader) {
        reader.buildKeyCatalogue();
        reader.clearConfiguration();
        ASSERT_TRUE(reader.device.__createDev());
        reader.device.setReadTimeout(2000);
        ASSERT_TRUE(readConfiguration(reader, JobOptions{0ms, 0ms, nullptr}).ok());
        reader.device.__closeDev();
    }

    kx30test::EmulatorProcess emulator;
    Program program;
    Window main;
};

TEST_F(KeyCaptureFlow, RecordedKeysCombinationsMacrosAndEmulationsReachTheKeyboard) {
    // A single key: Record, B, click to stop, OK.
    auto dialog = openKey(29);
    ASSERT_TRUE(dialog);
    const QImage idle = windowShot("capture-single-idle", *dialog);
    clickItem(*dialog, kKeyMapSingleRecord);
    const QImage recording = windowShot("capture-single-recording", *dialog);
    EXPECT_TRUE(differs(idle, recording, itemRect(kKeyMapSingleRecord))) << "Record does not show Stop Rec";
    type("key b");
    const QImage captured = windowShot("capture-single-B", *dialog);
    EXPECT_TRUE(differs(recording, captured, itemRect(158))) << "the captured key is not shown";
    clickItem(*dialog, kKeyMapSingleRecord);
    ok(*dialog);

    // A combination: Combo, New (its name is committed by the next click), Record, the keys.
    dialog = openKey(30);
    ASSERT_TRUE(dialog);
    clickItem(*dialog, kKeyMapCombo);
    clickItem(*dialog, kKeyMapComboNew);
    clickItem(*dialog, kKeyMapComboRecord);
    clickItem(*dialog, kKeyMapComboRecord);
    type("keydown Control_L keydown Alt_L key Delete keyup Alt_L keyup Control_L");
    windowShot("capture-combo-recording", *dialog);
    clickItem(*dialog, kKeyMapComboRecord);
    ok(*dialog);

    // A macro: A down, a pause, A up, timed by the program.
    dialog = openKey(31);
    ASSERT_TRUE(dialog);
    clickItem(*dialog, kKeyMapFirstTab + 1);
    clickItem(*dialog, kKeyMapMacroNew);
    clickItem(*dialog, kKeyMapMacroRecord);
    clickItem(*dialog, kKeyMapMacroRecord);
    windowShot("capture-macro-recording", *dialog);
    type("keydown a sleep 0.4 keyup a");
    clickItem(*dialog, kKeyMapMacroRecord);
    windowShot("capture-macro-recorded", *dialog);
    ok(*dialog);

    // An emulation: A, B, A typed one after another.
    dialog = openKey(32);
    ASSERT_TRUE(dialog);
    clickItem(*dialog, kKeyMapFirstTab + 2);
    clickItem(*dialog, kKeyMapEmuNew);
    clickItem(*dialog, kKeyMapEmuRecord);
    clickItem(*dialog, kKeyMapEmuRecord);
    type("key a b a");
    windowShot("capture-emulation-recording", *dialog);
    clickItem(*dialog, kKeyMapEmuRecord);
    ok(*dialog);

    pointAt(main, 600, 60);
    windowShot("capture-main-four-keys-set", main);
    writeKeys();

    KeyboardConfiguration reader;
    readBack(reader);
    EXPECT_EQ(reader.kindOf(29, 0), KeyFunctionKind::Single);
    EXPECT_EQ(reader.code[29][0], 60) << "B";
    EXPECT_EQ(reader.kindOf(30, 0), KeyFunctionKind::Combo);
    EXPECT_EQ(reader.events[30][0].items(), (Names{"Left CONTROL", "Left Alt", "DEL"}));
    EXPECT_EQ(reader.kindOf(32, 0), KeyFunctionKind::Emulation);
    EXPECT_EQ(reader.events[32][0].items(), (Names{"A", "B", "A"}));
    ASSERT_EQ(reader.kindOf(31, 0), KeyFunctionKind::Macro);
    const Names& macro = reader.events[31][0].items();
    ASSERT_EQ(macro.size(), 3u) << ::testing::PrintToString(macro);
    // The keyboard's macro steps carry the key's code, not its direction: A comes back twice.
    EXPECT_EQ(macro[0], "A");
    EXPECT_EQ(macro[2], "A");
    int delay = -1;
    ASSERT_EQ(std::sscanf(macro[1].c_str(), "<%d ms>", &delay), 1) << macro[1];
    EXPECT_GE(delay, 350);
    EXPECT_LE(delay, 700) << "the pause was 400 ms";
}

TEST_F(KeyCaptureFlow, NoOtherClientGetsKeysWhileTheCaptureRunsNorAfterTheProgramEnds) {
    OtherClient other;
    ASSERT_TRUE(other.open());
    other.focus();
    type("key a");
    ASSERT_TRUE(other.receivesKeyPress(3s)) << "the other window must get keys without a capture";

    auto dialog = openKey(29);
    ASSERT_TRUE(dialog);
    clickItem(*dialog, kKeyMapSingleRecord);
    other.focus();
    const QImage before = windowShot("capture-exclusive-before", *dialog);
    type("key b");
    EXPECT_FALSE(other.receivesKeyPress(500ms)) << "a key reached another client during the capture";
    const QImage after = windowShot("capture-exclusive-B", *dialog);
    EXPECT_TRUE(differs(before, after, itemRect(158))) << "the dialog did not get the key";

    clickItem(*dialog, kKeyMapSingleRecord);  // stop
    other.focus();
    type("key c");
    EXPECT_TRUE(other.receivesKeyPress(3s)) << "the keyboard is not free after the stopping click";

    // The program ends while it captures: the keyboard is free again.
    clickItem(*dialog, kKeyMapSingleRecord);
    other.focus();
    type("key d");
    EXPECT_FALSE(other.receivesKeyPress(500ms));
    program.kill();
    std::this_thread::sleep_for(300ms);
    other.focus();
    type("key e");
    EXPECT_TRUE(other.receivesKeyPress(3s)) << "the keyboard stayed captured after the program ended";
}

TEST_F(KeyCaptureFlow, AMultimediaFunctionIsShownOnTheKeyWrittenAndReadBack) {
    constexpr int kKey = 33;
    pointAt(main, 600, 60);
    const QImage plain = windowShot("assign-main-before", main);
    const QPoint key = centreOfKey(kKey);
    pointAt(main, key.x(), key.y());
    const QImage infoBefore = windowShot("assign-main-hover-before", main);

    auto dialog = openKey(kKey);
    ASSERT_TRUE(dialog);
    clickItem(*dialog, kKeyMapFirstTab + 3);
    clickItem(*dialog, 407);  // Volume Up
    windowShot("assign-multimedia-chosen", *dialog);
    ok(*dialog);

    pointAt(main, 600, 60);
    const QImage assigned = windowShot("assign-main-after", main);
    EXPECT_TRUE(differs(plain, assigned, keyRect(kKey))) << "the key does not show as assigned";
    pointAt(main, key.x(), key.y());
    const QImage infoAfter = windowShot("assign-main-hover-after", main);
    EXPECT_TRUE(differs(infoBefore, infoAfter, QRect(47, 506, 913, 144))) << "the information box is unchanged";

    writeKeys();
    clickAt(main, kReadAllX, kReadAllY);
    dismissDone();
    EXPECT_FALSE(emulator.waitForEvent("keys-read", 10s).empty());
    pointAt(main, 600, 60);
    const QImage reread = windowShot("assign-main-after-readall", main);
    EXPECT_FALSE(differs(assigned, reread, keyRect(kKey))) << "ReadAll lost the assignment";

    KeyboardConfiguration reader;
    readBack(reader);
    EXPECT_EQ(reader.kindOf(kKey, 0), KeyFunctionKind::Multimedia);
    EXPECT_EQ(reader.code[kKey][0], 113);
}

TEST_F(KeyCaptureFlow, TheMouseActionMenuWorksWhileAMacroRecords) {
    auto dialog = openKey(31);
    ASSERT_TRUE(dialog);
    clickItem(*dialog, kKeyMapFirstTab + 1);
    clickItem(*dialog, kKeyMapMacroNew);
    clickItem(*dialog, kKeyMapMacroRecord);
    clickItem(*dialog, kKeyMapMacroRecord);
    type("key a");
    // Right-click the first record row; the menu opens at the pointer, its first entry
    // (Left Click) opens the submenu whose first command is Press.
    const QPoint row = centreOfItem(kKeyMapMacroRecordRow);
    pointAt(*dialog, row.x(), row.y());
    run("xdotool click 3");
    std::this_thread::sleep_for(500ms);
    screenshot("capture-macro-menu");
    pointAt(*dialog, row.x() + 30, row.y() + 12);
    std::this_thread::sleep_for(600ms);
    const QImage submenu = screenshot("capture-macro-menu-left-click");
    run("xdotool mousemove_relative 120 0");
    std::this_thread::sleep_for(300ms);
    run("xdotool click 1");
    std::this_thread::sleep_for(400ms);
    windowShot("capture-macro-menu-inserted", *dialog);
    clickItem(*dialog, kKeyMapMacroRecord);  // stop
    ok(*dialog);
    writeKeys();

    KeyboardConfiguration reader;
    readBack(reader);
    ASSERT_EQ(reader.kindOf(31, 0), KeyFunctionKind::Macro);
    const Names& macro = reader.events[31][0].items();
    ASSERT_EQ(macro.size(), 5u) << ::testing::PrintToString(macro);
    EXPECT_EQ(macro[0], "Mouse Key Left");
    EXPECT_EQ(macro[1], "<0 ms>");
    EXPECT_EQ(macro[2], "A");
}

}  // namespace
