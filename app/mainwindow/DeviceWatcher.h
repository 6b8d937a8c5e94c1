#pragma once
// Tells when devices may have come or gone: hidraw devices appearing or leaving (a libudev
// monitor), the emulator's socket appearing or leaving (a watch on its folder), and a cheap
// periodic tick that catches an emulator that died without removing its socket. It only says
// "something changed"; whoever listens asks the library whether the keyboard is still there.

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QSocketNotifier;
class QTimer;

struct udev;
struct udev_monitor;

class DeviceWatcher : public QObject {
    Q_OBJECT

public:
    // Default interval of the periodic check.
    static constexpr int kDefaultPollMs = 1000;

    // Watches the hidraw subsystem, the folder of `emulatorSocket` (when it exists) and ticks
    // every `pollMs` milliseconds (0: no tick). Nothing is watched before start().
    explicit DeviceWatcher(QString emulatorSocket, int pollMs = kDefaultPollMs, QObject* parent = nullptr);
    ~DeviceWatcher() override;
    DeviceWatcher(const DeviceWatcher&) = delete;
    DeviceWatcher& operator=(const DeviceWatcher&) = delete;

    void start();
    void stop();
    // Whether the hidraw monitor could be opened (it cannot in some containers).
    bool watchesHidraw() const { return monitor_ != nullptr; }

signals:
    // A device may have come or gone. Bursts are folded into one signal.
    void changed();

private:
    void noteChange();
    void readHidrawEvents();

    QString socketPath_;
    int pollMs_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    QFileSystemWatcher* folderWatch_ = nullptr;
    QTimer* poll_ = nullptr;
    QTimer* fold_ = nullptr;
};
