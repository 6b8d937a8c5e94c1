#pragma once
// Finding the keyboard: its configuration interface is USB HID interface 1 of vendor 0483,
// product 5018. Real keyboards come first (hidapi enumeration), then an emulator when one
// listens on its socket.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "KelvaneX30Export.h"

struct KX30_API KeyboardDeviceInfo {
    std::string path;         // what CKelvaneX30Util opens: a hidraw path or "emulator:SOCKET"
    std::string matchedPath;  // the path the interface rule was applied to
    int interfaceNumber = -1;
    bool emulator = false;
};

// The interface rule, by case-sensitive substring search: the first "mi_01" lies after the
// first character, the four characters after the first "vid_" are "0483" and the four
// after the first "pid_" are "5018".
KX30_API bool matchesKeyboardPath(std::string_view path);

// The device path the rule is applied to, built from an enumerated interface:
// \\?\hid#vid_VVVV&pid_PPPP&mi_II#DEVICE with lower-case hex ids and a two-digit interface.
KX30_API std::string canonicalHidPath(std::uint16_t vendorId, std::uint16_t productId,
                                      int interfaceNumber, std::string_view devicePath);

// Where an emulator listens: $KELVANE_X30_EMULATOR, else
// $XDG_RUNTIME_DIR/kelvane-x30-emulator.sock, else /tmp/kelvane-x30-emulator.sock.
KX30_API std::string emulatorSocketPath();

// Every keyboard interface present, real ones first, in enumeration order.
KX30_API std::vector<KeyboardDeviceInfo> listKeyboards();
