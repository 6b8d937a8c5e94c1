#include "PostToWindow.h"

#include <QTest>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

class ProgressWindow : public QWidget {
public:
    int last = 0;
    QThread* deliveredOn = nullptr;
};

TEST(PostToWindow, DeliversOnTheGuiThreadInOrder) {
    ProgressWindow window;
    const QPointer<ProgressWindow> guard(&window);
    std::thread worker([guard] {
        for (int value = 1; value <= 150; ++value)
            postToWindow(guard, [value](ProgressWindow& w) {
                EXPECT_EQ(w.last + 1, value);
                w.last = value;
                w.deliveredOn = QThread::currentThread();
            });
    });
    worker.join();
    EXPECT_EQ(window.last, 0);  // queued, not run on the worker
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.last == 150; }, 5000));
    EXPECT_EQ(window.deliveredOn, QThread::currentThread());
}

TEST(PostToWindow, AWindowThatIsGoneGetsNothing) {
    auto window = std::make_unique<ProgressWindow>();
    const QPointer<ProgressWindow> guard(window.get());
    std::atomic<int> ran{0};
    std::thread worker([guard, &ran] { postToWindow(guard, [&ran](ProgressWindow&) { ++ran; }); });
    worker.join();
    window.reset();  // the dialog closes before the news arrives
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ran.load(), 0);
}

}  // namespace
