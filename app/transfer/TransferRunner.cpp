#include "TransferRunner.h"

#include <QMetaObject>

#include "KeyboardConfiguration.h"

// The ITransferWindow the library and the jobs see: forwards to the runner, which queues
// the message to the GUI thread.
class TransferRunner::Relay final : public ITransferWindow {
public:
    explicit Relay(TransferRunner& runner) : runner_(runner) {}
    void postTransferProgress(int wParam) noexcept override { runner_.post(false, wParam); }
    void postTransferFinished(int wParam) noexcept override { runner_.post(true, wParam); }

private:
    TransferRunner& runner_;
};

TransferRunner::TransferRunner(KeyboardConfiguration& configuration, QObject* parent)
    : QObject(parent), configuration_(configuration), relay_(std::make_unique<Relay>(*this)) {}

TransferRunner::~TransferRunner() {
    cancel_.store(true);
    joinWorker();
    if (configuration_.transferWindow == relay_.get())
        configuration_.transferWindow = nullptr;
}

bool TransferRunner::start(QObject* window, TransferReceiver* receiver, Work work) {
    if (busy_.load())
        return false;
    // The previous worker has returned from its work; only its thread is left to reap.
    joinWorker();
    {
        std::lock_guard lock(mutex_);
        ++generation_;
        window_ = window;
        receiver_ = receiver;
    }
    cancel_.store(false);
    busy_.store(true);
    configuration_.transferWindow = relay_.get();
    worker_ = std::thread([this, work = std::move(work)] {
        work(configuration_, cancel_);
        busy_.store(false);
        QMetaObject::invokeMethod(this, [this] {
            if (busy_.load())
                return;  // a newer job has started meanwhile; it will say when it ends
            joinWorker();
            emit idle();
        }, Qt::QueuedConnection);
    });
    return true;
}

void TransferRunner::detach(const QObject* window, bool cancel) {
    std::lock_guard lock(mutex_);
    if (!window || window_.data() != window)
        return;
    ++generation_;
    window_ = nullptr;
    receiver_ = nullptr;
    if (cancel)
        cancel_.store(true);
}

bool TransferRunner::waitIdle(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (busy_.load()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    joinWorker();
    return true;
}

void TransferRunner::post(bool finished, int wParam) {
    unsigned generation = 0;
    {
        std::lock_guard lock(mutex_);
        generation = generation_;
    }
    // The runner outlives its worker, so queuing on it is safe; the window is checked when
    // the call runs.
    QMetaObject::invokeMethod(this, [this, generation, finished, wParam] { deliver(generation, finished, wParam); },
                              Qt::QueuedConnection);
}

void TransferRunner::deliver(unsigned generation, bool finished, int wParam) {
    TransferReceiver* receiver = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (generation != generation_ || !window_)
            return;
        receiver = receiver_;
    }
    if (!receiver)
        return;
    if (finished)
        receiver->onTransferFinished(wParam);
    else
        receiver->onTransferProgress(wParam);
}

void TransferRunner::joinWorker() {
    if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id())
        worker_.join();
}
