// The program's start-up, ended at its first painted frame: prints how long it took from the
// moment the parent spawned it (argv[1], steady-clock nanoseconds) and the peak resident
// memory (VmHWM, kB), then closes the window.

#include "CVelaApp.h"
#include "KeyboardConfiguration.h"
#include "MainWindowStartup.h"
#include "ProfileStore.h"

#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

KeyboardConfiguration configuration;
long long spawnedAt = 0;

long peakResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

class FirstFrameDlg : public CVelaDlg {
public:
    using CVelaDlg::CVelaDlg;

protected:
    void paintEvent(QPaintEvent* event) override {
        CVelaDlg::paintEvent(event);
        if (reported_)
            return;
        reported_ = true;
        const long long now = std::chrono::steady_clock::now().time_since_epoch().count();
        std::printf("first-frame-ns %lld vmhwm-kb %ld\n", now - spawnedAt, peakResidentKb());
        std::fflush(stdout);
        QTimer::singleShot(0, this, [this] { done(0); });
    }

private:
    bool reported_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    spawnedAt = argc > 1 ? std::atoll(argv[1]) : std::chrono::steady_clock::now().time_since_epoch().count();
    CVelaApp::Startup startup = mainWindowStartup(configuration);
    startup.runMainWindow = [](CVelaApp& app) {
        FirstFrameDlg window(configuration, app.resources(), app.services(), makeModelProfileStore(),
                             CVelaDlg::Options{false, 0});
        if (!window.keyboardConnected()) {
            std::printf("no-keyboard\n");
            return;
        }
        window.exec();
    };
    return runKelvaneX30(argc, argv, startup);
}
