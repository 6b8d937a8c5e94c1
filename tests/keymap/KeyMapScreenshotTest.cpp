// Pictures of all seven pages in both languages, with content on every page, for a person to
// look at: written to screenshots/ in the build folder.
#include "KeyMapFixture.h"

#include <QDir>

namespace {

struct ShotCase {
    const char* language;
    int page;
};

class KeyMapScreenshot : public KeyMapDialogTest, public ::testing::WithParamInterface<ShotCase> {};

TEST_P(KeyMapScreenshot, DrawsThePageWithItsContent) {
    const ShotCase& c = GetParam();
    config.language = c.language;
    config.predefinedCombos = predefined({{"Copy", eventsOf({"Left CONTROL", "C"}, 6)},
                                          {"Paste", eventsOf({"Left CONTROL", "V"}, 6)}}, 6);
    config.predefinedMacros = predefined({{"Hello", eventsOf({"H Down", "<35 ms>", "H UP", "<20 ms>", "I Down"})},
                                          {"Fire", eventsOf({"Mouse Key Left"})}});
    config.predefinedEmulations = predefined({{"Login", eventsOf({"A", "D", "M", "I", "N"})}});
    const int kinds[] = {1, 3, 4, 5, 6, 7, 8};
    const int codes[] = {43, 0, 0, 113, 130, 157, 76};
    setKey(kindFromInt(kinds[c.page - 1]), codes[c.page - 1],
           c.page == 2 ? config.predefinedMacros.child(0) : c.page == 3 ? config.predefinedEmulations.child(0) : KeyEventList{});
    open();
    hover(c.page == 1 ? kKeyMapComboRecord : c.page == 4 ? 402 : c.page == 6 ? 601 : kKeyMapOk);

    const QImage shot = dialog->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), testSkin().bitmap(107).size());
    QDir().mkpath(QStringLiteral(KX30_SCREENSHOT_DIR));
    const QString path = QStringLiteral(KX30_SCREENSHOT_DIR "/keymap-page%1-%2.png").arg(c.page).arg(c.language);
    EXPECT_TRUE(shot.save(path)) << path.toStdString();

    // The selected entry's picture is drawn where the page shows the key's choice.
    const int selectedId = c.page == 1 ? kKeyMapUniques : c.page == 4 ? 407 : c.page == 5 ? 506 : c.page == 6 ? 612 : c.page == 7 ? 702 : 0;
    if (selectedId) {
        const QPoint p = centreOf(selectedId);
        EXPECT_EQ(shot.pixel(p.x(), p.y() - 8) & 0xFFFFFF,
                  testSkin().bitmap(kKeyMapPagePictures[c.page - 1].selected).toImage().pixel(p.x(), p.y() - 8) & 0xFFFFFF);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, KeyMapScreenshot,
    ::testing::Values(ShotCase{"en-US", 1}, ShotCase{"en-US", 2}, ShotCase{"en-US", 3}, ShotCase{"en-US", 4},
                      ShotCase{"en-US", 5}, ShotCase{"en-US", 6}, ShotCase{"en-US", 7}, ShotCase{"zh-CN", 1},
                      ShotCase{"zh-CN", 2}, ShotCase{"zh-CN", 3}, ShotCase{"zh-CN", 4}, ShotCase{"zh-CN", 5},
                      ShotCase{"zh-CN", 6}, ShotCase{"zh-CN", 7}),
    [](const auto& shown) {
        return std::string(shown.param.language[0] == 'e' ? "English" : "Chinese") + std::to_string(shown.param.page);
    });

}  // namespace
