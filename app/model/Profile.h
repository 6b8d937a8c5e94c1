#pragma once
// Profile files: the whole key configuration as XML (UTF-8, no byte order mark, CR LF line
// ends, no indentation). The root "KelvaneX30" holds, in this order, "PredefinedCombo",
// "PredefinedMacro" and "PredefinedEmu" (one "List" each), "BackgroundLightSettings" (four
// "AREA" elements) and "CurrentSettings" (174 "KEY" elements, each with a "ComboKey" holding
// the key's "List"). Language, current key and level, backlight[0..2], row 0 of the per-key
// tables and the device are not stored.

#include <filesystem>
#include <string>

#include "KeyboardConfiguration.h"

struct ProfileResult {
    bool ok;
    std::string message;  // a short plain English reason when !ok, for logs and tools
};

// Writes the configuration to path, replacing the file. The old file is replaced only once
// the new one is completely on disk; a failed save leaves it as it was.
ProfileResult saveProfile(const KeyboardConfiguration& configuration, const std::filesystem::path& path);

// Replaces the stored part of the configuration with what path holds. A file that cannot be
// read, whose first element is not "KelvaneX30", or that ends before that element does (a
// file cut short), is refused and the configuration stays exactly as it was. Otherwise the file is read in the order saveProfile writes it; keys,
// levels and areas it does not carry take their cleared values (clearConfiguration), while
// backlight[0..2] and row 0 of the per-key tables keep their current values.
ProfileResult loadProfile(KeyboardConfiguration& configuration, const std::filesystem::path& path);
