#include "KeyArrays.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

#include "KeyCodeTables.h"

namespace {

enum ArrayKind : int { Normal = 0, Continuous = 1, Macro = 2 };

constexpr std::string_view kDelayMark = "ms>";

// The decimal number at the start of text (after blanks, with an optional sign), saturated
// to the int range; 0 without digits.
int leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) {
            value = INT_MAX;
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

bool isNameWithDirection(std::string_view text, const std::string& name) {
    if (text == name) return true;
    if (!text.starts_with(name)) return false;
    const std::string_view rest = text.substr(name.size());
    return rest == " UP" || rest == " Down";
}

std::string delayText(int milliseconds) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "<%d ms>", milliseconds);
    return buffer;
}

void appendCodes(std::vector<int>& array, const KeyCatalogue& catalogue,
                 const KeyEventList& list) {
    for (const std::string& item : list.items()) array.push_back(valueOfEventText(catalogue, item));
}

}  // namespace

int valueOfEventText(const KeyCatalogue& catalogue, std::string_view text) {
    if (text.find(kDelayMark) != std::string_view::npos) {
        // "<100 ms>": the number from the second character, over length - 5 characters.
        if (text.size() < 6) return 0;
        return leadingNumber(text.substr(1, text.size() - 5));
    }
    for (const auto& [host, name] : catalogue.hostCodeNames())
        if (isNameWithDirection(text, name)) return catalogue.keyboardCodeOfHost(host);
    return 0;
}

std::vector<int> configurationArrayOf(const KeyboardConfiguration& configuration, int key,
                                      int level) {
    std::vector<int> array;
    if (key < 1 || key >= kKeyRows || level < 0 || level >= kLevels) return array;
    const KeyCatalogue& catalogue = configuration.catalogue;
    const KeyEventList& list = configuration.events[key][level];
    const int n = list.count();

    switch (configuration.kindOf(key, level)) {
    case KeyFunctionKind::NotSet:
        break;
    case KeyFunctionKind::Combo:
        array = {Normal, n};
        appendCodes(array, catalogue, list);
        break;
    case KeyFunctionKind::Macro: {
        const bool autoInterval = list.isAutoInterval();
        // Without auto interval the entries alternate key event, delay, key event, ...
        const int steps = autoInterval ? n : (n + 1) / 2;
        array = {Macro, list.cycles(), autoInterval ? 1 : 0, steps};
        appendCodes(array, catalogue, list);
        break;
    }
    case KeyFunctionKind::Emulation:
        array = {Continuous, list.delay(), n};
        appendCodes(array, catalogue, list);
        break;
    default: {
        const int c = configuration.code[key][level];
        if (c == kDoubleClickCode)
            array = {Normal, 2, kMouseKeyLeftCode, kMouseKeyLeftCode};
        else
            array = {Normal, 1, c};
        break;
    }
    }
    return array;
}

KeySettingUpdate settingFromConfigurationArray(const KeyCatalogue& catalogue,
                                               std::span<const int> array) {
    KeySettingUpdate update;
    if (array.size() < 2) return update;
    const int size = static_cast<int>(array.size());
    auto at = [&](int i) { return i < size ? array[static_cast<std::size_t>(i)] : 0; };
    auto name = [&](int i) { return catalogue.nameOfKeyboardCode(at(i)); };
    // A count, limited to the values the array actually holds from `first` on.
    auto bounded = [&](int count, int first) { return std::clamp(count, 0, std::max(size - first, 0)); };

    // Entries are appended as an editor appends them, so the read-back list's view follows.
    switch (array[0]) {
    case Normal: {
        const int n = bounded(at(1), 2);
        if (n == 0) break;
        if (n == 1) {
            const int c = at(2);
            KeyFunctionKind kind = groupOfKeyboardCode(c);
            // A lone code reads back by its range; the double click has no lone form.
            if (kind == KeyFunctionKind::NotSet || c == kDoubleClickCode) kind = KeyFunctionKind::Single;
            update.kind = kind;
            update.code = c;
        } else if (n == 2 && at(2) == kMouseKeyLeftCode && at(3) == kMouseKeyLeftCode) {
            update.kind = KeyFunctionKind::Mouse;
            update.code = kDoubleClickCode;
        } else {
            KeyEventList list = KeyEventList(KeyboardConfiguration::kComboViewRows);
            for (int i = 0; i < n; ++i) list.setOrAppend(KeyEventList::kAppendRow, name(2 + i));
            update.kind = KeyFunctionKind::Combo;
            update.events = std::move(list);
        }
        break;
    }
    case Continuous: {
        const int n = bounded(at(2), 3);
        if (n == 0) break;
        KeyEventList list = KeyEventList(KeyboardConfiguration::kEmulationViewRows);
        list.setDelay(at(1));
        for (int i = 0; i < n; ++i) list.setOrAppend(KeyEventList::kAppendRow, name(3 + i));
        update.kind = KeyFunctionKind::Emulation;
        update.events = std::move(list);
        break;
    }
    case Macro: {
        const bool autoInterval = at(2) != 0;
        // Without auto interval m steps take 2m - 1 values.
        const int available = std::max(size - 4, 0);
        const int m = std::clamp(at(3), 0, autoInterval ? available : (available + 1) / 2);
        if (m == 0) break;
        KeyEventList list = KeyEventList(KeyboardConfiguration::kMacroViewRows);
        list.setCycles(at(1));
        list.setAutoInterval(autoInterval);
        if (autoInterval) {
            for (int i = 0; i < m; ++i) list.setOrAppend(KeyEventList::kAppendRow, name(4 + i));
        } else {
            list.setOrAppend(KeyEventList::kAppendRow, name(4));
            for (int i = 1; i < m; ++i) {
                list.setOrAppend(KeyEventList::kAppendRow, delayText(at(4 + 2 * i - 1)));
                list.setOrAppend(KeyEventList::kAppendRow, name(4 + 2 * i));
            }
        }
        update.kind = KeyFunctionKind::Macro;
        update.events = std::move(list);
        break;
    }
    default:
        break;
    }
    return update;
}

void applySetting(KeyboardConfiguration& configuration, int key, int level,
                  const KeySettingUpdate& update) {
    if (!isKeySlot(key, level)) return;
    configuration.kind[key][level] = static_cast<int>(update.kind);
    if (update.code) configuration.code[key][level] = *update.code;
    if (update.events) configuration.events[key][level].copyFrom(*update.events);
}
