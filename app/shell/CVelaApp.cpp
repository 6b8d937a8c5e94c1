#include "CVelaApp.h"

#include "QtShellServices.h"

#include <QApplication>
#include <QDir>
#include <QResource>

CVelaApp::CVelaApp(ShellServices services, QString resourceFolder)
    : resourceFolder_(resourceFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                               : std::move(resourceFolder)),
      services_(std::move(services)) {}

CVelaApp::~CVelaApp() {
    releaseResources();
}

QString CVelaApp::bundlePath() const {
    return QDir(resourceFolder_).filePath(QString::fromLatin1(kBundleName));
}

bool CVelaApp::loadResources() {
    if (!bundleRegistered_)
        bundleRegistered_ = QResource::registerResource(bundlePath());
    resources_.loadBitmaps();
    return bundleRegistered_;
}

void CVelaApp::releaseResources() {
    resources_.releaseBitmaps();
    if (bundleRegistered_) {
        QResource::unregisterResource(bundlePath());
        bundleRegistered_ = false;
    }
}

bool CVelaApp::initInstance(const Startup& startup) {
    loadResources();
    if (startup.prepareConfiguration)
        startup.prepareConfiguration();
    if (startup.runMainWindow)
        startup.runMainWindow(*this);
    releaseResources();
    return false;
}

int runKelvaneX30(int& argc, char** argv, const CVelaApp::Startup& startup) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    // The main window is hidden while the program sits in the notification area; only closing
    // it ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    CVelaApp app(makeQtShellServices());
    app.initInstance(startup);
    return 0;
}
