#pragma once
// Small configurations for the tests: a few keys of each kind on both levels and four
// backlight colours, built in code and saved as profiles where a file is needed.

#include <initializer_list>
#include <memory>
#include <string>

#include "KeyboardConfiguration.h"

namespace kx30test {

// Catalogue built, everything cleared, as the program starts.
std::unique_ptr<KeyboardConfiguration> freshConfiguration();

void setCode(KeyboardConfiguration& c, int key, int level, KeyFunctionKind kind, int code);
void setList(KeyboardConfiguration& c, int key, int level, KeyFunctionKind kind,
             std::initializer_list<const char*> items);
void setArea(KeyboardConfiguration& c, int area, int red, int green, int blue);

// The keyboard code of a key name ("A" -> its code).
int codeOf(const KeyboardConfiguration& c, const char* name);

// Variant 0 and 1 differ in keys 5 (level 1), 30 (level 1), 40 (level 2) and in area 2.
std::unique_ptr<KeyboardConfiguration> sampleConfiguration(int variant);

}  // namespace kx30test
