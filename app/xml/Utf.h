#pragma once
// Our own UTF-8 / UTF-16 / UTF-32 conversions: the ones every profile takes. ASCII runs are
// converted 16 bytes (or 8 units) at a time.
#include <cstddef>
#include <string>
#include <string_view>

namespace xml::utf {

// Decodes UTF-8 into `out`, which must have room for `n` units (a byte never yields more
// than one unit, a 4-byte sequence yields 2). Zero bytes are dropped and counted in `zeros`.
// Invalid bytes become U+FFFD. Unless `final`, an incomplete sequence at the end is left
// unread. Returns the bytes consumed; `produced` receives the units written.
std::size_t decodeUtf8(const unsigned char* in, std::size_t n, char16_t* out, std::size_t& produced,
                       std::size_t& zeros, bool final);

// Encodes UTF-16 as UTF-8 into `out`, which must have room for 3 bytes per unit. A lone
// surrogate becomes U+FFFD and sets `loss`. Unless `final`, a high surrogate at the end is
// left unread. Returns the units consumed; `produced` receives the bytes written.
std::size_t encodeUtf8(const char16_t* in, std::size_t n, char* out, std::size_t& produced, bool& loss,
                       bool final);

std::u16string utf8ToUtf16(std::string_view bytes, std::size_t* zeros = nullptr);
std::string utf16ToUtf8(std::u16string_view text, bool* loss = nullptr);

// UTF-32 (little-endian bytes) both ways. Code points beyond Unicode become U+FFFD.
std::u16string utf32leToUtf16(std::string_view bytes);
std::string utf16ToUtf32le(std::u16string_view text);

// The loose test that decides whether BOM-less bytes of unknown encoding are UTF-8: every
// byte of 0x80 or above must start a complete sequence of continuation bytes.
bool passesUtf8Test(const unsigned char* in, std::size_t n);

}  // namespace xml::utf
