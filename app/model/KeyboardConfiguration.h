#pragma once
// The program's one configuration object: language, catalogue, the key being edited, the
// three predefined lists, every key's setting on both levels, the backlight values, the
// keyboard handle and the receiver of transfer messages.
//
// Windows and transfer jobs work on its fields directly. It has no locks: a job running on a
// worker thread has it to itself until the job returns.

#include <array>
#include <span>
#include <string>

#include "CVelaHWI.h"
#include "ITransferWindow.h"
#include "KeyCatalogue.h"
#include "KeyEventList.h"
#include "KeyFunctionKind.h"
#include "PerKeyTable.h"

class KeyboardConfiguration {
public:
    static constexpr const char* kEnglish = "en-US";
    static constexpr const char* kChinese = "zh-CN";
    static constexpr int kBacklightSize = 15;
    static constexpr int kAreaCount = 4;
    static constexpr int kFirstAreaValue = 3;  // backlight[3..14]: red, green, blue of areas 1..4
    static constexpr int kAreaValueCount = 12;
    static constexpr int kMacroViewRows = 9;
    static constexpr int kComboViewRows = 6;
    static constexpr int kEmulationViewRows = 9;

    KeyboardConfiguration() = default;
    KeyboardConfiguration(const KeyboardConfiguration&) = delete;
    KeyboardConfiguration& operator=(const KeyboardConfiguration&) = delete;

    // Builds the catalogue and sets the language to English. Always true.
    bool buildKeyCatalogue();

    // Resets the key settings, the predefined lists and the area colours to their defaults.
    // currentKey, currentLevel, backlight[0..2] and the lists' view sizes of the key events are
    // left as they are.
    void clearConfiguration();

    // The value of a key's setting as one line: the code's name for single-code kinds, the
    // entries joined by " | " for Combo and Emulation, a shortened summary for Macro, "" for
    // Not set, any kind outside 0..8, or a key or level out of range.
    std::string valueText(int key, int level) const;

    // kind[key][level] as a kind: NotSet for a stored value outside 0..8 and for a key or
    // level out of range.
    KeyFunctionKind kindOf(int key, int level) const;

    // The light values as one block of 176 ints, index key * 2 + level.
    std::span<int, PerKeyTable<int>::kBlockSize> lightBlock() { return light.block(); }
    std::span<const int, PerKeyTable<int>::kBlockSize> lightBlock() const { return light.block(); }

    bool isChinese() const { return language == kChinese; }

    std::string language;
    KeyCatalogue catalogue;
    int currentKey = 0;    // key number 1..87 the key assignment dialog edits
    int currentLevel = 0;  // 0 = Level 1, 1 = Level 2
    KeyEventList predefinedMacros;
    KeyEventList predefinedCombos;
    KeyEventList predefinedEmulations;
    PerKeyTable<int> light;             // light value, 1..3 after clearConfiguration
    PerKeyTable<int> kind;              // KeyFunctionKind as stored (read through kindOf)
    PerKeyTable<int> code;              // keyboard code of the single-code kinds
    PerKeyTable<KeyEventList> events;   // events of Combo, Macro and Emulation
    std::array<int, kBacklightSize> backlight{};
    CVelaHWI device;
    ITransferWindow* transferWindow = nullptr;  // not owned; null when no window listens
    std::string firmwarePath;
};
