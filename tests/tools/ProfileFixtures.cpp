#include "ProfileFixtures.h"

#include "KeyArrays.h"

namespace kx30test {

std::unique_ptr<KeyboardConfiguration> freshConfiguration() {
    auto c = std::make_unique<KeyboardConfiguration>();
    c->buildKeyCatalogue();
    c->clearConfiguration();
    return c;
}

void setCode(KeyboardConfiguration& c, int key, int level, KeyFunctionKind kind, int code) {
    c.kind[key][level] = static_cast<int>(kind);
    c.code[key][level] = code;
}

void setList(KeyboardConfiguration& c, int key, int level, KeyFunctionKind kind,
             std::initializer_list<const char*> items) {
    c.kind[key][level] = static_cast<int>(kind);
    KeyEventList& list = c.events[key][level];
    list.clear();
    for (const char* item : items) list.setOrAppend(KeyEventList::kAppendRow, item);
}

void setArea(KeyboardConfiguration& c, int area, int red, int green, int blue) {
    const std::size_t first = std::size_t(KeyboardConfiguration::kFirstAreaValue + 3 * (area - 1));
    c.backlight[first] = red;
    c.backlight[first + 1] = green;
    c.backlight[first + 2] = blue;
}

int codeOf(const KeyboardConfiguration& c, const char* name) { return valueOfEventText(c.catalogue, name); }

std::unique_ptr<KeyboardConfiguration> sampleConfiguration(int variant) {
    auto c = freshConfiguration();
    const bool other = variant != 0;
    setCode(*c, 5, 0, KeyFunctionKind::Single, codeOf(*c, other ? "B" : "A"));
    setList(*c, 12, 0, KeyFunctionKind::Combo, {"A", "B"});
    setList(*c, 30, 0, KeyFunctionKind::Macro,
            other ? std::initializer_list<const char*>{"H Down", "<80 ms>", "H UP"}
                  : std::initializer_list<const char*>{"A Down", "<50 ms>", "A UP"});
    setList(*c, 31, 0, KeyFunctionKind::Emulation, {"H", "I"});
    setCode(*c, 20, 1, KeyFunctionKind::Mouse, 199);  // the double click
    if (other) setCode(*c, 40, 1, KeyFunctionKind::Single, codeOf(*c, "I"));
    setArea(*c, 1, 255, 0, 0);
    setArea(*c, 2, 0, other ? 200 : 144, 73);
    setArea(*c, 3, 0, 0, 255);
    setArea(*c, 4, 255, 255, 255);
    return c;
}

}  // namespace kx30test
