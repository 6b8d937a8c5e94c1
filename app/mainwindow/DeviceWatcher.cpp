#include "DeviceWatcher.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <QTimer>

#include <libudev.h>

namespace {
// Several notifications for one plug or unplug arrive within a few milliseconds.
constexpr int kFoldMs = 50;
}  // namespace

DeviceWatcher::DeviceWatcher(QString emulatorSocket, int pollMs, QObject* parent)
    : QObject(parent), socketPath_(std::move(emulatorSocket)), pollMs_(pollMs) {
    fold_ = new QTimer(this);
    fold_->setSingleShot(true);
    fold_->setInterval(kFoldMs);
    connect(fold_, &QTimer::timeout, this, &DeviceWatcher::changed);
}

DeviceWatcher::~DeviceWatcher() {
    stop();
}

void DeviceWatcher::start() {
    if (udev_ || folderWatch_ || poll_)
        return;
    udev_ = udev_new();
    if (udev_) {
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
        if (monitor_ && (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
                         udev_monitor_enable_receiving(monitor_) < 0)) {
            udev_monitor_unref(monitor_);
            monitor_ = nullptr;
        }
        if (monitor_) {
            notifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read, this);
            connect(notifier_, &QSocketNotifier::activated, this, &DeviceWatcher::readHidrawEvents);
        }
    }
    if (!socketPath_.isEmpty()) {
        const QString folder = QFileInfo(socketPath_).absolutePath();
        if (QFileInfo(folder).isDir()) {
            folderWatch_ = new QFileSystemWatcher(this);
            folderWatch_->addPath(folder);
            // The folder changes for every file made or removed in it; only the socket counts.
            connect(folderWatch_, &QFileSystemWatcher::directoryChanged, this,
                    [this, exists = QFileInfo::exists(socketPath_)]() mutable {
                        const bool now = QFileInfo::exists(socketPath_);
                        if (now != exists) {
                            exists = now;
                            noteChange();
                        }
                    });
        }
    }
    if (pollMs_ > 0) {
        poll_ = new QTimer(this);
        poll_->setInterval(pollMs_);
        connect(poll_, &QTimer::timeout, this, &DeviceWatcher::changed);
        poll_->start();
    }
}

void DeviceWatcher::stop() {
    delete notifier_;
    notifier_ = nullptr;
    if (monitor_)
        udev_monitor_unref(monitor_);
    monitor_ = nullptr;
    if (udev_)
        udev_unref(udev_);
    udev_ = nullptr;
    delete folderWatch_;
    folderWatch_ = nullptr;
    delete poll_;
    poll_ = nullptr;
    fold_->stop();
}

void DeviceWatcher::noteChange() {
    fold_->start();
}

void DeviceWatcher::readHidrawEvents() {
    // Drain what the monitor holds; each device record must be released.
    while (udev_device* device = udev_monitor_receive_device(monitor_))
        udev_device_unref(device);
    noteChange();
}
