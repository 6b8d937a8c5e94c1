// CVelaHWI's store: configuration arrays in and out, slot placement, refusals, lights,
// copying.
#include <gtest/gtest.h>

#include <ostream>

#include <vector>

#include "CVelaHWI.h"
#include "FakeTransport.h"

namespace {

class HwiStore : public ::testing::Test {
protected:
    void SetUp() override {
        auto fake = std::make_unique<FakeTransport>();
        transport = fake.get();
        hwi.attachTransport(std::move(fake));
    }
    bool set(int level, int key, std::vector<int> values) {
        return hwi.setKeyConfiguration(level, key, values.data(), static_cast<int>(values.size()));
    }
    std::vector<int> get(int level, int key) {
        std::vector<int> out(600, -1);
        EXPECT_TRUE(hwi.getKeyConfiguration(level, key, out.data(), static_cast<int>(out.size())));
        return out;
    }
    static std::vector<int> head(const std::vector<int>& v, std::size_t n) {
        return {v.begin(), v.begin() + static_cast<std::ptrdiff_t>(n)};
    }

    CVelaHWI hwi;
    FakeTransport* transport = nullptr;
};

TEST_F(HwiStore, ArraysReadBackAsStored) {
    const std::vector<std::vector<int>> arrays = {
        {0, 1, 0x2C},
        {0, 0},
        {1, 300, 2, 4, 5},
        {2, 5, 0, 3, 0x0A, 100, 0x0B, 200, 0x0C},
        {2, 5, 1, 3, 0x0A, 0x0B, 0x0C},
        {2, 0, 1, 0},
    };
    for (const auto& a : arrays) {
        std::vector<int> copy = a;
        EXPECT_TRUE(set(1, 40, copy));
        EXPECT_EQ(head(get(1, 40), a.size()), a);
    }
}

TEST_F(HwiStore, SetLeavesTheCallersArrayAsItWas) {
    std::vector<int> values = {2, 5, 0, 2, 1, 100, 2};
    const std::vector<int> before = values;
    ASSERT_TRUE(hwi.setKeyConfiguration(0, 1, values.data(), static_cast<int>(values.size())));
    EXPECT_EQ(values, before);
}

TEST_F(HwiStore, LevelAndKeySelectTheSlot) {
    ASSERT_TRUE(set(0, 87, {0, 1, 0x11}));
    ASSERT_TRUE(set(1, 1, {0, 1, 0x22}));
    EXPECT_EQ(head(get(0, 87), 3), (std::vector<int>{0, 1, 0x11}));
    EXPECT_EQ(head(get(1, 1), 3), (std::vector<int>{0, 1, 0x22}));
    EXPECT_EQ(head(get(0, 86), 2), (std::vector<int>{0, 0}));  // empty slot
    EXPECT_EQ(head(get(1, 2), 2), (std::vector<int>{0, 0}));

    // Slots 86 and 87 on the wire: the records after the begin report.
    ASSERT_TRUE(hwi.writeKeyConfigurationToDev(nullptr));
    EXPECT_EQ(transport->written[1 + 86][7], 0x11);
    EXPECT_EQ(transport->written[1 + 87][7], 0x22);
}

TEST_F(HwiStore, StoringReplacesAndPrepareEmpties) {
    ASSERT_TRUE(set(0, 3, {1, 10, 1, 4}));
    ASSERT_TRUE(set(0, 3, {0, 1, 5}));
    EXPECT_EQ(head(get(0, 3), 3), (std::vector<int>{0, 1, 5}));
    int light[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    hwi.setKeyboardLightArea(light);
    ASSERT_TRUE(hwi.prepare());
    EXPECT_EQ(head(get(0, 3), 2), (std::vector<int>{0, 0}));
    int out[12];
    hwi.getKeyboardLightArea(out);
    for (int v : out) EXPECT_EQ(v, 0);
}

struct Refusal {
    const char* name;
    int level;
    int key;
    std::vector<int> values;
    int count;  // -1: the vector's size
};

void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }

class HwiStoreRefusal : public HwiStore, public ::testing::WithParamInterface<Refusal> {};

std::vector<int> normalWith(int n) {
    std::vector<int> v = {0, n};
    v.resize(2 + static_cast<std::size_t>(std::max(n, 0)), 4);
    return v;
}
std::vector<int> continuousWith(int n) {
    std::vector<int> v = {1, 10, n};
    v.resize(3 + static_cast<std::size_t>(std::max(n, 0)), 4);
    return v;
}
std::vector<int> macroWith(int autoInterval, int n) {
    std::vector<int> v = {2, 1, autoInterval, n};
    const int values = autoInterval == 1 ? n : 2 * n - 1;
    for (int i = 0; i < values; ++i) v.push_back(i % 2 == 0 || autoInterval == 1 ? 4 : 100);
    return v;
}

TEST_P(HwiStoreRefusal, RefusesAndKeepsTheStore) {
    const Refusal& r = GetParam();
    ASSERT_TRUE(set(0, 10, {0, 1, 0x77}));
    std::vector<int> values = r.values;
    const int count = r.count < 0 ? static_cast<int>(values.size()) : r.count;
    EXPECT_FALSE(hwi.setKeyConfiguration(r.level, r.key, values.data(), count));
    EXPECT_EQ(head(get(0, 10), 3), (std::vector<int>{0, 1, 0x77}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HwiStoreRefusal,
    ::testing::Values(
        Refusal{"UnknownKind", 0, 10, {3, 1, 4}, -1},
        Refusal{"LevelOutOfRange", 2, 10, {0, 1, 4}, -1},
        Refusal{"KeyZero", 0, 0, {0, 1, 4}, -1},
        Refusal{"Key88", 0, 88, {0, 1, 4}, -1},
        Refusal{"NormalTooManyCodes", 0, 10, normalWith(59), -1},
        Refusal{"NormalNegativeCount", 0, 10, {0, -1}, -1},
        Refusal{"NormalCodeAbove255", 0, 10, {0, 1, 256}, -1},
        Refusal{"NormalNegativeCode", 0, 10, {0, 1, -1}, -1},
        Refusal{"CountLargerThanArray", 0, 10, {0, 5, 1, 2}, -1},
        Refusal{"EmptyArray", 0, 10, {0, 1, 4}, 0},
        Refusal{"ContinuousTooManyCodes", 0, 10, continuousWith(57), -1},
        Refusal{"ContinuousDelayAbove16Bits", 0, 10, {1, 65536, 1, 4}, -1},
        Refusal{"ContinuousNegativeDelay", 0, 10, {1, -1, 1, 4}, -1},
        Refusal{"UntimedMacroPayloadOver255", 0, 10, macroWith(1, 256), -1},
        Refusal{"TimedMacroPayloadOver255", 0, 10, macroWith(0, 65), -1},
        Refusal{"MacroDelayAbove16Bits", 0, 10, {2, 1, 0, 2, 4, 70000, 5}, -1},
        Refusal{"MacroCyclesAboveByte", 0, 10, {2, 256, 1, 1, 4}, -1},
        Refusal{"MacroAutoIntervalNotAFlag", 0, 10, {2, 1, 2, 1, 4}, -1},
        Refusal{"MacroNegativeSteps", 0, 10, {2, 1, 1, -2}, -1},
        Refusal{"TimedMacroArrayCutShort", 0, 10, {2, 1, 0, 3, 4, 100, 5}, -1}),
    [](const auto& tc) { return std::string(tc.param.name); });

TEST_F(HwiStore, LargestDefinitionsThatFitAreAccepted) {
    EXPECT_TRUE(set(0, 1, normalWith(58)));
    EXPECT_TRUE(set(0, 2, continuousWith(56)));
    EXPECT_TRUE(set(0, 3, macroWith(1, 255)));
    EXPECT_TRUE(set(0, 4, macroWith(0, 64)));
    EXPECT_TRUE(set(0, 5, {1, 65535, 1, 255}));
}

TEST_F(HwiStore, GetHonoursCapacity) {
    ASSERT_TRUE(set(0, 1, {2, 1, 0, 3, 4, 100, 5, 200, 6}));  // needs 9 ints
    std::vector<int> out(9, -1);
    EXPECT_FALSE(hwi.getKeyConfiguration(0, 1, out.data(), 8));
    EXPECT_EQ(out, std::vector<int>(9, -1));
    EXPECT_TRUE(hwi.getKeyConfiguration(0, 1, out.data(), 9));
    int two[2] = {-1, -1};
    EXPECT_FALSE(hwi.getKeyConfiguration(0, 2, two, 1));  // empty slot needs 2
    EXPECT_FALSE(hwi.getKeyConfiguration(0, 88, two, 2));
}

TEST_F(HwiStore, KeyLightHoldsTwelveBytesThenZeros) {
    int area[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0x1FF};
    hwi.setKeyboardLightArea(area);
    std::vector<int> keys(87, -1);
    ASSERT_TRUE(hwi.getKeyLight(0, keys.data()));
    for (int i = 0; i < 11; ++i) EXPECT_EQ(keys[i], i + 1);
    EXPECT_EQ(keys[11], 0xFF);  // only the low byte is kept
    for (int i = 12; i < 87; ++i) EXPECT_EQ(keys[i], 0);
}

TEST_F(HwiStore, AssignmentCopiesContentsNotOwnership) {
    CVelaHWI other;
    other.attachTransport(std::make_unique<FakeTransport>());
    ASSERT_TRUE(set(0, 7, {1, 300, 2, 4, 5}));
    other = hwi;
    hwi.prepare();  // the copy must not share definitions with the source
    std::vector<int> out(8, -1);
    ASSERT_TRUE(other.getKeyConfiguration(0, 7, out.data(), 8));
    EXPECT_EQ(head(out, 5), (std::vector<int>{1, 300, 2, 4, 5}));
    // Both destructors run at the end of the test; a shared pointer would be freed twice.
}

TEST(HwiStoreClosed, EveryDeviceMemberRefusesWithoutADevice) {
    CVelaHWI hwi;
    int values[87] = {0, 1, 4};
    wchar_t text[64] = L"unchanged";
    char hex[] = ":00000001FF\r\n";
    EXPECT_FALSE(hwi.isOpen());
    EXPECT_FALSE(hwi.prepare());
    EXPECT_FALSE(hwi.setKeyConfiguration(0, 1, values, 3));
    EXPECT_FALSE(hwi.getKeyConfiguration(0, 1, values, 87));
    EXPECT_FALSE(hwi.writeKeyConfigurationToDev(nullptr));
    EXPECT_FALSE(hwi.readKeyDefinationFromDev(nullptr));
    EXPECT_FALSE(hwi.setKeyboardLightArea(values));
    EXPECT_FALSE(hwi.readKeyLightFromDev());
    EXPECT_FALSE(hwi.ReadKeyboardVersion(text));
    EXPECT_FALSE(hwi.WriteFirmwareToKeyboard(hex, 13, nullptr));
    EXPECT_STREQ(text, L"unchanged");
    EXPECT_TRUE(hwi.__closeDev());
}

}  // namespace
