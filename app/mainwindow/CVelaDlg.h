#pragma once
// The program's main window: a frameless picture of the keyboard shaped by the blue colour
// key of its background, with a row of buttons above the keys, the level switch beside them
// and the information box below. Every element is a rectangle of the 109-item table
// (MainWindowItems.h); the window highlights the item under the pointer, marks the keys
// that have a setting on the shown level, and runs the command of the item clicked.
//
// Run it with exec(): it opens the keyboard when constructed, and without one exec() shows
// "Keyboard is not connected!" and returns at once, which ends the program. The windows the
// transfer, backlight, firmware and key commands open are plugged in through Commands.

#include <QDialog>
#include <QPointer>
#include <QRegion>
#include <QString>

#include <functional>
#include <memory>

#include "MainWindowLogic.h"
#include "ShellServices.h"

class DeviceWatcher;
class KeyboardConfiguration;
class ProfileStore;
class QEventLoop;
class QMenu;
class QPlainTextEdit;
class SkinResources;

class CVelaDlg : public QDialog {
    Q_OBJECT

public:
    // The windows other commands open. Each may be empty: the command then does nothing.
    struct Commands {
        // Item 93: runs the progress window with the key-writing job; true when it ended
        // with OK, and the window then shows "OK!".
        std::function<bool(CVelaDlg&)> writeKeys;
        // Item 94: runs the backlight dialog.
        std::function<void(CVelaDlg&)> backlight;
        // Item 95: runs the progress window with the reading job; true when it ended with OK.
        std::function<bool(CVelaDlg&)> readAll;
        // Item 96: runs the firmware update dialog.
        std::function<void(CVelaDlg&)> firmwareUpdate;
        // Items 100..186: runs the key assignment dialog for key number `key`. currentKey is
        // set before, and the window repaints after.
        std::function<void(CVelaDlg&, int key)> keyAssignment;
    };

    struct Options {
        // Whether to watch for devices coming and going (tests call onDeviceChange instead).
        bool watchDevices = true;
        // Interval of the periodic keyboard check, milliseconds; 0 for none.
        int devicePollMs = 1000;
    };

    // Opens the keyboard through configuration.device, shapes, sizes and centres the window
    // on the background bitmap, sets level 1 and clears the configuration. The references
    // must outlive the window; the window owns `profiles`.
    CVelaDlg(KeyboardConfiguration& configuration, SkinResources& skin, ShellServices& services,
             std::unique_ptr<ProfileStore> profiles, Options options, QWidget* parent = nullptr);
    CVelaDlg(KeyboardConfiguration& configuration, SkinResources& skin, ShellServices& services,
             std::unique_ptr<ProfileStore> profiles, QWidget* parent = nullptr);
    ~CVelaDlg() override;

    // Runs the window until it closes. While it sits in the notification area it keeps
    // running hidden. Without a keyboard: the start-up message, then Accepted at once.
    int exec() override;
    // Ends the window; the notification-area icon goes with it.
    void done(int result) override;

    void setCommands(Commands commands) { commands_ = std::move(commands); }
    // Whether the keyboard was opened at construction.
    bool keyboardConnected() const { return connected_; }

    KeyboardConfiguration& configuration() { return configuration_; }
    SkinResources& skin() { return skin_; }
    ShellServices& services() { return services_; }

    const MainWindowItemTable& items() const { return items_; }
    // The last pointer position in client coordinates; (-1, -1) while the pointer is away.
    QPoint mousePoint() const { return mousePoint_; }
    // The information box's text as composed (CR LF line ends), and the box itself.
    const QString& infoText() const { return infoText_; }
    QPlainTextEdit* infoBox() const { return infoBox_; }
    // True while the window is hidden with only its notification-area icon left.
    bool isInNotificationArea() const { return inTray_; }
    // The icon's menu, made at the first context request; null before.
    QMenu* trayMenu() const { return trayMenu_; }
    // The window's shape for a background of the window's size: every pixel but the
    // colour key's. Empty without a background bitmap.
    const QRegion& backgroundShape() const { return backgroundShape_; }

    // The commands the dispatcher runs through the hooks of Commands.
    bool runWriteKeys();
    void runBacklight();
    bool runReadAll();
    void runFirmwareUpdate();
    void runKeyAssignment(int key);

public slots:
    // A device came or went: without the keyboard, tells the user and ends the window.
    void onDeviceChange();
    void onTrayActivated(TrayIcon::Activation activation);

protected:
    // Repaints one rectangle / the whole window later. Tests override them to see what the
    // window invalidates.
    virtual void invalidateRect(const QRect& rect);
    virtual void invalidateAll();

    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Drag { None, System, ManualMove, ManualResize };

    void setUpWindow();
    void updateShape();
    // Stores the pointer, updates the hovered flags and invalidates the items whose look
    // changed. Whether a hot item contains the point.
    bool trackPointer(QPoint point);
    void beginDrag(HitArea area, QPoint globalPos);
    void dragTo(QPoint globalPos);
    void dispatchClick(QPoint point);
    void runCommand(SkinItem& item);
    void refreshInfoBox(int hoveredKey);
    void showMessage(const QString& text);
    void saveProfile();
    void openProfile();
    void openHelp();
    void hideToNotificationArea();
    void restoreFromNotificationArea();
    void showTrayMenu();
    QString localText(const char* english, const char* chinese) const;

    KeyboardConfiguration& configuration_;
    SkinResources& skin_;
    ShellServices& services_;
    std::unique_ptr<ProfileStore> profiles_;
    Options options_;
    Commands commands_;
    bool connected_ = false;

    MainWindowItemTable items_;
    QPoint mousePoint_{-1, -1};
    QPlainTextEdit* infoBox_ = nullptr;
    QString infoText_;
    QRegion backgroundShape_;

    bool pressed_ = false;
    Drag drag_ = Drag::None;
    HitArea dragArea_ = HitArea::Caption;
    QPoint dragStartGlobal_;
    QRect dragStartGeometry_;

    DeviceWatcher* deviceWatcher_ = nullptr;
    bool deviceLost_ = false;
    QMenu* trayMenu_ = nullptr;
    bool inTray_ = false;
    bool ended_ = false;
    QEventLoop* trayLoop_ = nullptr;
};
