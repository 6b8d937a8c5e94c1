#include "FakeShellServices.h"
#include "FileFilter.h"
#include "QtShellServices.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct FilterCase {
    const char* pairs;
    const char* expected;
};

class QtFileFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(QtFileFilter, ConvertsDescriptionPatternPairs) {
    EXPECT_EQ(qtFileFilter(QString::fromUtf8(GetParam().pairs)), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, QtFileFilter,
    ::testing::Values(FilterCase{"pro(*.pro)|*.pro|All Files(*.*)|*.*||", "pro (*.pro);;All Files (*)"},
                      FilterCase{"Profiles|*.pro;*.xml||", "Profiles (*.pro *.xml)"},
                      FilterCase{"HEX (*.hex)|*.hex", "HEX (*.hex)"},
                      FilterCase{"|*.hex||", "*.hex (*.hex)"},
                      FilterCase{"Nothing||Hex|*.hex||", "Hex (*.hex)"},
                      FilterCase{"Dangling", ""},
                      FilterCase{"", ""}));

TEST(FakeFileDialogs, AnswersInOrderAndCancelsWhenOutOfAnswers) {
    FakeFileDialogs dialogs;
    dialogs.queueAnswer(QStringLiteral("/tmp/a.pro"));
    dialogs.queueAnswer(std::nullopt);
    EXPECT_EQ(dialogs.saveFile(nullptr, QStringLiteral("pro (*.pro)"), QStringLiteral("pro")),
              QStringLiteral("/tmp/a.pro"));
    EXPECT_EQ(dialogs.openFile(nullptr, QString(), QString()), std::nullopt);
    EXPECT_EQ(dialogs.openFile(nullptr, QString(), QString()), std::nullopt);
    ASSERT_EQ(dialogs.requests().size(), 3u);
    EXPECT_TRUE(dialogs.requests()[0].save);
    EXPECT_EQ(dialogs.requests()[0].filter, QStringLiteral("pro (*.pro)"));
    EXPECT_EQ(dialogs.requests()[0].defaultSuffix, QStringLiteral("pro"));
    EXPECT_FALSE(dialogs.requests()[1].save);
}

TEST(FakeShellServices, EveryFakeAnswersThroughTheSeams) {
    FakeShellServices fakes = makeFakeShellServices(false);
    ShellServices& seams = fakes.services;

    seams.messageBoxes->show(nullptr, QStringLiteral("OK!"));
    EXPECT_EQ(fakes.messageBoxes->texts(), std::vector<QString>{QStringLiteral("OK!")});

    fakes.colourDialog->queueAnswer(QColor(1, 2, 3));
    EXPECT_EQ(seams.colourDialog->choose(nullptr, Qt::red), QColor(1, 2, 3));
    EXPECT_EQ(seams.colourDialog->choose(nullptr, Qt::green), std::nullopt);
    EXPECT_EQ(fakes.colourDialog->initialColours(), (std::vector<QColor>{Qt::red, Qt::green}));

    EXPECT_FALSE(seams.trayIcon->isAvailable());
    seams.trayIcon->setToolTip(QString::fromLatin1(kApplicationName));
    seams.trayIcon->show();
    EXPECT_TRUE(seams.trayIcon->isVisible());
    QSignalSpy spy(seams.trayIcon.get(), &TrayIcon::activated);
    fakes.trayIcon->activate(TrayIcon::Activation::Context);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<TrayIcon::Activation>(), TrayIcon::Activation::Context);
    seams.trayIcon->hide();
    EXPECT_FALSE(seams.trayIcon->isVisible());

    const QUrl help = helpPageUrl(QStringLiteral("/opt/kx30"), QStringLiteral("KelvaneX30.html"));
    EXPECT_EQ(help, QUrl(QStringLiteral("file:///opt/kx30/KelvaneX30.html")));
    EXPECT_TRUE(seams.helpViewer->open(help));
    EXPECT_EQ(fakes.helpViewer->opened(), std::vector<QUrl>{help});
}

// Runs `act` on the first modal dialog that opens; rejects whatever is open after `limitMs`
// so a test fails instead of hanging.
class ModalDriver {
public:
    ModalDriver(std::function<void(QWidget*)> act, int limitMs = 5000) : act_(std::move(act)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && !acted_) {
                acted_ = true;
                act_(modal);
            }
        });
        poll_.start(10);
        QObject::connect(&watchdog_, &QTimer::timeout, [this] {
            timedOut_ = true;
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        watchdog_.setSingleShot(true);
        watchdog_.start(limitMs);
    }
    bool acted() const { return acted_; }
    bool timedOut() const { return timedOut_; }

private:
    std::function<void(QWidget*)> act_;
    QTimer poll_;
    QTimer watchdog_;
    bool acted_ = false;
    bool timedOut_ = false;
};

TEST(QtMessageBoxes, CarryTheProgramNameAsCaption) {
    QString title, text;
    ModalDriver driver([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        box->accept();
    });
    QtMessageBoxes().show(nullptr, QStringLiteral("Keyboard is not connected!"));
    EXPECT_TRUE(driver.acted());
    EXPECT_FALSE(driver.timedOut());
    EXPECT_EQ(title, QStringLiteral("KelvaneX30"));
    EXPECT_EQ(text, QStringLiteral("Keyboard is not connected!"));
}

TEST(QtFileDialogs, SaveDialogAddsTheDefaultSuffix) {
    QTemporaryDir dir;
    ModalDriver driver([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        dialog->setDirectory(dir.path());
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QStringLiteral("profile"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto path = QtFileDialogs().saveFile(nullptr, qtFileFilter(QStringLiteral("pro(*.pro)|*.pro||")),
                                               QStringLiteral("pro"));
    EXPECT_FALSE(driver.timedOut());
    EXPECT_EQ(path, QDir(dir.path()).filePath(QStringLiteral("profile.pro")));
}

TEST(QtFileDialogs, CancelGivesNothing) {
    ModalDriver driver([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(QtFileDialogs().openFile(nullptr, QString(), QString()), std::nullopt);
    EXPECT_TRUE(driver.acted());
}

}  // namespace
