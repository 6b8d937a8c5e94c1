// The keyboard capture's pure half: key events as WM_HOOKED_KEY parameters, the X key code
// table against the key catalogue, and the X11 events as the messages a low-level hook
// would see (system keys, sides, extended flag).
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <set>
#include <utility>
#include <vector>

#include "KeyCodeTables.h"
#include "KeyboardHook.h"
#include "X11KeyTable.h"

std::ostream& operator<<(std::ostream& os, const HookedKey& k) {
    return os << std::hex << "{0x" << k.wParam << ", 0x" << k.lParam << "}" << std::dec;
}

namespace {

struct TranslationCase {
    const char* name;
    std::uint32_t message;
    std::uint32_t vk;
    std::uint32_t flags;
    HookedKey expected;
};

std::ostream& operator<<(std::ostream& os, const TranslationCase& c) { return os << c.name; }

class HookTranslation : public ::testing::TestWithParam<TranslationCase> {};

TEST_P(HookTranslation, BuildsWParamAndLParam) {
    const TranslationCase& c = GetParam();
    EXPECT_EQ(translateHookedKey(c.message, c.vk, c.flags), c.expected);
}

constexpr std::uint32_t kExt = 0x01000000;

INSTANTIATE_TEST_SUITE_P(
    Messages, HookTranslation,
    ::testing::Values(
        TranslationCase{"A_down", kMsgKeyDown, 0x41, 0, {0x00000041, 0}},
        TranslationCase{"A_up", kMsgKeyUp, 0x41, 0, {0x80000041, 0}},
        TranslationCase{"RightCtrl_up_extended", kMsgKeyUp, 0xA3, 0x01, {0x800000A3, kExt}},
        TranslationCase{"LeftAlt_down_system", kMsgSysKeyDown, 0xA4, 0, {0x400000A4, 0}},
        TranslationCase{"F10_up_system", kMsgSysKeyUp, 0x79, 0, {0xC0000079, 0}},
        TranslationCase{"KeypadEnter_down_extended", kMsgKeyDown, 0x0D, 0x01, {0x0D, kExt}},
        TranslationCase{"Up_arrow_down_extended", kMsgKeyDown, 0x26, 0x01, {0x26, kExt}},
        TranslationCase{"Left_arrow_up_extended", kMsgKeyUp, 0x25, 0x01, {0x80000025, kExt}},
        // Only the extended bit of the flags travels (injected 0x10, Alt 0x20, up 0x80 do
        // not), and any message other than the four key messages leaves the code alone.
        TranslationCase{"other_flag_bits_dropped", kMsgKeyUp, 0x42, 0xB0, {0x80000042, 0}},
        TranslationCase{"WM_CHAR_unchanged", 0x102, 0x42, 0x01, {0x42, kExt}},
        TranslationCase{"no_message_unchanged", 0, 0x2E, 0, {0x2E, 0}}),
    [](const auto& param) { return std::string(param.param.name); });

// Known X key codes of the evdev numbering, as Xorg and Xvfb report them.
struct XKeycodeCase {
    unsigned xKeycode;
    const char* keysym;
    std::uint8_t vk;
    bool extended;
};

TEST(XKeycodeTable, KnownKeysGiveTheirVirtualKeyAndExtendedFlag) {
    const XKeycodeCase cases[] = {
        {9, "Escape", 0x1B, false},       {10, "1", 0x31, false},
        {19, "0", 0x30, false},           {24, "q", 0x51, false},
        {38, "a", 0x41, false},           {56, "b", 0x42, false},
        {49, "grave", 0xC0, false},       {51, "backslash", 0xDC, false},
        {36, "Return", 0x0D, false},      {104, "KP_Enter", 0x0D, true},
        {50, "Shift_L", 0xA0, false},     {62, "Shift_R", 0xA1, false},
        {37, "Control_L", 0xA2, false},   {105, "Control_R", 0xA3, true},
        {64, "Alt_L", 0xA4, false},       {108, "Alt_R", 0xA5, true},
        {133, "Super_L", 0x5B, true},     {134, "Super_R", 0x5C, true},
        {135, "Menu", 0x5D, true},        {67, "F1", 0x70, false},
        {76, "F10", 0x79, false},         {96, "F12", 0x7B, false},
        {111, "Up", 0x26, true},          {113, "Left", 0x25, true},
        {114, "Right", 0x27, true},       {116, "Down", 0x28, true},
        {118, "Insert", 0x2D, true},      {119, "Delete", 0x2E, true},
        {110, "Home", 0x24, true},        {115, "End", 0x23, true},
        {112, "Prior", 0x21, true},       {117, "Next", 0x22, true},
        {107, "Print", 0x2C, true},       {78, "Scroll_Lock", 0x91, false},
        {127, "Pause", 0x13, false},      {77, "Num_Lock", 0x90, true},
        {106, "KP_Divide", 0x6F, true},   {63, "KP_Multiply", 0x6A, false},
        {82, "KP_Subtract", 0x6D, false}, {86, "KP_Add", 0x6B, false},
        {79, "KP_7", 0x67, false},        {90, "KP_0", 0x60, false},
        {91, "KP_Decimal", 0x6E, false},  {94, "less (102nd key)", 0xE2, false},
        {121, "XF86AudioMute", 0xAD, true}, {122, "XF86AudioLowerVolume", 0xAE, true},
        {123, "XF86AudioRaiseVolume", 0xAF, true}, {171, "XF86AudioNext", 0xB0, true},
        {172, "XF86AudioPlay", 0xB3, true}, {173, "XF86AudioPrev", 0xB1, true},
        {174, "XF86AudioStop", 0xB2, true}, {191, "F13", 0x7C, false},
        // Keys without a virtual-key code, and key codes outside the table.
        {124, "XF86PowerOff", kVkUnknown, false}, {0, "(none)", kVkUnknown, false},
        {255, "(none)", kVkUnknown, false},       {300, "(out of range)", kVkUnknown, false},
    };
    for (const XKeycodeCase& c : cases) {
        const VirtualKey k = virtualKeyOfXKeycode(c.xKeycode);
        EXPECT_EQ(k.vk, c.vk) << c.keysym << " (X key code " << c.xKeycode << ")";
        EXPECT_EQ(k.extended, c.extended) << c.keysym << " (X key code " << c.xKeycode << ")";
    }
}

// The host code the key assignment dialog makes of a hooked key: the virtual-key code, and
// 269 for the extended Return (the keypad Enter).
int hostCodeOf(const VirtualKey& k) { return (k.vk == 0x0D && k.extended) ? 269 : k.vk; }

std::set<int> hostCodesReachableFromX() {
    std::set<int> codes;
    for (unsigned x = 0; x < 256; ++x) {
        const VirtualKey k = virtualKeyOfXKeycode(x);
        if (k.vk != kVkUnknown) codes.insert(hostCodeOf(k));
    }
    return codes;
}

TEST(XKeycodeTable, EveryCatalogueKeyWithHostKeyCanBeCaptured) {
    // Keyboard codes 1..74 and 78..90 are the 87 keys of the layout, 91..107 the keypad;
    // 75..77 (power) and everything from 108 on have no virtual-key code.
    const std::set<int> reachable = hostCodesReachableFromX();
    int keys = 0;
    for (const KeyboardCodeEntry& e : kKeyboardCodes) {
        if (e.keyboardCode > 107 || (e.keyboardCode >= 75 && e.keyboardCode <= 77)) continue;
        ++keys;
        EXPECT_TRUE(reachable.count(e.hostCode))
            << "keyboard code " << e.keyboardCode << " (host code " << e.hostCode << ")";
    }
    EXPECT_EQ(keys, 87 + 17);
}

TEST(XKeycodeTable, EveryMediaAndBrowserKeyOfTheCatalogueCanBeCaptured) {
    const std::set<int> reachable = hostCodesReachableFromX();
    for (const HostCodeName& n : kHostCodeNames) {
        const bool media = n.hostCode >= 0xA6 && n.hostCode <= 0xB7;
        if (media || n.hostCode == 0x5F /* Sleep */) {
            EXPECT_TRUE(reachable.count(n.hostCode)) << n.name << " (" << n.hostCode << ")";
        }
    }
}

TEST(XKeycodeTable, EveryMappedKeyHasACatalogueName) {
    std::set<int> named;
    for (const HostCodeName& n : kHostCodeNames) named.insert(n.hostCode);
    for (const EvdevKey& k : kEvdevKeys) {
        const int host = hostCodeOf({k.vk, k.extended});
        EXPECT_TRUE(named.count(host)) << "evdev " << k.evdev << " gives host code " << host;
    }
}

// A sequence of X key events through the translator, as WM_HOOKED_KEY parameters.
struct SequenceCase {
    const char* name;
    std::vector<std::pair<unsigned, bool>> events;  // X key code, release
    std::vector<HookedKey> expected;
    std::vector<unsigned> heldAtStart;  // X key codes down when the capture starts
};

std::ostream& operator<<(std::ostream& os, const SequenceCase& c) { return os << c.name; }

class XKeyEvents : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(XKeyEvents, ComeAsTheHookWouldSeeThem) {
    const SequenceCase& c = GetParam();
    XKeyEventTranslator translator;
    std::uint8_t keys[32] = {};
    for (unsigned x : c.heldAtStart) keys[x / 8] |= static_cast<std::uint8_t>(1u << (x % 8));
    translator.seed(keys);
    std::vector<HookedKey> got;
    std::uint32_t time = 1000;
    for (const auto& [x, release] : c.events) {
        const XKeyEventTranslator::Event e =
            translator.translate(static_cast<std::uint8_t>(x), release, ++time);
        EXPECT_EQ(e.record.time, time);
        EXPECT_EQ(e.record.scanCode, x - kXKeycodeOffset);
        got.push_back(translateHookedKey(e.message, e.record.vkCode, e.record.flags));
    }
    EXPECT_EQ(got, c.expected);
}

constexpr unsigned kA = 38, kX = 53, kCtrlL = 37, kCtrlR = 105, kAltL = 64, kAltR = 108,
                   kDel = 119, kF10 = 76, kShiftL = 50, kShiftR = 62;
constexpr bool kDown = false, kUp = true;

INSTANTIATE_TEST_SUITE_P(
    Sequences, XKeyEvents,
    ::testing::Values(
        SequenceCase{"A", {{kA, kDown}, {kA, kUp}}, {{0x41, 0}, {0x80000041, 0}}, {}},
        SequenceCase{"LeftAlt_alone_is_system_both_ways",
                     {{kAltL, kDown}, {kAltL, kUp}},
                     {{0x400000A4, 0}, {0xC00000A4, 0}}, {}},
        SequenceCase{"Alt_X_system",
                     {{kAltL, kDown}, {kX, kDown}, {kX, kUp}, {kAltL, kUp}},
                     {{0x400000A4, 0}, {0x40000058, 0}, {0xC0000058, 0}, {0xC00000A4, 0}}, {}},
        SequenceCase{"RightAlt_released_key_after_is_plain",
                     {{kAltR, kDown}, {kAltR, kUp}, {kA, kDown}},
                     {{0x400000A5, kExt}, {0xC00000A5, kExt}, {0x41, 0}}, {}},
        SequenceCase{"Ctrl_Alt_Delete_not_system",
                     {{kCtrlL, kDown}, {kAltL, kDown}, {kDel, kDown}, {kDel, kUp},
                      {kAltL, kUp}, {kCtrlL, kUp}},
                     {{0xA2, 0}, {0xA4, 0}, {0x2E, kExt}, {0x8000002E, kExt},
                      {0x800000A4, 0}, {0x800000A2, 0}}, {}},
        SequenceCase{"RightCtrl_extended", {{kCtrlR, kDown}, {kCtrlR, kUp}},
                     {{0xA3, kExt}, {0x800000A3, kExt}}, {}},
        SequenceCase{"F10_always_system", {{kCtrlL, kDown}, {kF10, kDown}, {kF10, kUp}},
                     {{0xA2, 0}, {0x40000079, 0}, {0xC0000079, 0}}, {}},
        SequenceCase{"Shift_sides", {{kShiftL, kDown}, {kShiftR, kDown}, {kShiftL, kUp}},
                     {{0xA0, 0}, {0xA1, 0}, {0x800000A0, 0}}, {}},
        // A held key repeats its press; the repeats are presses again, as on the platform.
        SequenceCase{"held_key_repeats_press", {{kA, kDown}, {kA, kDown}, {kA, kUp}},
                     {{0x41, 0}, {0x41, 0}, {0x80000041, 0}}, {}},
        // Alt held before the capture started still makes the next key a system key.
        SequenceCase{"Alt_held_at_start", {{kA, kDown}, {kAltL, kUp}, {kA, kUp}},
                     {{0x40000041, 0}, {0xC00000A4, 0}, {0x80000041, 0}}, {kAltL}}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
