// The X11 keyboard capture against a real X server (each case under its own Xvfb), with
// xdotool as the user's keyboard and an X client of the test's own as "another
// application": what arrives at the target, that nothing reaches the other client while
// the capture runs, and that the keyboard is free again after every way out.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "KeyboardHook.h"

std::ostream& operator<<(std::ostream& os, const HookedKey& k) {
    return os << std::hex << "{0x" << k.wParam << ", 0x" << k.lParam << "}" << std::dec;
}

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kExt = 0x01000000;
constexpr std::uint32_t kUp = 0x80000000;
constexpr std::uint32_t kSys = 0x40000000;

// Collects what the capture posts; postHookedKey comes from the capture's reader thread.
class RecordingTarget : public IHookTarget {
public:
    void postHookedKey(std::uint32_t wParam, std::uint32_t lParam) noexcept override {
        std::lock_guard lock(mutex_);
        keys_.push_back({wParam, lParam});
        arrived_.notify_all();
    }

    // Waits until count keys have arrived (at most timeout), then returns all of them.
    std::vector<HookedKey> waitFor(std::size_t count, std::chrono::milliseconds timeout = 5s) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, timeout, [&] { return keys_.size() >= count; });
        return keys_;
    }

    std::vector<HookedKey> keys() {
        std::lock_guard lock(mutex_);
        return keys_;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<HookedKey> keys_;
};

// xdotool types on the display's keyboard (through XTEST, as a real keyboard would).
void xdotool(const std::string& args) {
    const std::string command = "timeout 10 xdotool " + args;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Another X client: a focused window that listens for keys, and a grab of its own.
class OtherClient {
public:
    OtherClient() {
        c_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c_)) return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~OtherClient() { xcb_disconnect(c_); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    bool connected() const { return xcb_connection_has_error(c_) == 0; }

    // Maps a window, waits until it is shown and gives it the input focus.
    bool openFocusedWindow() {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        window_ = xcb_generate_id(c_);
        const std::uint32_t mask[] = {XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                      XCB_EVENT_MASK_STRUCTURE_NOTIFY};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 10, 10, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_EVENT_MASK, mask);
        xcb_map_window(c_, window_);
        xcb_flush(c_);
        if (!waitForEvent(XCB_MAP_NOTIFY, 3s)) return false;
        xcb_set_input_focus(c_, XCB_INPUT_FOCUS_PARENT, window_, XCB_CURRENT_TIME);
        free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
        return true;
    }

    // Whether a key press reaches the window within timeout.
    bool receivesKeyPress(std::chrono::milliseconds timeout) {
        return waitForEvent(XCB_KEY_PRESS, timeout);
    }

    bool grabKeyboard() {
        xcb_grab_keyboard_reply_t* r = xcb_grab_keyboard_reply(
            c_, xcb_grab_keyboard(c_, 0, root_, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC,
                                  XCB_GRAB_MODE_ASYNC),
            nullptr);
        const bool ok = r != nullptr && r->status == XCB_GRAB_STATUS_SUCCESS;
        free(r);
        return ok;
    }

    void ungrabKeyboard() {
        xcb_ungrab_keyboard(c_, XCB_CURRENT_TIME);
        free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    }

private:
    bool waitForEvent(int type, std::chrono::milliseconds timeout) {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
                const bool match = (e->response_type & 0x7F) == type;
                free(e);
                if (match) return true;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0 || xcb_connection_has_error(c_)) return false;
            pollfd p{xcb_get_file_descriptor(c_), POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(left.count()));
        }
    }

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_window_t window_ = 0;
};

class HookX11 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under scripts/with-xvfb";
        ASSERT_TRUE(other.connected());
    }
    void TearDown() override { UninstallHook(); }

    OtherClient other;
};

// Key strokes typed with xdotool, as they arrive at the target. Numbers are X key codes:
// xdotool presses an extra modifier for some keysyms (Control_L before Control_R, Num Lock
// before KP_7), never for a bare key code.
struct StrokeCase {
    const char* name;
    const char* xdotoolArgs;
    std::vector<HookedKey> expected;
};

