#pragma once
// A hostile keyboard for the fuzz targets: it records what the library writes and answers
// every read with the next 64 bytes of the input.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "KeyboardUtil.h"

namespace kx30fuzz {

using Report = std::array<std::uint8_t, kReportSize>;

// Records what the library writes; reads come from a queue of payloads. When the queue is
// empty a read fails, as a read that timed out does.
class ScriptedKeyboard final : public CKeyboardUtil {
public:
    // Splits bytes into 64-byte payloads; a short tail is zero-padded.
    void queueBytes(const std::uint8_t* data, std::size_t size) {
        for (std::size_t at = 0; at < size; at += kPayloadSize) {
            std::array<std::uint8_t, kPayloadSize> payload{};
            std::memcpy(payload.data(), data + at, std::min<std::size_t>(kPayloadSize, size - at));
            answers.push_back(payload);
        }
    }
    // Queues what the host wrote as if the keyboard sent it back (without the report id).
    void queueWritten() {
        for (const Report& r : written) {
            std::array<std::uint8_t, kPayloadSize> payload{};
            std::memcpy(payload.data(), r.data() + 1, kPayloadSize);
            answers.push_back(payload);
        }
    }

    bool writeReport(const std::uint8_t* buffer, int length) override {
        FUZZ_CHECK(buffer != nullptr && length == kReportSize);
        Report r{};
        std::memcpy(r.data(), buffer, kReportSize);
        written.push_back(r);
        return true;
    }
    bool readReport(std::uint8_t* buffer, int* length, int timeoutMs) override {
        FUZZ_CHECK(buffer != nullptr && length != nullptr && *length >= 1 && *length <= kPayloadSize);
        FUZZ_CHECK(timeoutMs >= 0);  // every wait of the library is bounded
        ++reads;
        if (next >= answers.size()) return false;
        std::memcpy(buffer, answers[next++].data(), static_cast<std::size_t>(*length));
        return true;
    }

    std::vector<std::array<std::uint8_t, kPayloadSize>> answers;
    std::size_t next = 0;
    std::vector<Report> written;
    std::size_t reads = 0;
};

}  // namespace kx30fuzz
