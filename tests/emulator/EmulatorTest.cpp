// Drives the real kx30-emulator process through raw reports. The expected bytes are
// written out from the protocol tables, independently of both the emulator and the library.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "EmulatorProcess.h"
#include "RawClient.h"

using namespace std::chrono_literals;
using kx30test::EmulatorProcess;
using kx30test::makeReport;
using kx30test::RawClient;
using kx30test::Report;

namespace {

constexpr std::uint8_t kF0 = 0xF0, kF1 = 0xF1, kF2 = 0xF2, kF6 = 0xF6;
constexpr std::uint8_t kE0 = 0xE0, kE1 = 0xE1, kE2 = 0xE2, kE6 = 0xE6, kF9 = 0xF9;

std::uint8_t payload(const Report& r, std::size_t i) { return r[i + 1]; }
bool isKeyEnd(const Report& r) { return payload(r, 0) == kF6; }
bool isKeyRecord(const Report& r) { return payload(r, 0) == 0 && payload(r, 1) == kF0; }

// The record of an empty slot: 00 F0 level key 00 00, then zeros.
Report emptyRecord(int level, int key) {
    return makeReport({0, kF0, static_cast<std::uint8_t>(level), static_cast<std::uint8_t>(key), 0, 0});
}

// A timed macro of `steps` steps: L = 4 * steps - 3, in ceil(L / 56) chunks, each with the
// same 8-byte header.
std::vector<Report> timedMacro(int level, int key, int steps) {
    std::vector<std::uint8_t> body;
    for (int i = 0; i < steps; ++i) {
        body.push_back(static_cast<std::uint8_t>(0x04 + i));
        if (i + 1 < steps) {
            body.push_back(0xC8);
            body.push_back(0x01);
            body.push_back(static_cast<std::uint8_t>(i));
        }
    }
    const auto length = static_cast<std::uint8_t>(body.size());
    std::vector<Report> chunks;
    for (std::size_t off = 0; off < body.size(); off += 56) {
        Report r = makeReport({0, kF0, static_cast<std::uint8_t>(level),
                               static_cast<std::uint8_t>(key), 2, 3, 1, length});
        for (std::size_t i = off; i < std::min(body.size(), off + 56); ++i) r[1 + 8 + i - off] = body[i];
        chunks.push_back(r);
    }
    return chunks;
}

// Reads reports until `isEnd` says the answer is complete; stops early on timeout.
std::vector<Report> readAnswer(RawClient& c, const std::function<bool(const Report&)>& isEnd,
                               std::chrono::milliseconds perReport = 2000ms) {
    std::vector<Report> got;
    while (auto r = c.receive(perReport)) {
        got.push_back(*r);
        if (isEnd(*r)) break;
    }
    return got;
}

std::vector<Report> readKeys(RawClient& c) {
    EXPECT_TRUE(c.send(makeReport({0, kF2})));
    return readAnswer(c, isKeyEnd);
}

// The key records of an answer (strays and the end report left out), by slot; a macro's
// chunks follow one another.
std::map<int, std::vector<Report>> recordsBySlot(const std::vector<Report>& answer) {
    std::map<int, std::vector<Report>> slots;
    for (const Report& r : answer) {
        if (!isKeyRecord(r)) continue;
        slots[(payload(r, 2) - 1) * 87 + payload(r, 3) - 1].push_back(r);
    }
    return slots;
}

void writeKeys(RawClient& c, const std::vector<Report>& records) {
    ASSERT_TRUE(c.send(makeReport({0, kF1})));
    for (const Report& r : records) ASSERT_TRUE(c.send(r));
    ASSERT_TRUE(c.send(kx30test::filledReport(kF6)));
}

Report lightData(std::initializer_list<std::uint8_t> bytes) {
    Report r = makeReport({0, kE0});
    std::copy(bytes.begin(), bytes.end(), r.begin() + 3);
    return r;
}

void writeLights(RawClient& c, const Report& data) {
    ASSERT_TRUE(c.send(makeReport({0, kE1})));
    ASSERT_TRUE(c.send(data));
    ASSERT_TRUE(c.send(kx30test::filledReport(kE6)));
}

// A firmware line report: payload 00 3A, then count, address, type, data and checksum.
Report firmwareLine(std::uint16_t address, std::uint8_t type, std::vector<std::uint8_t> data,
                    int checksumDelta = 0) {
    std::vector<std::uint8_t> rec{static_cast<std::uint8_t>(data.size()),
                                  static_cast<std::uint8_t>(address >> 8),
                                  static_cast<std::uint8_t>(address), type};
    rec.insert(rec.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (std::uint8_t b : rec) sum += b;
    rec.push_back(static_cast<std::uint8_t>(0x100 - (sum & 0xFF) + checksumDelta));
    Report r = makeReport({0, 0x3A});
    for (std::size_t i = 0; i < rec.size() && i < 62; ++i) r[3 + i] = rec[i];
    return r;
}

std::vector<std::uint8_t> bytesOf(std::size_t n, std::uint8_t start) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(start + i);
    return v;
}

// A configuration that touches every record shape: a normal key, a continuous key with
// delay 300, a one-chunk timed macro (14 steps, L = 53) and a two-chunk one (15 steps,
// L = 57) on level 2 key 1, slot 87.
std::vector<Report> sampleConfiguration() {
    std::vector<Report> records{
        makeReport({0, kF0, 1, 5, 0, 1, 0x2C}),
        makeReport({0, kF0, 1, 87, 1, 0x01, 0x2C, 3, 0x04, 0x05, 0x06}),
    };
    for (const Report& r : timedMacro(1, 20, 14)) records.push_back(r);
    for (const Report& r : timedMacro(2, 1, 15)) records.push_back(r);
    return records;
}

class EmulatorTest : public ::testing::Test {
protected:
    void startEmulator(EmulatorProcess::Options options = EmulatorProcess::Options{}) {
        ASSERT_TRUE(emu.start(std::move(options))) << emu.error();
        ASSERT_TRUE(client.connect(emu.socketPath()));
    }
    EmulatorProcess emu;
    RawClient client;
};

TEST_F(EmulatorTest, FreshMemoryAnswersEmptyRecordsZeroLightsAndTheDefaultVersion) {
    startEmulator();
    const auto keys = readKeys(client);
    ASSERT_EQ(keys.size(), 175u);
    for (int slot = 0; slot < 174; ++slot)
        EXPECT_EQ(keys[static_cast<std::size_t>(slot)], emptyRecord(slot / 87 + 1, slot % 87 + 1)) << slot;
    EXPECT_EQ(keys.back(), kx30test::filledReport(kF6));

    ASSERT_TRUE(client.send(makeReport({0, kE2})));
    const auto lights = readAnswer(client, [](const Report& r) { return payload(r, 1) == kE6; });
    ASSERT_EQ(lights.size(), 2u);
    EXPECT_EQ(lights[0], makeReport({0, kE0}));
    EXPECT_EQ(lights[1], kx30test::filledReport(kE6));

    ASSERT_TRUE(client.send(makeReport({0, kF9})));
    const auto version = client.receive();
    ASSERT_TRUE(version);
    EXPECT_EQ(payload(*version, 1), kF9);
    EXPECT_STREQ(reinterpret_cast<const char*>(version->data() + 3), "KX30 FW 1.02 (emulator)");
    EXPECT_EQ((*version)[64], 0);
}

TEST_F(EmulatorTest, KeyWriteThenReadReturnsTheSameRecordsByteForByte) {
    startEmulator();
    const auto written = sampleConfiguration();
    writeKeys(client, written);
    EXPECT_EQ(emu.waitForEvent("keys-written", 5s), "keys-written 4");

    const auto answer = readKeys(client);
    ASSERT_EQ(answer.size(), 174u + 1 /* second macro chunk */ + 1 /* end */);
    EXPECT_EQ(answer.back(), kx30test::filledReport(kF6));
    const auto expected = recordsBySlot(written);
    const auto got = recordsBySlot(answer);
    ASSERT_EQ(got.size(), 174u);
    for (const auto& [slot, chunks] : got) {
        if (auto it = expected.find(slot); it != expected.end())
            EXPECT_EQ(chunks, it->second) << "slot " << slot;
        else
            EXPECT_EQ(chunks, std::vector<Report>{emptyRecord(slot / 87 + 1, slot % 87 + 1)}) << slot;
    }
    // Slot order on the wire, the macro's chunks back to back.
    EXPECT_EQ(answer[87], written[3]);
    EXPECT_EQ(answer[88], written[4]);
}

TEST_F(EmulatorTest, LightWriteThenReadAndVersionOption) {
    startEmulator({.args = {"--version", "Test FW 9.9"}});
    writeLights(client, lightData({0, 137, 225, 0, 144, 73, 161, 72, 117, 255, 128, 0}));
    EXPECT_EQ(emu.waitForEvent("lights-written", 5s),
              "lights-written 0,137,225 0,144,73 161,72,117 255,128,0");

    ASSERT_TRUE(client.send(makeReport({0, kE2})));
    const auto lights = readAnswer(client, [](const Report& r) { return payload(r, 1) == kE6; });
    ASSERT_EQ(lights.size(), 2u);
    EXPECT_EQ(lights[0], lightData({0, 137, 225, 0, 144, 73, 161, 72, 117, 255, 128, 0}));
    EXPECT_FALSE(emu.waitForEvent("lights-read", 2s).empty());

    ASSERT_TRUE(client.send(makeReport({0, kF9})));
    const auto version = client.receive();
    ASSERT_TRUE(version);
    EXPECT_STREQ(reinterpret_cast<const char*>(version->data() + 3), "Test FW 9.9");
}

struct FirmwareCase {
    const char* name;
    std::vector<Report> lines;
    const char* verdict;
    std::vector<std::string> lineEvents;
};

void PrintTo(const FirmwareCase& c, std::ostream* os) { *os << c.name; }

class FirmwareTest : public EmulatorTest, public ::testing::WithParamInterface<FirmwareCase> {};

TEST_P(FirmwareTest, ChecksEveryLineAndFlashesOnlyASoundImage) {
    startEmulator();
    for (const Report& r : GetParam().lines) ASSERT_TRUE(client.send(r));
    for (const std::string& e : GetParam().lineEvents)
        EXPECT_EQ(emu.waitForEvent("firmware-line", 5s), e);
    EXPECT_EQ(emu.waitForEvent("firmware-", 5s), GetParam().verdict);
}

const Report kEof = firmwareLine(0, 0x01, {});

INSTANTIATE_TEST_SUITE_P(
    Images, FirmwareTest,
    ::testing::Values(
        FirmwareCase{"good",
                     {firmwareLine(0x0000, 0x04, {0x08, 0x00}), firmwareLine(0x0000, 0x00, bytesOf(16, 1)),
                      firmwareLine(0x0010, 0x00, bytesOf(16, 0x80)), kEof},
                     "firmware-flashed 4 32",
                     {"firmware-line 1 ok", "firmware-line 2 ok", "firmware-line 3 ok", "firmware-line 4 ok"}},
        FirmwareCase{"badChecksum",
                     {firmwareLine(0, 0x00, bytesOf(16, 1)), firmwareLine(16, 0x00, bytesOf(16, 1), 1),
                      firmwareLine(32, 0x00, bytesOf(16, 1)), kEof},
                     "firmware-rejected 2 checksum",
                     {"firmware-line 1 ok", "firmware-line 2 bad checksum", "firmware-line 3 ok", "firmware-line 4 ok"}},
        FirmwareCase{"badType", {firmwareLine(0, 0x07, bytesOf(4, 1)), kEof}, "firmware-rejected 1 type",
                     {"firmware-line 1 bad type", "firmware-line 2 ok"}},
        // 60 data bytes do not fit the 62 bytes of a report: the tail never arrived.
        FirmwareCase{"cutRecord", {firmwareLine(0, 0x00, bytesOf(60, 1)), kEof},
                     "firmware-rejected 1 truncated", {"firmware-line 1 bad truncated", "firmware-line 2 ok"}},
        // A bad end-of-file record itself rejects the image.
        FirmwareCase{"badEof", {firmwareLine(0, 0x00, bytesOf(8, 1)), firmwareLine(0, 0x01, {}, 5)},
                     "firmware-rejected 2 checksum", {"firmware-line 1 ok", "firmware-line 2 bad checksum"}}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(EmulatorTest, AfterARejectedImageTheNextImageStartsAfresh) {
    startEmulator();
    ASSERT_TRUE(client.send(firmwareLine(0, 0x00, bytesOf(4, 1), 1)));
    ASSERT_TRUE(client.send(kEof));
    EXPECT_EQ(emu.waitForEvent("firmware-rejected", 5s), "firmware-rejected 1 checksum");
    ASSERT_TRUE(client.send(firmwareLine(0, 0x00, bytesOf(4, 1))));
    ASSERT_TRUE(client.send(kEof));
    EXPECT_EQ(emu.waitForEvent("firmware-flashed", 5s), "firmware-flashed 2 4");
}

// Reports the keyboard does not act on: each is refused with an event, and the slot it
// aimed at (level 1 key 1) keeps its empty record.
struct IgnoredCase {
    const char* name;
    std::vector<std::vector<std::uint8_t>> messages;  // whole messages as sent
    const char* event;
};

void PrintTo(const IgnoredCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::uint8_t> bytesOfReport(const Report& r) { return {r.begin(), r.end()}; }

class IgnoredTest : public EmulatorTest, public ::testing::WithParamInterface<IgnoredCase> {};

TEST_P(IgnoredTest, IsRefusedAndChangesNothing) {
    startEmulator();
    for (const auto& m : GetParam().messages) ASSERT_TRUE(client.sendBytes(m));
    EXPECT_EQ(emu.waitForEvent("ignored", 5s), GetParam().event);
    const auto slots = recordsBySlot(readKeys(client));
    ASSERT_EQ(slots.size(), 174u);
    EXPECT_EQ(slots.at(0), std::vector<Report>{emptyRecord(1, 1)});
}

const auto kBegin = bytesOfReport(makeReport({0, kF1}));
const auto kEnd = bytesOfReport(kx30test::filledReport(kF6));

INSTANTIATE_TEST_SUITE_P(
    Reports, IgnoredTest,
    ::testing::Values(
        IgnoredCase{"recordOutsideWrite", {bytesOfReport(makeReport({0, kF0, 1, 1, 0, 1, 0x04}))},
                    "ignored key-record outside-write"},
        IgnoredCase{"shortMessage", {kBegin, {0, 0, kF0, 1, 1, 0, 1, 0x04}, kEnd}, "ignored length 8"},
        IgnoredCase{"longMessage", {std::vector<std::uint8_t>(66, 0)}, "ignored length 66"},
        IgnoredCase{"reportId", {[] { auto r = makeReport({0, kF9}); r[0] = 1; return bytesOfReport(r); }()},
                    "ignored report-id 01"},
        IgnoredCase{"unknownCommand", {bytesOfReport(makeReport({0, 0x55}))}, "ignored command 55"},
        IgnoredCase{"badSlot", {kBegin, bytesOfReport(makeReport({0, kF0, 3, 1, 0, 1, 0x04})), kEnd},
                    "ignored key-record bad-slot 3 1"},
        IgnoredCase{"keyZero", {kBegin, bytesOfReport(makeReport({0, kF0, 1, 0, 0, 1, 0x04})), kEnd},
                    "ignored key-record bad-slot 1 0"},
        IgnoredCase{"badKind", {kBegin, bytesOfReport(makeReport({0, kF0, 1, 1, 7, 1, 0x04})), kEnd},
                    "ignored key-record bad-kind 7"},
        // The first chunk of a 2-chunk macro, then the end report: the macro is incomplete.
        IgnoredCase{"incompleteMacro", {kBegin, bytesOfReport(timedMacro(1, 1, 15)[0]), kEnd},
                    "ignored key-record incomplete-macro 1 1"},
        IgnoredCase{"lightsOutsideWrite", {bytesOfReport(lightData({1, 2, 3}))},
                    "ignored light-data outside-write"}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(EmulatorTest, StateFileKeepsKeysLightsAcrossRestart) {
    startEmulator({.args = {}, .useStateFile = true});
    const auto written = sampleConfiguration();
    writeKeys(client, written);
    ASSERT_FALSE(emu.waitForEvent("keys-written", 5s).empty());
    writeLights(client, lightData({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    ASSERT_FALSE(emu.waitForEvent("lights-written", 5s).empty());
    const auto before = readKeys(client);

    client.close();
    ASSERT_TRUE(emu.restart()) << emu.error();
    ASSERT_TRUE(client.connect(emu.socketPath()));
    EXPECT_EQ(readKeys(client), before);
    ASSERT_TRUE(client.send(makeReport({0, kE2})));
    const auto lights = readAnswer(client, [](const Report& r) { return payload(r, 1) == kE6; });
    ASSERT_FALSE(lights.empty());
    EXPECT_EQ(lights[0], lightData({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST_F(EmulatorTest, BrokenStateFileIsRefusedAndLeftAsItWas) {
    startEmulator({.args = {}, .useStateFile = true});
    client.close();
    ASSERT_TRUE(emu.stop());
    const std::string broken = "kx30-emulator-state 1\nversion 41\nlights 00\n";
    std::ofstream(emu.stateFile()) << broken;
    EXPECT_FALSE(emu.restart());
    EXPECT_EQ(emu.waitForExit(5s), std::optional<int>(1));
    std::ifstream in(emu.stateFile());
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), broken);
}

TEST_F(EmulatorTest, ConnectionsShareTheMemoryAndAProbeThatClosesAtOnceDisturbsNothing) {
    startEmulator();
    {
        RawClient probe;  // discovery: connect, close
        ASSERT_TRUE(probe.connect(emu.socketPath()));
    }
    RawClient other;
    ASSERT_TRUE(other.connect(emu.socketPath()));
    writeKeys(client, {makeReport({0, kF0, 2, 87, 0, 2, 0xE0, 0x04})});
    ASSERT_EQ(emu.waitForEvent("keys-written", 5s), "keys-written 1");
    const auto slots = recordsBySlot(readKeys(other));
    ASSERT_EQ(slots.size(), 174u);
    EXPECT_EQ(slots.at(173), std::vector<Report>{makeReport({0, kF0, 2, 87, 0, 2, 0xE0, 0x04})});
}

TEST_F(EmulatorTest, SecondEmulatorOnTheSameSocketIsRefused) {
    startEmulator();
    EmulatorProcess second;
    // Same path: point the second one at the first one's socket.
    ASSERT_FALSE(second.start({.args = {"--socket", emu.socketPath()}, .readyTimeout = 3000ms}));
    EXPECT_EQ(second.waitForExit(3s), std::optional<int>(1));
    // The first one still answers.
    ASSERT_TRUE(client.send(makeReport({0, kF9})));
    EXPECT_TRUE(client.receive());
}

TEST(EmulatorSocketPath, StaleSocketIsReplacedAndAnOrdinaryFileIsNotTouched) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("kx30-emu-path-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string stale = (dir / "stale.sock").string();
    {
        const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, stale.c_str(), sizeof addr.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);  // the file stays, nobody listens
    }
    {
        EmulatorProcess emu;
        ASSERT_TRUE(emu.start({.args = {"--socket", stale}})) << emu.error();
        RawClient c;
        EXPECT_TRUE(c.connect(stale));
    }
    const std::string plain = (dir / "plain").string();
    std::ofstream(plain) << "keep me";
    {
        EmulatorProcess emu;
        EXPECT_FALSE(emu.start({.args = {"--socket", plain}, .readyTimeout = 3000ms}));
        EXPECT_EQ(emu.waitForExit(3s), std::optional<int>(1));
    }
    std::ifstream in(plain);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "keep me");
    std::filesystem::remove_all(dir);
}

// Fault modes: each case starts the emulator with its options, writes a known key
// configuration (L1 K5 = 0x2C) and looks at what the key answer became.
struct FaultCase {
    const char* name;
    std::vector<std::string> args;
    std::function<void(EmulatorProcess&, RawClient&)> check;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class FaultModeTest : public EmulatorTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultModeTest, BehavesAsDocumented) {
    startEmulator({.args = GetParam().args});
    GetParam().check(emu, client);
}

void writeSample(EmulatorProcess& emu, RawClient& c) {
    writeKeys(c, {makeReport({0, kF0, 1, 5, 0, 1, 0x2C})});
    ASSERT_EQ(emu.waitForEvent("keys-written", 5s), "keys-written 1");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FaultModeTest,
    ::testing::Values(
        FaultCase{"silent", {"--silent"},
                  [](EmulatorProcess& emu, RawClient& c) {
                      writeSample(emu, c);
                      ASSERT_TRUE(c.send(makeReport({0, kF2})));
                      EXPECT_FALSE(emu.waitForEvent("keys-read", 5s).empty());
                      EXPECT_FALSE(c.receive(300ms));
                      ASSERT_TRUE(c.send(makeReport({0, kF9})));
                      EXPECT_FALSE(c.receive(300ms));
                  }},
        FaultCase{"stray", {"--stray"},
                  [](EmulatorProcess& emu, RawClient& c) {
                      writeSample(emu, c);
                      const auto answer = readKeys(c);
                      ASSERT_EQ(answer.size(), 2u * 175);
                      const Report stray = makeReport({0x01, 0x00, 0x04, 0x00});
                      for (std::size_t i = 0; i < answer.size(); i += 2) EXPECT_EQ(answer[i], stray) << i;
                      EXPECT_EQ(answer[9], makeReport({0, kF0, 1, 5, 0, 1, 0x2C}));
                      EXPECT_EQ(recordsBySlot(answer).size(), 174u);
                      // The version answer stays the single report the host takes.
                      ASSERT_TRUE(c.send(makeReport({0, kF9})));
                      const auto v = c.receive();
                      ASSERT_TRUE(v);
                      EXPECT_EQ(payload(*v, 1), kF9);
                  }},
        FaultCase{"badSlot", {"--malformed", "bad-slot"},
                  [](EmulatorProcess& emu, RawClient& c) {
                      writeSample(emu, c);
                      const auto answer = readKeys(c);
                      ASSERT_EQ(answer.size(), 178u);
                      EXPECT_EQ(answer.front(), makeReport({0, kF0, 3, 1, 0, 1, 0x04}));
                      int zero = 0, eightyEight = 0;
                      for (const Report& r : answer) {
                          zero += isKeyRecord(r) && payload(r, 2) == 1 && payload(r, 3) == 0;
                          eightyEight += isKeyRecord(r) && payload(r, 2) == 1 && payload(r, 3) == 88;
                      }
                      EXPECT_EQ(zero, 1);
                      EXPECT_EQ(eightyEight, 1);
                      EXPECT_EQ(answer[answer.size() - 2], makeReport({0, kF0, 1, 88, 0, 1, 0x04}));
                      EXPECT_TRUE(isKeyEnd(answer.back()));
                  }},
        FaultCase{"truncatedMacro", {"--malformed", "truncated-macro"},
                  [](EmulatorProcess&, RawClient& c) {
                      ASSERT_TRUE(c.send(makeReport({0, kF2})));
                      const auto first = c.receive();
                      ASSERT_TRUE(first);
                      EXPECT_EQ(payload(*first, 4), 2);
                      EXPECT_EQ(payload(*first, 7), 100);  // L = 100: a second chunk is due
                      EXPECT_FALSE(c.receive(300ms));
                      EXPECT_FALSE(c.peerClosed());
                  }},
        FaultCase{"badKind", {"--malformed", "bad-kind"},
                  [](EmulatorProcess&, RawClient& c) {
                      const auto answer = readKeys(c);
                      ASSERT_EQ(answer.size(), 175u);
                      EXPECT_EQ(payload(answer[0], 4), 7);
                      EXPECT_EQ(answer[1], emptyRecord(1, 2));
                  }},
        FaultCase{"corruptKey", {"--malformed", "corrupt-key"},
                  [](EmulatorProcess& emu, RawClient& c) {
                      writeSample(emu, c);
                      const auto answer = readKeys(c);
                      ASSERT_EQ(answer.size(), 175u);
                      EXPECT_EQ(answer[4], makeReport({0, kF0, 1, 5, 0, 1, 0x2D}));
                  }},
        FaultCase{"disconnectAfter", {"--disconnect-after", "3"},
                  [](EmulatorProcess& emu, RawClient& c) {
                      ASSERT_TRUE(c.send(makeReport({0, kF1})));
                      ASSERT_TRUE(c.send(makeReport({0, kF0, 1, 1, 0, 1, 0x04})));
                      EXPECT_TRUE(c.receive(200ms) == std::nullopt && !c.peerClosed());
                      ASSERT_TRUE(c.send(makeReport({0, kF0, 1, 2, 0, 1, 0x05})));
                      EXPECT_FALSE(c.receive(5s));
                      EXPECT_TRUE(c.peerClosed());
                      EXPECT_EQ(emu.waitForEvent("disconnected", 5s), "disconnected");
                      EXPECT_EQ(emu.waitForExit(5s), std::optional<int>(0));
                      EXPECT_FALSE(std::filesystem::exists(emu.socketPath()));
                  }},
        // One report per 1 ms frame: 175 answer reports cannot all arrive in less than
        // 174 frames, however fast the machine.
        FaultCase{"usbPacing", {"--usb-pacing"},
                  [](EmulatorProcess& emu, RawClient& c) {
                      writeSample(emu, c);
                      const auto start = std::chrono::steady_clock::now();
                      const auto answer = readKeys(c);
                      const auto took = std::chrono::steady_clock::now() - start;
                      ASSERT_EQ(answer.size(), 175u);
                      EXPECT_EQ(answer[4], makeReport({0, kF0, 1, 5, 0, 1, 0x2C}));
                      EXPECT_GE(took, 174ms);
                  }}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

}  // namespace
