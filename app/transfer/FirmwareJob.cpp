#include "FirmwareJob.h"

#include <fstream>
#include <vector>

#include "KeyboardConfiguration.h"
#include "TransferTexts.h"

namespace {

int download(KeyboardConfiguration& configuration) {
    if (configuration.firmwarePath.empty())
        return transfer_texts::kFirmwareUnreadable;
    std::ifstream file(configuration.firmwarePath, std::ios::binary);
    if (!file)
        return transfer_texts::kFirmwareUnreadable;
    file.seekg(0, std::ios::end);
    const std::streamoff end = file.tellg();
    if (end < 0)
        return transfer_texts::kFirmwareUnreadable;
    if (static_cast<std::size_t>(end) > kMaxFirmwareFileSize)
        return transfer_texts::kFirmwareFailed;
    file.seekg(0, std::ios::beg);
    // The library takes the text zero-terminated.
    std::vector<char> text(static_cast<std::size_t>(end) + 1, '\0');
    if (end > 0 && !file.read(text.data(), end))
        return transfer_texts::kFirmwareUnreadable;
    const bool sent = configuration.device.WriteFirmwareToKeyboard(text.data(), static_cast<int>(end),
                                                                   configuration.transferWindow);
    return sent ? transfer_texts::kFirmwareDownloaded : transfer_texts::kFirmwareFailed;
}

}  // namespace

int runFirmwareJob(KeyboardConfiguration& configuration) {
    const int outcome = download(configuration);
    if (configuration.transferWindow)
        configuration.transferWindow->postTransferFinished(outcome);
    return outcome;
}
