// The version text through the platform's converter from the system ANSI code page.
#include <windows.h>

#include <cstring>
#include <vector>

#include "VersionText.h"

void decodeVersionText(const std::uint8_t* bytes, int count, wchar_t* out, int capacity) {
    if (out == nullptr || capacity <= 0) return;
    int n = 0;
    while (bytes != nullptr && n < count && bytes[n] != 0) ++n;
    const char* in = reinterpret_cast<const char*>(bytes);
    // Undecodable bytes come out as the platform's replacement character.
    const int needed = n > 0 ? MultiByteToWideChar(CP_ACP, 0, in, n, nullptr, 0) : 0;
    std::vector<wchar_t> wide(static_cast<std::size_t>(needed > 0 ? needed : 0) + 1, 0);
    int produced = needed > 0 ? MultiByteToWideChar(CP_ACP, 0, in, n, wide.data(), needed) : 0;
    if (produced < 0) produced = 0;
    int keep = produced < capacity - 1 ? produced : capacity - 1;
    // Never keep the first half of a surrogate pair without its second.
    if (keep > 0 && keep < produced && wide[keep - 1] >= 0xD800 && wide[keep - 1] <= 0xDBFF) --keep;
    std::memcpy(out, wide.data(), static_cast<std::size_t>(keep) * sizeof(wchar_t));
    out[keep] = 0;
}
