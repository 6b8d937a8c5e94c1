// The built skin bundle against the windows' item tables: every bitmap is there at the size
// its window expects, cut-out colours appear only in the cut-out corners, the hover and
// active pictures differ from the background exactly at the items, the area masks cover
// their keys, and the scroll bar skin is a 9 x 3 grid of square cells.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QResource>
#include <QTemporaryDir>

#include <array>
#include <map>
#include <set>
#include <span>
#include <vector>

#include "backlight/BacklightItems.h"
#include "keymap/KeyMapItems.h"
#include "mainwindow/MainWindowItems.h"
#include "transfer/FirmwareItems.h"
#include "transfer/ProgressItems.h"

namespace {

class SkinBundle : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(QResource::registerResource(QStringLiteral(KX30_SKIN_RCC))) << KX30_SKIN_RCC; }
    static void TearDownTestSuite() { QResource::unregisterResource(QStringLiteral(KX30_SKIN_RCC)); }
};

QImage bitmap(int id) {
    QImage image(QStringLiteral(":/skin/%1.png").arg(id));
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

SkinColour pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

struct Expected {
    int id;
    SkinSize size;
};

TEST_F(SkinBundle, EveryBitmapIsPresentAtItsWindowsSize) {
    std::vector<Expected> expected;
    for (int id : {kMainWindowBackgroundBitmap, kMainWindowHoverBitmap, kMainWindowActiveBitmap})
        expected.push_back({id, kMainWindowSkinSize});
    for (const KeyMapPagePictures& page : kKeyMapPagePictures)
        for (int id : {page.background, page.hover, page.selected})
            expected.push_back({id, kKeyMapSkinSize});
    for (int id : {kFirmwareBackgroundBitmap, kFirmwareHoverBitmap, kFirmwareFillBitmap})
        expected.push_back({id, kFirmwareSkinSize});
    for (int id : {kBacklightBackgroundBitmap, kBacklightHoverBitmap})
        expected.push_back({id, kBacklightSkinSize});
    for (int a = 0; a < kBacklightAreaCount; ++a)
        expected.push_back({kBacklightFirstMaskBitmap + a, kBacklightSkinSize});
    expected.push_back({kKeyMapScrollBarBitmap, {9 * kKeyMapScrollBarPart, 3 * kKeyMapScrollBarPart}});
    for (int id : {kProgressBackgroundBitmap, kProgressHoverBitmap, kProgressFillBitmap})
        expected.push_back({id, kProgressSkinSize});

    std::set<int> ids;
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.id);
        ids.insert(e.id);
        const QImage image = bitmap(e.id);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), e.size.width);
        EXPECT_EQ(image.height(), e.size.height);
    }
    // Together with 133 (loaded, never drawn) that is every id the start-up loads.
    EXPECT_FALSE(bitmap(133).isNull());
    ids.insert(133);
    std::set<int> loaded{101, 102, 103};
    for (int id = 107; id <= 141; ++id)
        loaded.insert(id);
    EXPECT_EQ(ids, loaded);
}

// One window's pictures: the background and the pictures whose rectangles are copied over it.
struct Window {
    const char* name;
    std::vector<int> pictures;  // background first
    SkinColour key;
    std::span<const SkinItem> items;
    int page = 0;               // key assignment dialog: the page, else 0
    std::vector<SkinRect> extra; // further rectangles copied from the pictures (progress strips)
};

bool belongs(const Window& w, const SkinItem& item) {
    if (item.id <= 0)
        return false;
    return w.page == 0 || keyMapPageOf(item.id) == 0 || keyMapPageOf(item.id) == w.page;
}

std::vector<Window> windows() {
    std::vector<Window> all{
        {"main", {101, 102, 103}, kSkinKeyBlue, kMainWindowItems, 0, {}},
        {"backlight", {131, 132}, kSkinKeyBlue, kBacklightItems, 0, {}},
        {"progress", {139, 140, 141}, kSkinKeyRed, kProgressItems, 0, {kProgressStrip}},
        {"firmware", {128, 129, 130}, kSkinKeyRed, kFirmwareItems, 0, {kFirmwareStrip}},
    };
    for (int page = 1; page <= kKeyMapPageCount; ++page) {
        const KeyMapPagePictures& ids = kKeyMapPagePictures[page - 1];
        all.push_back({"keymap", {ids.background, ids.hover, ids.selected}, kSkinKeyRed, kKeyMapItems, page, {}});
    }
    return all;
}

