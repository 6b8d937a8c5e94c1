// Key records: golden bytes from the record tables, sizing calls, macro chunking, and
// decoding of records as they come from the keyboard.
#include <gtest/gtest.h>

#include <ostream>

#include <vector>

#include "KeyDefine.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes serialized(const CKeyDefine& def) {
    int total = -1;
    int header = -1;
    EXPECT_FALSE(def.serialize(nullptr, 64, &total, &header));
    Bytes out(static_cast<std::size_t>(total), 0);
    if (total > 0) def.serialize(out.data(), 64, &total, &header);
    return out;
}

// Expected record: the leading bytes given, zeros up to size.
Bytes record(std::initializer_list<int> lead, std::size_t size = 64) {
    Bytes b(size, 0);
    std::size_t i = 0;
    for (int v : lead) b[i++] = static_cast<std::uint8_t>(v);
    return b;
}

std::unique_ptr<CKeyDefine> fromArray(int level, int key, std::vector<int> values) {
    return CKeyDefine::fromConfiguration(level, key, values.data(), static_cast<int>(values.size()));
}

struct GoldenCase {
    const char* name;
    std::vector<int> array;  // configuration array, stored on level 1 key 5 unless noted
    int level;
    Bytes expected;
};

void PrintTo(const GoldenCase& c, std::ostream* os) { *os << c.name; }

class HwiKeyRecordGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(HwiKeyRecordGolden, SerializesToTheTabledBytes) {
    const GoldenCase& c = GetParam();
    auto def = fromArray(c.level, 5, c.array);
    ASSERT_TRUE(def);
    EXPECT_EQ(serialized(*def), c.expected);
}

Bytes timedFifteen() {
    // 14 steps of code i+1 with delay 0x0100+i, then code 15: L = 57, two chunks.
    Bytes b(128, 0);
    const std::uint8_t header[8] = {0x00, 0xF0, 2, 5, 2, 1, 1, 57};
    std::vector<std::uint8_t> payloadBytes;
    for (int i = 0; i < 14; ++i) {
        payloadBytes.push_back(static_cast<std::uint8_t>(i + 1));
        payloadBytes.push_back(0xC8);
        payloadBytes.push_back(0x01);
        payloadBytes.push_back(static_cast<std::uint8_t>(i));
    }
    payloadBytes.push_back(15);
    std::copy(header, header + 8, b.begin());
    std::copy(payloadBytes.begin(), payloadBytes.begin() + 56, b.begin() + 8);
    std::copy(header, header + 8, b.begin() + 64);
    b[72] = payloadBytes[56];
    return b;
}

