#include "TransferCommands.h"

#include "CVelaDialogFirmwareUpdate.h"
#include "KeyboardConfiguration.h"
#include "ShellServices.h"
#include "TransferTexts.h"

CVelaDialogProgress::Result runTransferJob(QWidget* parent, TransferJob job, KeyboardConfiguration& configuration,
                                           SkinResources& skin, ShellServices& services, TransferRunner& runner,
                                           TransferWaits waits) {
    CVelaDialogProgress dialog(configuration, skin, runner, job, parent);
    dialog.setWaits(waits.keySettle, waits.lightSettle);
    const auto result = static_cast<CVelaDialogProgress::Result>(dialog.exec());
    if (result == CVelaDialogProgress::Failed && services.messageBoxes) {
        if (const char* text = transfer_texts::kTransferFailed.forLanguage(configuration.language))
            services.messageBoxes->show(parent, QString::fromUtf8(text));
    }
    return result;
}

bool runWriteKeysCommand(QWidget* parent, KeyboardConfiguration& configuration, SkinResources& skin,
                         ShellServices& services, TransferRunner& runner, TransferWaits waits) {
    return runTransferJob(parent, TransferJob::WriteKeys, configuration, skin, services, runner, waits) ==
           CVelaDialogProgress::Finished;
}

bool runReadAllCommand(QWidget* parent, KeyboardConfiguration& configuration, SkinResources& skin,
                       ShellServices& services, TransferRunner& runner, TransferWaits waits) {
    return runTransferJob(parent, TransferJob::ReadAll, configuration, skin, services, runner, waits) ==
           CVelaDialogProgress::Finished;
}

void runFirmwareUpdateCommand(QWidget* parent, KeyboardConfiguration& configuration, SkinResources& skin,
                              ShellServices& services, TransferRunner& runner) {
    CVelaDialogFirmwareUpdate dialog(configuration, skin, services, runner, parent);
    dialog.exec();
}
