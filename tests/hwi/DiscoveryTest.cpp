// Finding the keyboard: the interface rule over device paths, the canonical path built from
// enumerated fields, and the emulator's socket.
#include <gtest/gtest.h>

#include <ostream>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "CVelaHWI.h"
#include "Discovery.h"

namespace {

struct PathCase {
    const char* path;
    bool matches;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.path; }

class HwiPathRule : public ::testing::TestWithParam<PathCase> {};

TEST_P(HwiPathRule, MatchesOnlyInterfaceOneOfTheKeyboard) {
    EXPECT_EQ(matchesKeyboardPath(GetParam().path), GetParam().matches) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, HwiPathRule,
    ::testing::Values(
        PathCase{R"(\\?\hid#vid_0483&pid_5018&mi_01#7&1a2b&0&0000#{4d1e55b2})", true},
        PathCase{R"(\\?\hid#vid_0483&pid_5018&mi_00#7&1a2b&0&0000)", false},
        PathCase{R"(\\?\hid#VID_0483&PID_5018&MI_01#7&1a2b)", false},
        PathCase{R"(\\?\hid#vid_0483&pid_5019&mi_01#7&1a2b)", false},
        PathCase{R"(\\?\hid#vid_0484&pid_5018&mi_01#7&1a2b)", false},
        PathCase{"mi_01vid_0483pid_5018", false},        // "mi_01" at the first character
        PathCase{"xmi_01vid_0483pid_5018", true},        // order of the parts is free
        PathCase{R"(\\?\hid#vid_0483&pid_50)", false},   // cut short: no read past the end
        PathCase{R"(\\?\hid#vid_04)", false},
        PathCase{"", false},
        PathCase{R"(\\?\hid#vid_1234&vid_0483&pid_5018&mi_01)", false}),  // the first "vid_" counts
    [](const auto& tc) { return "Case" + std::to_string(tc.index); });

TEST(HwiDiscovery, CanonicalPathCarriesTheEnumeratedFields) {
    EXPECT_EQ(canonicalHidPath(0x0483, 0x5018, 1, "/dev/hidraw3"),
              R"(\\?\hid#vid_0483&pid_5018&mi_01#/dev/hidraw3)");
    EXPECT_EQ(canonicalHidPath(0xABCD, 0x00EF, 0, "/dev/hidraw0"),
              R"(\\?\hid#vid_abcd&pid_00ef&mi_00#/dev/hidraw0)");
    EXPECT_TRUE(matchesKeyboardPath(canonicalHidPath(0x0483, 0x5018, 1, "/dev/hidraw3")));
    EXPECT_FALSE(matchesKeyboardPath(canonicalHidPath(0x0483, 0x5018, 0, "/dev/hidraw2")));
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old, had_ = true;
        if (value) setenv(name, value, 1); else unsetenv(name);
    }
    ~ScopedEnv() {
        if (had_) setenv(name_, saved_.c_str(), 1); else unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::string saved_;
    bool had_ = false;
};

TEST(HwiDiscovery, EmulatorSocketPathFallsBackInOrder) {
    {
        ScopedEnv a("KELVANE_X30_EMULATOR", "/x/y.sock");
        ScopedEnv b("XDG_RUNTIME_DIR", "/run/user/7");
        EXPECT_EQ(emulatorSocketPath(), "/x/y.sock");
    }
    {
        ScopedEnv a("KELVANE_X30_EMULATOR", nullptr);
        ScopedEnv b("XDG_RUNTIME_DIR", "/run/user/7");
        EXPECT_EQ(emulatorSocketPath(), "/run/user/7/kelvane-x30-emulator.sock");
    }
    {
        ScopedEnv a("KELVANE_X30_EMULATOR", nullptr);
        ScopedEnv b("XDG_RUNTIME_DIR", nullptr);
        EXPECT_EQ(emulatorSocketPath(), "/tmp/kelvane-x30-emulator.sock");
    }
}

// A listening SOCK_SEQPACKET socket in a private directory.
class Listener {
public:
    Listener() {
        char dir[] = "/tmp/kx30-hwi-XXXXXX";
        dir_ = mkdtemp(dir);
        path_ = dir_ + "/kb.sock";
        fd_ = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        path_.copy(a.sun_path, sizeof a.sun_path - 1);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(fd_, 4);
    }
    ~Listener() {
        close(fd_);
        unlink(path_.c_str());
        rmdir(dir_.c_str());
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    const std::string& path() const { return path_; }
    void stop() { close(fd_); unlink(path_.c_str()); fd_ = -1; }

private:
    std::string dir_;
    std::string path_;
    int fd_ = -1;
};

TEST(HwiDiscovery, ListeningEmulatorIsAKeyboard) {
    Listener listener;
    ScopedEnv env("KELVANE_X30_EMULATOR", listener.path().c_str());
    const auto found = listKeyboards();
    ASSERT_FALSE(found.empty());
    EXPECT_TRUE(found.back().emulator);
    EXPECT_EQ(found.back().path, "emulator:" + listener.path());
    EXPECT_EQ(found.back().interfaceNumber, 1);
    CVelaHWI hwi;
    EXPECT_TRUE(hwi.DetectDevice());
    EXPECT_FALSE(hwi.isOpen());  // detecting opens nothing
    ASSERT_TRUE(hwi.__createDev());
    EXPECT_TRUE(hwi.__createDev());  // already open
    listener.stop();
    EXPECT_TRUE(hwi.__createDev());  // no new discovery
    EXPECT_TRUE(hwi.__closeDev());
    EXPECT_FALSE(hwi.isOpen());
}

TEST(HwiDiscovery, NoKeyboardLeavesTheObjectClosed) {
    ScopedEnv env("KELVANE_X30_EMULATOR", "/nonexistent/kx30.sock");
    if (!listKeyboards().empty()) GTEST_SKIP() << "a real keyboard is plugged in";
    CVelaHWI hwi;
    EXPECT_FALSE(hwi.DetectDevice());
    EXPECT_FALSE(hwi.__createDev());
    EXPECT_FALSE(hwi.isOpen());
    int values[2];
    EXPECT_FALSE(hwi.getKeyConfiguration(0, 1, values, 2));
}

TEST(HwiDiscovery, StaleSocketFileIsNoKeyboard) {
    std::string path;
    {
        Listener listener;
        path = listener.path();
        ScopedEnv env("KELVANE_X30_EMULATOR", path.c_str());
        ASSERT_FALSE(listKeyboards().empty());
    }
    ScopedEnv env("KELVANE_X30_EMULATOR", path.c_str());
    for (const auto& d : listKeyboards()) EXPECT_FALSE(d.emulator);
}

}  // namespace
