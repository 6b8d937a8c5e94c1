#include "ScrollRepeatTimer.h"

#include <QTimer>

QtScrollRepeatTimer::QtScrollRepeatTimer() = default;
QtScrollRepeatTimer::~QtScrollRepeatTimer() = default;

void QtScrollRepeatTimer::setHandler(Handler handler) {
    handler_ = std::move(handler);
}

void QtScrollRepeatTimer::start(int id, int milliseconds) {
    QTimer*& timer = timers_[id];
    if (!timer) {
        timer = new QTimer(&owner_);
        QObject::connect(timer, &QTimer::timeout, &owner_, [this, id] {
            if (handler_)
                handler_(id);
        });
    }
    timer->start(milliseconds);
}

void QtScrollRepeatTimer::stop(int id) {
    if (auto it = timers_.find(id); it != timers_.end())
        it->second->stop();
}

int FakeScrollRepeatTimer::interval(int id) const {
    auto it = running_.find(id);
    return it == running_.end() ? 0 : it->second;
}

bool FakeScrollRepeatTimer::fire(int id) {
    if (!isRunning(id) || !handler_)
        return false;
    handler_(id);
    return true;
}
