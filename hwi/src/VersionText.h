#pragma once
// The keyboard's version text arrives in the system's ANSI code page; ours is the locale's
// code set.

#include <cstdint>

// Converts count bytes (ending early at the first zero byte) into at most capacity - 1 wide
// characters plus a terminating zero. A byte sequence the code set cannot decode becomes
// U+FFFD and decoding goes on after it.
void decodeVersionText(const std::uint8_t* bytes, int count, wchar_t* out, int capacity);
