#include "KeyboardConfiguration.h"

#include <cstddef>

namespace {

// Default area colours as (red, green, blue) for areas 1..4.
constexpr int kDefaultAreaColours[KeyboardConfiguration::kAreaValueCount] = {
    0, 137, 225,    // area 1
    0, 144, 73,     // area 2
    161, 72, 117,   // area 3
    255, 128, 0,    // area 4
};

// Keys that start with light value 1 and 3 beyond the row defaults (3 for keys 1..14,
// 2 for the rest).
constexpr int kDimKeys[] = {29, 42, 43, 55, 56, 67, 68, 69, 70, 71, 72, 73, 74, 75};
constexpr int kBrightKeys[] = {31, 44, 45, 46};

// A macro summary stops after the item that makes it longer than this many characters.
constexpr std::size_t kMacroSummaryLimit = 120;

// Characters of a UTF-8 text (names are ASCII, but a profile may carry anything).
std::size_t characterCount(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

bool endsWithFirst(const std::string& item, const std::string& suffix) {
    const std::size_t at = item.find(suffix);
    return at != std::string::npos && at + suffix.size() == item.size();
}

// The short form of one macro entry: a delay "<100 ms>" gives "100", "A Down" and "A UP"
// give "A"; anything else stays as it is.
std::string shortMacroItem(const std::string& item) {
    if (item.size() > 4 && item.front() == '<' && item.find('>') == item.size() - 1)
        return item.substr(1, item.size() - 5);
    if (item.size() > 5 && endsWithFirst(item, " Down")) return item.substr(0, item.size() - 5);
    if (item.size() > 3 && endsWithFirst(item, " UP")) return item.substr(0, item.size() - 3);
    return item;
}

}  // namespace

bool KeyboardConfiguration::buildKeyCatalogue() {
    catalogue.buildKeyCatalogue();
    language = kEnglish;
    return true;
}

void KeyboardConfiguration::clearConfiguration() {
    predefinedMacros.clear();
    predefinedMacros.setSizeOfView(kMacroViewRows);
    predefinedCombos.clear();
    predefinedCombos.setSizeOfView(kComboViewRows);
    predefinedEmulations.clear();
    predefinedEmulations.setSizeOfView(kEmulationViewRows);

    for (int key = 0; key < kKeyRows; ++key) {
        for (int level = 0; level < kLevels; ++level) {
            light[key][level] = key == 0 ? 0 : key <= 14 ? 3 : 2;
            kind[key][level] = static_cast<int>(KeyFunctionKind::NotSet);
            code[key][level] = key;
            events[key][level].clear();
        }
    }
    for (int key : kDimKeys) light[key][0] = light[key][1] = 1;
    for (int key : kBrightKeys) light[key][0] = light[key][1] = 3;

    for (int i = 0; i < kAreaValueCount; ++i)
        backlight[static_cast<std::size_t>(kFirstAreaValue + i)] = kDefaultAreaColours[i];
}

KeyFunctionKind KeyboardConfiguration::kindOf(int key, int level) const {
    const int* stored = kind.find(key, level);
    return stored ? kindFromInt(*stored) : KeyFunctionKind::NotSet;
}

std::string KeyboardConfiguration::valueText(int key, int level) const {
    const KeyFunctionKind k = kindOf(key, level);
    if (k == KeyFunctionKind::NotSet) return {};
    if (usesCode(k)) return catalogue.nameOfKeyboardCode(code[key][level]);

    const KeyEventList& list = events[key][level];
    std::string text;
    bool first = true;
    if (k == KeyFunctionKind::Combo || k == KeyFunctionKind::Emulation) {
        for (const std::string& item : list.items()) {
            if (!first) text += " | ";
            first = false;
            text += item;
        }
        return text;
    }
    // Macro.
    for (const std::string& item : list.items()) {
        if (!first) text += ",";
        first = false;
        text += shortMacroItem(item);
        if (characterCount(text) > kMacroSummaryLimit) {
            text += " ... ...";
            break;
        }
    }
    return text;
}
