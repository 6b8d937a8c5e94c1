// The emulator transport on a real socket: payload framing, bounded waits, disconnects.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <string>
#include <thread>

#include "CVelaHWI.h"
#include "KeyboardUtil.h"

namespace {

using Clock = std::chrono::steady_clock;

// A peer that accepts one connection and does only what the test tells it.
class Peer {
public:
    Peer() {
        char dir[] = "/tmp/kx30-hwi-XXXXXX";
        dir_ = mkdtemp(dir);
        path_ = dir_ + "/kb.sock";
        listenFd_ = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        path_.copy(a.sun_path, sizeof a.sun_path - 1);
        bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listenFd_, 4);
    }
    ~Peer() {
        if (fd_ >= 0) close(fd_);
        close(listenFd_);
        unlink(path_.c_str());
        rmdir(dir_.c_str());
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    std::unique_ptr<CKelvaneX30Util> connect() {
        auto util = std::make_unique<CKelvaneX30Util>(std::string(kEmulatorPathPrefix) + path_);
        fd_ = accept(listenFd_, nullptr, nullptr);
        return util;
    }
    void send(const std::uint8_t* bytes, std::size_t n) { ::send(fd_, bytes, n, 0); }
    int receive(std::uint8_t* bytes, std::size_t n) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0) return -1;
        return static_cast<int>(recv(fd_, bytes, n, 0));
    }
    void hangUp() {
        close(fd_);
        fd_ = -1;
    }

private:
    std::string dir_;
    std::string path_;
    int listenFd_ = -1;
    int fd_ = -1;
};

TEST(HwiSocketTransport, ReportsTravelWholeAndReadsHandBackThePayload) {
    Peer peer;
    auto util = peer.connect();
    ASSERT_TRUE(util->isOpen());

    std::array<std::uint8_t, 65> out{};
    out[2] = 0xF2;
    // A write ends once the keyboard has taken the report: the peer reads meanwhile.
    std::array<std::uint8_t, 100> got{};
    int received = 0;
    std::thread reader([&] { received = peer.receive(got.data(), got.size()); });
    const bool written = util->writeReport(out.data(), 65);
    reader.join();
    ASSERT_TRUE(written);
    ASSERT_EQ(received, 65);
    EXPECT_EQ(got[2], 0xF2);

    std::array<std::uint8_t, 65> in{};
    for (int i = 1; i < 65; ++i) in[i] = static_cast<std::uint8_t>(i);
    peer.send(in.data(), in.size());
    std::uint8_t payload[64];
    int length = 64;
    ASSERT_TRUE(util->readReport(payload, &length, 1000));
    EXPECT_EQ(length, 64);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(payload[i], i + 1);
}

TEST(HwiSocketTransport, ShortReportReadsAsZeroPadded) {
    Peer peer;
    auto util = peer.connect();
    const std::uint8_t shortReport[] = {0x00, 0x00, 0xE6};
    peer.send(shortReport, sizeof shortReport);
    std::uint8_t payload[64];
    std::fill(std::begin(payload), std::end(payload), 0xAA);
    int length = 64;
    ASSERT_TRUE(util->readReport(payload, &length, 1000));
    EXPECT_EQ(length, 64);
    EXPECT_EQ(payload[1], 0xE6);
    for (int i = 2; i < 64; ++i) ASSERT_EQ(payload[i], 0);
}

TEST(HwiSocketTransport, ReadFromASilentKeyboardEndsAtTheTimeout) {
    Peer peer;
    auto util = peer.connect();
    std::uint8_t payload[64];
    int length = 64;
    const auto start = Clock::now();
    EXPECT_FALSE(util->readReport(payload, &length, 200));
    const auto took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(190));
    EXPECT_LT(took, std::chrono::milliseconds(2000));
}

TEST(HwiSocketTransport, DisconnectEndsReadsAndWritesAtOnce) {
    Peer peer;
    auto util = peer.connect();
    peer.hangUp();
    std::uint8_t payload[64];
    int length = 64;
    const auto start = Clock::now();
    EXPECT_FALSE(util->readReport(payload, &length, 5000));
    std::array<std::uint8_t, 65> out{};
    EXPECT_FALSE(util->writeReport(out.data(), 65));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
}

TEST(HwiSocketTransport, WritesToAKeyboardThatTakesNothingGiveUp) {
    Peer peer;
    auto util = peer.connect();
    util->setWriteTimeout(200);
    std::array<std::uint8_t, 65> out{};
    const auto start = Clock::now();
    bool ok = true;
    for (int i = 0; i < 100000 && ok; ++i) ok = util->writeReport(out.data(), 65);
    EXPECT_FALSE(ok);  // the peer never reads: the queue fills and a write times out
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(5000));
}

TEST(HwiSocketTransport, WholeKeyReadFromASilentKeyboardIsBounded) {
    Peer peer;
    CVelaHWI hwi;
    hwi.setReadTimeout(300);
    hwi.attachTransport(peer.connect());
    const auto start = Clock::now();
    EXPECT_FALSE(hwi.readKeyDefinationFromDev(nullptr));
    EXPECT_FALSE(hwi.readKeyLightFromDev());
    wchar_t text[64] = L"old";
    EXPECT_FALSE(hwi.ReadKeyboardVersion(text));
    EXPECT_STREQ(text, L"old");
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
}

TEST(HwiSocketTransport, NothingListeningIsNotOpen) {
    CKelvaneX30Util util(std::string(kEmulatorPathPrefix) + "/nonexistent/kx30.sock");
    EXPECT_FALSE(util.isOpen());
    std::array<std::uint8_t, 65> out{};
    EXPECT_FALSE(util.writeReport(out.data(), 65));
}

}  // namespace
