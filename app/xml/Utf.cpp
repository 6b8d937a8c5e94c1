#include "Utf.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace xml::utf {
namespace {

constexpr std::uint64_t kHigh8 = 0x8080808080808080ull;

inline std::uint64_t load64(const void* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
#if !defined(__SSE2__)
constexpr std::uint64_t kOnes8 = 0x0101010101010101ull;

// True when the 8 bytes are all ASCII and none is zero (the block test without SSE2).
inline bool plainAscii(std::uint64_t v) {
  return ((v | ((v - kOnes8) & ~v)) & kHigh8) == 0;
}
#endif
inline bool isCont(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

std::size_t decodeUtf8(const unsigned char* in, std::size_t n, char16_t* out, std::size_t& produced,
                       std::size_t& zeros, bool final) {
  std::size_t i = 0, o = 0;
  while (i < n) {
#if defined(__SSE2__)
    if (n - i >= 16) {
      // 16 ASCII bytes, none of them zero, widen to 16 units at once.
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
      const __m128i zero = _mm_setzero_si128();
      if (_mm_movemask_epi8(block) == 0 && _mm_movemask_epi8(_mm_cmpeq_epi8(block, zero)) == 0) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), _mm_unpacklo_epi8(block, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o + 8), _mm_unpackhi_epi8(block, zero));
        i += 16;
        o += 16;
        continue;
      }
    }
#else
    if (n - i >= 16) {
      const std::uint64_t a = load64(in + i), b = load64(in + i + 8);
      if (plainAscii(a) && plainAscii(b)) {
        for (int k = 0; k < 16; ++k) out[o + k] = in[i + k];
        i += 16;
        o += 16;
        continue;
      }
    }
#endif
    const unsigned char c = in[i];
    if (c < 0x80) {
      if (c == 0) ++zeros;
      else out[o++] = c;
      ++i;
      continue;
    }
    std::size_t need;
    char32_t cp;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) { need = 1; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) {
      need = 2; cp = c & 0x0F;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      need = 3; cp = c & 0x07;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      out[o++] = 0xFFFD;
      ++i;
      continue;
    }
    if (n - i <= need) {
      // Cut off by the end of this piece: wait for more unless this is the end.
      if (!final) {
        bool prefixOk = true;
        for (std::size_t k = 1; i + k < n; ++k) {
          const unsigned char d = in[i + k];
          if (k == 1 ? (d < lo || d > hi) : !isCont(d)) { prefixOk = false; break; }
        }
        if (prefixOk) break;
      }
      out[o++] = 0xFFFD;
      ++i;
      continue;
    }
    const unsigned char d1 = in[i + 1];
    if (d1 < lo || d1 > hi) {
      out[o++] = 0xFFFD;
      ++i;
      continue;
    }
    cp = (cp << 6) | (d1 & 0x3F);
    bool ok = true;
    for (std::size_t k = 2; k <= need; ++k) {
      if (!isCont(in[i + k])) { ok = false; break; }
      cp = (cp << 6) | (in[i + k] & 0x3F);
    }
    if (!ok) {
      out[o++] = 0xFFFD;
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out[o++] = char16_t(0xD800 + (cp >> 10));
      out[o++] = char16_t(0xDC00 + (cp & 0x3FF));
    } else {
      out[o++] = char16_t(cp);
    }
    i += need + 1;
  }
  produced = o;
  return i;
}

std::size_t encodeUtf8(const char16_t* in, std::size_t n, char* out, std::size_t& produced, bool& loss,
                       bool final) {
  std::size_t i = 0, o = 0;
  while (i < n) {
    if (n - i >= 8) {
      std::uint64_t a, b;
      std::memcpy(&a, in + i, 8);
      std::memcpy(&b, in + i + 4, 8);
      if (((a | b) & 0xFF80FF80FF80FF80ull) == 0) {
        for (int k = 0; k < 8; ++k) out[o + k] = char(in[i + k]);
        i += 8;
        o += 8;
        continue;
      }
    }
    char32_t c = in[i];
    if (c < 0x80) {
      out[o++] = char(c);
      ++i;
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= n && !final) break;
      if (i + 1 < n && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00);
        out[o++] = char(0xF0 | (c >> 18));
        out[o++] = char(0x80 | ((c >> 12) & 0x3F));
        out[o++] = char(0x80 | ((c >> 6) & 0x3F));
        out[o++] = char(0x80 | (c & 0x3F));
        i += 2;
        continue;
      }
      c = 0xFFFD;
      loss = true;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      c = 0xFFFD;
      loss = true;
    }
    if (c < 0x800) {
      out[o++] = char(0xC0 | (c >> 6));
      out[o++] = char(0x80 | (c & 0x3F));
    } else {
      out[o++] = char(0xE0 | (c >> 12));
      out[o++] = char(0x80 | ((c >> 6) & 0x3F));
      out[o++] = char(0x80 | (c & 0x3F));
    }
    ++i;
  }
  produced = o;
  return i;
}

std::u16string utf8ToUtf16(std::string_view bytes, std::size_t* zeros) {
  std::u16string out(bytes.size(), u'\0');
  std::size_t produced = 0, z = 0;
  decodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out.data(), produced, z, true);
  out.resize(produced);
  if (zeros) *zeros = z;
  return out;
}

std::string utf16ToUtf8(std::u16string_view text, bool* loss) {
  std::string out(text.size() * 3, '\0');
  std::size_t produced = 0;
  bool l = false;
  encodeUtf8(text.data(), text.size(), out.data(), produced, l, true);
  out.resize(produced);
  if (loss) *loss = l;
  return out;
}

std::u16string utf32leToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size() / 4);
  for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + i);
    char32_t cp = char32_t(b[0]) | (char32_t(b[1]) << 8) | (char32_t(b[2]) << 16) | (char32_t(b[3]) << 24);
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += char16_t(0xD800 + (cp >> 10));
      out += char16_t(0xDC00 + (cp & 0x3FF));
    } else {
      out += char16_t(cp);
    }
  }
  return out;
}

std::string utf16ToUtf32le(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 4);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      // A surrogate takes the next unit as its second half; one at the very end is '?'.
      if (i + 1 < text.size()) c = 0x10000 + ((c - 0xD800) << 10) + ((text[++i] - 0xDC00) & 0x3FF);
      else c = u'?';
    }
    for (int k = 0; k < 4; ++k) out += char((c >> (8 * k)) & 0xFF);
  }
  return out;
}

bool passesUtf8Test(const unsigned char* in, std::size_t n) {
  std::size_t i = 0;
  while (i < n) {
    if (n - i >= 8 && (load64(in + i) & kHigh8) == 0) {
      i += 8;
      continue;
    }
    const unsigned char c = in[i++];
    if (c < 0x80) continue;
    std::size_t need;
    if (!(c & 0x20)) need = 1;
    else if (!(c & 0x10)) need = 2;
    else if (!(c & 0x08)) need = 3;
    else return false;
    if (n - i < need) return false;
    for (std::size_t k = 0; k < need; ++k)
      if (!(in[i + k] & 0x80)) return false;
    i += need;
  }
  return true;
}

}  // namespace xml::utf