std::ostream& operator<<(std::ostream& os, const StrokeCase& c) { return os << c.name; }

class HookX11Strokes : public HookX11, public ::testing::WithParamInterface<StrokeCase> {};

TEST_P(HookX11Strokes, ArriveWithTheirCodesAndFlags) {
    const StrokeCase& c = GetParam();
    RecordingTarget target;
    ASSERT_TRUE(InstallHook(&target));
    xdotool(c.xdotoolArgs);
    EXPECT_EQ(target.waitFor(c.expected.size()), c.expected);
    std::this_thread::sleep_for(100ms);  // and nothing more than that
    EXPECT_EQ(target.keys().size(), c.expected.size());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HookX11Strokes,
    ::testing::Values(
        StrokeCase{"B", "key b", {{0x42, 0}, {kUp | 0x42, 0}}},
        StrokeCase{"LeftCtrl_LeftAlt_Delete",
                   "keydown Control_L keydown Alt_L key Delete keyup Alt_L keyup Control_L",
                   {{0xA2, 0}, {0xA4, 0}, {0x2E, kExt}, {kUp | 0x2E, kExt},
                    {kUp | 0xA4, 0}, {kUp | 0xA2, 0}}},
        StrokeCase{"Alt_X_as_system_keys", "keydown Alt_L key x keyup Alt_L",
                   {{kSys | 0xA4, 0}, {kSys | 0x58, 0}, {kSys | kUp | 0x58, 0},
                    {kSys | kUp | 0xA4, 0}}},
        StrokeCase{"F10_as_system_key", "key F10", {{kSys | 0x79, 0}, {kSys | kUp | 0x79, 0}}},
        StrokeCase{"Shift_sides", "key 50 62",
                   {{0xA0, 0}, {kUp | 0xA0, 0}, {0xA1, 0}, {kUp | 0xA1, 0}}},
        StrokeCase{"Extended_keys", "key KP_Enter Up 105 133 XF86AudioMute",
                   {{0x0D, kExt}, {kUp | 0x0D, kExt}, {0x26, kExt}, {kUp | 0x26, kExt},
                    {0xA3, kExt}, {kUp | 0xA3, kExt}, {0x5B, kExt}, {kUp | 0x5B, kExt},
                    {0xAD, kExt}, {kUp | 0xAD, kExt}}},
        // The keypad 7 is VK_NUMPAD7 with Num Lock off as well: the key, not its meaning.
        StrokeCase{"Return_and_keypad_digit", "key Return KP_Home",
                   {{0x0D, 0}, {kUp | 0x0D, 0}, {0x67, 0}, {kUp | 0x67, 0}}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(HookX11, AHeldKeyRepeatsItsPressAndIsReleasedOnce) {
    // The server repeats a held key as release/press pairs; the capture reports presses
    // only, as the platform's hook does, so a recording never sees the key let go early.
    RecordingTarget target;
    ASSERT_TRUE(InstallHook(&target));
    xdotool("keydown a sleep 0.8 keyup a");
    std::vector<HookedKey> keys = target.waitFor(3);
    std::this_thread::sleep_for(100ms);
    keys = target.keys();
    ASSERT_GE(keys.size(), 3u) << "the server did not repeat the key";
    for (std::size_t i = 0; i + 1 < keys.size(); ++i)
        EXPECT_EQ(keys[i], (HookedKey{0x41, 0})) << "event " << i;
    EXPECT_EQ(keys.back(), (HookedKey{kUp | 0x41, 0}));
}

TEST_F(HookX11, NoOtherClientGetsKeysWhileTheCaptureRuns) {
    ASSERT_TRUE(other.openFocusedWindow());
    xdotool("key a");
    ASSERT_TRUE(other.receivesKeyPress(3s)) << "the window must get keys without a capture";

    RecordingTarget target;
    ASSERT_TRUE(InstallHook(&target));
    xdotool("key b");
    EXPECT_EQ(target.waitFor(2).size(), 2u);
    EXPECT_FALSE(other.receivesKeyPress(300ms));

    UninstallHook();
    xdotool("key c");
    EXPECT_TRUE(other.receivesKeyPress(3s));
    EXPECT_EQ(target.keys().size(), 2u) << "nothing after UninstallHook";
}

TEST_F(HookX11, AKeyboardHeldByAnotherClientMakesInstallFail) {
    ASSERT_TRUE(other.grabKeyboard());
    RecordingTarget target;
    EXPECT_TRUE(IsHookAvailable());
    EXPECT_FALSE(InstallHook(&target));
    xdotool("key b");
    std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(target.keys().empty());

    other.ungrabKeyboard();
    EXPECT_TRUE(InstallHook(&target));
    xdotool("key b");
    EXPECT_EQ(target.waitFor(2).size(), 2u);
}

TEST_F(HookX11, ASecondInstallReplacesTheFirst) {
    RecordingTarget first, second;
    ASSERT_TRUE(InstallHook(&first));
    ASSERT_TRUE(InstallHook(&second));
    xdotool("key b");
    EXPECT_EQ(second.waitFor(2), (std::vector<HookedKey>{{0x42, 0}, {kUp | 0x42, 0}}));
    EXPECT_TRUE(first.keys().empty());

    // One uninstall frees the keyboard: the first grab was not left behind.
    UninstallHook();
    EXPECT_TRUE(other.grabKeyboard());
}

TEST_F(HookX11, UninstallIsSafeAtAnyTimeAndFreesTheKeyboard) {
    UninstallHook();  // nothing installed
    RecordingTarget target;
    ASSERT_TRUE(InstallHook(&target));
    EXPECT_FALSE(other.grabKeyboard()) << "the capture holds the keyboard";
    UninstallHook();
    UninstallHook();
    EXPECT_TRUE(other.grabKeyboard());
    other.ungrabKeyboard();
    // And it can be had again afterwards.
    EXPECT_TRUE(InstallHook(&target));
}

TEST_F(HookX11, KeyBoardProcPostsToTheInstalledTargetOnly) {
    RecordingTarget target;
    ASSERT_TRUE(InstallHook(&target));
    HookKeyRecord f10;
    f10.vkCode = 0x79;
    EXPECT_EQ(KeyBoardProc(0, kMsgSysKeyUp, reinterpret_cast<LPARAM>(&f10)), 1);
    EXPECT_EQ(KeyBoardProc(0, kMsgKeyDown, 0), 1);  // no record: swallowed, nothing posted
    EXPECT_EQ(target.waitFor(1), (std::vector<HookedKey>{{0xC0000079, 0}}));

    UninstallHook();
    EXPECT_EQ(KeyBoardProc(0, kMsgSysKeyUp, reinterpret_cast<LPARAM>(&f10)), 1);
    EXPECT_EQ(target.keys().size(), 1u);
}

TEST_F(HookX11, ATargetCallingBackFromItsPostIsRefused) {
    // A target must only post; one that calls the hook functions back from postHookedKey
    // gets a refusal instead of a capture waiting for itself.
    struct Reentrant : RecordingTarget {
        void postHookedKey(std::uint32_t w, std::uint32_t l) noexcept override {
            installedAgain = InstallHook(this);
            UninstallHook();
            available = available && IsHookAvailable();
            RecordingTarget::postHookedKey(w, l);
        }
        bool installedAgain = true;
        bool available = true;
    } target;
    ASSERT_TRUE(InstallHook(&target));
    xdotool("key b");
    EXPECT_EQ(target.waitFor(2).size(), 2u);
    EXPECT_FALSE(target.installedAgain);
    EXPECT_TRUE(target.available);
    EXPECT_FALSE(other.grabKeyboard()) << "the capture still runs";
}

TEST_F(HookX11, TheProcessEndingReleasesTheCapture) {
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        static RecordingTarget target;
        // Ends with the capture still installed: the library's static state must stop the
        // reader and let the keyboard go on the way out.
        std::exit(InstallHook(&target) ? 0 : 3);
    }
    int status = 0;
    const auto deadline = Clock::now() + 10s;
    pid_t done = 0;
    while ((done = ::waitpid(child, &status, WNOHANG)) == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    if (done == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the process did not end with the capture installed";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(other.grabKeyboard());
}

}  // namespace
