// The Windows backends of the library: discovery through SetupAPI, the report transport on
// an overlapped file handle, and the low-level keyboard hook. The transport is driven
// through a named pipe standing in for the device file, so reads that time out, reports
// that arrive after a timeout and a device that goes away can all be produced here. Under
// Wine there are no HID devices, and a hook may get no keys without a desktop; those cases
// say so and skip.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CVelaHWI.h"
#include "Discovery.h"
#include "KeyboardHook.h"
#include "KeyboardUtil.h"

namespace {

bool underWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(HwiWindowsDiscovery, ListsOnlyInterfacesThatMatchTheRuleAndNoEmulator) {
    for (const KeyboardDeviceInfo& d : listKeyboards()) {
        EXPECT_TRUE(matchesKeyboardPath(d.path)) << d.path;
        EXPECT_FALSE(d.emulator);
    }
    for (const KeyboardAccessReport& r : probeKeyboards()) EXPECT_FALSE(r.device.emulator);
}

TEST(HwiWindowsDiscovery, NoKeyboardLeavesTheObjectClosed) {
    if (!listKeyboards().empty()) GTEST_SKIP() << "a real keyboard is plugged in";
    CVelaHWI hwi;
    EXPECT_FALSE(hwi.DetectDevice());
    EXPECT_FALSE(hwi.__createDev());
    EXPECT_FALSE(hwi.isOpen());
    EXPECT_TRUE(probeKeyboards().empty());
}

TEST(HwiWindowsTransport, PathsThatOpenNothingFailEveryReport) {
    // The emulator's transport does not exist on Windows; a missing device is not there.
    for (const char* path : {"emulator:/tmp/kelvane-x30-emulator.sock",
                             "\\\\?\\hid#vid_0483&pid_5018&mi_01#missing#{0}", ""}) {
        SCOPED_TRACE(path);
        CKelvaneX30Util util{std::string(path)};
        EXPECT_FALSE(util.isOpen());
        std::array<std::uint8_t, kReportSize> report{};
        EXPECT_FALSE(util.writeReport(report.data(), kReportSize));
        int length = kPayloadSize;
        EXPECT_FALSE(util.readReport(report.data(), &length, 10));
    }
}

// The device's side: a message-mode pipe that the transport opens like a HID device path.
class PipeDevice : public ::testing::Test {
protected:
    void SetUp() override {
        path = "\\\\.\\pipe\\kx30-transport-" + std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const std::wstring wide(path.begin(), path.end());
        server = CreateNamedPipeW(wide.c_str(), PIPE_ACCESS_DUPLEX,
                                  PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1,
                                  4096, 4096, 0, nullptr);
        ASSERT_NE(server, INVALID_HANDLE_VALUE) << GetLastError();
        util = std::make_unique<CKelvaneX30Util>(path);
        ASSERT_TRUE(util->isOpen());
    }
    void TearDown() override {
        util.reset();
        closeServer();
    }
    void closeServer() {
        if (server != INVALID_HANDLE_VALUE) CloseHandle(server);
        server = INVALID_HANDLE_VALUE;
    }

    // A keyboard report: id 0, payload byte 1 the command, then a counting pattern.
    static std::array<std::uint8_t, kReportSize> report(std::uint8_t command) {
        std::array<std::uint8_t, kReportSize> r{};
        r[2] = command;
        for (int i = 3; i < kReportSize; ++i) r[i] = static_cast<std::uint8_t>(i);
        return r;
    }
    void deviceSends(const std::array<std::uint8_t, kReportSize>& r) {
        DWORD n = 0;
        ASSERT_TRUE(WriteFile(server, r.data(), kReportSize, &n, nullptr));
        ASSERT_EQ(n, DWORD(kReportSize));
    }

