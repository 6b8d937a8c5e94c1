// The capture where it cannot be had: no display to grab from (X11 backend with DISPLAY
// unset), or a build with the null backend. InstallHook must say so, keep no target, and
// everything else must stay harmless.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "KeyboardHook.h"

namespace {

class CountingTarget : public IHookTarget {
public:
    void postHookedKey(std::uint32_t, std::uint32_t) noexcept override { ++posts; }
    int posts = 0;
};

// Runs each case without a display and puts DISPLAY back afterwards.
class HookWithoutDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* d = std::getenv("DISPLAY")) saved_ = d;
        setDisplay(nullptr);
    }
    void TearDown() override {
        UninstallHook();
        if (saved_) setDisplay(saved_->c_str());
    }

private:
    static void setDisplay(const char* value) {
#if defined(_WIN32)
        _putenv_s("DISPLAY", value ? value : "");  // an empty value removes it there
#else
        if (value) ::setenv("DISPLAY", value, 1);
        else ::unsetenv("DISPLAY");
#endif
    }

    std::optional<std::string> saved_;
};

TEST_F(HookWithoutDisplay, InstallReportsFailureAndKeepsNoTarget) {
    CountingTarget target;
    EXPECT_FALSE(IsHookAvailable());
    EXPECT_FALSE(InstallHook(&target));
    // A failed install must not leave the target behind for the hook procedure.
    HookKeyRecord a;
    a.vkCode = 0x41;
    EXPECT_EQ(KeyBoardProc(0, kMsgKeyDown, reinterpret_cast<LPARAM>(&a)), 1);
    EXPECT_EQ(target.posts, 0);
}

TEST_F(HookWithoutDisplay, UninstallIsHarmlessAtAnyTime) {
    UninstallHook();  // never installed
    UninstallHook();
    CountingTarget target;
    EXPECT_FALSE(InstallHook(&target));
    UninstallHook();
    UninstallHook();
    EXPECT_FALSE(InstallHook(nullptr));
    EXPECT_EQ(KeyBoardProc(0, kMsgKeyDown, 0), 1);  // a null record is swallowed too
    EXPECT_EQ(target.posts, 0);
}

}  // namespace
