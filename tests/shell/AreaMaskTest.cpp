#include "AreaMask.h"
#include "SkinItem.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr QRgb kKey = kSkinMaskKey;
constexpr QRgb kBack = kSkinMaskBackground;
constexpr QRgb kGreen = 0x00FF00;
constexpr QRgb kNearKey = 0xFF0102;  // one step off the key colour

// A one-row image of the given 0x00RRGGBB pixels.
QImage row(const std::vector<QRgb>& pixels, QImage::Format format = QImage::Format_RGB32) {
    QImage image(static_cast<int>(pixels.size()), 1, format);
    for (std::size_t x = 0; x < pixels.size(); ++x)
        image.setPixel(static_cast<int>(x), 0, 0xFF000000u | pixels[x]);
    return image;
}

std::vector<QRgb> pixelsOf(const QImage& image) {
    std::vector<QRgb> out;
    for (int x = 0; x < image.width(); ++x)
        out.push_back(image.pixel(x, 0) & 0xFFFFFFu);
    return out;
}

struct MaskCase {
    const char* name;
    std::vector<QRgb> input;
    std::vector<QRgb> expected;
};

class MakeAreaMask : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MakeAreaMask, KeepsKeyPixelsAndBlanksTheRest) {
    const MaskCase& c = GetParam();
    const QImage mask = makeAreaMask(row(c.input));
    ASSERT_FALSE(mask.isNull());
    EXPECT_EQ(mask.format(), QImage::Format_RGB32);
    EXPECT_EQ(pixelsOf(mask), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakeAreaMask,
    ::testing::Values(MaskCase{"OnlyKeyColour", {kKey, kKey, kKey}, {kKey, kKey, kKey}},
                      MaskCase{"NoKeyColour", {kGreen, 0x000000, kNearKey}, {kBack, kBack, kBack}},
                      MaskCase{"Mixed", {kKey, kGreen, kBack, kKey}, {kKey, kBack, kBack, kKey}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(MakeAreaMaskFormats, ReadsImagesWithAlphaAndPixmaps) {
    EXPECT_EQ(pixelsOf(makeAreaMask(row({kKey, kGreen}, QImage::Format_ARGB32))),
              (std::vector<QRgb>{kKey, kBack}));
    EXPECT_EQ(pixelsOf(makeAreaMask(QPixmap::fromImage(row({kGreen, kKey})))),
              (std::vector<QRgb>{kBack, kKey}));
}

TEST(MakeAreaMaskFormats, LeavesTheSourceAlone) {
    const QImage source = row({kGreen, kKey});
    (void)makeAreaMask(source);
    (void)recolourAreaMask(0x0000FF, source);
    EXPECT_EQ(pixelsOf(source), (std::vector<QRgb>{kGreen, kKey}));
}

struct RecolourCase {
    const char* name;
    ColourRef colour;
    std::vector<QRgb> input;
    std::vector<QRgb> expected;
};

class RecolourAreaMask : public ::testing::TestWithParam<RecolourCase> {};

TEST_P(RecolourAreaMask, PaintsOnlyKeyPixels) {
    const RecolourCase& c = GetParam();
    const QImage out = recolourAreaMask(c.colour, row(c.input));
    ASSERT_FALSE(out.isNull());
    EXPECT_EQ(out.format(), QImage::Format_RGB32);
    EXPECT_EQ(pixelsOf(out), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecolourAreaMask,
    ::testing::Values(
        // Colour reference 0x0000FF is pure red: pixel 0xFF0000.
        RecolourCase{"PureRed", 0x0000FF, {kKey, kBack, kKey}, {0xFF0000, kBack, 0xFF0000}},
        // Red and blue swap, green stays in the middle.
        RecolourCase{"ByteOrder", 0x123456, {kKey, kGreen}, {0x563412, kGreen}},
        RecolourCase{"NoKeyPixels", 0x0000FF, {kBack, kNearKey}, {kBack, kNearKey}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(AreaMaskMissingSource, GivesNullImages) {
    EXPECT_TRUE(makeAreaMask(QImage()).isNull());
    EXPECT_TRUE(makeAreaMask(QPixmap()).isNull());
    EXPECT_TRUE(recolourAreaMask(0x0000FF, QImage()).isNull());
    EXPECT_TRUE(recolourAreaMask(0x0000FF, QPixmap()).isNull());
}

}  // namespace
