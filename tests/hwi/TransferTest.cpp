// Key and light transfers against a recording, scripted transport: the exact reports the
// keyboard receives, and how hostile or broken answers end a read.
#include <gtest/gtest.h>

#include <ostream>

#include <vector>

#include "CVelaHWI.h"
#include "FakeTransport.h"

namespace {

class HwiTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        auto fake = std::make_unique<FakeTransport>();
        transport = fake.get();
        hwi.attachTransport(std::move(fake));
    }
    bool set(int level, int key, std::vector<int> values) {
        return hwi.setKeyConfiguration(level, key, values.data(), static_cast<int>(values.size()));
    }
    std::vector<int> get(int level, int key, std::size_t n) {
        std::vector<int> out(600, -1);
        EXPECT_TRUE(hwi.getKeyConfiguration(level, key, out.data(), 600));
        out.resize(n);
        return out;
    }
    static Report report(const Payload& p) {
        Report r{};
        std::copy(p.begin(), p.end(), r.begin() + 1);
        return r;
    }

    CVelaHWI hwi;
    FakeTransport* transport = nullptr;
    RecordingSink sink;
};

TEST_F(HwiTransfer, EmptyStoreWritesBeginEveryEmptySlotAndEnd) {
    ASSERT_TRUE(hwi.writeKeyConfigurationToDev(&sink));
    const auto& w = transport->written;
    ASSERT_EQ(w.size(), 176u);
    EXPECT_EQ(w.front(), report(payload({0x00, 0xF1})));
    for (int slot = 0; slot < 174; ++slot)
        ASSERT_EQ(w[1 + slot], report(payload({0x00, 0xF0, slot / 87 + 1, slot % 87 + 1, 0, 0})))
            << "slot " << slot;
    // End of key data: 63 bytes F6, then the last payload byte of the report before it.
    Payload end = filled(0xF6);
    end[63] = 0x00;
    EXPECT_EQ(w.back(), report(end));
    for (int length : transport->lengths) EXPECT_EQ(length, 65);
    std::vector<int> expected(174);
    for (int i = 0; i < 174; ++i) expected[i] = i;
    EXPECT_EQ(sink.values, expected);
}

TEST_F(HwiTransfer, ExampleRecordOnTheWire) {
    ASSERT_TRUE(set(0, 5, {0, 1, 0x2C}));
    ASSERT_TRUE(hwi.writeKeyConfigurationToDev(nullptr));
    EXPECT_EQ(transport->written[5], report(payload({0x00, 0xF0, 0x01, 0x05, 0x00, 0x01, 0x2C})));
}

TEST_F(HwiTransfer, EndReportKeepsTheLastByteOfAFullLastRecord) {
    std::vector<int> full = {0, 58};
    full.resize(60, 0x5A);
    ASSERT_TRUE(set(1, 87, full));
    ASSERT_TRUE(hwi.writeKeyConfigurationToDev(nullptr));
    EXPECT_EQ(transport->written.back()[64], 0x5A);
    EXPECT_EQ(transport->written.back()[63], 0xF6);
}

TEST_F(HwiTransfer, MultiChunkMacroGoesOutAsConsecutiveReportsWithOneProgress) {
    std::vector<int> fifteen = {2, 1, 0, 15};
    for (int i = 0; i < 15; ++i) {
        fifteen.push_back(0x10 + i);
        if (i < 14) fifteen.push_back(50);
    }
    ASSERT_TRUE(set(1, 1, fifteen));
    ASSERT_TRUE(set(1, 2, {2, 1, 1, 0}));  // no steps: no record at all
    ASSERT_TRUE(hwi.writeKeyConfigurationToDev(&sink));
    const auto& w = transport->written;
    ASSERT_EQ(w.size(), 176u);  // +1 chunk, -1 for the macro without steps
    const std::uint8_t header[] = {0x00, 0x00, 0xF0, 2, 1, 2, 1, 1, 57};
    for (int chunk : {88, 89})
        EXPECT_TRUE(std::equal(header, header + 9, w[chunk].begin())) << "report " << chunk;
    EXPECT_EQ(w[89][9], 0x10 + 14);  // the one payload byte of the second chunk
    EXPECT_EQ(w[90], report(payload({0x00, 0xF0, 2, 3, 0, 0})));
    EXPECT_EQ(std::count(sink.values.begin(), sink.values.end(), 87), 1);
    EXPECT_EQ(std::count(sink.values.begin(), sink.values.end(), 88), 1);
    EXPECT_EQ(sink.values.size(), 174u);
}

TEST_F(HwiTransfer, WriteStopsAtTheFirstFailedReport) {
    for (int failAt : {0, 1, 100, 175}) {
        transport->written.clear();
        transport->failWriteAt = failAt;
        sink.values.clear();
        EXPECT_FALSE(hwi.writeKeyConfigurationToDev(&sink)) << failAt;
        EXPECT_EQ(static_cast<int>(transport->written.size()), failAt);
        EXPECT_EQ(static_cast<int>(sink.values.size()), std::max(0, std::min(failAt - 1, 174)));
    }
}

