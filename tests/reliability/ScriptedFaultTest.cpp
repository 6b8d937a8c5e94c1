// Every transfer against a keyboard that goes away at every report index, in both
// directions: a disconnect before the last report of a transfer must end it with false,
// and only a transfer whose every report went through may report success. The real
// emulator cannot drop out in the middle of its own answer; this scripted keyboard can.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <deque>
#include <memory>

#include "CVelaHWI.h"
#include "KeyboardUtil.h"
#include "Transfers.h"

namespace {

using reliability::Transfer;
using Payload = std::array<std::uint8_t, kPayloadSize>;

// A keyboard that answers like the real one from a fixed script and drops out at report
// index cutAt (writes and reads counted together): that report and every later one fail.
// When silent, reads fail (time out) and writes go through.
class CuttingKeyboard final : public CKeyboardUtil {
public:
    CuttingKeyboard(std::deque<Payload> script, long cut, bool mute)
        : answers(std::move(script)), cutAt(cut), silent(mute) {}

    bool writeReport(const std::uint8_t*, int length) override {
        if (length != kReportSize || gone()) return false;
        ++reports;
        return true;
    }
    bool readReport(std::uint8_t* buffer, int* length, int timeoutMs) override {
        if (timeoutMs < 0) unbounded = true;
        if (silent || gone() || answers.empty()) return false;
        ++reports;
        std::memcpy(buffer, answers.front().data(), static_cast<std::size_t>(std::min(*length, kPayloadSize)));
        answers.pop_front();
        return true;
    }

    long reports = 0;  // reports that went through
    bool unbounded = false;

private:
    bool gone() const { return cutAt >= 0 && reports >= cutAt; }
    std::deque<Payload> answers;
    long cutAt;
    bool silent;
};

// What the keyboard answers to each transfer: for a key read, the records of the sample
// configuration as the library itself would send them, then the end report.
std::deque<Payload> scriptFor(Transfer t) {
    std::deque<Payload> script;
    switch (t) {
    case Transfer::ReadKeys: {
        // Record the sample's key write, and answer with its records and end report.
        struct Recorder final : CKeyboardUtil {
            bool writeReport(const std::uint8_t* buffer, int) override {
                Payload p;
                std::memcpy(p.data(), buffer + 1, kPayloadSize);
                written.push_back(p);
                return true;
            }
            bool readReport(std::uint8_t*, int*, int) override { return false; }
            std::deque<Payload> written;
        };
        auto recorder = std::make_unique<Recorder>();
        Recorder* seen = recorder.get();
        CVelaHWI writer;
        writer.attachTransport(std::move(recorder));
        reliability::storeSample(writer);
        EXPECT_TRUE(writer.writeKeyConfigurationToDev(nullptr));
        script = seen->written;
        script.pop_front();  // the begin report is the host's
        break;
    }
    case Transfer::ReadLights: {
        Payload data{}, end;
        data[1] = 0xE0;
        for (int i = 0; i < 12; ++i) data[2 + i] = static_cast<std::uint8_t>(i + 1);
        end.fill(0xE6);
        script = {data, end};
        break;
    }
    case Transfer::Version: {
        Payload answer{};
        answer[1] = 0xF9;
        std::memcpy(answer.data() + 2, "KX30 FW", 7);
        script = {answer};
        break;
    }
    default: break;  // writes get no answer
    }
    return script;
}

struct Outcome {
    bool result;
    long reports;
    bool unbounded;
};

Outcome runAgainst(Transfer t, long cutAt, bool silent) {
    auto keyboard = std::make_unique<CuttingKeyboard>(scriptFor(t), cutAt, silent);
    CuttingKeyboard* k = keyboard.get();
    CVelaHWI hwi;
    hwi.attachTransport(std::move(keyboard));
    hwi.setReadTimeout(200);
    const bool result = reliability::runTransfer(hwi, t);
    return {result, k->reports, k->unbounded};
}

class ScriptedFault : public ::testing::TestWithParam<Transfer> {};

TEST_P(ScriptedFault, DisconnectAtEveryReportIndexFails) {
    const Transfer t = GetParam();
    const Outcome whole = runAgainst(t, -1, false);
    ASSERT_TRUE(whole.result);
    ASSERT_GT(whole.reports, 0);
    for (long cut = 0; cut < whole.reports; ++cut) {
        const Outcome o = runAgainst(t, cut, false);
        EXPECT_FALSE(o.result) << "disconnect at report " << cut << " of " << whole.reports;
        EXPECT_EQ(o.reports, cut);
        EXPECT_FALSE(o.unbounded);
    }
    // A disconnect right after the last report is not the transfer's concern.
    EXPECT_TRUE(runAgainst(t, whole.reports, false).result);
}

TEST_P(ScriptedFault, SilentKeyboardFailsEveryReadAndTakesEveryWrite) {
    const Transfer t = GetParam();
    const Outcome o = runAgainst(t, -1, true);
    // The protocol has no acknowledgements: a keyboard that never answers still takes
    // writes, and only the reads can notice it.
    EXPECT_EQ(o.result, reliability::isWrite(t));
    EXPECT_FALSE(o.unbounded);
}

INSTANTIATE_TEST_SUITE_P(Transfers, ScriptedFault, ::testing::ValuesIn(reliability::kAllTransfers),
                         [](const auto& param) { return reliability::transferName(param.param); });

}  // namespace
