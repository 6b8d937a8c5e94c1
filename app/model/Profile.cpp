#include "Profile.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#include "CXmlDocument.h"

namespace {

constexpr std::u16string_view kDeclaration = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
constexpr std::u16string_view kRoot = u"KelvaneX30";

// The predefined sections in file order, with the list each holds and its view rows.
struct PredefinedSection {
    std::u16string_view element;
    KeyEventList KeyboardConfiguration::*list;
    int viewRows;
};
constexpr PredefinedSection kPredefinedSections[] = {
    {u"PredefinedCombo", &KeyboardConfiguration::predefinedCombos, KeyboardConfiguration::kComboViewRows},
    {u"PredefinedMacro", &KeyboardConfiguration::predefinedMacros, KeyboardConfiguration::kMacroViewRows},
    {u"PredefinedEmu", &KeyboardConfiguration::predefinedEmulations, KeyboardConfiguration::kEmulationViewRows},
};
constexpr std::size_t kSectionCount = std::size(kPredefinedSections);

// backlight index of the red value of area 1..4; green and blue follow it.
constexpr std::size_t redIndex(int area) {
    return std::size_t(KeyboardConfiguration::kFirstAreaValue + 3 * (area - 1));
}

std::string describe(const char* what, const std::filesystem::path& path, const xml::XmlOutcome& outcome) {
    std::string message = what;
    message += ' ';
    message += path.string();
    message += ": ";
    message += outcome.systemError ? std::strerror(outcome.systemError) : xml::statusName(outcome.status);
    return message;
}

int attribute(const CXmlDocument& document, std::u16string_view name) {
    return KeyEventList::parseXmlNumber(document.GetAttribute(name));
}

// Everything a profile carries, read completely before the configuration is touched.
struct LoadedProfile {
    std::array<KeyEventList, kSectionCount> predefined;
    PerKeyTable<int> light, kind, code;
    PerKeyTable<KeyEventList> events;
    PerKeyTable<bool> present;
    std::array<std::optional<std::array<int, 3>>, KeyboardConfiguration::kAreaCount> areas;
};

// Reads the sections in the order the saver writes them. Each search continues after the
// element last found on its level, and a search that finds nothing leaves the position
// where it was, so a section out of place shifts the reader and the sections after it come
// out empty, exactly as in every other reader of the format.
void readSections(CXmlDocument& document, const KeyboardConfiguration& current, LoadedProfile& loaded) {
    KeyEventList::XmlLoadBudget budget;
    document.EnterElement();  // the root, found by the caller

    for (std::size_t s = 0; s < kSectionCount; ++s) {
        document.FindElement(kPredefinedSections[s].element);
        document.EnterElement();
        loaded.predefined[s].setSizeOfView(kPredefinedSections[s].viewRows);
        loaded.predefined[s].loadFromXml(document, budget);
        document.LeaveElement();
    }

    document.FindElement(u"BackgroundLightSettings");
    document.EnterElement();
    while (document.FindElement(u"AREA")) {
        const int area = attribute(document, u"ID");
        if (area < 1 || area > KeyboardConfiguration::kAreaCount) continue;
        // Colours are bytes on the keyboard; anything else would wrap when sent.
        auto colour = [&](std::u16string_view name) { return std::clamp(attribute(document, name), 0, 255); };
        loaded.areas[std::size_t(area - 1)] = std::array<int, 3>{colour(u"Red"), colour(u"Green"), colour(u"Blue")};
    }
    document.LeaveElement();

    document.FindElement(u"CurrentSettings");
    document.EnterElement();
    while (document.FindElement(u"KEY")) {
        const int key = attribute(document, u"ID");
        const int level = attribute(document, u"Level");
        if (key < 1 || !isKeySlot(key, level)) continue;
        loaded.present[key][level] = true;
        loaded.light[key][level] = attribute(document, u"Light");
        // The main window names kinds by this value; an unknown one loads as Not set.
        loaded.kind[key][level] = static_cast<int>(kindFromInt(attribute(document, u"Mode")));
        loaded.code[key][level] = attribute(document, u"HWCode");
        KeyEventList& list = loaded.events[key][level];
        list.setSizeOfView(current.events[key][level].sizeOfView());
        document.EnterElement();
        document.FindElement(u"ComboKey");
        document.EnterElement();
        list.loadFromXml(document, budget);
        document.LeaveElement();
        document.LeaveElement();
    }
    document.LeaveElement();
    document.LeaveElement();
}

// Puts the loaded values in place. What the file does not carry takes the cleared values,
// except backlight[0..2] and row 0, which nothing but the program's start sets: they keep
// what they hold (clearConfiguration itself keeps backlight[0..2]).
void apply(LoadedProfile& loaded, KeyboardConfiguration& configuration) {
    std::array<int, kLevels> rowLight{}, rowKind{}, rowCode{};
    std::array<KeyEventList, kLevels> rowEvents;
    for (int level = 0; level < kLevels; ++level) {
        rowLight[std::size_t(level)] = configuration.light[0][level];
        rowKind[std::size_t(level)] = configuration.kind[0][level];
        rowCode[std::size_t(level)] = configuration.code[0][level];
        KeyEventList::swapLists(rowEvents[std::size_t(level)], configuration.events[0][level]);
    }

    configuration.clearConfiguration();

    for (int level = 0; level < kLevels; ++level) {
        configuration.light[0][level] = rowLight[std::size_t(level)];
        configuration.kind[0][level] = rowKind[std::size_t(level)];
        configuration.code[0][level] = rowCode[std::size_t(level)];
        KeyEventList::swapLists(rowEvents[std::size_t(level)], configuration.events[0][level]);
    }
    for (std::size_t s = 0; s < kSectionCount; ++s)
        KeyEventList::swapLists(configuration.*kPredefinedSections[s].list, loaded.predefined[s]);
    for (int key = 1; key < kKeyRows; ++key) {
        for (int level = 0; level < kLevels; ++level) {
            if (!loaded.present[key][level]) continue;
            configuration.light[key][level] = loaded.light[key][level];
            configuration.kind[key][level] = loaded.kind[key][level];
            configuration.code[key][level] = loaded.code[key][level];
            KeyEventList::swapLists(configuration.events[key][level], loaded.events[key][level]);
        }
    }
    for (int area = 1; area <= KeyboardConfiguration::kAreaCount; ++area) {
        const auto& colour = loaded.areas[std::size_t(area - 1)];
        if (!colour) continue;
        std::copy(colour->begin(), colour->end(), configuration.backlight.begin() + std::ptrdiff_t(redIndex(area)));
    }
}

}  // namespace

