// Every transfer against the real emulator unplugged after every host report index, and
// against a silent one. Each must end within twice the read timeout, and a transfer cut
// short must not report success.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "CVelaHWI.h"
#include "EmulatorProcess.h"
#include "KeyboardUtil.h"
#include "Transfers.h"

namespace {

using namespace std::chrono_literals;
using reliability::Transfer;
using Clock = std::chrono::steady_clock;

constexpr int kReadTimeoutMs = 200;

// The host reports a transfer sends: begin, 174 slots (the sample's macros of two and
// five chunks add 1 + 4 reports) and end for the key write; one request for each read.
int hostReports(Transfer t) {
    switch (t) {
    case Transfer::WriteKeys: return 1 + 174 + 1 + 4 + 1;
    case Transfer::WriteLights: return 3;
    case Transfer::Firmware: return 12;
    default: return 1;
    }
}

struct TransferRun {
    bool result = false;
    std::chrono::milliseconds took{0};
};

TransferRun runOnce(Transfer t, const std::vector<std::string>& args) {
    kx30test::EmulatorProcess emulator;
    TransferRun run;
    if (!emulator.start({.args = args})) {
        ADD_FAILURE() << emulator.error();
        return run;
    }
    CVelaHWI hwi;
    auto transport = std::make_unique<CKelvaneX30Util>(kEmulatorPathPrefix + emulator.socketPath());
    if (!transport->isOpen()) {
        ADD_FAILURE() << "cannot connect to " << emulator.socketPath();
        return run;
    }
    hwi.attachTransport(std::move(transport));
    hwi.setReadTimeout(kReadTimeoutMs);
    const auto start = Clock::now();
    run.result = reliability::runTransfer(hwi, t);
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return run;
}

class EmulatorFault : public ::testing::TestWithParam<Transfer> {};

TEST_P(EmulatorFault, UnpluggedAfterEveryHostReport) {
    const Transfer t = GetParam();
    ASSERT_TRUE(runOnce(t, {}).result) << "the transfer fails without a fault";
    const int total = hostReports(t);
    int failed = 0;
    std::chrono::milliseconds longest{0};
    for (int n = 1; n < total; ++n) {
        const TransferRun run = runOnce(t, {"--disconnect-after", std::to_string(n)});
        EXPECT_LT(run.took.count(), 2 * kReadTimeoutMs) << "unplugged after report " << n;
        longest = std::max(longest, run.took);
        // A write waits until the keyboard has taken each report, so a keyboard gone before
        // a report fails that write or the next. Only for the very last report of a transfer
        // the transport cannot tell "read, then unplugged" from "unplugged unread".
        if (n < total - 1) {
            EXPECT_FALSE(run.result) << "unplugged after report " << n << " of " << total;
        }
        failed += !run.result;
    }
    // Reads: the request is taken, the answer never comes.
    if (total == 1) {
        const TransferRun run = runOnce(t, {"--disconnect-after", "1"});
        EXPECT_FALSE(run.result);
        EXPECT_LT(run.took.count(), 2 * kReadTimeoutMs);
        longest = std::max(longest, run.took);
        ++failed;
    }
    std::printf("%s: %d unplug points, %d failed, longest %lld ms\n",
                reliability::transferName(t), std::max(total - 1, 1), failed,
                static_cast<long long>(longest.count()));
}

TEST_P(EmulatorFault, SilentKeyboard) {
    const Transfer t = GetParam();
    const TransferRun run = runOnce(t, {"--silent"});
    EXPECT_EQ(run.result, reliability::isWrite(t));
    EXPECT_LT(run.took.count(), 2 * kReadTimeoutMs);
}

INSTANTIATE_TEST_SUITE_P(Transfers, EmulatorFault, ::testing::ValuesIn(reliability::kAllTransfers),
                         [](const auto& param) { return reliability::transferName(param.param); });

}  // namespace
