#pragma once
// What to tell the user when the keyboard is plugged in but this user may not open it, and
// how the udev rule shipped with the package fixes that. Used by kx30ctl and by the main
// window's start-up check.

#include <optional>
#include <string>
#include <string_view>

#include "Discovery.h"

// The rule file the package installs into lib/udev/rules.d.
inline constexpr const char* kUdevRuleFile = "70-kelvane-x30.rules";

// The path a person recognises: the device node, or the emulator's socket.
std::string shownPath(const KeyboardDeviceInfo& device);

// The explanation for one interface that refused us for permission, in "en-US" or "zh-CN"
// (anything else reads as English). Several lines, LF line ends, no trailing line end.
std::string permissionProblemText(const KeyboardAccessReport& report, std::string_view language);

// The first keyboard interface present that refused us for permission, when no interface
// present could be opened; nullopt when there is none (no keyboard at all, or one that opens).
std::optional<KeyboardAccessReport> keyboardPermissionProblem();

// The main window's start-up message when __createDev failed: the permission explanation
// when a keyboard is present but may not be opened, else "Keyboard is not connected!".
std::string keyboardUnavailableText(std::string_view language);
