#pragma once
// The one worker thread that talks to the keyboard. Every transfer (key write, read, light
// write, firmware download) runs here, one at a time, and reports to the window that started
// it through posted calls on the GUI thread.
//
// The configuration's transferWindow points at the runner's relay while a job runs; the relay
// lives as long as the runner, so a worker never calls into a window that may be gone. A
// window that closes detaches: what its job posts afterwards is dropped. The runner refuses a
// new job while one still runs (for instance a cancelled one finishing its library call).

#include <QObject>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class KeyboardConfiguration;

// What a window that runs a job receives, on the GUI thread.
class TransferReceiver {
public:
    virtual ~TransferReceiver() = default;
    // WM_TRANSFER_PROGRESS: a slot index 0..173 for key transfers, 0..150 otherwise.
    virtual void onTransferProgress(int wParam) = 0;
    // WM_TRANSFER_FINISHED: 0 or a JobStatus for key and light jobs, the outcome of a
    // firmware download.
    virtual void onTransferFinished(int wParam) = 0;
};

class TransferRunner : public QObject {
    Q_OBJECT

public:
    // The job's work, run on the worker thread. It has the configuration to itself, reports
    // through configuration.transferWindow and should stop early once `cancel` is set.
    using Work = std::function<void(KeyboardConfiguration& configuration, const std::atomic<bool>& cancel)>;

    // Make it on the GUI thread; `configuration` must outlive it.
    explicit TransferRunner(KeyboardConfiguration& configuration, QObject* parent = nullptr);
    // Asks a running job to stop and waits for it to end (library calls end within their
    // timeouts).
    ~TransferRunner() override;
    TransferRunner(const TransferRunner&) = delete;
    TransferRunner& operator=(const TransferRunner&) = delete;

    // True from start() until the job's work has returned.
    bool busy() const { return busy_.load(); }

    // Starts `work` on the worker thread with its messages going to `receiver` while `window`
    // exists and stays attached. False, and nothing started, while a job still runs.
    bool start(QObject* window, TransferReceiver* receiver, Work work);
    // `window` gets no more messages from its job; with `cancel` the job is also asked to stop
    // at its next boundary. Nothing happens when `window` is not the attached one.
    void detach(const QObject* window, bool cancel);
    // Waits until no job runs, at most `timeout`, handling no events meanwhile. True when idle.
    bool waitIdle(std::chrono::milliseconds timeout);

signals:
    // A job has ended and a new one may start. Emitted on the GUI thread.
    void idle();

private:
    class Relay;

    // From the worker: queues a message for the window attached at the time.
    void post(bool finished, int wParam);
    void deliver(unsigned generation, bool finished, int wParam);
    void joinWorker();

    KeyboardConfiguration& configuration_;
    std::unique_ptr<Relay> relay_;
    std::thread worker_;
    std::atomic<bool> busy_{false};
    std::atomic<bool> cancel_{false};

    // Written on the GUI thread, read by the worker's posts.
    mutable std::mutex mutex_;
    unsigned generation_ = 0;
    QPointer<QObject> window_;
    TransferReceiver* receiver_ = nullptr;
};
