#pragma once
// Seams that answer from a script instead of the user, for tests: each records what it was
// asked and replies with the answers queued beforehand. With no answer queued a dialog
// counts as cancelled.

#include "ShellServices.h"

#include <deque>
#include <vector>

class FakeFileDialogs final : public FileDialogs {
public:
    struct Request {
        bool save = false;
        QString filter;
        QString defaultSuffix;
    };

    // The next dialog returns `path`; std::nullopt makes it a cancel.
    void queueAnswer(const std::optional<QString>& path) { answers_.push_back({path.has_value(), path.value_or(QString())}); }
    const std::vector<Request>& requests() const { return requests_; }

    std::optional<QString> openFile(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix) override;

private:
    std::optional<QString> answer(bool save, const QString& filter, const QString& defaultSuffix);

    struct Answer {
        bool chosen = false;
        QString path;
    };
    std::deque<Answer> answers_;
    std::vector<Request> requests_;
};

class FakeMessageBoxes final : public MessageBoxes {
public:
    void show(QWidget*, const QString& text) override { texts_.push_back(text); }
    // Every text shown, in order.
    const std::vector<QString>& texts() const { return texts_; }

private:
    std::vector<QString> texts_;
};

class FakeColourDialog final : public ColourDialog {
public:
    void queueAnswer(std::optional<QColor> colour) { answers_.push_back(std::move(colour)); }
    // The initial colour of every request, in order.
    const std::vector<QColor>& initialColours() const { return initials_; }

    std::optional<QColor> choose(QWidget* parent, const QColor& initial) override;

private:
    std::deque<std::optional<QColor>> answers_;
    std::vector<QColor> initials_;
};

class FakeTrayIcon final : public TrayIcon {
    Q_OBJECT

public:
    explicit FakeTrayIcon(bool available = true, QObject* parent = nullptr)
        : TrayIcon(parent), available_(available) {}

    bool isAvailable() const override { return available_; }
    void setIcon(const QIcon& icon) override { icon_ = icon; }
    void setToolTip(const QString& tip) override { tip_ = tip; }
    void show() override { visible_ = true; }
    void hide() override { visible_ = false; }
    bool isVisible() const override { return visible_; }

    const QIcon& icon() const { return icon_; }
    const QString& toolTip() const { return tip_; }
    // What the user would do on the icon.
    void activate(Activation activation) { emit activated(activation); }

private:
    bool available_;
    bool visible_ = false;
    QIcon icon_;
    QString tip_;
};

class FakeHelpViewer final : public HelpViewer {
public:
    explicit FakeHelpViewer(bool succeeds = true) : succeeds_(succeeds) {}
    bool open(const QUrl& url) override {
        opened_.push_back(url);
        return succeeds_;
    }
    const std::vector<QUrl>& opened() const { return opened_; }

private:
    bool succeeds_;
    std::vector<QUrl> opened_;
};

// The fakes of every seam, and the seams as a ShellServices that points to them. The
// ShellServices owns the fakes; the raw pointers observe them for the test.
struct FakeShellServices {
    FakeFileDialogs* fileDialogs = nullptr;
    FakeMessageBoxes* messageBoxes = nullptr;
    FakeColourDialog* colourDialog = nullptr;
    FakeTrayIcon* trayIcon = nullptr;
    FakeHelpViewer* helpViewer = nullptr;
    ShellServices services;
};
FakeShellServices makeFakeShellServices(bool trayAvailable = true);
