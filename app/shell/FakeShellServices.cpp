#include "FakeShellServices.h"

std::optional<QString> FakeFileDialogs::openFile(QWidget*, const QString& filter,
                                                 const QString& defaultSuffix) {
    return answer(false, filter, defaultSuffix);
}

std::optional<QString> FakeFileDialogs::saveFile(QWidget*, const QString& filter,
                                                 const QString& defaultSuffix) {
    return answer(true, filter, defaultSuffix);
}

std::optional<QString> FakeFileDialogs::answer(bool save, const QString& filter,
                                               const QString& defaultSuffix) {
    requests_.push_back({save, filter, defaultSuffix});
    if (answers_.empty())
        return std::nullopt;
    const Answer next = answers_.front();
    answers_.pop_front();
    if (!next.chosen)
        return std::nullopt;
    return next.path;
}

std::optional<QColor> FakeColourDialog::choose(QWidget*, const QColor& initial) {
    initials_.push_back(initial);
    if (answers_.empty())
        return std::nullopt;
    std::optional<QColor> next = answers_.front();
    answers_.pop_front();
    return next;
}

FakeShellServices makeFakeShellServices(bool trayAvailable) {
    FakeShellServices fakes;
    auto fileDialogs = std::make_unique<FakeFileDialogs>();
    auto messageBoxes = std::make_unique<FakeMessageBoxes>();
    auto colourDialog = std::make_unique<FakeColourDialog>();
    auto trayIcon = std::make_unique<FakeTrayIcon>(trayAvailable);
    auto helpViewer = std::make_unique<FakeHelpViewer>();
    fakes.fileDialogs = fileDialogs.get();
    fakes.messageBoxes = messageBoxes.get();
    fakes.colourDialog = colourDialog.get();
    fakes.trayIcon = trayIcon.get();
    fakes.helpViewer = helpViewer.get();
    fakes.services.fileDialogs = std::move(fileDialogs);
    fakes.services.messageBoxes = std::move(messageBoxes);
    fakes.services.colourDialog = std::move(colourDialog);
    fakes.services.trayIcon = std::move(trayIcon);
    fakes.services.helpViewer = std::move(helpViewer);
    return fakes;
}
