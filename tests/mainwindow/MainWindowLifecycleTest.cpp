// The window's life: its shape, the start-up check, the notification area, and the keyboard
// going away.

#include "MainWindowFixture.h"

#include <QMenu>
#include <QTimer>

#include <cstdlib>

namespace {

constexpr QPoint kHide{1060, 30};

TEST_F(MainWindowTest, WindowHasTheBackgroundsSizeAndItsShape) {
    const QPixmap& background = testSkin().bitmap(kMainWindowBackgroundBitmap);
    if (background.isNull())
        GTEST_SKIP() << "no skin bundle in this build";
    EXPECT_EQ(window->size(), background.size());
    const QImage image = background.toImage().convertToFormat(QImage::Format_RGB32);
    const QRegion mask = window->mask();
    ASSERT_FALSE(mask.isEmpty());
    // Every pixel of the colour key is cut out and no other: check a grid and the corners.
    int keyPixels = 0;
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            const bool key = image.pixel(x, y) == qRgb(0, 0, 255);
            keyPixels += key;
            ASSERT_EQ(mask.contains(QPoint(x, y)), !key) << x << "," << y;
        }
    }
    EXPECT_GT(keyPixels, 0);
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_TRUE(mask.contains(QPoint(585, 340)));
}

TEST_F(MainWindowTest, StartsOnLevelOneWithAClearedConfiguration) {
    configuration.currentLevel = 1;
    configuration.kind[10][0] = static_cast<int>(KeyFunctionKind::Power);
    makeWindow();
    EXPECT_TRUE(window->keyboardConnected());
    EXPECT_EQ(configuration.currentLevel, 0);
    EXPECT_EQ(configuration.kind[10][0], 0);
    EXPECT_EQ(configuration.language, "en-US");
}

TEST_F(MainWindowTest, HideGoesToTheTrayAndDoubleClickComesBack) {
    click(kHide);
    EXPECT_TRUE(fakes.trayIcon->isVisible());
    EXPECT_EQ(fakes.trayIcon->toolTip(), QStringLiteral("KelvaneX30"));
    EXPECT_FALSE(fakes.trayIcon->icon().isNull());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->isInNotificationArea());

    fakes.trayIcon->activate(TrayIcon::Activation::Click);  // a single click does nothing
    EXPECT_FALSE(window->isVisible());
    fakes.trayIcon->activate(TrayIcon::Activation::DoubleClick);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(fakes.trayIcon->isVisible());
}

TEST_F(MainWindowTest, TrayMenuExitEndsTheProgramAndLeavesNoIcon) {
    for (const char* language : {"en-US", "zh-CN"}) {
        makeWindow();
        configuration.language = language;
        click(kHide);
        fakes.trayIcon->activate(TrayIcon::Activation::Context);
        ASSERT_NE(window->trayMenu(), nullptr);
        ASSERT_EQ(window->trayMenu()->actions().size(), 1);
        QAction* exit = window->trayMenu()->actions().first();
        EXPECT_EQ(exit->text(), configuration.isChinese() ? QStringLiteral("关闭") : QStringLiteral("Exit"));
        window->trayMenu()->hide();
        exit->trigger();
        EXPECT_FALSE(fakes.trayIcon->isVisible());
        EXPECT_EQ(window->result(), QDialog::Rejected);
        EXPECT_FALSE(window->isInNotificationArea());
    }
}

TEST_F(MainWindowTest, WithoutANotificationAreaHideMinimisesInstead) {
    makeWindow(false);
    click(kHide);
    EXPECT_FALSE(fakes.trayIcon->isVisible());
    EXPECT_FALSE(window->isInNotificationArea());
    EXPECT_TRUE(window->windowState() & Qt::WindowMinimized);
}

TEST_F(MainWindowTest, ExecKeepsRunningWhileHiddenAndEndsByTheTrayMenu) {
    std::vector<std::string> seen;
    QTimer::singleShot(50, [&] { click(kHide); });
    QTimer::singleShot(150, [&] {
        seen.push_back(window->isVisible() ? "visible" : "hidden");
        fakes.trayIcon->activate(TrayIcon::Activation::DoubleClick);
    });
    QTimer::singleShot(300, [&] {
        seen.push_back(window->isVisible() ? "visible" : "hidden");
        click(kHide);
        fakes.trayIcon->activate(TrayIcon::Activation::Context);
        window->trayMenu()->hide();
        window->trayMenu()->actions().first()->trigger();
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] { seen.push_back("watchdog"); window->done(99); });
    watchdog.start(5000);
    const int result = window->exec();
    EXPECT_EQ(seen, (std::vector<std::string>{"hidden", "visible"}));
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(fakes.trayIcon->isVisible());
}

TEST_F(MainWindowTest, DeviceChangeWithTheKeyboardPresentChangesNothing) {
    window->onDeviceChange();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(fakes.messageBoxes->texts().empty());
}

// Tests that take the keyboard away run their own emulator, so the shared one stays.
class KeyboardGoneTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(own.start()) << own.error();  // points KELVANE_X30_EMULATOR at it
    }
    kx30test::EmulatorProcess own;
};

TEST_F(KeyboardGoneTest, KeyboardRemovedIsToldAndEndsTheWindow) {
    makeWindow();
    ASSERT_TRUE(window->keyboardConnected());
    own.stop();
    window->onDeviceChange();
    EXPECT_EQ(fakes.messageBoxes->texts(), (std::vector<QString>{QStringLiteral("Keyboard is not connected")}));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), 0);
    window->onDeviceChange();  // a second notice says nothing more
    EXPECT_EQ(fakes.messageBoxes->texts().size(), 1u);
}

TEST_F(KeyboardGoneTest, WatcherNoticesTheEmulatorGoing) {
    makeWindow(true, nullptr, CVelaDlg::Options{true, 200});
    ASSERT_TRUE(window->keyboardConnected());
    own.stop();
    QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 5000);
    EXPECT_EQ(fakes.messageBoxes->texts(), (std::vector<QString>{QStringLiteral("Keyboard is not connected")}));
}

TEST_F(KeyboardGoneTest, WithoutKeyboardAtStartExecSaysSoAndEnds) {
    own.stop();
    window.reset();
    configuration.device.__closeDev();  // the fixture's window opened it
    makeWindow();
    EXPECT_FALSE(window->keyboardConnected());
    window->hide();
    EXPECT_EQ(window->exec(), QDialog::Accepted);
    EXPECT_EQ(fakes.messageBoxes->texts(), (std::vector<QString>{QStringLiteral("Keyboard is not connected!")}));
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
