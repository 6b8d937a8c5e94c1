// A real keyboard through a file handle on its HID device path. The handle is opened for
// overlapped I/O so that every read and write waits at most its timeout: an operation that
// does not finish in time is cancelled, and waited for, before its buffer goes away.
#include <windows.h>

#include <array>
#include <cstring>
#include <string>

#include "HidWin32.h"
#include "KeyboardUtil.h"

namespace {

class HidWin32Channel final : public IReportChannel {
public:
    explicit HidWin32Channel(const std::string& path)
        : device(openHidPath(path)), done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~HidWin32Channel() override {
        if (device != INVALID_HANDLE_VALUE) CloseHandle(device);
        if (done != nullptr) CloseHandle(done);
    }
    HidWin32Channel(const HidWin32Channel&) = delete;
    HidWin32Channel& operator=(const HidWin32Channel&) = delete;

    bool isOpen() const override { return device != INVALID_HANDLE_VALUE && done != nullptr; }

    // One WriteFile of the whole report (report id first, as the HID class driver wants
    // it). The number of bytes written is not looked at.
    bool send(const std::uint8_t* report, int length, int timeoutMs) override {
        if (!isOpen() || report == nullptr || length <= 0 || length > kReportSize) return false;
        std::memcpy(buffer.data(), report, static_cast<std::size_t>(length));
        DWORD moved = 0;
        return transfer(false, static_cast<DWORD>(length), timeoutMs, moved);
    }

    // One ReadFile of one input report; the class driver puts the report id in byte 0.
    int receive(std::uint8_t* report, int capacity, int timeoutMs) override {
        if (!isOpen() || report == nullptr || capacity < 2) return -1;
        DWORD moved = 0;
        if (!transfer(true, kReportSize, timeoutMs, moved)) return timedOut ? 0 : -1;
        const int n = static_cast<int>(moved) < capacity ? static_cast<int>(moved) : capacity;
        std::memcpy(report, buffer.data(), static_cast<std::size_t>(n));
        return n;
    }

private:
    // Runs one read or write on `buffer` and waits for it at most timeoutMs (negative: no
    // limit). False on failure or timeout; timedOut says which.
    bool transfer(bool read, DWORD length, int timeoutMs, DWORD& moved) {
        timedOut = false;
        OVERLAPPED op{};
        op.hEvent = done;
        ResetEvent(done);
        const BOOL started = read ? ReadFile(device, buffer.data(), length, nullptr, &op)
                                  : WriteFile(device, buffer.data(), length, nullptr, &op);
        if (!started && GetLastError() != ERROR_IO_PENDING) return false;
        const DWORD wait = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
        if (WaitForSingleObject(done, wait) != WAIT_OBJECT_0) {
            CancelIoEx(device, &op);
            // The buffer belongs to the operation until it has really ended. A report that
            // arrived while we cancelled is taken, not lost.
            if (GetOverlappedResult(device, &op, &moved, TRUE)) return true;
            timedOut = GetLastError() == ERROR_OPERATION_ABORTED;
            return false;
        }
        return GetOverlappedResult(device, &op, &moved, FALSE) != FALSE;
    }

    HANDLE device;
    HANDLE done;  // signalled when the operation in flight ends
    std::array<std::uint8_t, kReportSize> buffer{};
    bool timedOut = false;
};

// The emulator's socket transport does not exist on Windows: such a path opens nothing.
class AbsentChannel final : public IReportChannel {
public:
    bool isOpen() const override { return false; }
    bool send(const std::uint8_t*, int, int) override { return false; }
    int receive(std::uint8_t*, int, int) override { return -1; }
};

}  // namespace

std::wstring widePath(const std::string& path) {
    if (path.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()),
                                      nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
    return wide;
}

HANDLE openHidPath(const std::string& path, DWORD* error) {
    const std::wstring wide = widePath(path);
    HANDLE h = INVALID_HANDLE_VALUE;
    if (!wide.empty()) {
        h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                        OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    }
    if (error != nullptr)
        *error = h == INVALID_HANDLE_VALUE ? (wide.empty() ? ERROR_INVALID_NAME : GetLastError())
                                           : ERROR_SUCCESS;
    return h;
}

std::unique_ptr<IReportChannel> openReportChannel(const std::string& path) {
    const std::string prefix = kEmulatorPathPrefix;
    if (path.compare(0, prefix.size(), prefix) == 0) return std::make_unique<AbsentChannel>();
    return std::make_unique<HidWin32Channel>(path);
}
