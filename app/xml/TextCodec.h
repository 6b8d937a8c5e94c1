#pragma once
// The platform's code-page converter, for every code page but the UTF-8, UTF-16 and UTF-32
// ones, which the file layer converts itself. One backend file per platform.
#include <string>
#include <string_view>

namespace xml::codec {

// Bytes in `codePage` (0: the system ANSI code page) to UTF-16. Undecodable bytes become
// U+FFFD. A code page the platform cannot serve is read as the system ANSI code page.
std::u16string toUtf16(int codePage, std::string_view bytes);

// UTF-16 to bytes in `codePage`. Characters the code page cannot hold become '?' and set
// `loss`.
std::string fromUtf16(int codePage, std::u16string_view text, bool& loss);

// Whether the system ANSI code page is UTF-8 (then our own fast path serves it).
bool systemCodePageIsUtf8();

// The converter's name for a code page; null when this backend cannot serve it.
const char* converterName(int codePage);

}  // namespace xml::codec
