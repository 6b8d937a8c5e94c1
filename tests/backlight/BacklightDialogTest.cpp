// The backlight window: which area a click chooses, how the areas are painted, what OK,
// Cancel, Default and Program leave in the configuration and send to the keyboard.
#include <gtest/gtest.h>

#include "CVelaDialogBkLightSettings.h"
#include "FakeShellServices.h"
#include "TransferRunner.h"
#include "TransferTexts.h"
#include "TransferUiSupport.h"

using namespace std::chrono_literals;
using namespace kx30uitest;

namespace {

// Distinct colours per area, so the colour the dialog opens with names the area.
const QColor kAreaColours[4] = {QColor(10, 20, 30), QColor(40, 50, 60), QColor(70, 80, 90), QColor(100, 110, 120)};

class BacklightTest : public ::testing::Test {
protected:
    void SetUp() override {
        configuration = makeConfiguration(false);
        for (int a = 1; a <= 4; ++a) setArea(*configuration, a, kAreaColours[a - 1]);
        configuration->backlight[0] = 7;
        configuration->backlight[1] = 8;
        configuration->backlight[2] = 9;
        configuration->lightBlock()[5] = 3;
        runner = std::make_unique<TransferRunner>(*configuration);
    }
    void TearDown() override {
        runner.reset();
        configuration.reset();
    }
    static void setArea(KeyboardConfiguration& c, int area, QColor colour) {
        c.backlight[std::size_t(3 * area)] = colour.red();
        c.backlight[std::size_t(3 * area + 1)] = colour.green();
        c.backlight[std::size_t(3 * area + 2)] = colour.blue();
    }
    std::unique_ptr<CVelaDialogBkLightSettings> dialog() {
        auto d = std::make_unique<CVelaDialogBkLightSettings>(*configuration, skin(), fakes.services, *runner);
        d->setWaits({0ms, 0ms});
        return d;
    }

