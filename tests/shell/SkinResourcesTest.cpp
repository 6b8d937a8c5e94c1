#include "AreaMask.h"
#include "CSkinScrollBar.h"
#include "CVelaApp.h"
#include "FakeShellServices.h"
#include "Language.h"
#include "SkinItem.h"
#include "SkinResources.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QRawFont>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

CVelaApp makeApp(const QString& folder) {
    return CVelaApp(makeFakeShellServices().services, folder);
}

TEST(SkinBundle, LoadsThePresentBitmapsAndLeavesTheOthersNull) {
    CVelaApp app(makeFakeShellServices().services, QStringLiteral(KX30_TEST_BUNDLE_DIR));
    ASSERT_TRUE(app.loadResources());
    const SkinResources& skin = app.resources();

    EXPECT_EQ(skin.bitmap(101).size(), QSize(40, 20));
    EXPECT_EQ(skin.bitmap(138).size(), QSize(144, 48));
    EXPECT_TRUE(skin.bitmap(102).isNull());
    EXPECT_TRUE(skin.bitmap(141).isNull());

    // The mask of area 0 comes from bitmap 134: its key pixels stay, all else is background.
    const QImage& mask = skin.areaMask(0);
    ASSERT_EQ(mask.size(), QSize(8, 4));
    EXPECT_EQ(mask.pixel(1, 1) & 0xFFFFFFu, kSkinMaskKey);
    EXPECT_EQ(mask.pixel(6, 3) & 0xFFFFFFu, kSkinMaskKey);
    EXPECT_EQ(mask.pixel(7, 0) & 0xFFFFFFu, kSkinMaskBackground);
    EXPECT_EQ(mask.pixel(0, 0) & 0xFFFFFFu, kSkinMaskBackground);
    EXPECT_TRUE(skin.areaMask(1).isNull());  // bitmap 135 is not in the bundle

    app.releaseResources();
    EXPECT_TRUE(skin.bitmap(101).isNull());
    EXPECT_TRUE(skin.areaMask(0).isNull());
    EXPECT_FALSE(QFile::exists(QStringLiteral(":/skin/101.png")));
}

// Start-up decodes only what the first window draws: a bitmap or mask is made when first
// asked for, kept for later calls, and dropped with the skin.
TEST(SkinBundle, DecodesEachBitmapAndMaskOnFirstUseOnly) {
    CVelaApp app(makeFakeShellServices().services, QStringLiteral(KX30_TEST_BUNDLE_DIR));
    ASSERT_TRUE(app.loadResources());
    const SkinResources& skin = app.resources();
    EXPECT_EQ(skin.decodedBitmapCount(), 0);
    EXPECT_EQ(skin.madeAreaMaskCount(), 0);

    const qint64 first = skin.bitmap(101).cacheKey();
    EXPECT_EQ(skin.bitmap(101).cacheKey(), first);
    EXPECT_TRUE(skin.bitmap(102).isNull());  // missing: looked for once, stays null
    EXPECT_TRUE(skin.bitmap(102).isNull());
    EXPECT_EQ(skin.decodedBitmapCount(), 1);

    // The mask is made without keeping its source picture.
    EXPECT_FALSE(skin.areaMask(0).isNull());
    EXPECT_EQ(skin.madeAreaMaskCount(), 1);
    EXPECT_EQ(skin.decodedBitmapCount(), 1);
    // A mask whose source was already read comes out the same.
    const QImage fromReader = skin.areaMask(0);
    app.releaseResources();
    ASSERT_TRUE(app.loadResources());
    EXPECT_FALSE(skin.bitmap(134).isNull());
    EXPECT_EQ(skin.areaMask(0), fromReader);

    app.releaseResources();
    EXPECT_EQ(skin.decodedBitmapCount(), 0);
    EXPECT_EQ(skin.madeAreaMaskCount(), 0);
    EXPECT_TRUE(skin.bitmap(101).isNull());
}

