// What a user does for one key: open the dialog for it, choose a multimedia function, OK;
// the key is set, and the keyboard (the emulator process) gets it and gives it back.
#include "KeyMapFixture.h"

#include <chrono>

#include "EmulatorProcess.h"
#include "TransferJobs.h"

using namespace std::chrono_literals;

namespace {

constexpr JobOptions kNoWaits{0ms, 0ms, nullptr};

TEST_F(KeyMapDialogTest, MultimediaChoiceReachesTheKeyboardAndComesBack) {
    kx30test::EmulatorProcess emulator;
    ASSERT_TRUE(emulator.start()) << emulator.error();
    ASSERT_TRUE(config.device.__createDev());
    config.device.setReadTimeout(1000);

    config.currentLevel = 1;
    open();
    click(93);   // Multimedia
    click(407);  // Volume Up
    click(kKeyMapOk);
    ASSERT_FALSE(stillOpen());
    EXPECT_EQ(config.kindOf(kKey, 1), KeyFunctionKind::Multimedia);
    EXPECT_EQ(config.code[kKey][1], 113);
    EXPECT_EQ(config.valueText(kKey, 1), "VolumeUp");

    ASSERT_TRUE(writeKeySettings(config, kNoWaits).ok());
    EXPECT_FALSE(emulator.waitForEvent("keys-written", 5s).empty());

    KeyboardConfiguration reader;
    reader.buildKeyCatalogue();
    reader.clearConfiguration();
    ASSERT_TRUE(reader.device.__createDev());
    reader.device.setReadTimeout(1000);
    ASSERT_TRUE(readConfiguration(reader, kNoWaits).ok());
    EXPECT_EQ(reader.kindOf(kKey, 1), KeyFunctionKind::Multimedia);
    EXPECT_EQ(reader.code[kKey][1], 113);
    EXPECT_EQ(reader.kindOf(kKey, 0), KeyFunctionKind::NotSet);
    reader.device.__closeDev();
    config.device.__closeDev();
}

}  // namespace