struct ReadCase {
    const char* name;
    std::vector<Payload> answers;
    bool result;
    std::vector<int> progress;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class HwiKeyRead : public HwiTransfer, public ::testing::WithParamInterface<ReadCase> {};

Payload macroChunk(int level, int key, int length, int firstByte) {
    Payload p = payload({0x00, 0xF0, level, key, 2, 1, 0, length});
    for (int i = 8; i < 64; ++i) p[i] = static_cast<std::uint8_t>(firstByte + i - 8);
    return p;
}

TEST_P(HwiKeyRead, EndsAsExpected) {
    const ReadCase& c = GetParam();
    transport->answers.assign(c.answers.begin(), c.answers.end());
    EXPECT_EQ(hwi.readKeyDefinationFromDev(&sink), c.result);
    EXPECT_EQ(sink.values, c.progress);
    EXPECT_EQ(transport->written.front(), report(payload({0x00, 0xF2})));
    EXPECT_EQ(transport->lastTimeout, hwi.readTimeout());
}

const Payload kEnd = filled(0xF6);
const Payload kStray = payload({0x01, 0x00, 0x04});

INSTANTIATE_TEST_SUITE_P(
    Cases, HwiKeyRead,
    ::testing::Values(
        ReadCase{"OneRecordThenEnd", {payload({0, 0xF0, 2, 3, 0, 1, 0x2C}), kEnd}, true, {89}},
        ReadCase{"EndAloneRebuildsNothing", {kEnd}, true, {}},
        ReadCase{"StrayReportsArePassedOver",
                 {kStray, payload({0, 0xF0, 1, 1, 0, 1, 4}), kStray, payload({0, 0xE0, 1}), kEnd},
                 true, {0}},
        ReadCase{"ImpossibleSlotsAreSkipped",
                 {payload({0, 0xF0, 3, 1, 0, 1, 4}), payload({0, 0xF0, 1, 0, 0, 1, 4}),
                  payload({0, 0xF0, 1, 88, 0, 1, 4}), payload({0, 0xF0, 1, 2, 0, 1, 4}), kEnd},
                 true, {1}},
        ReadCase{"MacroOfTwoChunks", {macroChunk(1, 4, 57, 0), macroChunk(1, 4, 57, 56), kEnd},
                 true, {3}},
        ReadCase{"StrayBetweenMacroChunks",
                 {macroChunk(1, 4, 57, 0), kStray, macroChunk(1, 4, 57, 56), kEnd}, true, {3}},
        ReadCase{"ImpossibleSlotBetweenMacroChunks",
                 {macroChunk(1, 4, 57, 0), payload({0, 0xF0, 1, 0, 0, 1, 4}),
                  macroChunk(1, 4, 57, 56), kEnd},
                 true, {3}},
        ReadCase{"MacroChunksThatNeverCome", {macroChunk(1, 4, 57, 0)}, false, {}},
        ReadCase{"MacroCutByTheEnd", {macroChunk(1, 4, 57, 0), kEnd}, false, {}},
        ReadCase{"MacroCutByAnotherRecord",
                 {macroChunk(1, 4, 57, 0), payload({0, 0xF0, 1, 5, 0, 1, 4}), kEnd}, false, {}},
        ReadCase{"OverlongCountIsPassedOver",
                 {payload({0, 0xF0, 1, 6, 0, 200, 4}), payload({0, 0xF0, 1, 7, 0, 1, 4}), kEnd},
                 true, {6}},
        ReadCase{"SilentKeyboard", {}, false, {}},
        ReadCase{"NoEndOfKeyData", {payload({0, 0xF0, 1, 1, 0, 1, 4})}, false, {0}}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST_F(HwiTransfer, ReadRebuildsOnlyTheSlotsItReceives) {
    ASSERT_TRUE(set(0, 1, {0, 1, 0x11}));
    ASSERT_TRUE(set(0, 2, {0, 1, 0x22}));
    transport->answers = {payload({0, 0xF0, 1, 2, 1, 0x01, 0x2C, 1, 0x33}), kEnd};
    ASSERT_TRUE(hwi.readKeyDefinationFromDev(nullptr));
    EXPECT_EQ(get(0, 1, 3), (std::vector<int>{0, 1, 0x11}));
    EXPECT_EQ(get(0, 2, 4), (std::vector<int>{1, 300, 1, 0x33}));
}

TEST_F(HwiTransfer, ReadOfAMacroOfTwoChunksDecodesAllSteps) {
    transport->answers = {macroChunk(1, 4, 57, 0), macroChunk(1, 4, 57, 56), kEnd};
    ASSERT_TRUE(hwi.readKeyDefinationFromDev(nullptr));
    const auto v = get(0, 4, 61);
    EXPECT_EQ(v[3], 57);
    for (int i = 0; i < 57; ++i) ASSERT_EQ(v[4 + i], i) << i;
}

TEST_F(HwiTransfer, MacroOfOneFullChunkReadsNoFurtherReport) {
    transport->answers = {macroChunk(1, 4, 56, 0), kEnd};
    ASSERT_TRUE(hwi.readKeyDefinationFromDev(nullptr));
    EXPECT_EQ(transport->reads, 2);
}

TEST_F(HwiTransfer, RecordOfUnknownKindEmptiesItsSlot) {
    ASSERT_TRUE(set(0, 9, {0, 1, 0x11}));
    transport->answers = {payload({0, 0xF0, 1, 9, 7, 1, 4}), kEnd};
    ASSERT_TRUE(hwi.readKeyDefinationFromDev(nullptr));
    EXPECT_EQ(get(0, 9, 2), (std::vector<int>{0, 0}));
}

TEST_F(HwiTransfer, EndlessChatterEndsTheRead) {
    transport->answers.assign(5000, kStray);
    EXPECT_FALSE(hwi.readKeyDefinationFromDev(nullptr));
    transport->answers.assign(5000, kStray);
    EXPECT_FALSE(hwi.readKeyLightFromDev());
}

TEST_F(HwiTransfer, ReadTimeoutIsPassedToEveryRead) {
    hwi.setReadTimeout(150);
    transport->answers = {kEnd};
    ASSERT_TRUE(hwi.readKeyDefinationFromDev(nullptr));
    EXPECT_EQ(transport->lastTimeout, 150);
}

// Lights.

TEST_F(HwiTransfer, LightAreasGoOutAsBeginDataEnd) {
    int areas[12] = {0, 137, 225, 0, 144, 73, 161, 72, 117, 255, 128, 0};
    ASSERT_TRUE(hwi.setKeyboardLightArea(areas));
    const auto& w = transport->written;
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(w[0], report(payload({0x00, 0xE1})));
    EXPECT_EQ(w[1], report(payload({0x00, 0xE0, 0x00, 0x89, 0xE1, 0x00, 0x90, 0x49, 0xA1, 0x48,
                                    0x75, 0xFF, 0x80, 0x00})));
    EXPECT_EQ(w[2], report(filled(0xE6)));
}

TEST_F(HwiTransfer, KeyLightSendsOnlyTheFirstTwelve) {
    std::vector<int> keys(87);
    for (int i = 0; i < 87; ++i) keys[i] = i + 1;
    ASSERT_TRUE(hwi.setKeyLight(1, keys.data()));
    Payload expected = payload({0x00, 0xE0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    EXPECT_EQ(transport->written[1], report(expected));
}

TEST_F(HwiTransfer, LightSettersReportAFailedWrite) {
    int areas[12] = {};
    std::vector<int> keys(87, 0);
    for (int failAt : {0, 1, 2}) {
        transport->written.clear();
        transport->failWriteAt = failAt;
        EXPECT_FALSE(hwi.setKeyboardLightArea(areas)) << failAt;
        transport->written.clear();
        EXPECT_FALSE(hwi.setKeyLight(0, keys.data())) << failAt;
    }
}

TEST_F(HwiTransfer, LightReadStoresTheDataAndEndsOnE6) {
    transport->answers = {kStray, payload({0, 0xE0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
                          payload({0, 0xE6})};
    ASSERT_TRUE(hwi.readKeyLightFromDev());
    EXPECT_EQ(transport->written[0], report(payload({0x00, 0xE2})));
    int out[12];
    hwi.getKeyboardLightArea(out);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(out[i], i + 1);
}

TEST_F(HwiTransfer, LightReadWithoutEndFailsAndKeepsTheLastData) {
    transport->answers = {payload({0, 0xE0, 9, 9, 9})};
    EXPECT_FALSE(hwi.readKeyLightFromDev());
    int out[12];
    hwi.getKeyboardLightArea(out);
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(out[3], 0);
}

// Version.

TEST_F(HwiTransfer, VersionIsTheAnswerToF9) {
    Payload answer = payload({0x00, 0xF9, 'K', 'X', '3', '0', ' ', '1', '.', '0', '2'});
    transport->answers = {kStray, answer};
    wchar_t text[64] = L"old";
    ASSERT_TRUE(hwi.ReadKeyboardVersion(text));
    EXPECT_STREQ(text, L"KX30 1.02");
    EXPECT_EQ(transport->written[0], report(payload({0x00, 0xF9})));
}

TEST_F(HwiTransfer, VersionOfAFullReportIsCutTo62Characters) {
    Payload answer = filled('v');
    answer[0] = 0;
    answer[1] = 0xF9;
    transport->answers = {answer};
    wchar_t text[64];
    ASSERT_TRUE(hwi.ReadKeyboardVersion(text));
    EXPECT_EQ(std::wstring(text), std::wstring(62, L'v'));
}

TEST_F(HwiTransfer, FailedVersionQueryLeavesTheTextAlone) {
    wchar_t text[64] = L"old";
    EXPECT_FALSE(hwi.ReadKeyboardVersion(text));
    EXPECT_STREQ(text, L"old");
    EXPECT_STREQ(hwi.getHardwareVersion(), L"");
    transport->answers = {payload({0x00, 0xF9, 'A'})};
    EXPECT_STREQ(hwi.getHardwareVersion(), L"A");
    EXPECT_STREQ(hwi.getHardwareVersion(), L"A");  // a failed query keeps what it held
}

}  // namespace
