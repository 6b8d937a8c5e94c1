// Round trips through the real emulator process: what the library writes, the keyboard
// keeps and sends back; its fault modes end every transfer as they should, in bounded time.
#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "CVelaHWI.h"
#include "EmulatorProcess.h"
#include "HwiSinks.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Arrays = std::vector<std::vector<int>>;  // one configuration array per slot

std::vector<int> timedMacro(int steps) {
    std::vector<int> v = {2, 3, 0, steps};
    for (int i = 0; i < steps; ++i) {
        v.push_back(4 + i);
        if (i + 1 < steps) v.push_back(10 * i + 1);
    }
    return v;
}

// A configuration with every kind on both levels; slots not listed stay empty.
Arrays sampleConfiguration() {
    Arrays slots(174, std::vector<int>{0, 0});
    slots[0] = {0, 1, 0x04};
    slots[1] = {0, 3, 0xE0, 0xE1, 0x06};
    slots[2] = {1, 300, 3, 0x0B, 0x08, 0x0F};
    slots[3] = {2, 1, 1, 5, 0x0B, 0x08, 0x0F, 0x0F, 0x12};
    slots[4] = timedMacro(3);
    slots[86] = timedMacro(15);   // two chunks
    slots[87] = timedMacro(64);   // five chunks, the largest timed macro
    slots[100] = {0, 58};
    slots[100].resize(60, 0xC7);
    slots[173] = {1, 65535, 1, 0xFF};
    return slots;
}

void store(CVelaHWI& hwi, const Arrays& slots) {
    ASSERT_TRUE(hwi.prepare());
    for (int i = 0; i < 174; ++i) {
        std::vector<int> a = slots[i];
        ASSERT_TRUE(hwi.setKeyConfiguration(i / 87, i % 87 + 1, a.data(), static_cast<int>(a.size())))
            << "slot " << i;
    }
}

Arrays readStore(CVelaHWI& hwi) {
    Arrays slots(174);
    for (int i = 0; i < 174; ++i) {
        std::vector<int> out(600, 0);
        EXPECT_TRUE(hwi.getKeyConfiguration(i / 87, i % 87 + 1, out.data(), 600));
        int size = 2;
        switch (out[0]) {
        case 0: size = 2 + out[1]; break;
        case 1: size = 3 + out[2]; break;
        case 2: size = 4 + (out[2] == 1 ? out[3] : std::max(0, 2 * out[3] - 1)); break;
        }
        out.resize(static_cast<std::size_t>(size));
        slots[i] = out;
    }
    return slots;
}

class CountingSink : public IProgressSink {
public:
    void postTransferProgress(int) noexcept override { ++count; }
    int count = 0;
};

class HwiEmulator : public ::testing::Test {
protected:
    bool startEmulator(std::vector<std::string> args = {}, bool stateFile = false) {
        if (!emu.start({.args = std::move(args), .useStateFile = stateFile})) {
            ADD_FAILURE() << emu.error();
            return false;
        }
        hwi.setReadTimeout(500);
        return hwi.__createDev();
    }
    kx30test::EmulatorProcess emu;
    CVelaHWI hwi;
};

TEST_F(HwiEmulator, KeysWrittenReadBackEqual) {
    ASSERT_TRUE(startEmulator());
    const Arrays config = sampleConfiguration();
    store(hwi, config);
    CountingSink written;
    ASSERT_TRUE(hwi.writeKeyConfigurationToDev(&written));
    EXPECT_EQ(written.count, 174);
    EXPECT_FALSE(emu.waitForEvent("keys-written", 5s).empty());

    ASSERT_TRUE(hwi.prepare());
    CountingSink read;
    ASSERT_TRUE(hwi.readKeyDefinationFromDev(&read));
    EXPECT_EQ(read.count, 174);
    const Arrays back = readStore(hwi);
    for (int i = 0; i < 174; ++i) EXPECT_EQ(back[i], config[i]) << "slot " << i;
}

