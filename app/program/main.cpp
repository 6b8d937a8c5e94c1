// KelvaneX30: the configuration program of the keyboard.

#include <optional>

#include "CVelaApp.h"
#include "CVelaDialogBkLightSettings.h"
#include "KeyAssignment.h"
#include "KeyboardConfiguration.h"
#include "MainWindowStartup.h"
#include "TransferCommands.h"
#include "TransferRunner.h"

namespace {
// The one configuration of the process. It outlives every window; its destruction at exit
// closes the keyboard.
KeyboardConfiguration configuration;
}  // namespace

int main(int argc, char** argv) {
    // The worker thread every transfer runs on: made once the GUI exists, and gone (after its
    // last job has ended) before the GUI goes.
    std::optional<TransferRunner> runner;
    CVelaDlg::Commands commands;
    commands.writeKeys = [&runner](CVelaDlg& w) {
        return runWriteKeysCommand(&w, w.configuration(), w.skin(), w.services(), *runner);
    };
    commands.backlight = [&runner](CVelaDlg& w) {
        runBacklightCommand(&w, w.configuration(), w.skin(), w.services(), *runner);
    };
    commands.readAll = [&runner](CVelaDlg& w) {
        return runReadAllCommand(&w, w.configuration(), w.skin(), w.services(), *runner);
    };
    commands.firmwareUpdate = [&runner](CVelaDlg& w) {
        runFirmwareUpdateCommand(&w, w.configuration(), w.skin(), w.services(), *runner);
    };
    commands.keyAssignment = [](CVelaDlg& w, int) {
        runKeyAssignmentDialog(&w, w.configuration(), w.skin());
    };
    CVelaApp::Startup startup = mainWindowStartup(configuration, commands);
    startup.runMainWindow = [&runner, run = startup.runMainWindow](CVelaApp& app) {
        runner.emplace(configuration);
        run(app);
        runner.reset();
    };
    return runKelvaneX30(argc, argv, startup);
}
