// X11 backend of the keyboard capture: an active grab of the keyboard on the root window,
// through a connection of the library's own. While the grab holds, the server sends every
// key event of the display to us and to no other client, which is what the platform's
// low-level hook gives. A reader thread takes the events off the connection, translates
// them (X11KeyTable.h) and hands them to KeyBoardProc.
//
// The connection lives exactly as long as one capture: start() connects and grabs, stop()
// ungrabs, waits for the server to have done so and disconnects. Every wait for the server
// is bounded by kServerTimeoutMs.
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <system_error>
#include <thread>

#include "HookBackend.h"
#include "KeyboardHook.h"
#include "X11KeyTable.h"

namespace {

constexpr int kServerTimeoutMs = 2000;
// How long a key release waits for a press of the same key right behind it: X reports a
// held key's auto-repeat as release/press pairs with one time stamp, sent together.
constexpr int kRepeatLookaheadMs = 3;
// The reader wakes at least this often even if nothing arrives (the wake pipe stops it
// at once; this only bounds each wait).
constexpr int kReaderPollMs = 500;

using Clock = std::chrono::steady_clock;

// Waits for the reply to request, at most timeoutMs. Events read meanwhile stay queued in
// the connection for the reader. The reply (malloc'ed, free with std::free) or null.
void* awaitReply(xcb_connection_t* c, unsigned request, int timeoutMs) {
    xcb_flush(c);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        if (xcb_poll_for_reply(c, request, &reply, &error)) {
            std::free(error);
            return reply;
        }
        if (xcb_connection_has_error(c)) return nullptr;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            xcb_discard_reply(c, request);
            return nullptr;
        }
        pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(left.count()));
    }
}

xcb_screen_t* screenOf(xcb_connection_t* c, int number) {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem > 0; xcb_screen_next(&it), ++i) {
        if (i == number) return it.data;
    }
    return nullptr;
}

int eventType(const xcb_generic_event_t* e) { return e->response_type & 0x7F; }

class X11Capture {
public:
    // Connects and grabs; null when either fails (everything is released then).
    static X11Capture* open();
    // Stops the reader, ungrabs, disconnects.
    ~X11Capture();

private:
    X11Capture(xcb_connection_t* c, int wakeRead, int wakeWrite)
        : conn_(c), wakeRead_(wakeRead), wakeWrite_(wakeWrite) {}

    void run();
    xcb_generic_event_t* nextEvent();
    xcb_generic_event_t* eventRightBehind();
    void process(xcb_generic_event_t* e);
    void deliver(const xcb_key_press_event_t* e, bool release);

    xcb_connection_t* conn_;
    int wakeRead_;
    int wakeWrite_;
    std::atomic<bool> stopping_{false};
    std::thread reader_;
    XKeyEventTranslator translator_;         // reader thread only
    xcb_generic_event_t* pending_ = nullptr;  // read ahead, not yet processed; reader only
};

X11Capture* X11Capture::open() {
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return nullptr;
    }
    xcb_screen_t* screen = screenOf(c, screenNumber);
    if (screen == nullptr) {
        xcb_disconnect(c);
        return nullptr;
    }

    // owner_events false: every key event is reported to the grab window, the root.
    const xcb_grab_keyboard_cookie_t grab = xcb_grab_keyboard(
        c, 0, screen->root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    auto* granted = static_cast<xcb_grab_keyboard_reply_t*>(
        awaitReply(c, grab.sequence, kServerTimeoutMs));
    const bool ok = granted != nullptr && granted->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(granted);
    if (!ok) {  // ALREADY_GRABBED (another client holds the keyboard), FROZEN, or no answer
        xcb_disconnect(c);
        return nullptr;
    }

    // Keys already held when the capture starts (Alt of Alt+something) count as held.
    const xcb_query_keymap_cookie_t keymap = xcb_query_keymap(c);
    auto* held = static_cast<xcb_query_keymap_reply_t*>(
        awaitReply(c, keymap.sequence, kServerTimeoutMs));

    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::free(held);
        xcb_disconnect(c);  // the server drops the grab with the connection
        return nullptr;
    }
    auto* capture = new X11Capture(c, wake[0], wake[1]);
    if (held != nullptr) capture->translator_.seed(held->keys);
    std::free(held);
    try {
        capture->reader_ = std::thread([capture] { capture->run(); });
    } catch (const std::system_error&) {
        delete capture;
        return nullptr;
    }
    return capture;
}

