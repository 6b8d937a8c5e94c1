// Pointer tracking and clicks on a shown window: what is invalidated, what the information
// box says, which command a click runs.

#include "MainWindowFixture.h"

#include "KeyTable.h"

#include <QPlainTextEdit>

#include <cctype>
#include <string>

namespace {

QRect rectOf(const SkinItem& item) {
    return QRect(item.rect.left, item.rect.top, item.rect.width(), item.rect.height());
}

QRect keyRect(int key) {
    return rectOf(kMainWindowItems[std::size_t(kMainWindowFirstKeyItem + key - 1)]);
}

TEST_F(MainWindowTest, HoverInvalidatesOnlyTheRectanglesWhoseLookChanged) {
    moveTo(centreOfKey(29));
    EXPECT_EQ(window->invalidated, (std::vector<QRect>{keyRect(29)}));

    window->forget();
    moveTo(centreOfKey(29) + QPoint(3, 2));  // still on the same key
    EXPECT_TRUE(window->invalidated.empty());

    window->forget();
    moveTo(centreOfKey(30));
    EXPECT_EQ(window->invalidated, (std::vector<QRect>{keyRect(29), keyRect(30)}));

    window->forget();
    moveTo(QPoint(725, 110));  // a label outside every clickable area: never hovered
    EXPECT_EQ(window->invalidated, (std::vector<QRect>{keyRect(30)}));
    EXPECT_EQ(window->wholeInvalidations, 0);
}

TEST_F(MainWindowTest, LeavingTheWindowDropsTheHighlight) {
    moveTo(centreOfKey(1));
    window->forget();
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(window.get(), &leave);
    EXPECT_EQ(window->invalidated, (std::vector<QRect>{keyRect(1)}));
    EXPECT_EQ(window->mousePoint(), QPoint(-1, -1));
}

TEST_F(MainWindowTest, InformationBoxFollowsTheKeyUnderThePointer) {
    const std::string title = "Kelvane X30 Programming Software [Ver 1.0.1]";
    EXPECT_EQ(window->infoText().toStdString(), title);

    moveTo(centreOfKey(29));
    repaintNow();
    EXPECT_EQ(window->infoText().toStdString(),
              title + "\r\n\r\nKey settings L1：Not set \r\n\r\nKey settings L2：Not set \r\n");
    EXPECT_EQ(window->infoBox()->toPlainText(),
              QString::fromStdString(title + "\n\nKey settings L1：Not set \n\nKey settings L2：Not set \n"));
    EXPECT_TRUE(window->infoBox()->isReadOnly());

    park();
    repaintNow();
    EXPECT_EQ(window->infoText().toStdString(), title);
}

TEST_F(MainWindowTest, InformationBoxIsNotRewrittenWhileThePointerRests) {
    configuration.kind[30][0] = static_cast<int>(KeyFunctionKind::Power);
    configuration.code[30][0] = 75;
    moveTo(centreOfKey(29));
    repaintNow();
    int rewrites = 0;
    QObject::connect(window->infoBox(), &QPlainTextEdit::textChanged, [&] { ++rewrites; });
    moveTo(centreOfKey(29) + QPoint(2, 1));
    repaintNow();
    repaintNow();
    EXPECT_EQ(rewrites, 0);
    moveTo(centreOfKey(30));
    repaintNow();
    EXPECT_EQ(rewrites, 1);
}

// The commands that open other windows go through the hooks, exactly once per click.
struct HookCase {
    const char* what;
    QPoint point;
    const char* expected;  // the hook that ran, or "" for none
};

class ClickHookTest : public MainWindowTest, public ::testing::WithParamInterface<HookCase> {};

TEST_P(ClickHookTest, DispatchesToTheItemUnderThePoint) {
    std::vector<std::string> ran;
    CVelaDlg::Commands commands;
    commands.writeKeys = [&](CVelaDlg&) { ran.push_back("writeKeys"); return false; };
    commands.backlight = [&](CVelaDlg&) { ran.push_back("backlight"); };
    commands.readAll = [&](CVelaDlg&) { ran.push_back("readAll"); return false; };
    commands.firmwareUpdate = [&](CVelaDlg&) { ran.push_back("firmware"); };
    commands.keyAssignment = [&](CVelaDlg&, int key) { ran.push_back("key " + std::to_string(key)); };
    window->setCommands(commands);

    click(GetParam().point);
    const std::string expected = GetParam().expected;
    EXPECT_EQ(ran, expected.empty() ? std::vector<std::string>{} : std::vector<std::string>{expected});
    EXPECT_TRUE(fakes.messageBoxes->texts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Items, ClickHookTest,
    ::testing::Values(HookCase{"WriteKeys area", {440, 98}, "writeKeys"},
                      HookCase{"WriteKeys label over its area", {500, 115}, "writeKeys"},
                      HookCase{"LightSet", {640, 115}, "backlight"},
                      HookCase{"ReadAll", {800, 115}, "readAll"},
                      HookCase{"ReadAll label outside its area", {725, 110}, ""},
                      HookCase{"Update", {900, 115}, "firmware"},
                      HookCase{"Update label outside its area", {980, 110}, ""},
                      HookCase{"Esc", {200, 190}, "key 1"},
                      HookCase{"Q", {280, 290}, "key 29"},
                      HookCase{"right Ctrl", {911, 440}, "key 74"},
                      HookCase{"free picture", {600, 60}, ""}),
    [](const ::testing::TestParamInfo<HookCase>& param) {
        std::string name;
        for (const char* c = param.param.what; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST_F(MainWindowTest, KeyCommandSetsTheCurrentKeyFirstAndRepaintsAfter) {
    int keySeen = 0;
    int wholeBefore = -1;
    CVelaDlg::Commands commands;
    commands.keyAssignment = [&](CVelaDlg& dlg, int) {
        keySeen = dlg.configuration().currentKey;
        wholeBefore = window->wholeInvalidations;
    };
    window->setCommands(commands);
    click(centreOfKey(87));
    EXPECT_EQ(keySeen, 87);
    EXPECT_EQ(wholeBefore, 0);
    EXPECT_EQ(window->wholeInvalidations, 1);
}

TEST_F(MainWindowTest, TransfersThatEndWithOkSayOk) {
    CVelaDlg::Commands commands;
    commands.writeKeys = [](CVelaDlg&) { return true; };
    commands.readAll = [](CVelaDlg&) { return true; };
    window->setCommands(commands);
    click({440, 98});
    click({800, 115});
    EXPECT_EQ(fakes.messageBoxes->texts(), (std::vector<QString>{"OK!", "OK!"}));
    EXPECT_EQ(window->wholeInvalidations, 1);  // only the read changes the configuration
}

TEST_F(MainWindowTest, LevelSwitchTogglesLevelAndItsLook) {
    configuration.kind[29][1] = static_cast<int>(KeyFunctionKind::Single);
    const std::size_t key29 = kMainWindowFirstKeyItem + 28;
    repaintNow();
    EXPECT_FALSE(window->items()[key29].active);

    click({80, 250});
    repaintNow();
    EXPECT_EQ(configuration.currentLevel, 1);
    EXPECT_TRUE(window->items()[kMainWindowLevelItem].active);
    EXPECT_TRUE(window->items()[key29].active);  // set on Level 2 only

    click({80, 200});  // through the LevelUp label
    repaintNow();
    EXPECT_EQ(configuration.currentLevel, 0);
    EXPECT_FALSE(window->items()[kMainWindowLevelItem].active);
    EXPECT_FALSE(window->items()[key29].active);
    EXPECT_EQ(window->wholeInvalidations, 2);
}

TEST_F(MainWindowTest, LanguageSwitchTogglesLanguageAndItsLook) {
    click({1100, 120});
    repaintNow();
    EXPECT_EQ(configuration.language, "zh-CN");
    EXPECT_TRUE(window->items()[0].active);
    EXPECT_EQ(window->infoText(), QStringLiteral("Kelvane X30 编程软件 [版本 1.0.1]"));

    click({1020, 98});
    repaintNow();
    EXPECT_EQ(configuration.language, "en-US");
    EXPECT_FALSE(window->items()[0].active);
    EXPECT_EQ(window->infoText(), QStringLiteral("Kelvane X30 Programming Software [Ver 1.0.1]"));
}

TEST_F(MainWindowTest, ClearKeepsTheLevel) {
    click({80, 250});
    configuration.kind[3][1] = static_cast<int>(KeyFunctionKind::Power);
    configuration.code[3][1] = 75;
    window->forget();
    click({300, 110});
    EXPECT_EQ(configuration.kind[3][1], 0);
    EXPECT_EQ(configuration.code[3][1], 3);
    EXPECT_EQ(configuration.currentLevel, 1);
    EXPECT_TRUE(window->items()[kMainWindowLevelItem].active);
    EXPECT_EQ(window->wholeInvalidations, 1);
}

TEST_F(MainWindowTest, HelpOpensThePageBesideTheProgram) {
    click({1090, 30});
    ASSERT_EQ(fakes.helpViewer->opened().size(), 1u);
    EXPECT_EQ(fakes.helpViewer->opened()[0],
              helpPageUrl(QCoreApplication::applicationDirPath(), QStringLiteral("KelvaneX30-help.html")));
    EXPECT_TRUE(fakes.messageBoxes->texts().empty());
}

TEST_F(MainWindowTest, HelpThatCannotOpenIsNotReported) {
    auto services = makeFakeShellServices();
    fakes.services.helpViewer = std::make_unique<FakeHelpViewer>(false);
    click({1090, 30});
    EXPECT_TRUE(fakes.messageBoxes->texts().empty());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, ExitEndsTheWindow) {
    click({1110, 30});
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_FALSE(fakes.trayIcon->isVisible());
}

TEST_F(MainWindowTest, ReleaseThatEndsAMoveIsNotAClick) {
    configuration.kind[3][0] = static_cast<int>(KeyFunctionKind::Power);
    // Press on the free picture just above Clear and let go over Clear: the pointer moved
    // with the button held, so the window moved and nothing is clicked.
    const QPoint start(300, 92);
    park();
    moveTo(start);
    const QPoint before = window->pos();
    QTest::mousePress(handle(), Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseRelease(handle(), Qt::LeftButton, Qt::NoModifier, start + QPoint(0, 10));
    EXPECT_EQ(configuration.kind[3][0], static_cast<int>(KeyFunctionKind::Power));
    EXPECT_NE(window->pos(), before);
}

TEST_F(MainWindowTest, PressNearTheRightOrBottomEdgeResizes) {
    struct Case {
        QPoint press;
        QPoint drag;
        QSize expected;
    };
    const QSize base(kMainWindowSkinSize.width, kMainWindowSkinSize.height);
    for (const Case& c : {Case{{1167, 60}, {40, 30}, base + QSize(40, 0)},
                          Case{{600, 677}, {40, 30}, base + QSize(0, 30)},
                          Case{{1168, 678}, {40, 30}, base + QSize(40, 30)}}) {
        window->resize(base);
        park();
        moveTo(c.press);
        QTest::mousePress(handle(), Qt::LeftButton, Qt::NoModifier, c.press);
        QTest::mouseMove(handle(), c.press + c.drag);
        QTest::mouseRelease(handle(), Qt::LeftButton, Qt::NoModifier, c.press + c.drag);
        EXPECT_EQ(window->size(), c.expected) << c.press.x() << "," << c.press.y();
    }
}

}  // namespace