TEST(SkinBundle, MissingBundleLeavesEveryBitmapNullAndDrawsNothing) {
    QTemporaryDir empty;
    CVelaApp app = makeApp(empty.path());
    EXPECT_FALSE(app.loadResources());
    for (int id : SkinResources::kBitmapIds)
        EXPECT_TRUE(app.resources().bitmap(id).isNull()) << id;
    for (int area = 0; area < SkinResources::kAreaCount; ++area)
        EXPECT_TRUE(app.resources().areaMask(area).isNull()) << area;

    // A window drawing the missing bitmaps leaves its picture untouched.
    QImage canvas(60, 60, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        p.drawPixmap(0, 0, app.resources().bitmap(101));
        p.drawImage(0, 0, recolourAreaMask(0x0000FF, app.resources().areaMask(0)));
    }
    QImage white(60, 60, QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(canvas, white);

    // So does a scroll bar skinned with one.
    QWidget parent;
    parent.resize(60, 220);
    CSkinScrollBar bar(Qt::Vertical, &parent);
    bar.setGeometry(10, 10, 20, 200);
    bar.setBitmap(app.resources().bitmap(138));
    EXPECT_EQ(bar.geometry(), QRect(10, 10, 20, 200));
    bar.setAutoFillBackground(true);
    QPalette palette = bar.palette();
    palette.setColor(QPalette::Window, Qt::white);
    bar.setPalette(palette);
    const QImage shot = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage blank(shot.size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(shot, blank);
}

TEST(SkinBundle, UnknownIdsAndAreasGiveNullResources) {
    CVelaApp app(makeFakeShellServices().services, QStringLiteral(KX30_TEST_BUNDLE_DIR));
    app.loadResources();
    for (int id : {0, 100, 104, 105, 106, 142, -1})
        EXPECT_TRUE(app.resources().bitmap(id).isNull()) << id;
    EXPECT_TRUE(app.resources().areaMask(-1).isNull());
    EXPECT_TRUE(app.resources().areaMask(4).isNull());
}

TEST(SkinBundle, StartUpLoadsBeforeTheMainWindowAndReleasesAfterIt) {
    CVelaApp app(makeFakeShellServices().services, QStringLiteral(KX30_TEST_BUNDLE_DIR));
    std::vector<std::string> steps;
    CVelaApp::Startup startup;
    startup.prepareConfiguration = [&] {
        steps.push_back("configuration");
        EXPECT_FALSE(app.resources().bitmap(101).isNull());
    };
    startup.runMainWindow = [&](CVelaApp& running) {
        steps.push_back("main window");
        EXPECT_EQ(&running, &app);
        EXPECT_TRUE(running.hasBundle());
        EXPECT_FALSE(running.resources().bitmap(138).isNull());
        EXPECT_FALSE(running.resources().areaMask(0).isNull());
    };
    EXPECT_FALSE(app.initInstance(startup));
    EXPECT_EQ(steps, (std::vector<std::string>{"configuration", "main window"}));
    EXPECT_FALSE(app.hasBundle());
    EXPECT_TRUE(app.resources().bitmap(101).isNull());
}

TEST(SkinBundle, StartUpWithoutBundleStillRunsTheMainWindow) {
    QTemporaryDir empty;
    CVelaApp app = makeApp(empty.path());
    bool ran = false;
    app.initInstance({{}, [&](CVelaApp&) { ran = true; }});
    EXPECT_TRUE(ran);
}

TEST(SkinResourcesBrush, IsDarkGrey) {
    const SkinResources skin;
    EXPECT_EQ(skin.darkBrush().style(), Qt::SolidPattern);
    EXPECT_EQ(skin.darkBrush().color(), QColor(20, 20, 20));
}

TEST(SkinFonts, FontNIsNPixelsHigh) {
    const SkinResources skin;
    EXPECT_EQ(SkinResources::kFontCount, 20);
    for (int n = 1; n < SkinResources::kFontCount; ++n)
        EXPECT_EQ(skin.font(n).pixelSize(), n) << n;
    // Font 0 keeps the default size.
    EXPECT_EQ(skin.font(0).pixelSize(), -1);
    EXPECT_GT(skin.font(0).pointSizeF(), 0);
    // A wrong index draws in the default font instead of reading past the table.
    EXPECT_EQ(skin.font(20), skin.font(0));
    EXPECT_EQ(skin.font(-3), skin.font(0));
}

TEST(SkinFonts, Font13DrawsLatinAndChineseFromOneFamily) {
    const SkinResources skin;
    const QFont& font = skin.font(SkinResources::kStandardFont);
    EXPECT_EQ(QFontInfo(font).family(), QString::fromLatin1(SkinResources::kFontFamily));
    EXPECT_EQ(QFontInfo(font).pixelSize(), 13);

    const QString chinese = QStringLiteral("简体中文");
    EXPECT_GT(QFontMetrics(font).horizontalAdvance(chinese), 0);
    const QRawFont raw = QRawFont::fromFont(font, QFontDatabase::SimplifiedChinese);
    for (QChar c : chinese)
        EXPECT_TRUE(raw.supportsCharacter(c)) << int(c.unicode());
    EXPECT_TRUE(raw.supportsCharacter(QChar(u'W')));
}

TEST(Language, SwitchesBetweenEnglishAndChinese) {
    EXPECT_EQ(nextLanguage(kLanguageEnglish), kLanguageChinese);
    EXPECT_EQ(nextLanguage(kLanguageChinese), kLanguageEnglish);
    EXPECT_EQ(nextLanguage(""), kLanguageChinese);
}

}  // namespace
