// Code-page conversion through iconv. "System ANSI code page" is the locale's codeset.
#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>

#include "TextCodec.h"
#include "Utf.h"

namespace xml::codec {
namespace {

struct CodePageName {
  int codePage;
  const char* name;
};

// Code pages of the charset table and glibc's names for them. Not served by iconv here (no
// converter exists), and read as the system code page instead: 720 (DOS Arabic), 853,
// 10001 to 10006, 10008, 10010, 10021, 10081, 10082 (the Mac CJK, Arabic, Hebrew, Greek,
// Romanian, Thai, Turkish and Croatian sets), 20001 to 20005 and 20105 (the old Taiwanese
// and IA5 sets), 20269, 29001, 52936 (HZ) and 57002 to 57011 (ISCII). 20000 is approximated
// by EUC-TW and 50221/50222 by ISO-2022-JP.
constexpr CodePageName kNames[] = {
    {154, "PT154"}, {437, "CP437"}, {708, "ASMO-708"}, {737, "CP737"}, {775, "CP775"},
    {850, "CP850"}, {852, "CP852"}, {855, "CP855"}, {857, "CP857"}, {858, "CP858"},
    {860, "CP860"}, {861, "CP861"}, {862, "CP862"}, {863, "CP863"}, {864, "CP864"},
    {865, "CP865"}, {866, "CP866"}, {869, "CP869"}, {874, "CP874"}, {932, "CP932"},
    {936, "CP936"}, {949, "CP949"}, {950, "CP950"}, {1125, "CP1125"}, {1133, "CP1133"},
    {1200, "UTF-16LE"}, {1201, "UTF-16BE"}, {1250, "CP1250"}, {1251, "CP1251"},
    {1252, "CP1252"}, {1253, "CP1253"}, {1254, "CP1254"}, {1255, "CP1255"}, {1256, "CP1256"},
    {1257, "CP1257"}, {1258, "CP1258"}, {1361, "JOHAB"}, {10000, "MACINTOSH"},
    {10007, "MAC-CYRILLIC"}, {10017, "MACUKRAINIAN"}, {10029, "MAC-CENTRALEUROPE"},
    {10079, "MAC-IS"}, {12000, "UTF-32LE"}, {12001, "UTF-32BE"}, {20000, "EUC-TW"},
    {20106, "ISO646-DE"}, {20107, "ISO646-SE"}, {20108, "ISO646-NO"}, {20127, "US-ASCII"},
    {20261, "T.61"}, {20866, "KOI8-R"}, {20932, "EUC-JP"}, {20936, "EUC-CN"},
    {20949, "EUC-KR"}, {21866, "KOI8-U"}, {28591, "ISO-8859-1"}, {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"}, {28594, "ISO-8859-4"}, {28595, "ISO-8859-5"},
    {28596, "ISO-8859-6"}, {28597, "ISO-8859-7"}, {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"}, {28603, "ISO-8859-13"}, {28605, "ISO-8859-15"},
    {38598, "ISO-8859-8"}, {50220, "ISO-2022-JP"}, {50221, "ISO-2022-JP"},
    {50222, "ISO-2022-JP"}, {50225, "ISO-2022-KR"}, {50227, "ISO-2022-CN"},
    {51932, "EUC-JP"}, {51936, "EUC-CN"}, {51949, "EUC-KR"}, {54936, "GB18030"},
    {65000, "UTF-7"}, {65001, "UTF-8"},
};

const char* systemName() {
  const char* cs = nl_langinfo(CODESET);
  return (cs && *cs) ? cs : "ANSI_X3.4-1968";
}

// An iconv descriptor that closes itself.
struct Iconv {
  iconv_t cd;
  Iconv(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd != iconv_t(-1); }
};

const char* nameOrSystem(int codePage) {
  const char* n = codePage == 0 ? systemName() : converterName(codePage);
  return n ? n : systemName();
}

}  // namespace

const char* converterName(int codePage) {
  if (codePage == 0) return systemName();
  for (const CodePageName& e : kNames)
    if (e.codePage == codePage) return e.name;
  return nullptr;
}

bool systemCodePageIsUtf8() {
  const char* n = systemName();
  return std::strcmp(n, "UTF-8") == 0 || std::strcmp(n, "utf8") == 0;
}

std::u16string toUtf16(int codePage, std::string_view bytes) {
  Iconv cv("UTF-16LE", nameOrSystem(codePage));
  if (!cv.ok()) {
    // Nothing can read it: keep every byte as the code point of the same value.
    return std::u16string(reinterpret_cast<const unsigned char*>(bytes.data()),
                          reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size());
  }
  std::u16string out;
  out.resize(bytes.size() + 16);
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::size_t used = 0;
  while (inLeft > 0) {
    if (out.size() - used < 16) out.resize(out.size() * 2);
    char* o = reinterpret_cast<char*>(out.data() + used);
    std::size_t oLeft = (out.size() - used) * 2;
    const std::size_t before = oLeft;
    const std::size_t r = iconv(cv.cd, &in, &inLeft, &o, &oLeft);
    used += (before - oLeft) / 2;
    if (r != std::size_t(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
    } else {  // EILSEQ or EINVAL: one undecodable byte
      out[used++] = 0xFFFD;
      ++in;
      --inLeft;
      iconv(cv.cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  out.resize(used);
  return out;
}

std::string fromUtf16(int codePage, std::u16string_view text, bool& loss) {
  Iconv cv(nameOrSystem(codePage), "UTF-16LE");
  if (!cv.ok()) return utf::utf16ToUtf8(text, &loss);
  std::string out;
  out.resize(text.size() * 2 + 16);
  char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
  std::size_t inLeft = text.size() * 2;
  std::size_t used = 0;
  for (;;) {
    char* o = out.data() + used;
    std::size_t oLeft = out.size() - used;
    const std::size_t before = oLeft;
    std::size_t r = iconv(cv.cd, inLeft ? &in : nullptr, &inLeft, &o, &oLeft);
    used += before - oLeft;
    if (r != std::size_t(-1)) {
      if (inLeft == 0) {
        // Flush any shift state.
        o = out.data() + used;
        oLeft = out.size() - used;
        if (oLeft < 16) { out.resize(out.size() + 16); o = out.data() + used; oLeft = out.size() - used; }
        const std::size_t b2 = oLeft;
        iconv(cv.cd, nullptr, nullptr, &o, &oLeft);
        used += b2 - oLeft;
        break;
      }
      continue;
    }
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // A character the code page cannot hold (or a broken surrogate): '?' in its place.
    loss = true;
    if (out.size() - used < 1) out.resize(out.size() * 2);
    out[used++] = '?';
    char16_t u;
    std::memcpy(&u, in, sizeof u);
    std::size_t skip = (u >= 0xD800 && u <= 0xDBFF && inLeft >= 4) ? 4 : 2;
    if (inLeft < skip) skip = inLeft;
    in += skip;
    inLeft -= skip;
  }
  out.resize(used);
  return out;
}

}  // namespace xml::codec