std::vector<int> timedArray(int steps) {
    std::vector<int> v = {2, 1, 0, steps};
    for (int i = 0; i < steps; ++i) {
        v.push_back(i + 1);
        if (i + 1 < steps) v.push_back(0x0100 + i);
    }
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Records, HwiKeyRecordGolden,
    ::testing::Values(
        GoldenCase{"SingleCode", {0, 1, 0x2C}, 1, record({0x00, 0xF0, 1, 5, 0, 1, 0x2C})},
        GoldenCase{"Combination", {0, 3, 0xE0, 0xE1, 0x04}, 2,
                   record({0x00, 0xF0, 2, 5, 0, 3, 0xE0, 0xE1, 0x04})},
        GoldenCase{"NormalWithoutCodes", {0, 0}, 1, record({0x00, 0xF0, 1, 5, 0, 0})},
        GoldenCase{"ContinuousDelay300", {1, 300, 2, 0x04, 0x05}, 1,
                   record({0x00, 0xF0, 1, 5, 1, 0x01, 0x2C, 2, 0x04, 0x05})},
        GoldenCase{"ContinuousWithoutCodesIsABareHeader", {1, 300, 0}, 1,
                   record({0x00, 0xF0, 1, 5, 1})},
        GoldenCase{"MacroTimed", {2, 3, 0, 3, 0x0A, 0x1234, 0x0B, 0x0005, 0x0C}, 1,
                   record({0x00, 0xF0, 1, 5, 2, 3, 1, 9, 0x0A, 0xC8, 0x12, 0x34, 0x0B, 0xC8, 0x00,
                           0x05, 0x0C})},
        GoldenCase{"MacroUntimed", {2, 1, 1, 3, 0x0A, 0x0B, 0x0C}, 1,
                   record({0x00, 0xF0, 1, 5, 2, 1, 0, 3, 0x0A, 0x0B, 0x0C})},
        GoldenCase{"MacroFourteenStepsFitsOneChunk", timedArray(14), 2,
                   [] {
                       Bytes b = timedFifteen();
                       b.resize(64);
                       b[7] = 53;
                       b[8 + 52] = 14;  // the last step's code, no delay after it
                       for (int i = 61; i < 64; ++i) b[i] = 0;
                       return b;
                   }()},
        GoldenCase{"MacroFifteenStepsTakesTwoChunks", timedArray(15), 2, timedFifteen()},
        GoldenCase{"MacroWithoutStepsHasNoRecord", {2, 1, 1, 0}, 1, Bytes{}}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST(HwiKeyRecord, SizingCallReportsRecordAndHeaderSize) {
    struct Case {
        std::vector<int> array;
        int total;
        int header;
    };
    const Case cases[] = {
        {{0, 1, 4}, 64, 6},
        {{1, 10, 1, 4}, 64, 8},
        {{2, 1, 1, 56, /*codes*/}, 64, 8},
        {{2, 1, 1, 57}, 128, 8},
        {{2, 1, 1, 255}, 320, 8},
    };
    for (const Case& c : cases) {
        std::vector<int> a = c.array;
        if (a[0] == 2) a.resize(4 + static_cast<std::size_t>(a[3]), 7);
        auto def = fromArray(1, 1, a);
        ASSERT_TRUE(def);
        int total = 0;
        int header = 0;
        EXPECT_FALSE(def->serialize(nullptr, 64, &total, &header));
        EXPECT_EQ(total, c.total) << "steps " << a[a[0] == 2 ? 3 : 1];
        EXPECT_EQ(header, c.header);
    }
}

TEST(HwiKeyRecord, FillingCallNeverWritesPastTheGivenSize) {
    auto def = fromArray(1, 1, timedArray(15));
    ASSERT_TRUE(def);
    std::vector<std::uint8_t> buffer(128, 0xAA);
    int tooSmall = 64;
    EXPECT_FALSE(def->serialize(buffer.data(), 64, &tooSmall, nullptr));
    EXPECT_FALSE(def->serialize(buffer.data(), 64, nullptr, nullptr));
    for (std::uint8_t b : buffer) ASSERT_EQ(b, 0xAA);
}

TEST(HwiKeyRecord, DecodesEveryKindBackToTheSameDefinition) {
    const std::vector<std::vector<int>> arrays = {
        {0, 1, 0x2C},
        {0, 58, /*filled below*/},
        {1, 65535, 3, 1, 2, 3},
        {2, 9, 1, 4, 1, 2, 3, 4},
        {2, 200, 0, 3, 10, 300, 11, 65535, 12},
        timedArray(15),
        timedArray(64),
    };
    for (std::vector<int> a : arrays) {
        if (a[0] == 0 && a[1] == 58) a.resize(60, 0xFF);
        auto def = fromArray(1, 9, a);
        ASSERT_TRUE(def);
        const Bytes bytes = serialized(*def);
        auto back = CKeyDefine::create(def->kind, 9, 1);
        ASSERT_TRUE(back->deserialize(bytes.data(), 64, static_cast<int>(bytes.size())));
        std::vector<int> out(static_cast<std::size_t>(back->configurationSize()));
        back->toConfiguration(out.data());
        EXPECT_EQ(out, a);
    }
}

TEST(HwiKeyRecord, RefusesRecordsWhoseCountsDoNotFit) {
    struct Case {
        const char* name;
        int kind;
        Bytes bytes;
    };
    const Case cases[] = {
        {"normal count past the record", 0, record({0, 0xF0, 1, 1, 0, 59})},
        {"continuous count past the record", 1, record({0, 0xF0, 1, 1, 1, 0, 0, 57})},
        {"macro chunk missing", 2, record({0, 0xF0, 1, 1, 2, 1, 0, 57})},
    };
    for (const Case& c : cases) {
        auto def = CKeyDefine::create(c.kind, 1, 1);
        EXPECT_FALSE(def->deserialize(c.bytes.data(), 64, static_cast<int>(c.bytes.size()))) << c.name;
    }
}

TEST(HwiKeyRecord, TimedMacroRecordWithoutPayloadHasNoSteps) {
    const Bytes bytes = record({0, 0xF0, 1, 1, 2, 1, 1, 0});
    CMacroKeyDefine def(1, 1);
    ASSERT_TRUE(def.deserialize(bytes.data(), 64, 64));
    EXPECT_EQ(def.stepCount, 0);
}

}  // namespace
