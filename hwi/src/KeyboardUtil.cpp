#include "KeyboardUtil.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>

#include "VersionText.h"

CKeyboardUtil::~CKeyboardUtil() = default;
IReportChannel::~IReportChannel() = default;

CKelvaneX30Util::CKelvaneX30Util(const std::string& path) : channel(openReportChannel(path)) {}

CKelvaneX30Util::CKelvaneX30Util(std::unique_ptr<IReportChannel> channel_)
    : channel(std::move(channel_)) {}

CKelvaneX30Util::~CKelvaneX30Util() = default;

bool CKelvaneX30Util::isOpen() const { return channel && channel->isOpen(); }

bool CKelvaneX30Util::writeReport(const std::uint8_t* buffer, int length) {
    if (!isOpen() || buffer == nullptr || length <= 0) return false;
    return channel->send(buffer, length, writeTimeoutMs);
}

bool CKelvaneX30Util::waitUntilTaken() {
    return isOpen() && channel->waitUntilTaken(writeTimeoutMs);
}

bool CKelvaneX30Util::readReport(std::uint8_t* buffer, int* length, int timeoutMs) {
    if (!isOpen() || buffer == nullptr || length == nullptr || *length < 0) return false;
    std::array<std::uint8_t, kReportSize> report{};
    const int received = channel->receive(report.data(), kReportSize, timeoutMs);
    if (received <= 0) return false;
    // Payload without the report id; whatever a short report did not carry reads as 0.
    const int wanted = std::min(*length, kPayloadSize);
    std::memcpy(buffer, report.data() + 1, static_cast<std::size_t>(wanted));
    *length = std::max(*length, received - 1);
    return true;
}

bool CKelvaneX30Util::queryVersion(wchar_t* text, int timeoutMs) {
    return queryKeyboardVersion(*this, text, timeoutMs);
}

bool queryKeyboardVersion(CKeyboardUtil& transport, wchar_t* text, int timeoutMs) {
    constexpr std::uint8_t kRequestVersion = 0xF9;
    constexpr int kMaxStrays = 256;
    if (text == nullptr) return false;
    std::array<std::uint8_t, kReportSize> request{};
    request[2] = kRequestVersion;
    if (!transport.writeReport(request.data(), kReportSize)) return false;
    std::uint8_t payload[kPayloadSize];
    for (int i = 0; i < kMaxStrays; ++i) {
        int length = kPayloadSize;
        if (!transport.readReport(payload, &length, timeoutMs)) return false;
        if (payload[1] != kRequestVersion) continue;  // not the answer: pass over
        decodeVersionText(payload + 2, kPayloadSize - 2, text, kPayloadSize - 2 + 1);
        return true;
    }
    return false;
}
