#pragma once
// The real desktop behind the shell's seams: Qt's own (non-native) file and colour dialogs,
// QMessageBox, QSystemTrayIcon and QDesktopServices. Needs a QApplication.

#include "ShellServices.h"

class QSystemTrayIcon;

class QtFileDialogs final : public FileDialogs {
public:
    std::optional<QString> openFile(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix) override;
};

class QtMessageBoxes final : public MessageBoxes {
public:
    void show(QWidget* parent, const QString& text) override;
};

class QtColourDialog final : public ColourDialog {
public:
    std::optional<QColor> choose(QWidget* parent, const QColor& initial) override;
};

class QtTrayIcon final : public TrayIcon {
    Q_OBJECT

public:
    explicit QtTrayIcon(QObject* parent = nullptr);
    ~QtTrayIcon() override;

    bool isAvailable() const override;
    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& tip) override;
    void show() override;
    void hide() override;
    bool isVisible() const override;

private:
    std::unique_ptr<QSystemTrayIcon> icon_;
};

class QtHelpViewer final : public HelpViewer {
public:
    bool open(const QUrl& url) override;
};

// Every seam with its real backend.
ShellServices makeQtShellServices();
