#include "VersionText.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>
#include <vector>

void decodeVersionText(const std::uint8_t* bytes, int count, wchar_t* out, int capacity) {
    if (out == nullptr || capacity <= 0) return;
    int n = 0;
    while (n < count && bytes[n] != 0) ++n;

    std::vector<wchar_t> wide(static_cast<std::size_t>(n) + 1, 0);
    std::size_t produced = 0;
    iconv_t cd = iconv_open("WCHAR_T", nl_langinfo(CODESET));
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (int i = 0; i < n; ++i) wide[produced++] = bytes[i] < 0x80 ? bytes[i] : 0xFFFD;
    } else {
        char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
        std::size_t inLeft = static_cast<std::size_t>(n);
        while (inLeft > 0 && produced < wide.size() - 1) {
            char* outPtr = reinterpret_cast<char*>(wide.data() + produced);
            std::size_t outLeft = (wide.size() - 1 - produced) * sizeof(wchar_t);
            const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
            produced = static_cast<std::size_t>(reinterpret_cast<wchar_t*>(outPtr) - wide.data());
            if (rc != static_cast<std::size_t>(-1)) break;
            if (errno == EILSEQ || errno == EINVAL) {
                // An undecodable or cut-off sequence: mark it and go on after its first byte.
                wide[produced++] = 0xFFFD;
                ++in;
                --inLeft;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
            } else {
                break;  // E2BIG: cannot happen, each byte gives at most one character
            }
        }
        iconv_close(cd);
    }
    const std::size_t keep = std::min(produced, static_cast<std::size_t>(capacity - 1));
    std::memcpy(out, wide.data(), keep * sizeof(wchar_t));
    out[keep] = 0;
}
