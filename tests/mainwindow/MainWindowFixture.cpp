#include "MainWindowFixture.h"

#include "KeyTable.h"

#include <QApplication>
#include <QDir>
#include <QResource>

kx30test::EmulatorProcess* MainWindowTest::emulator = nullptr;

SkinResources& testSkin() {
    static SkinResources* skin = [] {
        QResource::registerResource(QString::fromUtf8(KX30_SKIN_BUNDLE));
        auto* resources = new SkinResources;  // lives as long as the test program
        resources->loadBitmaps();
        return resources;
    }();
    return *skin;
}

void MainWindowTest::SetUpTestSuite() {
    emulator = new kx30test::EmulatorProcess;
    ASSERT_TRUE(emulator->start()) << emulator->error();
}

void MainWindowTest::TearDownTestSuite() {
    delete emulator;
    emulator = nullptr;
}

void MainWindowTest::SetUp() {
    ASSERT_TRUE(emulator && emulator->running());
    configuration.buildKeyCatalogue();
    makeWindow();
}

void MainWindowTest::TearDown() {
    window.reset();
}

void MainWindowTest::makeWindow(bool trayAvailable, std::unique_ptr<ProfileStore> store,
                                CVelaDlg::Options options) {
    window.reset();
    fakes = makeFakeShellServices(trayAvailable);
    if (!store) {
        auto fake = std::make_unique<FakeProfileStore>();
        profiles = fake.get();
        store = std::move(fake);
    } else {
        profiles = nullptr;
    }
    window = std::make_unique<ObservedDlg>(configuration, testSkin(), fakes.services, std::move(store), options);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window->windowHandle()));
    park();
    repaintNow();
    window->forget();
}

void MainWindowTest::park() {
    // Qt drops a move to the position it already knows, so step off first.
    QTest::mouseMove(handle(), kFreeSpot + QPoint(1, 0));
    QTest::mouseMove(handle(), kFreeSpot);
}

void MainWindowTest::moveTo(QPoint point) {
    QTest::mouseMove(handle(), point);
}

void MainWindowTest::click(QPoint point) {
    park();
    moveTo(point);
    QTest::mouseClick(handle(), Qt::LeftButton, Qt::NoModifier, point);
}

void MainWindowTest::repaintNow() {
    window->repaint();
    QCoreApplication::processEvents();
}

QPoint MainWindowTest::centreOfKey(int key) {
    const KeyRect& r = kKeyTable[key - 1].rect;
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