    std::unique_ptr<KeyboardConfiguration> configuration;
    std::unique_ptr<TransferRunner> runner;
    FakeShellServices fakes = makeFakeShellServices();
};

TEST_F(BacklightTest, AKeyOrSwatchClickOpensItsAreasColour) {
    const struct {
        const char* what;
        SkinRect rect;
        int area;
    } cases[] = {
        {"W", kBacklightKeys[29].rect, 1},      {"A", kBacklightKeys[42].rect, 1},
        {"S", kBacklightKeys[43].rect, 1},      {"D", kBacklightKeys[44].rect, 1},
        {"Up", kBacklightKeys[83].rect, 2},     {"Left", kBacklightKeys[84].rect, 2},
        {"F5", kBacklightKeys[5].rect, 3},      {"Home", kBacklightKeys[78].rect, 3},
        {"Space", kBacklightKeys[69].rect, 4},  {"Esc", kBacklightKeys[0].rect, 4},
        {"Enter", kBacklightKeys[53].rect, 4},  {"swatch 3", {522, 50, 590, 74}, 3},
        {"swatch 1", {142, 50, 210, 74}, 1},    {"swatch 4", {712, 50, 780, 74}, 4},
    };
    auto window = dialog();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    for (const auto& c : cases) {
        clickAt(*window, centreOf(c.rect));
        ASSERT_FALSE(fakes.colourDialog->initialColours().empty()) << c.what;
        EXPECT_EQ(fakes.colourDialog->initialColours().back(), kAreaColours[c.area - 1]) << c.what;
    }
    EXPECT_EQ(fakes.colourDialog->initialColours().size(), std::size(cases));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(BacklightTest, ColourChoicesChangeOnlyTheCopy) {
    auto window = dialog();
    fakes.colourDialog->queueAnswer(std::nullopt);               // cancelled
    fakes.colourDialog->queueAnswer(kAreaColours[1]);            // the same colour
    fakes.colourDialog->queueAnswer(QColor(200, 0, 100));        // a new one
    for (int i = 0; i < 3; ++i) window->chooseAreaColour(2);
    EXPECT_EQ(window->areaColour(2), QColor(200, 0, 100));
    EXPECT_EQ(configuration->backlight[6], kAreaColours[1].red()) << "the configuration changed before OK";
}

TEST_F(BacklightTest, PureBlueIsPaintedJustOffTheCutOutKeyAndStoredAsIs) {
    setArea(*configuration, 1, QColor(0, 0, 255));
    auto window = dialog();
    const QImage picture = window->grab().toImage();
    const QColor drawn(0, 1, 255);
    const SkinRect swatch = backlightSwatchFill({142, 50, 210, 74});
    EXPECT_EQ(picture.pixelColor(centreOf(swatch)), drawn);
    // Somewhere on W's cap the area colour shows, and nowhere on it pure blue.
    const SkinRect w = kBacklightKeys[29].rect;
    bool shown = false;
    for (int y = w.top; y < w.bottom; ++y) {
        for (int x = w.left; x < w.right; ++x) {
            const QColor c = picture.pixelColor(x, y);
            EXPECT_NE(c, QColor(0, 0, 255)) << x << "," << y;
            shown = shown || c == drawn;
        }
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(window->areaColour(1), QColor(0, 0, 255));
    // The other areas keep their own colours on their swatches.
    EXPECT_EQ(picture.pixelColor(centreOf(backlightSwatchFill({712, 50, 780, 74}))), kAreaColours[3]);
}

TEST_F(BacklightTest, DefaultThenCancelOrOk) {
    const auto before = configuration->backlight;
    {
        auto window = dialog();
        window->restoreDefaults();
        window->reject();
        EXPECT_EQ(window->result(), QDialog::Rejected);
        EXPECT_EQ(configuration->backlight, before);
    }
    auto window = dialog();
    window->restoreDefaults();
    window->keep();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    const int defaults[12] = {0, 137, 225, 0, 144, 73, 161, 72, 117, 255, 128, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(configuration->backlight[std::size_t(3 + i)], defaults[i]) << i;
    EXPECT_EQ(configuration->backlight[0], 7);
    EXPECT_EQ(configuration->backlight[1], 8);
    EXPECT_EQ(configuration->backlight[2], 9);
    EXPECT_EQ(configuration->lightBlock()[5], 3);
    EXPECT_TRUE(fakes.messageBoxes->texts().empty()) << "OK sends nothing";
}

TEST_F(BacklightTest, ProgramSendsTheTwelveBytes) {
    kx30test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start()) << emulator.error();
    ASSERT_TRUE(configuration->device.__createDev());
    auto window = dialog();
    fakes.colourDialog->queueAnswer(QColor(1, 2, 3));
    window->chooseAreaColour(4);
    ModalWatchdog watchdog(10s);
    window->program();
    EXPECT_FALSE(watchdog.fired());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(emulator.waitForEvent("lights-written", 5s), "lights-written 10,20,30 40,50,60 70,80,90 1,2,3");
    ASSERT_EQ(fakes.messageBoxes->texts().size(), 1u);
    EXPECT_EQ(fakes.messageBoxes->texts()[0], QStringLiteral("OK!"));
    EXPECT_EQ(configuration->backlight[12], 1);
}

TEST_F(BacklightTest, ProgramWithoutAKeyboardKeepsTheColoursAndSaysItFailed) {
    auto window = dialog();
    window->restoreDefaults();
    ModalWatchdog watchdog(10s);
    window->program();
    EXPECT_FALSE(watchdog.fired());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(configuration->backlight[3], 0);
    EXPECT_EQ(configuration->backlight[4], 137);
    ASSERT_EQ(fakes.messageBoxes->texts().size(), 1u);
    EXPECT_EQ(fakes.messageBoxes->texts()[0], QString::fromUtf8(transfer_texts::kTransferFailed.enUS));
}

TEST_F(BacklightTest, SwatchesAndButtonsLightUpAndKeysNever) {
    auto window = dialog();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QImage hover = skin().bitmap(kBacklightHoverBitmap).toImage();
    const QImage plain = window->grab().toImage();
    struct {
        const char* what;
        QPoint point;
        bool lit;
    } cases[] = {{"Default button", QPoint(150, 440), true},
                 {"close box", QPoint(990, 12), true},
                 {"Esc key", QPoint(52, 103), false}};
    for (const auto& c : cases) {
        QTest::mouseMove(window->windowHandle(), c.point);
        QCoreApplication::processEvents();
        const QImage now = window->grab().toImage();
        EXPECT_EQ(now.pixel(c.point) == hover.pixel(c.point) && now.pixel(c.point) != plain.pixel(c.point), c.lit)
            << c.what;
    }
}

TEST_F(BacklightTest, AHoveredSwatchKeepsItsColour) {
    auto window = dialog();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    for (int area = 1; area <= 4; ++area) {
        const SkinItem* swatch = nullptr;
        for (const SkinItem& item : kBacklightItems)
            if (item.id == kBacklightFirstSwatch + area - 1) {
                swatch = &item;
                break;
            }
        ASSERT_NE(swatch, nullptr);
        const SkinRect fill = backlightSwatchFill(swatch->rect);
        const QPoint centre((fill.left + fill.right) / 2, (fill.top + fill.bottom) / 2);
        QTest::mouseMove(window->windowHandle(), QPoint(0, 0));
        QTest::mouseMove(window->windowHandle(), centre);
        QCoreApplication::processEvents();
        EXPECT_EQ(QColor(window->grab().toImage().pixel(centre)), kAreaColours[area - 1]) << "area " << area;
    }
}

TEST_F(BacklightTest, ScreenshotsInBothLanguages) {
    for (const char* language : {KeyboardConfiguration::kEnglish, KeyboardConfiguration::kChinese}) {
        configuration->language = language;
        configuration->clearConfiguration();
        auto window = dialog();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QTest::mouseMove(window->windowHandle(), QPoint(540, 437));  // over Program
        QCoreApplication::processEvents();
        saveScreenshot(*window, QStringLiteral("backlight-") + QString::fromLatin1(language));
    }
}

}  // namespace
