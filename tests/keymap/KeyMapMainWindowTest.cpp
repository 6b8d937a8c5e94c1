// As a user would: in the main window, click a key; in the key assignment dialog it opens,
// choose a multimedia function and OK; the key shows as assigned and the information box
// says what it does. The keyboard is the emulator process.
#include "KeyMapFixture.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

#include <chrono>

#include "CVelaDlg.h"
#include "EmulatorProcess.h"
#include "FakeShellServices.h"
#include "KeyAssignment.h"
#include "KeyTable.h"
#include "ProfileStore.h"
#include "TransferJobs.h"

using namespace std::chrono_literals;

namespace {

QPoint centreOfKey(int key) {
    const KeyRect& r = kKeyTable[key - 1].rect;
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(KeyMapFromTheMainWindow, ClickedKeyGetsTheMultimediaFunctionChosenInTheDialog) {
    constexpr int kKey = 30;
    kx30test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start()) << emulator.error();
    KeyboardConfiguration config;
    config.buildKeyCatalogue();
    FakeShellServices fakes = makeFakeShellServices(false);
    CVelaDlg window(config, testSkin(), fakes.services, makeModelProfileStore(), CVelaDlg::Options{false, 0});
    ASSERT_TRUE(window.keyboardConnected());
    CVelaDlg::Commands commands;
    int opened = 0;
    commands.keyAssignment = [&opened](CVelaDlg& w, int) {
        ++opened;
        runKeyAssignmentDialog(&w, w.configuration(), w.skin());
    };
    window.setCommands(commands);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.windowHandle()));

    // The user's hand in the dialog once it is up; a watchdog closes it if anything hangs.
    bool acted = false;
    QTimer hand;
    hand.setInterval(10);
    QObject::connect(&hand, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<CVelaDialogKeyMapSettings*>(QApplication::activeModalWidget());
        if (!dialog || acted || !dialog->isVisible())
            return;
        acted = true;
        QWindow* w = dialog->windowHandle();
        QTest::mouseMove(w, QPoint(300, 20));
        QTest::mouseClick(w, Qt::LeftButton, {}, centreOf(93));
        QTest::mouseClick(w, Qt::LeftButton, {}, centreOf(407));
        QTest::mouseClick(w, Qt::LeftButton, {}, centreOf(kKeyMapOk));
    });
    hand.start();
    QTimer::singleShot(5000, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });

    QTest::mouseMove(window.windowHandle(), QPoint(600, 61));
    QTest::mouseMove(window.windowHandle(), centreOfKey(kKey));
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, centreOfKey(kKey));
    hand.stop();
    ASSERT_TRUE(acted);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(config.currentKey, kKey);
    EXPECT_EQ(config.kindOf(kKey, 0), KeyFunctionKind::Multimedia);
    EXPECT_EQ(config.code[kKey][0], 113);

    // The repainted window marks the key and its information box tells the setting.
    window.repaint();
    QCoreApplication::processEvents();
    bool keyActive = false;
    for (const SkinItem& item : window.items())
        if (item.keyNumber == kKey && !item.textOnly)
            keyActive = keyActive || item.active;
    EXPECT_TRUE(keyActive);
    EXPECT_NE(window.infoText().toStdString().find("Key settings L1：Multimedia VolumeUp"), std::string::npos)
        << window.infoText().toStdString();

    // And the keyboard stores it.
    ASSERT_TRUE(writeKeySettings(config, JobOptions{0ms, 0ms, nullptr}).ok());
    config.clearConfiguration();
    ASSERT_TRUE(readConfiguration(config, JobOptions{0ms, 0ms, nullptr}).ok());
    EXPECT_EQ(config.kindOf(kKey, 0), KeyFunctionKind::Multimedia);
    EXPECT_EQ(config.code[kKey][0], 113);
}

}  // namespace