X11Capture::~X11Capture() {
    if (reader_.joinable()) {
        stopping_ = true;
        const char wake = 1;
        (void)!::write(wakeWrite_, &wake, 1);
        reader_.join();
    }
    std::free(pending_);
    // Let go explicitly and wait until the server has: when stop() returns, the next client
    // can grab the keyboard and ordinary clients get their keys again.
    xcb_ungrab_keyboard(conn_, XCB_CURRENT_TIME);
    const xcb_get_input_focus_cookie_t sync = xcb_get_input_focus(conn_);
    std::free(awaitReply(conn_, sync.sequence, kServerTimeoutMs));
    xcb_disconnect(conn_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

void X11Capture::run() {
    const int xfd = xcb_get_file_descriptor(conn_);
    while (!stopping_) {
        xcb_generic_event_t* e = nextEvent();
        if (e != nullptr) {
            process(e);
            std::free(e);
            continue;
        }
        if (xcb_connection_has_error(conn_)) return;  // the display went away
        pollfd p[2] = {{xfd, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        ::poll(p, 2, kReaderPollMs);
        if (p[1].revents != 0) return;
    }
}

xcb_generic_event_t* X11Capture::nextEvent() {
    if (pending_ != nullptr) {
        xcb_generic_event_t* e = pending_;
        pending_ = nullptr;
        return e;
    }
    return xcb_poll_for_event(conn_);
}

xcb_generic_event_t* X11Capture::eventRightBehind() {
    if (xcb_generic_event_t* e = xcb_poll_for_queued_event(conn_)) return e;
    pollfd p{xcb_get_file_descriptor(conn_), POLLIN, 0};
    if (::poll(&p, 1, kRepeatLookaheadMs) <= 0) return nullptr;
    return xcb_poll_for_event(conn_);
}

void X11Capture::process(xcb_generic_event_t* e) {
    const int type = eventType(e);
    if (type == XCB_KEY_PRESS) {
        deliver(reinterpret_cast<xcb_key_press_event_t*>(e), false);
        return;
    }
    if (type != XCB_KEY_RELEASE) return;  // nothing else is selected or of interest
    auto* release = reinterpret_cast<xcb_key_release_event_t*>(e);
    xcb_generic_event_t* next = eventRightBehind();
    if (next != nullptr && eventType(next) == XCB_KEY_PRESS) {
        auto* press = reinterpret_cast<xcb_key_press_event_t*>(next);
        if (press->detail == release->detail && press->time == release->time) {
            // Auto-repeat: the key is still held. Report the repeated press only, as the
            // platform's hook does, so a held key is never seen as released.
            deliver(press, false);
            std::free(next);
            return;
        }
    }
    deliver(release, true);
    pending_ = next;
}

void X11Capture::deliver(const xcb_key_press_event_t* e, bool release) {
    XKeyEventTranslator::Event hooked = translator_.translate(e->detail, release, e->time);
    KeyBoardProc(0, hooked.message, reinterpret_cast<LPARAM>(&hooked.record));
}

// The running capture. A plain pointer on purpose: it has no destructor of its own, so it
// is still there when the capture's static state releases it at unload or exit.
X11Capture* gCapture = nullptr;

}  // namespace

namespace hookbackend {

bool start() {
    if (gCapture != nullptr) return true;
    gCapture = X11Capture::open();
    return gCapture != nullptr;
}

void stop() {
    delete gCapture;
    gCapture = nullptr;
}

bool available() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return reachable;
}

}  // namespace hookbackend
