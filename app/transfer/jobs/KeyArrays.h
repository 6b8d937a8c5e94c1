#pragma once
// Translation between a key's setting in the KeyboardConfiguration and the library's
// configuration array (kind, then counts and codes), in both directions. No device needed.
//
// Configuration array, by its kind in [0]:
//   0 normal:     [0, n, code 1 .. code n]
//   1 continuous: [1, delay, n, code 1 .. code n]
//   2 macro:      [2, cycles, autoInterval, m, then m codes, or without autoInterval
//                  2m - 1 values alternating code, delay, code, ..., code]

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "KeyEventList.h"
#include "KeyboardConfiguration.h"

// Room for the longest array a key record can hold (a 255-step macro), with margin.
inline constexpr int kConfigurationArrayCapacity = 512;

// The value an event list entry travels as: a delay entry ("<100 ms>") gives its
// milliseconds; any other text gives the keyboard code of the first host code (ascending)
// whose name it equals, alone or followed by " UP" or " Down"; text that matches nothing
// gives 0.
int valueOfEventText(const KeyCatalogue& catalogue, std::string_view text);

// The configuration array of key `key` (1..87) on `level` (0, 1); empty when the key is not
// set (also for a stored kind outside 0..8) or key/level are out of range.
std::vector<int> configurationArrayOf(const KeyboardConfiguration& configuration, int key,
                                      int level);

// What a configuration array read back from the keyboard makes of a key's setting. Parts
// without a value keep what the configuration had.
struct KeySettingUpdate {
    KeyFunctionKind kind = KeyFunctionKind::NotSet;
    std::optional<int> code;
    std::optional<KeyEventList> events;
};

// Reads an array as getKeyConfiguration filled it. Counts are trusted only as far as the
// array reaches.
KeySettingUpdate settingFromConfigurationArray(const KeyCatalogue& catalogue,
                                               std::span<const int> array);

// Stores an update into [key][level]; nothing for a key or level out of range.
void applySetting(KeyboardConfiguration& configuration, int key, int level,
                  const KeySettingUpdate& update);
