#pragma once
// The messages the transfer windows show, in both interface languages (UTF-8).

#include <string_view>

namespace transfer_texts {

struct Text {
    const char* zhCN;
    const char* enUS;

    // The text for "zh-CN" or "en-US"; null for any other language.
    constexpr const char* forLanguage(std::string_view language) const {
        if (language == "zh-CN")
            return zhCN;
        if (language == "en-US")
            return enUS;
        return nullptr;
    }
};

// A key or light transfer ended with every library call done.
inline constexpr Text kTransferDone{"OK!", "OK!"};
// A key or light transfer whose library calls failed.
inline constexpr Text kTransferFailed{"与键盘的传输失败！请检查键盘连接后重试。",
                                      "The transfer with the keyboard failed!\r\n"
                                      "Check that the keyboard is connected and try again."};

// Firmware outcomes by the wParam of WM_TRANSFER_FINISHED.
inline constexpr int kFirmwareDownloaded = 1;
inline constexpr int kFirmwareFailed = 2;
inline constexpr int kFirmwareUnreadable = 3;
inline constexpr Text kFirmwareOutcomes[3] = {
    {"固件下载完成。\r\n请勿插拔USB直至三个状态指示灯同时闪烁则固件更新完成，请拔下USB重新上电。",
     "The Firmware is downloaded successfully.\r\nPlease keep the USB plug in until three indicator lights "
     "flash simultaneously.\r\nThen firmware updated completely,pleased unplug the USB and plug in."},
    {"固件下载失败!", "Firmware download failed."},
    {"打开固件文件失败", "Can't open firmware file"},
};
// The outcome message for wParam 1..3; null for any other value.
constexpr const Text* firmwareOutcome(int wParam) {
    return wParam >= 1 && wParam <= 3 ? &kFirmwareOutcomes[wParam - 1] : nullptr;
}

inline constexpr Text kVersionFailed{"读取键盘版本失败", "Failed on reading keyboard version infomation"};

// Closing the firmware window, or asking for the version, while a download runs.
inline constexpr Text kWaitForDownload{"固件正在下载，请勿关闭或插拔键盘，下载结束后窗口将自动关闭。",
                                       "The firmware is being downloaded. Please wait: the window closes "
                                       "when the download has ended."};
inline constexpr Text kDownloadRunning{"固件正在下载，请等待下载结束。",
                                       "The firmware is being downloaded. Please wait until it has ended."};
// Starting something on the keyboard while an earlier transfer is still ending.
inline constexpr Text kKeyboardBusy{"键盘正忙于上一次传输，请稍后再试。",
                                    "The keyboard is still busy with the previous transfer. Please try again "
                                    "in a moment."};

}  // namespace transfer_texts
