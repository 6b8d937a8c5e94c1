// Save and Open: what the file dialogs are asked, what reaches the profile store, and that a
// failure is told to the user and loses nothing.

#include "MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr QPoint kSave{80, 115};
constexpr QPoint kOpen{200, 115};

TEST_F(MainWindowTest, SaveAndOpenAskForProfilesAndPassThePathOn) {
    fakes.fileDialogs->queueAnswer(QStringLiteral("/tmp/some where/mine.pro"));
    fakes.fileDialogs->queueAnswer(QStringLiteral("/tmp/other.pro"));
    click(kSave);
    click(kOpen);

    ASSERT_EQ(fakes.fileDialogs->requests().size(), 2u);
    for (const FakeFileDialogs::Request& request : fakes.fileDialogs->requests()) {
        EXPECT_EQ(request.filter, QStringLiteral("pro (*.pro);;All Files (*)"));
        EXPECT_EQ(request.defaultSuffix, QStringLiteral("pro"));
    }
    EXPECT_TRUE(fakes.fileDialogs->requests()[0].save);
    EXPECT_FALSE(fakes.fileDialogs->requests()[1].save);
    EXPECT_EQ(profiles->saved, (std::vector<std::filesystem::path>{"/tmp/some where/mine.pro"}));
    EXPECT_EQ(profiles->loaded, (std::vector<std::filesystem::path>{"/tmp/other.pro"}));
    EXPECT_TRUE(fakes.messageBoxes->texts().empty());
    EXPECT_EQ(window->wholeInvalidations, 2);
}

TEST_F(MainWindowTest, CancelledDialogsChangeNothingButStillRepaint) {
    click(kSave);  // nothing queued: cancelled
    click(kOpen);
    EXPECT_TRUE(profiles->saved.empty());
    EXPECT_TRUE(profiles->loaded.empty());
    EXPECT_TRUE(fakes.messageBoxes->texts().empty());
    EXPECT_EQ(window->wholeInvalidations, 2);
}

struct FailureCase {
    const char* language;
    QPoint button;
    const char* message;
};

class ProfileFailureTest : public MainWindowTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ProfileFailureTest, IsToldInTheInterfaceLanguage) {
    configuration.language = GetParam().language;
    fakes.fileDialogs->queueAnswer(QStringLiteral("/tmp/x.pro"));
    profiles->answers.push_back({false, "refused"});
    click(GetParam().button);
    EXPECT_EQ(fakes.messageBoxes->texts(), (std::vector<QString>{QString::fromUtf8(GetParam().message)}));
    EXPECT_TRUE(window->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Both, ProfileFailureTest,
                         ::testing::Values(FailureCase{"en-US", kSave, "Could not save the profile."},
                                           FailureCase{"zh-CN", kSave, "无法保存配置文件。"},
                                           FailureCase{"en-US", kOpen, "This file is not a valid profile."},
                                           FailureCase{"zh-CN", kOpen, "该文件不是有效的配置文件。"}));

// The same through the model's profile files.
class RealProfileTest : public MainWindowTest {
protected:
    void SetUp() override {
        if (!modelProfilesAvailable())
            GTEST_SKIP() << "the model has no profile files yet";
        MainWindowTest::SetUp();
        makeWindow(true, makeModelProfileStore());
        ASSERT_TRUE(folder.isValid());
    }
    QString path(const char* name) const { return QDir(folder.path()).filePath(QString::fromLatin1(name)); }
    QTemporaryDir folder;
};

TEST_F(RealProfileTest, SavedProfileOpensAgain) {
    configuration.kind[29][1] = static_cast<int>(KeyFunctionKind::Power);
    configuration.code[29][1] = 76;
    fakes.fileDialogs->queueAnswer(path("keys.pro"));
    click(kSave);
    click({300, 110});  // Clear
    ASSERT_EQ(configuration.kind[29][1], 0);
    fakes.fileDialogs->queueAnswer(path("keys.pro"));
    click(kOpen);
    EXPECT_EQ(configuration.kind[29][1], static_cast<int>(KeyFunctionKind::Power));
    EXPECT_EQ(configuration.code[29][1], 76);
    EXPECT_TRUE(fakes.messageBoxes->texts().empty());
}

TEST_F(RealProfileTest, FileThatIsNotAProfileIsRefusedAndTheConfigurationKept) {
    configuration.kind[5][0] = static_cast<int>(KeyFunctionKind::Power);
    configuration.code[5][0] = 75;
    QFile file(path("notes.pro"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("shopping list: milk, bread\n");
    file.close();
    fakes.fileDialogs->queueAnswer(path("notes.pro"));
    click(kOpen);
    EXPECT_EQ(fakes.messageBoxes->texts(), (std::vector<QString>{QStringLiteral("This file is not a valid profile.")}));
    EXPECT_EQ(configuration.kind[5][0], static_cast<int>(KeyFunctionKind::Power));
    EXPECT_EQ(configuration.code[5][0], 75);
}

TEST_F(RealProfileTest, ProfileThatCannotBeWrittenIsReported) {
    fakes.fileDialogs->queueAnswer(path("no such folder/keys.pro"));
    click(kSave);
    EXPECT_EQ(fakes.messageBoxes->texts(), (std::vector<QString>{QStringLiteral("Could not save the profile.")}));
}

}  // namespace