TEST_F(HwiEmulator, LightsAndVersion) {
    ASSERT_TRUE(startEmulator({"--version", "KX30 test 7.1"}));
    int areas[12] = {0, 137, 225, 0, 144, 73, 161, 72, 117, 255, 128, 0};
    ASSERT_TRUE(hwi.setKeyboardLightArea(areas));
    EXPECT_EQ(emu.waitForEvent("lights-written", 5s),
              "lights-written 0,137,225 0,144,73 161,72,117 255,128,0");
    ASSERT_TRUE(hwi.prepare());
    ASSERT_TRUE(hwi.readKeyLightFromDev());
    int out[12];
    hwi.getKeyboardLightArea(out);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(out[i], areas[i]);
    wchar_t text[64] = {};
    ASSERT_TRUE(hwi.ReadKeyboardVersion(text));
    EXPECT_STREQ(text, L"KX30 test 7.1");
}

TEST_F(HwiEmulator, ConfigurationSurvivesARestart) {
    ASSERT_TRUE(startEmulator({}, true));
    const Arrays config = sampleConfiguration();
    store(hwi, config);
    int areas[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_TRUE(hwi.setKeyboardLightArea(areas));
    ASSERT_TRUE(hwi.writeKeyConfigurationToDev(nullptr));
    ASSERT_FALSE(emu.waitForEvent("keys-written", 5s).empty());

    ASSERT_TRUE(emu.restart()) << emu.error();
    CVelaHWI fresh;  // the old connection went with the old process
    ASSERT_TRUE(fresh.__createDev());
    ASSERT_TRUE(fresh.readKeyDefinationFromDev(nullptr));
    ASSERT_TRUE(fresh.readKeyLightFromDev());
    EXPECT_EQ(readStore(fresh), config);
    int out[12];
    fresh.getKeyboardLightArea(out);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(out[i], areas[i]);
}

TEST_F(HwiEmulator, FirmwareImageIsFlashed) {
    ASSERT_TRUE(startEmulator());
    std::string image;
    for (int i = 0; i < 20; ++i) image += ":10000000000102030405060708090A0B0C0D0E0F78\r\n";
    image += ":00000001FF\r\n";
    CountingSink progress;
    ASSERT_TRUE(hwi.WriteFirmwareToKeyboard(image.data(), static_cast<int>(image.size()), &progress));
    EXPECT_EQ(emu.waitForEvent("firmware-", 5s), "firmware-line 1 ok");
    EXPECT_EQ(emu.waitForEvent("firmware-flashed", 5s), "firmware-flashed 21 320");
    EXPECT_EQ(progress.count, 21);
}

TEST_F(HwiEmulator, BadFirmwareImageNeverReachesTheKeyboard) {
    ASSERT_TRUE(startEmulator());
    std::string image = ":10000000000102030405060708090A0B0C0D0E0F78\r\n:00000001FE\r\n";
    EXPECT_FALSE(hwi.WriteFirmwareToKeyboard(image.data(), static_cast<int>(image.size()), nullptr));
    wchar_t text[64];
    ASSERT_TRUE(hwi.ReadKeyboardVersion(text));  // a later exchange still works
    ASSERT_FALSE(emu.waitForEvent("version-read", 5s).empty());
    for (const std::string& line : emu.events()) EXPECT_EQ(line.rfind("firmware", 0), std::string::npos) << line;
}

// Fault modes: each transfer ends with the expected result well within a bound.
enum class Op { ReadKeys, ReadLights, Version, WriteKeys, WriteLights };

struct FaultCase {
    const char* name;
    std::vector<std::string> args;
    Op op;
    bool result;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class HwiEmulatorFault : public HwiEmulator, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(HwiEmulatorFault, EndsAsExpectedInBoundedTime) {
    const FaultCase& c = GetParam();
    ASSERT_TRUE(startEmulator(c.args));
    const Arrays config = sampleConfiguration();
    store(hwi, config);
    int areas[12] = {};
    wchar_t text[64] = L"old";
    const auto start = Clock::now();
    bool result = false;
    switch (c.op) {
    case Op::ReadKeys: result = hwi.readKeyDefinationFromDev(nullptr); break;
    case Op::ReadLights: result = hwi.readKeyLightFromDev(); break;
    case Op::Version: result = hwi.ReadKeyboardVersion(text); break;
    case Op::WriteKeys: result = hwi.writeKeyConfigurationToDev(nullptr); break;
    case Op::WriteLights: result = hwi.setKeyboardLightArea(areas); break;
    }
    EXPECT_EQ(result, c.result);
    EXPECT_LT(Clock::now() - start, 3s);
    if (c.op == Op::Version && !c.result) {
        EXPECT_STREQ(text, L"old");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, HwiEmulatorFault,
    ::testing::Values(
        FaultCase{"SilentKeys", {"--silent"}, Op::ReadKeys, false},
        FaultCase{"SilentLights", {"--silent"}, Op::ReadLights, false},
        FaultCase{"SilentVersion", {"--silent"}, Op::Version, false},
        FaultCase{"SilentStillTakesWrites", {"--silent"}, Op::WriteKeys, true},
        FaultCase{"StrayKeys", {"--stray"}, Op::ReadKeys, true},
        FaultCase{"StrayLights", {"--stray"}, Op::ReadLights, true},
        FaultCase{"StrayVersion", {"--stray"}, Op::Version, true},
        FaultCase{"UnpluggedDuringKeyWrite", {"--disconnect-after", "40"}, Op::WriteKeys, false},
        FaultCase{"UnpluggedAfterKeyRequest", {"--disconnect-after", "1"}, Op::ReadKeys, false},
        FaultCase{"UnpluggedAfterVersionRequest", {"--disconnect-after", "1"}, Op::Version, false},
        FaultCase{"ImpossibleSlotsSkipped", {"--malformed", "bad-slot"}, Op::ReadKeys, true},
        FaultCase{"TruncatedMacro", {"--malformed", "truncated-macro"}, Op::ReadKeys, false},
        FaultCase{"UnknownKind", {"--malformed", "bad-kind"}, Op::ReadKeys, true}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST_F(HwiEmulator, StrayAndImpossibleRecordsDoNotDisturbTheReadBack) {
    for (std::vector<std::string> args : {std::vector<std::string>{"--stray"},
                                          std::vector<std::string>{"--malformed", "bad-slot"}}) {
        kx30test::EmulatorProcess faulty;
        ASSERT_TRUE(faulty.start({.args = args})) << faulty.error();
        CVelaHWI device;
        ASSERT_TRUE(device.__createDev());
        const Arrays config = sampleConfiguration();
        store(device, config);
        ASSERT_TRUE(device.writeKeyConfigurationToDev(nullptr));
        ASSERT_FALSE(faulty.waitForEvent("keys-written", 5s).empty());
        ASSERT_TRUE(device.prepare());
        ASSERT_TRUE(device.readKeyDefinationFromDev(nullptr)) << args.back();
        EXPECT_EQ(readStore(device), config) << args.back();
    }
}

TEST_F(HwiEmulator, WritesAfterUnpluggingFail) {
    // A light write is three reports: the first goes through whole, the keyboard is pulled
    // after the first report of the second.
    ASSERT_TRUE(startEmulator({"--disconnect-after", "4"}));
    int areas[12] = {};
    EXPECT_TRUE(hwi.setKeyboardLightArea(areas));
    EXPECT_FALSE(hwi.setKeyboardLightArea(areas));
    ASSERT_TRUE(emu.waitForExit(5s).has_value());
    const auto start = Clock::now();
    EXPECT_FALSE(hwi.setKeyboardLightArea(areas));
    EXPECT_FALSE(hwi.writeKeyConfigurationToDev(nullptr));
    EXPECT_LT(Clock::now() - start, 1s);
    EXPECT_FALSE(hwi.DetectDevice());
}

TEST_F(HwiEmulator, UnknownKindEmptiesTheSlot) {
    ASSERT_TRUE(startEmulator({"--malformed", "bad-kind"}));
    std::vector<int> a = {0, 1, 0x33};
    ASSERT_TRUE(hwi.setKeyConfiguration(0, 1, a.data(), 3));
    ASSERT_TRUE(hwi.readKeyDefinationFromDev(nullptr));
    EXPECT_EQ(readStore(hwi)[0], (std::vector<int>{0, 0}));
}

}  // namespace
