// Telling "present but not ours to open" apart from "absent", and the words for it.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "Discovery.h"
#include "KeyboardAccessText.h"

namespace {

TEST(KeyboardAccess, ErrorsMeanWhatTheUserCanDo) {
    const struct {
        int error;
        KeyboardAccess access;
    } cases[] = {
        {0, KeyboardAccess::Ok},
        {EACCES, KeyboardAccess::PermissionDenied},
        {EPERM, KeyboardAccess::PermissionDenied},
        {EBUSY, KeyboardAccess::Busy},
        {ENOENT, KeyboardAccess::Gone},
        {ENODEV, KeyboardAccess::Gone},
        {ECONNREFUSED, KeyboardAccess::Gone},
        {EIO, KeyboardAccess::Failed},
    };
    for (const auto& c : cases) EXPECT_EQ(keyboardAccessFromError(c.error), c.access) << c.error;
}

TEST(KeyboardAccess, PermissionTextNamesTheNodeAndTheRemedy) {
    KeyboardAccessReport keyboard{{"/dev/hidraw3", "", 1, false}, KeyboardAccess::PermissionDenied, EACCES};
    const std::string english = permissionProblemText(keyboard, "en-US");
    EXPECT_NE(english.find("/dev/hidraw3"), std::string::npos);
    EXPECT_NE(english.find("permission"), std::string::npos);
    EXPECT_NE(english.find(kUdevRuleFile), std::string::npos);
    EXPECT_NE(english.find("udevadm"), std::string::npos);
    const std::string chinese = permissionProblemText(keyboard, "zh-CN");
    EXPECT_NE(chinese, english);
    EXPECT_NE(chinese.find(kUdevRuleFile), std::string::npos);

    // The emulator is no USB device: no udev advice, but its socket.
    KeyboardAccessReport emulator{{"emulator:/run/x/kx30.sock", "", 1, true},
                                  KeyboardAccess::PermissionDenied, EACCES};
    const std::string socket = permissionProblemText(emulator, "en-US");
    EXPECT_NE(socket.find("/run/x/kx30.sock"), std::string::npos);
    EXPECT_EQ(socket.find("emulator:"), std::string::npos);
    EXPECT_EQ(socket.find("udev"), std::string::npos);
}

}  // namespace
