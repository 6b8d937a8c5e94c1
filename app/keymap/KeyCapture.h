#pragma once
// What the key assignment dialog needs from the desktop to record keys: the keyboard capture
// (the library's InstallHook/UninstallHook behind a small interface, so tests can post keys
// of their own), the key states that tell the two Shift keys apart, and a clock. Also the
// decoding of one WM_HOOKED_KEY into an event code, which is pure and shared by the single,
// combination, macro and emulation recordings.

#include <cstdint>
#include <functional>

class IHookTarget;

class KeyCapture {
public:
    virtual ~KeyCapture() = default;
    // Starts the capture for target (observed; the caller keeps it alive until uninstall).
    // False when keys cannot be captured now; nothing is installed then.
    virtual bool install(IHookTarget* target) = 0;
    // Ends the capture; when it returns the target gets nothing more. Harmless when nothing
    // is installed.
    virtual void uninstall() = 0;
    // Whether this desktop can capture keys at all (false: no display, no capture backend).
    virtual bool isAvailable() const = 0;
    // The platform's key state of virtual key vk as GetKeyState gives it (bit 15: down, bit 0:
    // toggled), and whether the key is down at this moment (GetAsyncKeyState). Only asked for
    // the Shift keys 160 and 161; 0 / false where the platform reports the sides itself.
    virtual int keyState(int vk) const = 0;
    virtual bool isDownNow(int vk) const = 0;
};

// The library's capture: InstallHook, UninstallHook, IsHookAvailable.
class LibraryKeyCapture final : public KeyCapture {
public:
    bool install(IHookTarget* target) override;
    void uninstall() override;
    bool isAvailable() const override;
    int keyState(int vk) const override;
    bool isDownNow(int vk) const override;
};

// Milliseconds on a steady clock; the dialog measures macro delays with it.
using MillisecondClock = std::function<std::int64_t()>;
std::int64_t steadyMilliseconds();

// Longest delay a recording measures, milliseconds.
inline constexpr std::int64_t kMaxRecordedDelay = 6000;

// The Shift key states seen at the previous release of a plain Shift (vk 16). They start at
// 0 and live as long as the program (one process-wide instance in the dialog).
struct ShiftSideMemory {
    int left = 0;
    int right = 0;
};

struct DecodedKey {
    bool released = false;
    int vk = 0;    // virtual-key code 0..255 (a plain Shift turned into 160 or 161 where known)
    int code = 0;  // event code: host code in bits 0..8, 512 for a release
};

// One WM_HOOKED_KEY: bit 31 of wParam is the release, bits 0..7 the virtual key, bit 24 of
// lParam the extended flag. A plain Shift gets its side from the key states; Return with the
// extended flag is the keypad Enter, host code 269, for its press and for its release.
DecodedKey decodeHookedKey(std::uint32_t wParam, std::uint32_t lParam, const KeyCapture& states,
                           ShiftSideMemory& memory);

// The time since the previous hooked key in milliseconds, 0..kMaxRecordedDelay.
std::int64_t clampedDelay(std::int64_t now, std::int64_t previous);
