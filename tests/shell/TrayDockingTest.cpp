// The real tray backend on a real X display with a notification-area host (run under
// with-xvfb --tray). Skips where no notification area can be found.
#include "QtShellServices.h"

#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(TrayDocking, IconShowsAndHidesInTheNotificationArea) {
    QtTrayIcon tray;
    if (!QTest::qWaitFor([&] { return tray.isAvailable(); }, 3000))
        GTEST_SKIP() << "no notification area on this display";
    QPixmap picture(16, 16);
    picture.fill(QColor(255, 111, 0));
    tray.setIcon(QIcon(picture));
    tray.setToolTip(QString::fromLatin1(kApplicationName));
    tray.show();
    EXPECT_TRUE(tray.isVisible());
    tray.hide();
    EXPECT_FALSE(tray.isVisible());
}

}  // namespace
