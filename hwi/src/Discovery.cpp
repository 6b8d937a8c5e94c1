#include "Discovery.h"

#include <fcntl.h>
#include <hidapi.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "KeyboardUtil.h"
#include "ReportChannels.h"

namespace {

constexpr std::uint16_t kVendorId = 0x0483;
constexpr std::uint16_t kProductId = 0x5018;

}  // namespace

std::vector<KeyboardDeviceInfo> listKeyboards() {
    std::vector<KeyboardDeviceInfo> found;
    if (hid_device_info* all = hid_enumerate(kVendorId, kProductId)) {
        for (const hid_device_info* d = all; d != nullptr; d = d->next) {
            if (d->path == nullptr || d->interface_number < 0) continue;
            std::string matched =
                canonicalHidPath(d->vendor_id, d->product_id, d->interface_number, d->path);
            if (!matchesKeyboardPath(matched)) continue;
            found.push_back({d->path, std::move(matched), d->interface_number, false});
        }
        hid_free_enumeration(all);
    }
    const std::string socket = emulatorSocketPath();
    if (socketIsListening(socket)) {
        found.push_back({kEmulatorPathPrefix + socket,
                         canonicalHidPath(kVendorId, kProductId, 1, socket), 1, true});
    }
    return found;
}

KeyboardAccess keyboardAccessFromError(int errorNumber) {
    switch (errorNumber) {
    case 0: return KeyboardAccess::Ok;
    case EACCES:
    case EPERM:
    case EROFS: return KeyboardAccess::PermissionDenied;
    case EBUSY: return KeyboardAccess::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ECONNREFUSED: return KeyboardAccess::Gone;
    default: return KeyboardAccess::Failed;
    }
}

std::vector<KeyboardAccessReport> probeKeyboards() {
    std::vector<KeyboardAccessReport> reports;
    for (KeyboardDeviceInfo& device : listKeyboards()) {
        if (device.emulator) continue;  // the socket is probed below, with its errors
        // hidapi's hidraw backend opens the node read-write; try exactly that.
        const int fd = ::open(device.path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        const int error = fd < 0 ? errno : 0;
        if (fd >= 0) ::close(fd);
        reports.push_back({std::move(device), keyboardAccessFromError(error), error});
    }
    // A socket that refuses us for permission is an emulator we may not use; nothing
    // listening there (or no socket at all) is simply no emulator, as for listKeyboards().
    const std::string socket = emulatorSocketPath();
    const int error = socketConnectError(socket);
    const KeyboardAccess access = keyboardAccessFromError(error);
    if (access == KeyboardAccess::Ok || access == KeyboardAccess::PermissionDenied) {
        reports.push_back({{kEmulatorPathPrefix + socket,
                            canonicalHidPath(kVendorId, kProductId, 1, socket), 1, true},
                           access, error});
    }
    return reports;
}
