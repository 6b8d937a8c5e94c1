#include "KeyCapture.h"

#include <algorithm>
#include <chrono>

#include "KeyboardHook.h"

#if defined(_WIN32)
#  include <windows.h>
#endif

namespace {

constexpr int kShift = 16;
constexpr int kLeftShift = 160;
constexpr int kRightShift = 161;
constexpr int kReturn = 13;
constexpr int kKeypadEnter = 269;
constexpr int kReleaseBit = 512;

}  // namespace

bool LibraryKeyCapture::install(IHookTarget* target) { return InstallHook(target); }

void LibraryKeyCapture::uninstall() { UninstallHook(); }

bool LibraryKeyCapture::isAvailable() const { return IsHookAvailable(); }

#if defined(_WIN32)
int LibraryKeyCapture::keyState(int vk) const { return static_cast<unsigned short>(GetKeyState(vk)); }
bool LibraryKeyCapture::isDownNow(int vk) const { return GetAsyncKeyState(vk) < 0; }
#else
// The X11 capture already reports the left and right Shift as 160 and 161.
int LibraryKeyCapture::keyState(int) const { return 0; }
bool LibraryKeyCapture::isDownNow(int) const { return false; }
#endif

std::int64_t steadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

DecodedKey decodeHookedKey(std::uint32_t wParam, std::uint32_t lParam, const KeyCapture& states,
                           ShiftSideMemory& memory) {
    DecodedKey key;
    key.released = (wParam & 0x80000000u) != 0;  // bit 30 (system key) plays no part
    const bool extended = (lParam & 0x01000000u) != 0;
    key.vk = static_cast<int>(wParam & 0xFFu);
    if (key.vk == kShift) {
        if (key.released) {
            // The side whose state changed since the last release of a plain Shift.
            const int left = states.keyState(kLeftShift);
            const int right = states.keyState(kRightShift);
            if (left != memory.left)
                key.vk = kLeftShift;
            else if (right != memory.right)
                key.vk = kRightShift;
            memory.left = left;
            memory.right = right;
        } else if (states.isDownNow(kLeftShift)) {
            key.vk = kLeftShift;
        } else if (states.isDownNow(kRightShift)) {
            key.vk = kRightShift;
        }
    }
    key.code = (key.released ? kReleaseBit : 0) + key.vk;
    // The keypad Enter has a host code of its own; its release maps like its press so that a
    // macro reads "(Enter) Down ... (Enter) UP".
    if (key.vk == kReturn && extended)
        key.code = (key.released ? kReleaseBit : 0) + kKeypadEnter;
    return key;
}

std::int64_t clampedDelay(std::int64_t now, std::int64_t previous) {
    return std::clamp<std::int64_t>(now - previous, 0, kMaxRecordedDelay);
}
