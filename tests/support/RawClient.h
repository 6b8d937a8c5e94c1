#pragma once
// Test helper: the host's end of the emulator socket at its rawest. One message is one
// 65-byte report; every wait has a timeout.

#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>

namespace kx30test {

using Report = std::array<std::uint8_t, 65>;

// A report with report id 0 and the given payload bytes from payload byte 0 on, the rest 0.
Report makeReport(std::initializer_list<std::uint8_t> payload);
// A report whose 64 payload bytes are all fill.
Report filledReport(std::uint8_t fill);

class RawClient {
public:
    RawClient() = default;
    ~RawClient();
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    // Connects to the emulator's socket. False when nobody listens there.
    bool connect(const std::string& path);
    void close();
    bool connected() const { return fd_ >= 0; }

    bool send(const Report& report) { return sendBytes(report); }
    // Any number of bytes as one message (to show what the emulator does with odd lengths).
    bool sendBytes(std::span<const std::uint8_t> bytes);
    // The next report, or nullopt when none came within timeout or the emulator closed the
    // connection (peerClosed() tells which).
    std::optional<Report> receive(std::chrono::milliseconds timeout = std::chrono::milliseconds(2000));
    bool peerClosed() const { return closed_; }

private:
    int fd_ = -1;
    bool closed_ = false;
};

}  // namespace kx30test