ProfileResult saveProfile(const KeyboardConfiguration& configuration, const std::filesystem::path& path) {
    CXmlDocument document;
    document.SetDocumentText(kDeclaration);

    xml::XmlOutcome edits;
    auto keep = [&edits](xml::XmlOutcome outcome) {
        if (edits && !outcome) edits = outcome;
    };

    keep(document.AddElement(kRoot));
    document.EnterElement();

    for (const PredefinedSection& section : kPredefinedSections) {
        keep(document.AddElement(section.element));
        document.EnterElement();
        keep((configuration.*section.list).saveToXml(document));
        document.LeaveElement();
    }

    keep(document.AddElement(u"BackgroundLightSettings"));
    document.EnterElement();
    for (int area = 1; area <= KeyboardConfiguration::kAreaCount; ++area) {
        const std::size_t red = redIndex(area);
        keep(document.AddElement(u"AREA"));
        keep(document.SetAttribute(u"ID", area));
        keep(document.SetAttribute(u"Red", configuration.backlight[red]));
        keep(document.SetAttribute(u"Green", configuration.backlight[red + 1]));
        keep(document.SetAttribute(u"Blue", configuration.backlight[red + 2]));
    }
    document.LeaveElement();

    keep(document.AddElement(u"CurrentSettings"));
    document.EnterElement();
    for (int key = 1; key < kKeyRows && edits; ++key) {
        for (int level = 0; level < kLevels; ++level) {
            keep(document.AddElement(u"KEY"));
            keep(document.SetAttribute(u"ID", key));
            keep(document.SetAttribute(u"Level", level));
            keep(document.SetAttribute(u"Light", configuration.light[key][level]));
            keep(document.SetAttribute(u"Mode", configuration.kind[key][level]));
            keep(document.SetAttribute(u"HWCode", configuration.code[key][level]));
            document.EnterElement();
            keep(document.AddElement(u"ComboKey"));
            document.EnterElement();
            keep(configuration.events[key][level].saveToXml(document));
            document.LeaveElement();
            document.LeaveElement();
        }
    }
    document.LeaveElement();
    document.LeaveElement();

    // A document that could not be built completely is not written over the old file.
    if (!edits) return {false, describe("cannot build the profile for", path, edits)};
    const xml::XmlOutcome saved = document.SaveFile(path);
    if (!saved) return {false, describe("cannot save", path, saved)};
    return {true, {}};
}

ProfileResult loadProfile(KeyboardConfiguration& configuration, const std::filesystem::path& path) {
    CXmlDocument document;
    const xml::XmlOutcome read = document.LoadFile(path);
    if (!read) return {false, describe("cannot read", path, read)};

    // The tolerant parser finds elements in almost anything; a file counts as a profile only
    // when its first element is the root. Replacing the configuration from anything else
    // would wipe it for nothing.
    document.ResetPosition();
    if (!document.FindElement() || document.GetTagName() != kRoot)
        return {false, "not a profile: " + path.string() + " has no KelvaneX30 root element"};
    // A root without its end tag is a file cut short: the parser then holds everything after
    // the root's start tag outside it, and loading would only clear the configuration.
    if (document.Index()[document.CurrentElement()].levelFlags & xml::ELEMENT_UNENDED)
        return {false, "not a complete profile: " + path.string() + " ends inside its root element"};

    // Heap: 176 event lists and the tables are a few tens of kilobytes.
    auto loaded = std::make_unique<LoadedProfile>();
    readSections(document, configuration, *loaded);
    apply(*loaded, configuration);
    return {true, {}};
}
