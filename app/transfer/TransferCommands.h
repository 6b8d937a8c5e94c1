#pragma once
// The main window's transfer commands, each a modal window run over the configuration:
// write the key settings, read everything back, update the firmware. The backlight command
// lives with its dialog (app/backlight).

#include <chrono>

#include "CVelaDialogProgress.h"

class KeyboardConfiguration;
class QWidget;
class SkinResources;
class TransferRunner;
struct ShellServices;

// The jobs' pauses; tests and benchmarks shorten them.
struct TransferWaits {
    std::chrono::milliseconds keySettle{2000};
    std::chrono::milliseconds lightSettle{1000};
};

// Runs the progress window with `job` modally and returns how it ended. On Failed it has
// already told the user, in the configuration's language, that the transfer failed; on
// Finished the caller shows "OK!"; on Cancelled nothing is shown.
CVelaDialogProgress::Result runTransferJob(QWidget* parent, TransferJob job, KeyboardConfiguration& configuration,
                                           SkinResources& skin, ShellServices& services, TransferRunner& runner,
                                           TransferWaits waits = {});

// WriteKeys and ReadAll: true when the job did all its work (the main window then shows
// "OK!"); a failure has been reported, a cancel shows nothing.
bool runWriteKeysCommand(QWidget* parent, KeyboardConfiguration& configuration, SkinResources& skin,
                         ShellServices& services, TransferRunner& runner, TransferWaits waits = {});
bool runReadAllCommand(QWidget* parent, KeyboardConfiguration& configuration, SkinResources& skin,
                       ShellServices& services, TransferRunner& runner, TransferWaits waits = {});

// Update: runs the firmware window until the user closes it.
void runFirmwareUpdateCommand(QWidget* parent, KeyboardConfiguration& configuration, SkinResources& skin,
                              ShellServices& services, TransferRunner& runner);
