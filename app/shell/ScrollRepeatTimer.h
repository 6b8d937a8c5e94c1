#pragma once
// The timers behind the scroll bar's press-and-hold repeat. The bar names its timers by id
// (the first delay and the fast repeat) and is called back with the id when one fires, so a
// test can drive the repeat without waiting.

#include <QObject>

#include <functional>
#include <map>

class QTimer;

class ScrollRepeatTimer {
public:
    using Handler = std::function<void(int id)>;

    virtual ~ScrollRepeatTimer() = default;
    // Where a firing timer reports; set once by the bar that owns the timer.
    virtual void setHandler(Handler handler) = 0;
    // (Re)starts timer `id`, firing every `milliseconds` until stopped.
    virtual void start(int id, int milliseconds) = 0;
    // Stops timer `id`; stopping a timer that does not run does nothing.
    virtual void stop(int id) = 0;
};

// The real timers: one QTimer per id.
class QtScrollRepeatTimer final : public ScrollRepeatTimer {
public:
    QtScrollRepeatTimer();
    ~QtScrollRepeatTimer() override;

    void setHandler(Handler handler) override;
    void start(int id, int milliseconds) override;
    void stop(int id) override;

private:
    Handler handler_;
    std::map<int, QTimer*> timers_;  // owned by owner_
    QObject owner_;
};

// A timer for tests: records what runs and fires only when told to.
class FakeScrollRepeatTimer final : public ScrollRepeatTimer {
public:
    void setHandler(Handler handler) override { handler_ = std::move(handler); }
    void start(int id, int milliseconds) override { running_[id] = milliseconds; }
    void stop(int id) override { running_.erase(id); }

    bool isRunning(int id) const { return running_.count(id) != 0; }
    // The interval timer `id` runs with, 0 when it does not run.
    int interval(int id) const;
    bool isIdle() const { return running_.empty(); }
    // Fires timer `id` once as the event loop would; a stopped timer does not fire.
    // Returns whether it fired.
    bool fire(int id);

private:
    Handler handler_;
    std::map<int, int> running_;
};
