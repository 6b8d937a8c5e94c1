#pragma once
// A transport that records every report written and answers reads from a script. When the
// script is used up a read fails, as a read that timed out does.

#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <vector>

#include "HwiSinks.h"
#include "KeyboardUtil.h"

using Report = std::array<std::uint8_t, kReportSize>;
using Payload = std::array<std::uint8_t, kPayloadSize>;

class FakeTransport : public CKeyboardUtil {
public:
    bool writeReport(const std::uint8_t* buffer, int length) override {
        if (failWriteAt >= 0 && static_cast<int>(written.size()) == failWriteAt) return false;
        Report r{};
        std::memcpy(r.data(), buffer, static_cast<std::size_t>(std::min(length, kReportSize)));
        written.push_back(r);
        lengths.push_back(length);
        return true;
    }
    bool readReport(std::uint8_t* buffer, int* length, int timeoutMs) override {
        lastTimeout = timeoutMs;
        ++reads;
        if (answers.empty()) return false;
        std::memcpy(buffer, answers.front().data(), kPayloadSize);
        answers.pop_front();
        *length = kPayloadSize;
        return true;
    }

    std::vector<Report> written;
    std::vector<int> lengths;
    std::deque<Payload> answers;
    int failWriteAt = -1;  // index of the write that fails, -1 for none
    int lastTimeout = 0;
    int reads = 0;
};

class RecordingSink : public IProgressSink {
public:
    void postTransferProgress(int wParam) noexcept override { values.push_back(wParam); }
    std::vector<int> values;
};

// A payload from its leading bytes, zero-padded.
inline Payload payload(std::initializer_list<int> bytes) {
    Payload p{};
    int i = 0;
    for (int b : bytes) p[i++] = static_cast<std::uint8_t>(b);
    return p;
}

inline Payload filled(std::uint8_t value) {
    Payload p;
    p.fill(value);
    return p;
}
