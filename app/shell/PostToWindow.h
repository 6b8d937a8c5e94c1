#pragma once
// Delivering a worker's news to a window on the GUI thread without outliving the window.
//
// The worker gets a QPointer made on the GUI thread and only copies it. postToWindow queues
// the call on the application object, which lives as long as the program, and the GUI thread
// checks the pointer when it runs the call: a window that has been destroyed meanwhile gets
// nothing, and its news is dropped. Posting to the window itself instead would race with
// its destruction.

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <utility>

// Runs `call(window)` on the GUI thread later, if the window still exists by then. Safe from
// any thread. Without a QCoreApplication nothing is posted.
template <typename Window, typename Call>
void postToWindow(const QPointer<Window>& window, Call&& call) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(
        app,
        [window, call = std::forward<Call>(call)]() mutable {
            if (Window* target = window.data())
                call(*target);
        },
        Qt::QueuedConnection);
}
