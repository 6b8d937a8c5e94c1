// The parts of discovery that every platform shares: the interface rule over a device path,
// the canonical path it is applied to, and where an emulator listens.
#include <cstdio>
#include <cstdlib>

#include "Discovery.h"

namespace {

// The four characters after the first occurrence of tag, or empty when there are fewer.
std::string_view fieldAfter(std::string_view path, std::string_view tag) {
    const auto at = path.find(tag);
    if (at == std::string_view::npos || at + tag.size() + 4 > path.size()) return {};
    return path.substr(at + tag.size(), 4);
}

}  // namespace

bool matchesKeyboardPath(std::string_view path) {
    const auto mi = path.find("mi_01");
    if (mi == std::string_view::npos || mi < 1) return false;
    return fieldAfter(path, "vid_") == "0483" && fieldAfter(path, "pid_") == "5018";
}

std::string canonicalHidPath(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber,
                             std::string_view devicePath) {
    char ids[48];
    std::snprintf(ids, sizeof ids, "\\\\?\\hid#vid_%04x&pid_%04x&mi_%02x#",
                  static_cast<unsigned>(vendorId), static_cast<unsigned>(productId),
                  static_cast<unsigned>(interfaceNumber & 0xFF));
    return std::string(ids) + std::string(devicePath);
}

std::string emulatorSocketPath() {
    if (const char* path = std::getenv("KELVANE_X30_EMULATOR"); path && *path) return path;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/kelvane-x30-emulator.sock";
    return "/tmp/kelvane-x30-emulator.sock";
}

const char* describeKeyboardAccess(KeyboardAccess access) {
    switch (access) {
    case KeyboardAccess::Ok: return "ok";
    case KeyboardAccess::PermissionDenied: return "permission denied";
    case KeyboardAccess::Busy: return "in use by another program";
    case KeyboardAccess::Gone: return "went away";
    case KeyboardAccess::Failed: break;
    }
    return "could not be opened";
}
