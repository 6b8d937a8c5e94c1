#include "Verify.h"

#include <cstdio>
#include <optional>

#include "KeyArrays.h"
#include "KeyDefine.h"
#include "KeyTable.h"

namespace {

// A key's setting as a read-back gives it, or nothing when the keyboard could not store it.
std::optional<KeySettingUpdate> asKeyboardSees(const KeyboardConfiguration& configuration,
                                               int key, int level) {
    std::vector<int> array = configurationArrayOf(configuration, key, level);
    // A key that is not set travels as an empty slot: a normal record without codes.
    if (array.empty()) array = {0, 0};
    // Through the key record and back, as the keyboard stores it.
    const auto definition = CKeyDefine::fromConfiguration(level + 1, key, array.data(),
                                                          static_cast<int>(array.size()));
    if (!definition) return std::nullopt;
    std::vector<int> stored(static_cast<std::size_t>(definition->configurationSize()));
    definition->toConfiguration(stored.data());
    return settingFromConfigurationArray(configuration.catalogue, stored);
}

bool sameSetting(const KeySettingUpdate& a, const KeySettingUpdate& b) {
    if (a.kind != b.kind) return false;
    if (usesCode(a.kind)) return a.code == b.code;
    if (a.kind == KeyFunctionKind::NotSet) return true;
    if (!a.events || !b.events) return a.events.has_value() == b.events.has_value();
    const KeyEventList& x = *a.events;
    const KeyEventList& y = *b.events;
    if (x.items() != y.items()) return false;
    switch (a.kind) {
    case KeyFunctionKind::Macro:
        return x.cycles() == y.cycles() && x.isAutoInterval() == y.isAutoInterval();
    case KeyFunctionKind::Emulation: return x.delay() == y.delay();
    default: return true;
    }
}

std::string joined(const KeyEventList& list, const char* separator) {
    std::string text;
    for (const std::string& item : list.items()) {
        if (!text.empty()) text += separator;
        text += item;
    }
    return text;
}

std::string describe(const KeyCatalogue& catalogue, const std::optional<KeySettingUpdate>& setting) {
    if (!setting) return "cannot be stored on the keyboard";
    const KeySettingUpdate& s = *setting;
    const std::string kind = kKindNamesEnglish[static_cast<int>(s.kind)];
    if (s.kind == KeyFunctionKind::NotSet) return kind;
    if (usesCode(s.kind)) return kind + ": " + catalogue.nameOfKeyboardCode(s.code.value_or(0));
    const KeyEventList empty;
    const KeyEventList& list = s.events ? *s.events : empty;
    switch (s.kind) {
    case KeyFunctionKind::Combo: return kind + ": " + joined(list, " + ");
    case KeyFunctionKind::Emulation:
        return kind + ", " + std::to_string(list.delay()) + " ms apart: " + joined(list, ", ");
    case KeyFunctionKind::Macro:
        return kind + ", " + std::to_string(list.cycles()) +
               (list.cycles() == 1 ? " cycle, " : " cycles, ") +
               (list.isAutoInterval() ? "untimed: " : "timed: ") + joined(list, ", ");
    default: return kind;
    }
}

std::array<int, 3> areaColour(const KeyboardConfiguration& configuration, int area) {
    const std::size_t first =
        static_cast<std::size_t>(KeyboardConfiguration::kFirstAreaValue + 3 * (area - 1));
    return {configuration.backlight[first], configuration.backlight[first + 1],
            configuration.backlight[first + 2]};
}

std::string colourText(const std::array<int, 3>& colour) {
    return std::to_string(colour[0]) + "," + std::to_string(colour[1]) + "," +
           std::to_string(colour[2]);
}

}  // namespace

VerifyReport compareAsKeyboardSees(const KeyboardConfiguration& wanted,
                                   const KeyboardConfiguration& held, CompareAreas areas) {
    VerifyReport report;
    for (int level = 0; level < kLevels; ++level) {
        for (int key = 1; key < kKeyRows; ++key) {
            const auto w = asKeyboardSees(wanted, key, level);
            const auto h = asKeyboardSees(held, key, level);
            const bool same = w && h ? sameSetting(*w, *h) : false;
            if (same) continue;
            report.keys.push_back({key, level, describe(wanted.catalogue, w),
                                   describe(held.catalogue, h)});
        }
    }
    if (areas == CompareAreas::Yes) {
        for (int area = 1; area <= KeyboardConfiguration::kAreaCount; ++area) {
            const auto w = areaColour(wanted, area);
            const auto h = areaColour(held, area);
            if (w != h) report.areas.push_back({area, w, h});
        }
    }
    return report;
}

std::string describeKeyAsKeyboardSees(const KeyboardConfiguration& configuration, int key,
                                      int level) {
    if (key < 1 || key >= kKeyRows || level < 0 || level >= kLevels) return {};
    return describe(configuration.catalogue, asKeyboardSees(configuration, key, level));
}

std::string describeDifference(const KeyDifference& d) {
    const char* legend = d.key >= 1 && d.key <= kKeyCount ? kKeyTable[d.key - 1].legend : "?";
    return "Level " + std::to_string(d.level + 1) + " key " + std::to_string(d.key) + " (" +
           legend + "): wanted " + d.wanted + ", keyboard has " + d.held;
}

std::string describeDifference(const AreaDifference& d) {
    return "Backlight area " + std::to_string(d.area) + ": wanted " + colourText(d.wanted) +
           ", keyboard has " + colourText(d.held);
}
