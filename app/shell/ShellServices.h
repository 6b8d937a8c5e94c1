#pragma once
// The seams between the windows and the desktop: file dialogs, message boxes, the colour
// dialog, the notification-area icon and the help page. Each has a real Qt backend
// (QtShellServices.h) and a fake that answers tests without showing anything
// (FakeShellServices.h). The application object owns one ShellServices; windows get a
// reference to it.

#include <QColor>
#include <QIcon>
#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class QWidget;

// The program's name: the caption of its message boxes and the tray icon's tip.
inline constexpr const char* kApplicationName = "KelvaneX30";

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Asks for an existing file to open. `filter` is a Qt name filter ("pro (*.pro);;All
    // Files (*)", see qtFileFilter); `defaultSuffix` is appended to a name typed without one.
    // The chosen path, or nothing when the user cancels.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& filter,
                                            const QString& defaultSuffix) = 0;
    // Asks for a file to save to, asking before an existing file is overwritten.
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& filter,
                                            const QString& defaultSuffix) = 0;
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows `text` with one OK button and the program's name as caption; returns when the user
    // has dismissed it.
    virtual void show(QWidget* parent, const QString& text) = 0;
};

class ColourDialog {
public:
    virtual ~ColourDialog() = default;
    // Lets the user pick a colour, starting from `initial`. The colour, or nothing when the
    // user cancels.
    virtual std::optional<QColor> choose(QWidget* parent, const QColor& initial) = 0;
};

// The program's icon in the notification area.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    enum class Activation { Click, DoubleClick, Context, Other };
    Q_ENUM(Activation)

    using QObject::QObject;
    // Whether the desktop has a notification area to show the icon in.
    virtual bool isAvailable() const = 0;
    virtual void setIcon(const QIcon& icon) = 0;
    virtual void setToolTip(const QString& tip) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;

signals:
    // The user clicked, double-clicked or asked for the menu of the icon.
    void activated(TrayIcon::Activation activation);
};

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Asks the desktop to open `url`; whether it could.
    virtual bool open(const QUrl& url) = 0;
};

// The file URL of the help page `fileName` in the program's folder `programFolder`.
QUrl helpPageUrl(const QString& programFolder, const QString& fileName);

struct ShellServices {
    std::unique_ptr<FileDialogs> fileDialogs;
    std::unique_ptr<MessageBoxes> messageBoxes;
    std::unique_ptr<ColourDialog> colourDialog;
    std::unique_ptr<TrayIcon> trayIcon;
    std::unique_ptr<HelpViewer> helpViewer;
};
