#pragma once
#include <cstddef>
#include <string_view>

namespace xml {

// Looks up a named character reference (the part between "&" and ";"). The named character
// entities of HTML 4.01 plus "apos", 253 names. Names that differ only in letter case (such
// as "Oslash" and "oslash") are both present: an exact spelling wins, otherwise the lookup
// folds A-Z and prefers the lower-case entity. Returns 0 when the name is unknown.
char32_t lookupNamedReference(std::u16string_view name);

inline constexpr std::size_t kNamedReferenceCount = 253;
inline constexpr std::size_t kNamedReferenceBuckets = 130;

}  // namespace xml
