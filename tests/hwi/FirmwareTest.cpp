// Intel HEX images: the check before download, the line reports and the progress values.
#include <gtest/gtest.h>

#include <ostream>

#include <string>

#include "CVelaHWI.h"
#include "FakeTransport.h"
#include "HexImage.h"

namespace {

const std::string kData16 = ":10000000000102030405060708090A0B0C0D0E0F78";
const std::string kEof = ":00000001FF";

struct HexCase {
    const char* name;
    std::string text;
    HexError error;
    int line;
};

void PrintTo(const HexCase& c, std::ostream* os) { *os << c.name; }

class HwiHexCheck : public ::testing::TestWithParam<HexCase> {};

TEST_P(HwiHexCheck, NamesTheFirstBadLine) {
    const HexCase& c = GetParam();
    const HexImageCheck check = validateHexImage(c.text);
    EXPECT_EQ(check.error, c.error) << check.reason();
    EXPECT_EQ(check.line, c.line);
    EXPECT_NE(std::string(check.reason()), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HwiHexCheck,
    ::testing::Values(
        HexCase{"GoodCrLf", kData16 + "\r\n" + kEof + "\r\n", HexError::None, 0},
        HexCase{"GoodCr", kData16 + "\r" + kEof + "\r", HexError::None, 0},
        HexCase{"GoodBareLf", kData16 + "\n" + kEof + "\n", HexError::None, 0},
        HexCase{"GoodWithoutFinalLineEnd", kData16 + "\r\n" + kEof, HexError::None, 0},
        HexCase{"TrailingLineEndsAllowed", kEof + "\r\n\r\n\n", HexError::None, 0},
        HexCase{"LowerCaseDigits", ":10000000000102030405060708090a0b0c0d0e0f78\r\n" + kEof,
                HexError::None, 0},
        HexCase{"Empty", "", HexError::Empty, 1},
        HexCase{"LeadingBlankLine", "\r\n" + kEof, HexError::MissingColon, 1},
        HexCase{"BlankLineInside", kData16 + "\r\n\r\n" + kEof, HexError::MissingColon, 2},
        HexCase{"NoColon", kData16 + "\r\n00000001FF", HexError::MissingColon, 2},
        HexCase{"BadDigit", ":1000000000010203040506070809ZA0B0C0D0E0F78\r\n" + kEof,
                HexError::BadDigit, 1},
        HexCase{"OddDigits", ":00000001F\r\n", HexError::OddDigitCount, 1},
        HexCase{"TooShort", ":000000\r\n", HexError::TooShort, 1},
        HexCase{"CountDisagrees", ":11000000000102030405060708090A0B0C0D0E0F78\r\n" + kEof,
                HexError::LengthMismatch, 1},
        HexCase{"BadChecksum", kData16 + "\r\n:00000001FE", HexError::BadChecksum, 2},
        HexCase{"BadType", ":00000006FA\r\n" + kEof, HexError::BadRecordType, 1},
        HexCase{"RecordLongerThanAReport",
                ":3A000000" + std::string(116, '0') + "C6\r\n" + kEof, HexError::RecordTooLong, 1},
        HexCase{"NoEndOfFile", kData16 + "\r\n", HexError::MissingEndOfFile, 2},
        HexCase{"DataAfterEnd", kEof + "\r\n" + kData16, HexError::DataAfterEndOfFile, 2},
        HexCase{"SecondEnd", kEof + "\r\n" + kEof, HexError::DataAfterEndOfFile, 2},
        HexCase{"TextEndsAtZero", kEof + std::string(1, '\0') + "garbage", HexError::None, 0}),
    [](const auto& tc) { return std::string(tc.param.name); });

class HwiFirmware : public ::testing::Test {
protected:
    void SetUp() override {
        auto fake = std::make_unique<FakeTransport>();
        transport = fake.get();
        hwi.attachTransport(std::move(fake));
    }
    bool download(std::string text) {
        return hwi.WriteFirmwareToKeyboard(text.data(), static_cast<int>(text.size()), &sink);
    }
    CVelaHWI hwi;
    FakeTransport* transport = nullptr;
    RecordingSink sink;
};

TEST_F(HwiFirmware, DataRecordBecomesOneReport) {
    ASSERT_TRUE(download(kData16 + "\r\n" + kEof + "\r\n"));
    ASSERT_EQ(transport->written.size(), 2u);
    Report expected{};
    const int bytes[] = {0x00, 0x3A, 0x10, 0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06,
                         0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x78};
    for (std::size_t i = 0; i < std::size(bytes); ++i) expected[1 + i] = static_cast<std::uint8_t>(bytes[i]);
    EXPECT_EQ(transport->written[0], expected);
    Report eof{};
    const int eofBytes[] = {0x00, 0x3A, 0x00, 0x00, 0x00, 0x01, 0xFF};
    for (std::size_t i = 0; i < std::size(eofBytes); ++i) eof[1 + i] = static_cast<std::uint8_t>(eofBytes[i]);
    EXPECT_EQ(transport->written[1], eof);
}

TEST_F(HwiFirmware, LowerAndUpperCaseGiveTheSameReport) {
    ASSERT_TRUE(download(":10000000000102030405060708090a0b0c0d0e0f78\r\n" + kEof));
    const Report lower = transport->written[0];
    transport->written.clear();
    ASSERT_TRUE(download(kData16 + "\r\n" + kEof));
    EXPECT_EQ(transport->written[0], lower);
}

TEST_F(HwiFirmware, ProgressGrowsToOneHundredFifty) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::string image;
        for (int i = 0; i < 299; ++i) image += kData16 + end;
        image += kEof + end;
        sink.values.clear();
        transport->written.clear();
        ASSERT_TRUE(download(image)) << "line end " << int(end[0]);
        EXPECT_EQ(transport->written.size(), 300u);
        std::vector<int> expected(150);
        for (int i = 0; i < 150; ++i) expected[i] = i + 1;
        EXPECT_EQ(sink.values, expected);
    }
}

TEST_F(HwiFirmware, RefusedImageSendsNothing) {
    for (std::string bad : {std::string("\r\n") + kEof, kData16 + "\r\n:00000001FE",
                            kData16 + "\r\n" + kData16}) {
        EXPECT_FALSE(download(bad));
        EXPECT_TRUE(transport->written.empty());
        EXPECT_TRUE(sink.values.empty());
    }
    char text[] = ":00000001FF";
    EXPECT_FALSE(hwi.WriteFirmwareToKeyboard(text, 0, nullptr));
    EXPECT_FALSE(hwi.WriteFirmwareToKeyboard(nullptr, 11, nullptr));
    EXPECT_TRUE(transport->written.empty());
}

TEST_F(HwiFirmware, LengthBoundsTheText) {
    std::string text = kEof + "\r\n" + kData16;  // only the first line lies within length
    ASSERT_TRUE(hwi.WriteFirmwareToKeyboard(text.data(), static_cast<int>(kEof.size()), nullptr));
    EXPECT_EQ(transport->written.size(), 1u);
}

TEST_F(HwiFirmware, FailedWriteEndsTheDownload) {
    transport->failWriteAt = 1;
    EXPECT_FALSE(download(kData16 + "\r\n" + kData16 + "\r\n" + kEof));
    EXPECT_EQ(transport->written.size(), 1u);
}

}  // namespace