TEST_F(SkinBundle, CutOutColoursLieOnlyInTheRoundedCorners) {
    constexpr int kCorner = 24;  // no window rounds its corners by more
    for (const Window& w : windows()) {
        const SkinColour other = w.key == kSkinKeyBlue ? kSkinKeyRed : kSkinKeyBlue;
        for (int id : w.pictures) {
            SCOPED_TRACE(::testing::Message() << w.name << " page " << w.page << " bitmap " << id);
            const QImage image = bitmap(id);
            ASSERT_FALSE(image.isNull());
            const int W = image.width();
            const int H = image.height();
            for (auto [x, y] : std::array<std::pair<int, int>, 4>{{{0, 0}, {W - 1, 0}, {0, H - 1}, {W - 1, H - 1}}})
                EXPECT_EQ(pixel(image, x, y), w.key) << x << "," << y;
            int misplaced = 0;
            int otherKey = 0;
            for (int y = 0; y < H; ++y) {
                for (int x = 0; x < W; ++x) {
                    const SkinColour c = pixel(image, x, y);
                    const bool inCorner = (x < kCorner || x >= W - kCorner) && (y < kCorner || y >= H - kCorner);
                    misplaced += c == w.key && !inCorner;
                    otherKey += c == other;
                }
            }
            EXPECT_EQ(misplaced, 0);
            EXPECT_EQ(otherKey, 0);
            for (const SkinItem& item : w.items) {
                if (!belongs(w, item))
                    continue;
                for (int y = item.rect.top; y < item.rect.bottom; ++y)
                    for (int x = item.rect.left; x < item.rect.right; ++x)
                        if (pixel(image, x, y) == w.key)
                            ADD_FAILURE() << "key colour inside item " << item.id << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(SkinBundle, PicturesWithoutAShapeCarryNoCutOutColour) {
    for (int id : {133, kKeyMapScrollBarBitmap, 134, 135, 136, 137}) {
        SCOPED_TRACE(id);
        const QImage image = bitmap(id);
        ASSERT_FALSE(image.isNull());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const SkinColour c = pixel(image, x, y);
                ASSERT_TRUE(c != kSkinKeyBlue && c != kSkinKeyRed) << x << "," << y;
            }
    }
}

// The windows copy an item's rectangle from the hover or active picture, so those pictures
// must equal the background everywhere else, and must show something different at the items
// that have a look of their own.
bool differsInside(const QImage& a, const QImage& b, SkinRect r) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return true;
    return false;
}

bool hasOwnLook(const Window& w, const SkinItem& item, int pictureIndex) {
    if (item.textOnly)
        return false;
    if (w.items.data() == kBacklightItems.data())
        return item.keyNumber < 0;  // keys are never highlighted
    if (w.page == 0)
        return pictureIndex == 1;  // hover pictures; the main window's active picture below
    // Key assignment dialog: captions without action and the rows under the combination text
    // have no look; the frame's buttons and tabs are never selected.
    if (item.id == 103 || item.id == 301 || (item.id >= kKeyMapComboRecordRow && item.id < kKeyMapComboRecordRow + 6))
        return false;
    if (pictureIndex == 2 && item.id < 100)
        return false;
    return true;
}

TEST_F(SkinBundle, HoverAndActivePicturesDifferExactlyAtTheItems) {
    for (const Window& w : windows()) {
        const QImage background = bitmap(w.pictures[0]);
        ASSERT_FALSE(background.isNull());
        // Every pixel that any item or copied strip covers.
        QImage covered(background.size(), QImage::Format_Mono);
        covered.fill(0);
        auto cover = [&](SkinRect r) {
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    covered.setPixel(x, y, 1);
        };
        for (const SkinItem& item : w.items)
            if (belongs(w, item) && !item.textOnly)
                cover(item.rect);
        for (SkinRect r : w.extra)
            cover(r);

        for (std::size_t i = 1; i < w.pictures.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << w.name << " page " << w.page << " bitmap " << w.pictures[i]);
            const QImage other = bitmap(w.pictures[i]);
            ASSERT_EQ(other.size(), background.size());
            int strayPixels = 0;
            for (int y = 0; y < background.height(); ++y)
                for (int x = 0; x < background.width(); ++x)
                    strayPixels += !covered.pixelIndex(x, y) && background.pixel(x, y) != other.pixel(x, y);
            EXPECT_EQ(strayPixels, 0);

            for (const SkinItem& item : w.items) {
                if (!belongs(w, item))
                    continue;
                const bool mainActive = w.pictures[0] == kMainWindowBackgroundBitmap && i == 2 && !item.textOnly;
                if (hasOwnLook(w, item, static_cast<int>(i)) || mainActive) {
                    EXPECT_TRUE(differsInside(background, other, item.rect)) << "item " << item.id;
                }
                if (w.items.data() == kBacklightItems.data() && item.keyNumber > 0) {
                    EXPECT_FALSE(differsInside(background, other, item.rect)) << "key " << item.keyNumber;
                }
            }
            for (SkinRect r : w.extra) {
                if (i == 2) {
                    EXPECT_TRUE(differsInside(background, other, r)) << "the filled strip";
                }
            }
        }
    }
}

TEST_F(SkinBundle, AreaMasksHoldKeyColourExactlyOnTheirAreasKeys) {
    for (int area = 1; area <= kBacklightAreaCount; ++area) {
        SCOPED_TRACE(area);
        const QImage mask = bitmap(kBacklightFirstMaskBitmap + area - 1);
        ASSERT_FALSE(mask.isNull());
        std::vector<int> keyPixels(kBacklightKeyCount + 1, 0);
        int stray = 0;
        int foreign = 0;
        for (int y = 0; y < mask.height(); ++y) {
            for (int x = 0; x < mask.width(); ++x) {
                const SkinColour c = pixel(mask, x, y);
                ASSERT_TRUE(c == kSkinMaskKey || c == kSkinMaskBackground) << x << "," << y;
                if (c != kSkinMaskKey)
                    continue;
                int key = 0;
                for (int k = 1; k <= kBacklightKeyCount && !key; ++k)
                    if (kBacklightKeys[k - 1].rect.contains(x, y))
                        key = k;
                if (!key)
                    ++stray;
                else if (kBacklightKeys[key - 1].area != area)
                    ++foreign;
                else
                    ++keyPixels[key];
                // The dialog copies only this part of a recoloured mask.
                EXPECT_TRUE(kBacklightMaskCopyRect.contains(x, y));
            }
        }
        EXPECT_EQ(stray, 0);
        EXPECT_EQ(foreign, 0);
        // Each key of the area is covered but for its outline, rounded corners and legend.
        for (int k = 1; k <= kBacklightKeyCount; ++k) {
            if (kBacklightKeys[k - 1].area != area)
                continue;
            const SkinRect r = kBacklightKeys[k - 1].rect;
            EXPECT_GE(keyPixels[k], r.width() * r.height() * 7 / 10) << "key " << k;
        }
    }
}

TEST_F(SkinBundle, ScrollBarSkinIsNineByThreeSquareCellsThatTile) {
    const QImage skin = bitmap(kKeyMapScrollBarBitmap);
    ASSERT_FALSE(skin.isNull());
    const int part = skin.width() / 9;
    ASSERT_EQ(skin.width() % 9, 0);
    ASSERT_EQ(skin.height(), 3 * part);
    ASSERT_EQ(part, kKeyMapScrollBarPart);
    // The track cells are tiled along the bar: every line across the bar is the same. The
    // thumb's middle (between its 3 px end caps) is tiled as well.
    struct Tiled {
        int column;
        bool vertical;
        int from;
        int to;
    };
    for (const Tiled t : {Tiled{3, true, 0, part}, Tiled{7, false, 0, part}, Tiled{2, true, 3, part - 3},
                          Tiled{6, false, 3, part - 3}}) {
        for (int row = 0; row < 3; ++row) {
            if ((t.column == 3 || t.column == 7) && row > 0)
                continue;  // the track is always drawn from row 0
            SCOPED_TRACE(::testing::Message() << "column " << t.column << " row " << row);
            const int x0 = t.column * part;
            const int y0 = row * part;
            for (int along = t.from; along < t.to; ++along)
                for (int across = 0; across < part; ++across) {
                    const QRgb first = t.vertical ? skin.pixel(x0 + across, y0 + t.from) : skin.pixel(x0 + t.from, y0 + across);
                    const QRgb here = t.vertical ? skin.pixel(x0 + across, y0 + along) : skin.pixel(x0 + along, y0 + across);
                    ASSERT_EQ(here, first) << "along " << along << " across " << across;
                }
        }
    }
    // Hot and pressed arrows and thumbs look different from the normal ones.
    for (int column : {0, 1, 2, 4, 5, 6})
        for (int row : {1, 2}) {
            const SkinRect normal = skinRectAt(column * part, 0, part, part);
            bool differs = false;
            for (int y = 0; y < part && !differs; ++y)
                for (int x = 0; x < part && !differs; ++x)
                    differs = skin.pixel(normal.left + x, y) != skin.pixel(normal.left + x, row * part + y);
            EXPECT_TRUE(differs) << "column " << column << " row " << row;
        }
}

// The painter runs in every build: the same inputs must give the same bytes.
TEST(SkinPainter, PaintsTheSameBytesEveryRun) {
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    for (const QTemporaryDir* dir : {&first, &second}) {
        QProcess painter;
        painter.start(QStringLiteral(KX30_SKIN_PAINTER), {dir->filePath(QStringLiteral("png")), dir->filePath(QStringLiteral("skin.qrc"))});
        ASSERT_TRUE(painter.waitForFinished(60000));
        ASSERT_EQ(painter.exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(painter.exitCode(), 0) << painter.readAllStandardError().toStdString();
    }
    const QStringList files = QDir(first.filePath(QStringLiteral("png"))).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files.size(), 38);
    for (const QString& name : files) {
        QFile a(first.filePath(QStringLiteral("png/") + name));
        QFile b(second.filePath(QStringLiteral("png/") + name));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(a.readAll(), b.readAll()) << name.toStdString();
    }
}

// The tables the pictures are drawn from: the facts a transcription slip would break.
TEST(SkinTables, BacklightAreasFollowTheKeyGroups) {
    struct Case {
        int key;
        int area;
    };
    constexpr Case cases[] = {{30, 1}, {43, 1}, {44, 1}, {45, 1}, {84, 2}, {85, 2}, {86, 2}, {87, 2},
                              {2, 3},  {6, 3},  {13, 3}, {75, 3}, {79, 3}, {83, 3}, {1, 4},  {14, 4},
                              {29, 4}, {31, 4}, {54, 4}, {70, 4}, {74, 4}, {0, 0},  {88, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(backlightAreaOfKey(c.key), c.area) << "key " << c.key;
    int perArea[5] = {};
    for (const BacklightKey& key : kBacklightKeys)
        ++perArea[key.area];
    EXPECT_EQ(perArea[1], 4);
    EXPECT_EQ(perArea[2], 4);
    EXPECT_EQ(perArea[3], 21);
    EXPECT_EQ(perArea[4], 58);
}

TEST(SkinTables, KeyItemsFollowTheKeyTable) {
    for (int k = 1; k <= kKeyCount; ++k) {
        const SkinItem& main = kMainWindowItems[kMainWindowFirstKeyItem + k - 1];
        EXPECT_EQ(main.id, kMainKeyIdBase + k);
        EXPECT_EQ(main.keyNumber, k);
        EXPECT_EQ(main.rect, (SkinRect{kKeyTable[k - 1].rect.left, kKeyTable[k - 1].rect.top, kKeyTable[k - 1].rect.right,
                                       kKeyTable[k - 1].rect.bottom}));
        const SkinItem& light = kBacklightItems[kBacklightFirstKeyItem + k - 1];
        EXPECT_EQ(light.id, kBacklightKeyIdBase + k);
        EXPECT_EQ(light.rect, kBacklightKeys[k - 1].rect);
    }
    EXPECT_EQ(kMainWindowItems.back().id, 78);
    EXPECT_EQ(kBacklightItems[104].id, 186);
    EXPECT_EQ(kBacklightItems[105].id, -1);
}

TEST(SkinTables, CatalogueEntriesCarryDistinctCodesPerPage) {
    std::map<int, std::set<int>> codesPerPage;
    int entries = 0;
    for (const SkinItem& item : kKeyMapItems) {
        if (item.code < 0)
            continue;
        ++entries;
        EXPECT_FALSE(item.textOnly) << item.id;
        EXPECT_TRUE(codesPerPage[keyMapPageOf(item.id)].insert(item.code).second) << "duplicate code " << item.code;
        EXPECT_EQ(isKeyMapCatalogueIcon(item.id), item.tip.enUS != nullptr) << item.id;
    }
    EXPECT_EQ(entries, 18 + 10 + 25 + 3);
    EXPECT_LE(kKeyMapItems.size(), static_cast<std::size_t>(kKeyMapItemCapacity));
    // Every item lies inside the dialog.
    for (const SkinItem& item : kKeyMapItems)
        EXPECT_TRUE(item.rect.left >= 0 && item.rect.right <= kKeyMapSkinSize.width && item.rect.bottom <= kKeyMapSkinSize.height)
            << item.id;
}

}  // namespace
