#pragma once
// Comparing what the keyboard holds with what was meant to be written to it.
//
// Both sides are compared as the keyboard sees them: each key's setting is turned into the
// configuration array it travels as, and that array into the key record the keyboard stores
// and back, so that settings the keyboard cannot tell apart (a Combo of one key and a
// Single key, a Multimedia kind on a code of another range, entries past a macro's steps)
// count as equal. Typical use after a write, with `wanted` a second configuration holding
// what was written (the same profile, or a copy of the fields taken before the write):
//
//   writeKeySettings(keyboard, options);
//   readConfiguration(keyboard, options);  // keyboard now holds what the keyboard holds
//   VerifyReport report = compareAsKeyboardSees(wanted, keyboard);
//   if (!report.matches()) for (auto& d : report.keys) show(describeDifference(d));

#include <array>
#include <string>
#include <vector>

#include "KeyboardConfiguration.h"

// One key on one level whose setting differs.
struct KeyDifference {
    int key = 0;    // 1..87
    int level = 0;  // 0 = Level 1, 1 = Level 2
    std::string wanted;  // the setting meant for the keyboard, in plain words
    std::string held;    // what the keyboard holds, in plain words
};

// One backlight area whose colour differs.
struct AreaDifference {
    int area = 0;  // 1..4
    std::array<int, 3> wanted{};  // red, green, blue
    std::array<int, 3> held{};
};

struct VerifyReport {
    std::vector<KeyDifference> keys;    // in slot order: level 0 keys 1..87, then level 1
    std::vector<AreaDifference> areas;  // empty unless the areas were compared
    bool matches() const { return keys.empty() && areas.empty(); }
};

// What to compare besides the keys.
enum class CompareAreas { No, Yes };

// Compares every key of both levels of `wanted` with `held` (typically read back from the
// keyboard), and with CompareAreas::Yes also backlight[3..14]. Neither configuration's device
// is used. A key the keyboard could not store at all (its array would be refused) is a
// difference, described as such.
VerifyReport compareAsKeyboardSees(const KeyboardConfiguration& wanted,
                                   const KeyboardConfiguration& held,
                                   CompareAreas areas = CompareAreas::Yes);

// A key's setting as the keyboard would hold it, in plain words: "Not set", "Single: A",
// "Combo: Left CTRL + A", "Macro, 2 cycles, timed: A, <50 ms>, A", "Emulation, 30 ms apart:
// H, I", or "cannot be stored on the keyboard".
std::string describeKeyAsKeyboardSees(const KeyboardConfiguration& configuration, int key,
                                      int level);

// One line: "Level 1 key 23 (9): wanted Single: A, keyboard has Single: B".
std::string describeDifference(const KeyDifference& difference);
// One line: "Backlight area 2: wanted 0,144,73, keyboard has 0,0,0".
std::string describeDifference(const AreaDifference& difference);
