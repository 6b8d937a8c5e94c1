#pragma once
// The application object: prepares what every skinned window shares (the skin bitmaps from
// the resource bundle, the backlight area masks, the dark brush and the fonts), runs the main
// window modally, and releases the skin when the main window has closed.
//
// The program's main() is runKelvaneX30(); the main window and the configuration's start-up
// come in through CVelaApp::Startup, so the shell depends on neither.

#include "ShellServices.h"
#include "SkinResources.h"

#include <QString>

#include <functional>

class QApplication;

class CVelaApp {
public:
    // The resource bundle beside the program.
    static constexpr const char* kBundleName = "KelvaneX30RES.rcc";

    struct Startup {
        // Builds the key catalogue, which also sets the language to English. May be empty.
        std::function<void()> prepareConfiguration;
        // Creates the main window, runs it modally and returns when it has closed. May be empty.
        std::function<void(CVelaApp&)> runMainWindow;
    };

    // Looks for the bundle in `resourceFolder`, or in the program's folder when it is empty.
    // Needs a QApplication. Makes the brush and the fonts; the bitmaps come with
    // loadResources().
    explicit CVelaApp(ShellServices services, QString resourceFolder = {});
    ~CVelaApp();
    CVelaApp(const CVelaApp&) = delete;
    CVelaApp& operator=(const CVelaApp&) = delete;

    // The start-up sequence: loads the skin, prepares the configuration, runs the main window
    // and, once it has closed, releases the skin. Never ends early: without a bundle or a
    // bitmap the windows simply draw nothing for it. Returns false, like the framework's
    // start-up call that lets the program end after the main window.
    bool initInstance(const Startup& startup);

    // Registers the bundle and makes its bitmaps and masks available; each is decoded when a
    // window first asks for it. Whether the bundle was found; without it every bitmap is null.
    bool loadResources();
    // Drops the bitmaps and masks and unregisters the bundle.
    void releaseResources();

    QString bundlePath() const;
    bool hasBundle() const { return bundleRegistered_; }
    SkinResources& resources() { return resources_; }
    const SkinResources& resources() const { return resources_; }
    ShellServices& services() { return services_; }

private:
    QString resourceFolder_;
    bool bundleRegistered_ = false;
    SkinResources resources_;
    ShellServices services_;
};

// The program's main(): makes the QApplication, names the program, and runs the start-up
// sequence with the real desktop seams. Returns the process exit code.
int runKelvaneX30(int& argc, char** argv, const CVelaApp::Startup& startup);