    std::string path;
    HANDLE server = INVALID_HANDLE_VALUE;
    std::unique_ptr<CKelvaneX30Util> util;
};

TEST_F(PipeDevice, ReadHandsBackThePayloadWithoutTheReportId) {
    const auto sent = report(0xF9);
    deviceSends(sent);
    std::array<std::uint8_t, kPayloadSize> payload{};
    int length = kPayloadSize;
    ASSERT_TRUE(util->readReport(payload.data(), &length, 2000));
    EXPECT_EQ(length, kPayloadSize);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), sent.begin() + 1));
}

TEST_F(PipeDevice, WriteSendsTheWholeReport) {
    const auto sent = report(0xF1);
    ASSERT_TRUE(util->writeReport(sent.data(), kReportSize));
    std::array<std::uint8_t, kReportSize + 8> got{};
    DWORD n = 0;
    ASSERT_TRUE(ReadFile(server, got.data(), DWORD(got.size()), &n, nullptr));
    ASSERT_EQ(n, DWORD(kReportSize));
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), got.begin()));
}

TEST_F(PipeDevice, ReadGivesUpAfterItsTimeoutAndTheNextReportStillArrivesWhole) {
    std::array<std::uint8_t, kPayloadSize> payload{};
    int length = kPayloadSize;
    // A keyboard that never answers: the read ends (false) instead of waiting for ever.
    EXPECT_FALSE(util->readReport(payload.data(), &length, 100));
    // The cancelled read took nothing away: a report sent afterwards is read complete.
    const auto sent = report(0xF2);
    deviceSends(sent);
    length = kPayloadSize;
    ASSERT_TRUE(util->readReport(payload.data(), &length, 2000));
    EXPECT_EQ(payload[1], 0xF2);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), sent.begin() + 1));
}

TEST_F(PipeDevice, DeviceGoneFailsReadAndWrite) {
    closeServer();
    std::array<std::uint8_t, kReportSize> r = report(0xF3);
    int length = kPayloadSize;
    EXPECT_FALSE(util->readReport(r.data(), &length, 2000));
    EXPECT_FALSE(util->writeReport(r.data(), kReportSize));
}

// The low-level hook under the platform's own input: keys typed with SendInput while the
// hook is installed arrive as WM_HOOKED_KEY parameters, and none after UninstallHook.
class RecordingTarget : public IHookTarget {
public:
    void postHookedKey(std::uint32_t wParam, std::uint32_t lParam) noexcept override {
        keys.push_back({wParam, lParam});
    }
    std::vector<HookedKey> keys;
};

void typeKey(WORD vk, DWORD flags = 0) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[0].ki.dwFlags = flags;
    in[1].ki.dwFlags = flags | KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

// The low-level hook is called through this thread's message loop: run it for a while.
void pumpMessages(std::chrono::milliseconds span, const RecordingTarget& target,
                  std::size_t enough) {
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end && target.keys.size() < enough) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

TEST(HwiWindowsHook, TypedKeysArriveTranslatedAndStopAfterUninstall) {
    RecordingTarget target;
    if (!InstallHook(&target)) {
        if (underWine()) GTEST_SKIP() << "this Wine cannot install a low-level keyboard hook";
        FAIL() << "SetWindowsHookExW failed: " << GetLastError();
    }
    typeKey('A');
    typeKey(VK_RCONTROL, KEYEVENTF_EXTENDEDKEY);
    pumpMessages(std::chrono::seconds(10), target, 4);  // returns as soon as all are in
    if (target.keys.empty() && underWine()) {
        UninstallHook();
        GTEST_SKIP() << "Wine delivers no typed keys to a hook without a desktop";
    }
    const std::vector<HookedKey> expected = {
        {0x41, 0}, {0x80000041u, 0}, {0xA3, 0x01000000u}, {0x800000A3u, 0x01000000u}};
    EXPECT_EQ(target.keys, expected);
    UninstallHook();
    typeKey(VK_F24);  // should it reach the desktop after all, a key nothing acts on
    pumpMessages(std::chrono::milliseconds(300), target, 5);
    EXPECT_EQ(target.keys.size(), expected.size());
}

}  // namespace
