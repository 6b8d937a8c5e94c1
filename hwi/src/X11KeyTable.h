#pragma once
// X key codes as virtual-key codes, and the key events of the X11 capture as the messages
// and records a low-level keyboard hook would see. Pure: no X connection needed.
//
// X servers with the evdev driver (Xorg, Xvfb) number keys as the kernel does plus 8: X key
// code = evdev code + 8. The table is kept by evdev code, as the kernel names the keys.
//
// Deliberate choices where a physical key has more than one meaning:
//   - The keypad digits and its full stop always give VK_NUMPAD0..9 and VK_DECIMAL, whatever
//     the Num Lock state: a captured key names the physical key, and the keypad 7 is "(7)"
//     on the keyboard whichever way the desktop reads it.
//   - Shift, Ctrl, Alt and the Windows keys give their sided codes (0xA0..0xA5, 0x5B/0x5C).
//   - Keys with no virtual-key code (Power, Wake, vendor keys) give 0xFF, as the platform's
//     hook reports keys it cannot name.
//   - The extended flag is set as the platform sets it for the key's scan code: right Ctrl
//     and Alt, the navigation block, arrows, Num Lock, Print Screen, keypad / and Enter, the
//     Windows and Menu keys and the media keys. Right Shift and Pause are not extended.

#include <array>
#include <bitset>
#include <cstdint>

#include "KeyboardHook.h"

inline constexpr unsigned kXKeycodeOffset = 8;     // X key code = evdev code + 8
inline constexpr std::uint8_t kVkUnknown = 0xFF;  // a key without virtual-key code

struct EvdevKey {
    std::uint16_t evdev;  // the kernel's KEY_* number
    std::uint8_t vk;
    bool extended;
};

// Every key of the 87-key layout, the keypad, the media and browser keys, Sleep, F13..F24
// and the extra key of 102-key layouts.
inline constexpr EvdevKey kEvdevKeys[] = {
    {1, 0x1B, false},    // ESC
    {2, 0x31, false},    // 1
    {3, 0x32, false},    // 2
    {4, 0x33, false},    // 3
    {5, 0x34, false},    // 4
    {6, 0x35, false},    // 5
    {7, 0x36, false},    // 6
    {8, 0x37, false},    // 7
    {9, 0x38, false},    // 8
    {10, 0x39, false},   // 9
    {11, 0x30, false},   // 0
    {12, 0xBD, false},   // MINUS
    {13, 0xBB, false},   // EQUAL
    {14, 0x08, false},   // BACKSPACE
    {15, 0x09, false},   // TAB
    {16, 0x51, false},   // Q
    {17, 0x57, false},   // W
    {18, 0x45, false},   // E
    {19, 0x52, false},   // R
    {20, 0x54, false},   // T
    {21, 0x59, false},   // Y
    {22, 0x55, false},   // U
    {23, 0x49, false},   // I
    {24, 0x4F, false},   // O
    {25, 0x50, false},   // P
    {26, 0xDB, false},   // LEFTBRACE
    {27, 0xDD, false},   // RIGHTBRACE
    {28, 0x0D, false},   // ENTER
    {29, 0xA2, false},   // LEFTCTRL
    {30, 0x41, false},   // A
    {31, 0x53, false},   // S
    {32, 0x44, false},   // D
    {33, 0x46, false},   // F
    {34, 0x47, false},   // G
    {35, 0x48, false},   // H
    {36, 0x4A, false},   // J
    {37, 0x4B, false},   // K
    {38, 0x4C, false},   // L
    {39, 0xBA, false},   // SEMICOLON
    {40, 0xDE, false},   // APOSTROPHE
    {41, 0xC0, false},   // GRAVE
    {42, 0xA0, false},   // LEFTSHIFT
    {43, 0xDC, false},   // BACKSLASH
    {44, 0x5A, false},   // Z
    {45, 0x58, false},   // X
    {46, 0x43, false},   // C
    {47, 0x56, false},   // V
    {48, 0x42, false},   // B
    {49, 0x4E, false},   // N
    {50, 0x4D, false},   // M
    {51, 0xBC, false},   // COMMA
    {52, 0xBE, false},   // DOT
    {53, 0xBF, false},   // SLASH
    {54, 0xA1, false},   // RIGHTSHIFT
    {55, 0x6A, false},   // KPASTERISK
    {56, 0xA4, false},   // LEFTALT
    {57, 0x20, false},   // SPACE
    {58, 0x14, false},   // CAPSLOCK
    {59, 0x70, false},   // F1
    {60, 0x71, false},   // F2
    {61, 0x72, false},   // F3
    {62, 0x73, false},   // F4
    {63, 0x74, false},   // F5
    {64, 0x75, false},   // F6
    {65, 0x76, false},   // F7
    {66, 0x77, false},   // F8
    {67, 0x78, false},   // F9
    {68, 0x79, false},   // F10
    {69, 0x90, true},    // NUMLOCK
    {70, 0x91, false},   // SCROLLLOCK
    {71, 0x67, false},   // KP7
    {72, 0x68, false},   // KP8
    {73, 0x69, false},   // KP9
    {74, 0x6D, false},   // KPMINUS
    {75, 0x64, false},   // KP4
    {76, 0x65, false},   // KP5
    {77, 0x66, false},   // KP6
    {78, 0x6B, false},   // KPPLUS
    {79, 0x61, false},   // KP1
    {80, 0x62, false},   // KP2
    {81, 0x63, false},   // KP3
    {82, 0x60, false},   // KP0
    {83, 0x6E, false},   // KPDOT
    {86, 0xE2, false},   // 102ND (the angle bracket key)
    {87, 0x7A, false},   // F11
    {88, 0x7B, false},   // F12
    {96, 0x0D, true},    // KPENTER
    {97, 0xA3, true},    // RIGHTCTRL
    {98, 0x6F, true},    // KPSLASH
    {99, 0x2C, true},    // SYSRQ (Print Screen)
    {100, 0xA5, true},   // RIGHTALT
    {102, 0x24, true},   // HOME
    {103, 0x26, true},   // UP
    {104, 0x21, true},   // PAGEUP
    {105, 0x25, true},   // LEFT
    {106, 0x27, true},   // RIGHT
    {107, 0x23, true},   // END
    {108, 0x28, true},   // DOWN
    {109, 0x22, true},   // PAGEDOWN
    {110, 0x2D, true},   // INSERT
    {111, 0x2E, true},   // DELETE
    {113, 0xAD, true},   // MUTE
    {114, 0xAE, true},   // VOLUMEDOWN
    {115, 0xAF, true},   // VOLUMEUP
    {119, 0x13, false},  // PAUSE
    {121, 0x6C, false},  // KPCOMMA (the keypad separator)
    {125, 0x5B, true},   // LEFTMETA
    {126, 0x5C, true},   // RIGHTMETA
    {127, 0x5D, true},   // COMPOSE (the Menu key)
    {128, 0xA9, true},   // STOP (browser stop)
    {140, 0xB7, true},   // CALC (start application 2)
    {142, 0x5F, true},   // SLEEP
    {144, 0xB6, true},   // FILE (my computer: start application 1)
    {155, 0xB4, true},   // MAIL
    {156, 0xAB, true},   // BOOKMARKS (favorites)
    {157, 0xB6, true},   // COMPUTER
    {158, 0xA6, true},   // BACK
    {159, 0xA7, true},   // FORWARD
    {163, 0xB0, true},   // NEXTSONG
    {164, 0xB3, true},   // PLAYPAUSE
    {165, 0xB1, true},   // PREVIOUSSONG
    {166, 0xB2, true},   // STOPCD
    {171, 0xB5, true},   // CONFIG (media select)
    {172, 0xAC, true},   // HOMEPAGE
    {173, 0xA8, true},   // REFRESH
    {183, 0x7C, false},  // F13
    {184, 0x7D, false},  // F14
    {185, 0x7E, false},  // F15
    {186, 0x7F, false},  // F16
    {187, 0x80, false},  // F17
    {188, 0x81, false},  // F18
    {189, 0x82, false},  // F19
    {190, 0x83, false},  // F20
    {191, 0x84, false},  // F21
    {192, 0x85, false},  // F22
    {193, 0x86, false},  // F23
    {194, 0x87, false},  // F24
    {200, 0xB3, true},   // PLAYCD
    {201, 0xB3, true},   // PAUSECD
    {217, 0xAA, true},   // SEARCH
    {226, 0xB5, true},   // MEDIA
};

