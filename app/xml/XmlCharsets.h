#pragma once
// Encoding names and the code page numbers they stand for.
#include <cstddef>
#include <string_view>

namespace xml {

inline constexpr int kCodePageSystemAnsi = 0;  // the locale's codeset
inline constexpr int kCodePageUtf16 = 1200;    // also the in-memory text
inline constexpr int kCodePageUtf16BE = 1201;
inline constexpr int kCodePageUtf8 = 65001;
inline constexpr int kCodePageUtf32Marker = 65005;  // internal marker, not a Windows code page

inline constexpr std::size_t kCharsetNameCount = 364;
inline constexpr std::size_t kCharsetBuckets = 155;

// "UTF-32..." (exact case) gives the UTF-32 marker; an empty name, one of 100 characters or
// more, or one not in the table gives the system ANSI code page.
int codePageOfName(std::u16string_view name);

// Whether the name is in the charset table (case folded).
bool isKnownCharsetName(std::u16string_view name);

}  // namespace xml
