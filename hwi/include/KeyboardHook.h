#pragma once
// Keyboard capture. While it is installed every key stroke of the desktop is reported to one
// IHookTarget as WM_HOOKED_KEY parameters and reaches no other application.
//
// One seam, one backend per platform, chosen by the build:
//   - X11: an active keyboard grab on the root window through the library's own xcb
//     connection. A small reader thread of the library takes the key events off that
//     connection, turns X key codes into virtual-key codes and calls KeyBoardProc, so
//     postHookedKey is called on that reader thread (IHookTarget says: only post).
//   - Windows: the low-level keyboard hook (WH_KEYBOARD_LL); the platform calls
//     KeyBoardProc on the installing thread.
//   - null: where neither exists; capture is never available.
//
// Typical use by a recording dialog:
//     if (!InstallHook(&myTarget)) tell the user that keys cannot be captured now;
//     ... WM_HOOKED_KEY arrives through myTarget.postHookedKey ...
//     UninstallHook();   // on every way out; harmless when nothing is installed
//
// The functions may be called from any thread, but not from inside postHookedKey (such a
// call is refused: InstallHook returns false, UninstallHook does nothing).

#include <cstdint>

#include "HwiSinks.h"
#include "KelvaneX30Export.h"

#if defined(_WIN32)
#  include <windows.h>
#  define KX30_HOOK_CALL CALLBACK
#else
// The integer types of the platform's hook procedure, so KeyBoardProc keeps one signature.
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
#  define KX30_HOOK_CALL
#endif

// The platform messages a key event comes as (the message argument of KeyBoardProc).
inline constexpr std::uint32_t kMsgKeyDown = 0x100;     // WM_KEYDOWN
inline constexpr std::uint32_t kMsgKeyUp = 0x101;       // WM_KEYUP
inline constexpr std::uint32_t kMsgSysKeyDown = 0x104;  // WM_SYSKEYDOWN
inline constexpr std::uint32_t kMsgSysKeyUp = 0x105;    // WM_SYSKEYUP

// The low-level keyboard record (the record argument of KeyBoardProc points to one). Laid
// out like the platform's KBDLLHOOKSTRUCT so the Windows hook passes its own straight on.
struct HookKeyRecord {
    std::uint32_t vkCode = 0;    // virtual-key code 1..254
    std::uint32_t scanCode = 0;  // hardware scan code (X11: the evdev code, X key code - 8)
    std::uint32_t flags = 0;     // bit 0: extended key
    std::uint32_t time = 0;      // milliseconds, the platform's event clock
    std::uintptr_t extraInfo = 0;
};
inline constexpr std::uint32_t kHookFlagExtended = 0x01;  // LLKHF_EXTENDED

// WM_HOOKED_KEY's parameters for one key event.
struct HookedKey {
    std::uint32_t wParam = 0;
    std::uint32_t lParam = 0;
    friend bool operator==(const HookedKey&, const HookedKey&) = default;
};

// The translation KeyBoardProc applies. wParam: vkCode, plus bit 31 for WM_KEYUP, bit 30
// for WM_SYSKEYDOWN, bits 31 and 30 for WM_SYSKEYUP; any other message leaves the code
// alone. lParam: the extended-key flag (flags bit 0) moved to bit 24.
constexpr HookedKey translateHookedKey(std::uint32_t message, std::uint32_t vkCode,
                                       std::uint32_t flags) {
    std::uint32_t w = vkCode;
    if (message == kMsgKeyUp) w |= 0x80000000u;
    else if (message == kMsgSysKeyDown) w |= 0x40000000u;
    else if (message == kMsgSysKeyUp) w |= 0xC0000000u;
    return {w, (flags & kHookFlagExtended) ? 0x01000000u : 0u};
}

// Starts the capture for target (observed, not owned; it must outlive the capture). An
// installed capture is released first, so a second call replaces the first and the earlier
// target gets nothing more. True when the capture runs; false when it cannot be had now
// (no display, another client holds the keyboard, no capture on this platform, null
// target) — nothing is installed then.
KX30_API bool InstallHook(IHookTarget* target);

// Ends the capture: when it returns, target receives nothing more and other applications
// get the keyboard again. Safe at any time: twice, or with nothing installed. Also done
// when the library is unloaded or the process ends.
KX30_API void UninstallHook();

// Whether capture can work here at all, without grabbing anything: on X11 a display can be
// reached. A true answer does not promise that InstallHook succeeds (another client may
// hold the keyboard).
KX30_API bool IsHookAvailable();

// The hook procedure: called for every key event while the capture is installed, with a
// platform message (kMsgKeyDown ...) and the address of a HookKeyRecord. Posts
// translateHookedKey(message, vkCode, flags) to the target and returns 1: the event is
// swallowed. code is not looked at. A null record or no installed target posts nothing.
KX30_API LRESULT KX30_HOOK_CALL KeyBoardProc(int code, WPARAM message, LPARAM record);