struct VirtualKey {
    std::uint8_t vk = kVkUnknown;
    bool extended = false;
};

// The table by X key code (0..255), built once at compile time.
inline constexpr std::array<VirtualKey, 256> kVirtualKeyOfXKeycode = [] {
    std::array<VirtualKey, 256> byXKeycode{};
    byXKeycode.fill(VirtualKey{kVkUnknown, false});
    for (const EvdevKey& k : kEvdevKeys) {
        byXKeycode[k.evdev + kXKeycodeOffset] = {k.vk, k.extended};
    }
    return byXKeycode;
}();

constexpr VirtualKey virtualKeyOfXKeycode(unsigned xKeycode) {
    return xKeycode < kVirtualKeyOfXKeycode.size() ? kVirtualKeyOfXKeycode[xKeycode]
                                                   : VirtualKey{};
}

// The message the platform's hook would give a key event. A key goes as a system key
// (WM_SYSKEYDOWN/UP) while Alt is held and Ctrl is not — an Alt key counts as held from its
// press up to and including its release — and F10 always does.
constexpr std::uint32_t hookMessageFor(bool release, std::uint8_t vk, bool altHeld,
                                       bool ctrlHeld) {
    const bool system = vk == 0x79 || (altHeld && !ctrlHeld);
    if (release) return system ? kMsgSysKeyUp : kMsgKeyUp;
    return system ? kMsgSysKeyDown : kMsgKeyDown;
}

// Turns the X11 capture's key events into hook messages and records, keeping the state of
// the modifier keys from the events it sees. One per capture; not thread-safe.
class XKeyEventTranslator {
public:
    struct Event {
        std::uint32_t message = 0;
        HookKeyRecord record;
    };

    // The keys held when the capture starts, as the 32-byte key bitmap of the X server
    // (bit n of the bitmap is X key code n).
    void seed(const std::uint8_t (&keys)[32]) {
        held_.reset();
        for (unsigned code = 0; code < 256; ++code) {
            if (keys[code / 8] & (1u << (code % 8))) held_.set(virtualKeyOfXKeycode(code).vk);
        }
    }

    Event translate(std::uint8_t xKeycode, bool release, std::uint32_t time) {
        const VirtualKey key = virtualKeyOfXKeycode(xKeycode);
        if (!release) held_.set(key.vk);
        Event e;
        e.message = hookMessageFor(release, key.vk, altHeld(), ctrlHeld());
        e.record.vkCode = key.vk;
        e.record.scanCode = xKeycode >= kXKeycodeOffset ? xKeycode - kXKeycodeOffset : 0;
        e.record.flags = key.extended ? kHookFlagExtended : 0;
        e.record.time = time;
        if (release) held_.reset(key.vk);
        return e;
    }

private:
    bool altHeld() const { return held_.test(0xA4) || held_.test(0xA5); }
    bool ctrlHeld() const { return held_.test(0xA2) || held_.test(0xA3); }

    std::bitset<256> held_;  // by virtual-key code
};
