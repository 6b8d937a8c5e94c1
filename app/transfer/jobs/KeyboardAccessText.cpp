#include "KeyboardAccessText.h"

#include <algorithm>
#include <vector>

#include "KeyboardUtil.h"

namespace {

constexpr std::string_view kChinese = "zh-CN";

}  // namespace

std::string shownPath(const KeyboardDeviceInfo& device) {
    const std::string_view prefix = kEmulatorPathPrefix;
    if (device.path.compare(0, prefix.size(), prefix) == 0) return device.path.substr(prefix.size());
    return device.path;
}

std::string permissionProblemText(const KeyboardAccessReport& report, std::string_view language) {
    const std::string path = shownPath(report.device);
    const std::string rule = kUdevRuleFile;
    if (language == kChinese) {
        if (report.device.emulator)
            return "键盘模拟器正在运行，但当前用户无权连接它的套接字 " + path +
                   "。\n请以启动模拟器的同一用户运行本程序，或修改该套接字的权限。";
        return "键盘已连接，但当前用户无权打开它（" + path +
               "：权限不足）。\n请安装软件包中的 udev 规则 " + rule +
               "（安装 .deb 软件包时会自动安装到 /usr/lib/udev/rules.d），\n然后拔出并重新插入键盘，"
               "或运行：sudo udevadm control --reload-rules && sudo udevadm trigger";
    }
    if (report.device.emulator)
        return "The keyboard emulator is running, but this user may not connect to its socket " +
               path + " (permission denied).\nRun this program as the user who started the "
               "emulator, or change the socket's permissions.";
    return "The keyboard is connected, but this user may not open it (" + path +
           ": permission denied).\nThe udev rule " + rule +
           " gives the logged-in user access to the keyboard's configuration interface.\n"
           "Install it into /usr/lib/udev/rules.d (the .deb package does), then unplug and replug "
           "the keyboard,\nor run: sudo udevadm control --reload-rules && sudo udevadm trigger";
}

std::optional<KeyboardAccessReport> keyboardPermissionProblem() {
    const std::vector<KeyboardAccessReport> reports = probeKeyboards();
    const bool anyOpens = std::any_of(reports.begin(), reports.end(), [](const auto& r) {
        return r.access == KeyboardAccess::Ok;
    });
    if (anyOpens) return std::nullopt;
    for (const KeyboardAccessReport& r : reports)
        if (r.access == KeyboardAccess::PermissionDenied) return r;
    return std::nullopt;
}

std::string keyboardUnavailableText(std::string_view language) {
    if (auto problem = keyboardPermissionProblem()) return permissionProblemText(*problem, language);
    return "Keyboard is not connected!";
}
