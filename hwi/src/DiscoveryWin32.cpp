// Finding the keyboard on Windows: the present interfaces of the HID class, walked with
// SetupAPI, and the interface rule applied to each device path as the system spells it
// (\\?\hid#vid_0483&pid_5018&mi_01#...). No emulator is listed here: its transport does not
// exist on Windows.
#include <windows.h>
// windows.h first: the SetupAPI and HID headers build on its types. MinGW's hidsdi.h
// declares C functions without saying so.
extern "C" {
#include <hidsdi.h>
}
#include <setupapi.h>

#include <memory>
#include <string>
#include <vector>

#include "Discovery.h"
#include "HidWin32.h"

namespace {

// A device information set that destroys itself.
struct DeviceInfoSet {
    HDEVINFO set;
    explicit DeviceInfoSet(const GUID& hidClass)
        : set(SetupDiGetClassDevsW(&hidClass, nullptr, nullptr,
                                   DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)) {}
    ~DeviceInfoSet() {
        if (ok()) SetupDiDestroyDeviceInfoList(set);
    }
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
    bool ok() const { return set != INVALID_HANDLE_VALUE; }
};

// The device path of one interface, in UTF-8; empty when the detail cannot be had.
std::string interfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& iface) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return {};
    // The detail is a variable-length structure; allocate it with its own alignment.
    std::vector<std::byte> storage(size + alignof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    // The size field holds the fixed part's size as this process's platform defines it.
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, size, nullptr, nullptr)) return {};
    const wchar_t* wide = detail->DevicePath;
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string path(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, path.data(), n, nullptr, nullptr);
    path.resize(static_cast<std::size_t>(n - 1));  // without the terminating zero
    return path;
}

}  // namespace

std::vector<KeyboardDeviceInfo> listKeyboards() {
    std::vector<KeyboardDeviceInfo> found;
    GUID hidClass;
    HidD_GetHidGuid(&hidClass);
    DeviceInfoSet devices(hidClass);
    if (!devices.ok()) return found;
    // One index runs through device information and interfaces; the walk ends at the first
    // index at which either is missing.
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA info{};
        info.cbSize = sizeof info;
        if (!SetupDiEnumDeviceInfo(devices.set, index, &info)) break;
        SP_DEVICE_INTERFACE_DATA iface{};
        iface.cbSize = sizeof iface;
        if (!SetupDiEnumDeviceInterfaces(devices.set, nullptr, &hidClass, index, &iface)) break;
        std::string path = interfacePath(devices.set, iface);
        if (path.empty()) break;
        if (!matchesKeyboardPath(path)) continue;
        found.push_back({path, path, 1, false});
    }
    return found;
}

KeyboardAccess keyboardAccessFromError(int errorNumber) {
    switch (static_cast<DWORD>(errorNumber)) {
    case ERROR_SUCCESS: return KeyboardAccess::Ok;
    case ERROR_ACCESS_DENIED: return KeyboardAccess::PermissionDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY: return KeyboardAccess::Busy;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_NO_SUCH_DEVINST:
    case ERROR_DEV_NOT_EXIST: return KeyboardAccess::Gone;
    default: return KeyboardAccess::Failed;
    }
}

std::vector<KeyboardAccessReport> probeKeyboards() {
    std::vector<KeyboardAccessReport> reports;
    for (KeyboardDeviceInfo& device : listKeyboards()) {
        // Exactly the open the transport does, closed again at once. errorNumber is the
        // platform's error code here.
        DWORD error = ERROR_SUCCESS;
        const HANDLE h = openHidPath(device.path, &error);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        const int code = static_cast<int>(error);
        reports.push_back({std::move(device), keyboardAccessFromError(code), code});
    }
    return reports;
}
