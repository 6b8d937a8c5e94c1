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

// Whether this process may open a keyboard interface that discovery found.
enum class KeyboardAccess {
    Ok,                // opens read-write
    PermissionDenied,  // present, but this user may not open it (no udev rule, wrong group)
    Busy,              // present, but held exclusively elsewhere
    Gone,              // went away between listing and opening
    Failed,            // any other error; errorNumber says which
};

struct KX30_API KeyboardAccessReport {
    KeyboardDeviceInfo device;
    KeyboardAccess access = KeyboardAccess::Ok;
    int errorNumber = 0;  // the platform's error code of the failed open (errno; on Windows
                          // GetLastError()), 0 for Ok
};

// What the platform's error code from opening a device or connecting to a socket means.
KX30_API KeyboardAccess keyboardAccessFromError(int errorNumber);

// A short English description of access ("permission denied", ...).
KX30_API const char* describeKeyboardAccess(KeyboardAccess access);

// Every keyboard interface present, in listKeyboards() order, each tried for opening
// read-write and closed again at once. Unlike listKeyboards() it also reports an emulator
// socket this user may not connect to (as PermissionDenied), since such a socket is present
// but unusable rather than absent. Opens nothing that stays open.
KX30_API std::vector<KeyboardAccessReport> probeKeyboards();
