// Code-page conversion through the platform's own converters, MultiByteToWideChar and
// WideCharToMultiByte. Code page 0 is the system ANSI code page (CP_ACP).
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>

#include "TextCodec.h"

namespace xml::codec {
namespace {

// The converters take int lengths; longer buffers go through in pieces of this size.
constexpr std::size_t kPiece = std::size_t(1) << 30;

// Code pages for which WideCharToMultiByte refuses flags and the used-default report: the
// stateful and the Unicode ones (ISO-2022, HZ, GB18030, ISCII, UTF-7, UTF-8).
bool refusesLossReport(UINT cp) {
  switch (cp) {
  case 50220: case 50221: case 50222: case 50225: case 50227: case 50229:
  case 52936: case 54936: case 65000: case 65001:
    return true;
  default:
    return cp >= 57002 && cp <= 57011;
  }
}

// The code page to hand to the platform: one it cannot serve is read as the system one.
UINT platformCodePage(int codePage) {
  if (codePage <= 0) return CP_ACP;
  const UINT cp = static_cast<UINT>(codePage);
  return IsValidCodePage(cp) ? cp : CP_ACP;
}

// Where a piece of at most `limit` bytes may end without cutting a double-byte character
// in two. Single-byte code pages cut anywhere.
std::size_t pieceEnd(UINT cp, std::string_view bytes, std::size_t limit) {
  if (bytes.size() <= limit) return bytes.size();
  CPINFO info{};
  if (!GetCPInfo(cp, &info) || info.MaxCharSize < 2) return limit;
  std::size_t i = 0;
  while (i < limit) {
    const std::size_t step =
        IsDBCSLeadByteEx(cp, static_cast<BYTE>(bytes[i])) ? 2 : 1;
    if (i + step > limit) break;
    i += step;
  }
  return i == 0 ? limit : i;
}

}  // namespace

const char* converterName(int codePage) {
  // Names are kept for the life of the process, so the pointers handed out stay valid.
  static std::mutex lock;
  static std::map<int, std::string> names;
  const UINT cp = codePage <= 0 ? GetACP() : static_cast<UINT>(codePage);
  if (!IsValidCodePage(cp)) return nullptr;
  std::lock_guard guard(lock);
  auto [it, added] = names.try_emplace(static_cast<int>(cp));
  if (added) {
    char text[16];
    std::snprintf(text, sizeof text, "CP%u", cp);
    it->second = text;
  }
  return it->second.c_str();
}

bool systemCodePageIsUtf8() { return GetACP() == CP_UTF8; }

std::u16string toUtf16(int codePage, std::string_view bytes) {
  static_assert(sizeof(wchar_t) == sizeof(char16_t));
  const UINT cp = platformCodePage(codePage);
  std::u16string out;
  while (!bytes.empty()) {
    const std::size_t n = pieceEnd(cp, bytes, kPiece);
    const int inLength = static_cast<int>(n);
    // First pass measures, second converts. Undecodable bytes come out as the platform's
    // replacement character.
    const int needed = MultiByteToWideChar(cp, 0, bytes.data(), inLength, nullptr, 0);
    if (needed <= 0) {
      // Nothing can read it: keep every byte as the code point of the same value.
      for (std::size_t i = 0; i < n; ++i) out.push_back(static_cast<unsigned char>(bytes[i]));
    } else {
      const std::size_t at = out.size();
      out.resize(at + static_cast<std::size_t>(needed));
      const int made = MultiByteToWideChar(cp, 0, bytes.data(), inLength,
                                           reinterpret_cast<wchar_t*>(out.data() + at), needed);
      out.resize(at + static_cast<std::size_t>(std::max(made, 0)));
    }
    bytes.remove_prefix(n);
  }
  return out;
}

std::string fromUtf16(int codePage, std::u16string_view text, bool& loss) {
  const UINT cp = platformCodePage(codePage);
  // Without best-fit mapping a character the code page cannot hold becomes '?' and is
  // reported, instead of turning silently into a look-alike ("ā" into "a").
  const bool report = !refusesLossReport(cp);
  const DWORD flags = report ? WC_NO_BEST_FIT_CHARS : 0;
  const char* defaultChar = report ? "?" : nullptr;
  std::string out;
  while (!text.empty()) {
    std::size_t n = std::min(text.size(), kPiece);
    // A piece never ends between the two halves of a surrogate pair.
    if (n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
    const auto* in = reinterpret_cast<const wchar_t*>(text.data());
    const int inLength = static_cast<int>(n);
    BOOL usedDefault = FALSE;
    const int needed = WideCharToMultiByte(cp, flags, in, inLength, nullptr, 0, defaultChar,
                                           report ? &usedDefault : nullptr);
    if (needed > 0) {
      const std::size_t at = out.size();
      out.resize(at + static_cast<std::size_t>(needed));
      usedDefault = FALSE;
      const int made = WideCharToMultiByte(cp, flags, in, inLength, out.data() + at, needed,
                                           defaultChar, report ? &usedDefault : nullptr);
      out.resize(at + static_cast<std::size_t>(std::max(made, 0)));
      if (made <= 0) loss = true;
    } else {
      loss = true;  // the platform converted nothing of it
    }
    if (usedDefault) loss = true;
    text.remove_prefix(n);
  }
  return out;
}

}  // namespace xml::codec
