#include "QtShellServices.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QSystemTrayIcon>

namespace {

std::optional<QString> runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
                                     const QString& defaultSuffix) {
    const bool save = mode == QFileDialog::AcceptSave;
    QFileDialog dialog(parent, save ? QObject::tr("Save As") : QObject::tr("Open"), QString(), filter);
    // Qt's own dialog looks and behaves the same on every desktop, and tests can drive it.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    return files.first();
}

TrayIcon::Activation activationOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger: return TrayIcon::Activation::Click;
    case QSystemTrayIcon::DoubleClick: return TrayIcon::Activation::DoubleClick;
    case QSystemTrayIcon::Context: return TrayIcon::Activation::Context;
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
    return TrayIcon::Activation::Other;
}

}  // namespace

std::optional<QString> QtFileDialogs::openFile(QWidget* parent, const QString& filter,
                                               const QString& defaultSuffix) {
    return runFileDialog(parent, QFileDialog::AcceptOpen, filter, defaultSuffix);
}

std::optional<QString> QtFileDialogs::saveFile(QWidget* parent, const QString& filter,
                                               const QString& defaultSuffix) {
    return runFileDialog(parent, QFileDialog::AcceptSave, filter, defaultSuffix);
}

void QtMessageBoxes::show(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationName), text, QMessageBox::Ok,
                    parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

std::optional<QColor> QtColourDialog::choose(QWidget* parent, const QColor& initial) {
    QColorDialog dialog(initial, parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

QtTrayIcon::QtTrayIcon(QObject* parent) : TrayIcon(parent), icon_(std::make_unique<QSystemTrayIcon>()) {
    connect(icon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { emit activated(activationOf(reason)); });
}

QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::setIcon(const QIcon& icon) {
    icon_->setIcon(icon);
}

void QtTrayIcon::setToolTip(const QString& tip) {
    icon_->setToolTip(tip);
}

void QtTrayIcon::show() {
    icon_->show();
}

void QtTrayIcon::hide() {
    icon_->hide();
}

bool QtTrayIcon::isVisible() const {
    return icon_->isVisible();
}

bool QtHelpViewer::open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

ShellServices makeQtShellServices() {
    ShellServices services;
    services.fileDialogs = std::make_unique<QtFileDialogs>();
    services.messageBoxes = std::make_unique<QtMessageBoxes>();
    services.colourDialog = std::make_unique<QtColourDialog>();
    services.trayIcon = std::make_unique<QtTrayIcon>();
    services.helpViewer = std::make_unique<QtHelpViewer>();
    return services;
}
