#include "NodeScanner.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace xml {
namespace {

// Notes beyond what the report can hold are of no use; this bounds the buffer.
constexpr std::size_t kMaxPendingNotes = 1000;

bool startsStartTag(char16_t c) {
  return (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' || c > 0x60;
}

// The characters at which GetTagName stops but the scanner does not: ! " ' ; < = ? and '\'.
constexpr std::uint64_t kNameStops = (1ull << u'!') | (1ull << u'"') | (1ull << u'\'') | (1ull << u';') |
                                     (1ull << u'<') | (1ull << u'=') | (1ull << u'?');
bool holdsNameStop(const char16_t* p, const char16_t* end) {
  for (; p < end; ++p) {
    const char16_t c = *p;
    if (c < 64 ? (kNameStops >> c) & 1 : c == u'\\') return true;
  }
  return false;
}

}  // namespace

const char16_t* NodeScanner::findChar(const char16_t* p, const char16_t* end, char16_t c) {
#if defined(__SSE2__)
  const __m128i needle = _mm_set1_epi16(short(c));
  while (end - p >= 8) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, needle));
    if (mask) return p + (__builtin_ctz(unsigned(mask)) >> 1);
    p += 8;
  }
#endif
  while (p < end && *p != c) ++p;
  return p;
}

const char16_t* NodeScanner::findEither(const char16_t* p, const char16_t* end, char16_t a, char16_t b) {
#if defined(__SSE2__)
  const __m128i na = _mm_set1_epi16(short(a));
  const __m128i nb = _mm_set1_epi16(short(b));
  while (end - p >= 8) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(block, na), _mm_cmpeq_epi16(block, nb)));
    if (mask) return p + (__builtin_ctz(unsigned(mask)) >> 1);
    p += 8;
  }
#endif
  while (p < end && *p != a && *p != b) ++p;
  return p;
}

const char16_t* NodeScanner::findEscapable(const char16_t* p, const char16_t* end) {
#if defined(__SSE2__)
  const __m128i amp = _mm_set1_epi16(short(u'&')), lt = _mm_set1_epi16(short(u'<'));
  const __m128i gt = _mm_set1_epi16(short(u'>')), quot = _mm_set1_epi16(short(u'"'));
  const __m128i apos = _mm_set1_epi16(short(u'\''));
  while (end - p >= 8) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hit = _mm_or_si128(
        _mm_or_si128(_mm_cmpeq_epi16(block, amp), _mm_cmpeq_epi16(block, lt)),
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(block, gt), _mm_cmpeq_epi16(block, quot)),
                     _mm_cmpeq_epi16(block, apos)));
    const int mask = _mm_movemask_epi8(hit);
    if (mask) return p + (__builtin_ctz(unsigned(mask)) >> 1);
    p += 8;
  }
#endif
  for (; p < end; ++p) {
    const char16_t c = *p;
    if (c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\'') break;
  }
  return p;
}

const char16_t* NodeScanner::endOfTagName(const char16_t* p, const char16_t* end) {
  while (p < end && !isXmlSpace(*p) && *p != u'/' && *p != u'>') ++p;
  return p;
}

void NodeScanner::note(std::u16string_view name, std::u16string_view type, std::uint32_t offset) {
  if (notes_.size() < kMaxPendingNotes) notes_.push_back({name, type, offset});
}

ScannedNode NodeScanner::unterminated(std::uint32_t start, std::u16string_view type) {
  note(u"unterminated_tag_syntax", type, start);
  return {NODE_ERROR, start, n_ - start};
}

ScannedNode NodeScanner::errorNode(std::uint32_t start, std::u16string_view name) {
  note(name, {}, start);
  // Skip to the next '>' (included) or up to the next '<' (excluded).
  const char16_t* p = findEither(t_ + start + 1, t_ + n_, u'>', u'<');
  if (p == t_ + n_) return unterminated(start, u"tag");
  std::uint32_t end = std::uint32_t(p - t_) + (*p == u'>' ? 1 : 0);
  return {NODE_ERROR, start, end - start};
}

std::uint32_t NodeScanner::endOfName(std::uint32_t i, bool stopAtQuestion) const {
  if (!stopAtQuestion) return std::uint32_t(endOfTagName(t_ + i, t_ + n_) - t_);
  while (i < n_) {
    char16_t c = t_[i];
    if (isXmlSpace(c) || c == u'/' || c == u'>' || (stopAtQuestion && c == u'?')) break;
    ++i;
  }
  return i;
}

std::uint32_t NodeScanner::endOfStartTag(std::uint32_t i, bool& empty) const {
  // Outside values only '=' and '>' matter; a value after '=' is quoted or runs to
  // whitespace or '>'.
  const char16_t* end = t_ + n_;
  const char16_t* p = t_ + i;
  for (;;) {
    // Names and the blanks between attributes are short: a plain loop that passes over
    // everything above '>' with one comparison beats a block search here.
    for (;; ++p) {
      if (p == end) return npos;
      const char16_t c = *p;
      if (c > u'>') continue;
      if (c == u'=' || c == u'>') break;
    }
    if (*p == u'>') {
      empty = p[-1] == u'/';
      return std::uint32_t(p - t_) + 1;
    }
    ++p;  // past '='
    while (p < end && isXmlSpace(*p)) ++p;
    if (p == end) return npos;
    if (*p == u'"' || *p == u'\'') {
      const char16_t q = *p++;
      p = findChar(p, end, q);
      if (p == end) return npos;
      ++p;
      continue;
    }
    while (p < end && !isXmlSpace(*p) && *p != u'>') ++p;
    if (p == end) return npos;
    if (*p == u'>') {  // the slash before it belongs to the unquoted value
      empty = false;
      return std::uint32_t(p - t_) + 1;
    }
  }
}

std::uint32_t NodeScanner::endOfMarkedSection(std::uint32_t from, char16_t c) const {
  // `from` is the first offset at which the closing '>' may stand.
  const char16_t* end = t_ + n_;
  const char16_t* p = t_ + from;
  const bool two = c != u'?';
  for (;;) {
    p = findChar(p, end, u'>');
    if (p == end) return npos;
    if (p[-1] == c && (!two || p[-2] == c)) return std::uint32_t(p - t_) + 1;
    ++p;
  }
}

ScannedNode NodeScanner::scanDocumentType(std::uint32_t start) {
  std::uint32_t i = start + 3;
  // After a note inside the declaration, the scan resumes after the next '>'.
  auto skipPastGt = [&](std::uint32_t from) -> bool {
    const char16_t* p = findChar(t_ + from, t_ + n_, u'>');
    if (p == t_ + n_) return false;
    i = std::uint32_t(p - t_) + 1;
    return true;
  };
  while (i < n_) {
    char16_t c = t_[i];
    if (c == u'>') return {NODE_DOCUMENT_TYPE, start, i + 1 - start};
    if (c != u'<') {
      ++i;
      continue;
    }
    const std::uint32_t m = i;
    if (m + 1 >= n_) break;
    char16_t c1 = t_[m + 1];
    std::uint32_t end = npos;
    if (c1 == u'!') {
      if (m + 2 >= n_) break;
      char16_t c2 = t_[m + 2];
      if (c2 == u'A' || c2 == u'E' || c2 == u'N') {
        // Markup declaration: quotes toggle wherever they stand.
        char16_t quote = 0;
        std::uint32_t j = m + 3;
        for (; j < n_; ++j) {
          char16_t d = t_[j];
          if (quote) {
            if (d == quote) quote = 0;
          } else if (d == u'"' || d == u'\'') {
            quote = d;
          } else if (d == u'>') {
            break;
          }
        }
        if (j < n_) end = j + 1;
      } else if (c2 == u'-') {
        if (m + 3 >= n_) break;
        if (t_[m + 3] != u'-') {
          note(u"comment_tag_syntax", {}, m);
          if (!skipPastGt(m + 1)) break;
          continue;
        }
        end = endOfMarkedSection(m + 4, u'-');
      } else {
        note(u"doctype_tag_syntax", {}, m);
        if (!skipPastGt(m + 1)) break;
        continue;
      }
    } else if (c1 == u'?') {
      end = endOfMarkedSection(m + 2, u'?');
    } else if (c1 == u'/') {
      const char16_t* p = findChar(t_ + m + 2, t_ + n_, u'>');
      if (p != t_ + n_) end = std::uint32_t(p - t_) + 1;
    } else if (startsStartTag(c1)) {
      bool empty = false;
      end = endOfStartTag(endOfName(m + 1, false), empty);
    } else {
      note(u"first_tag_syntax", {}, m);
      if (!skipPastGt(m + 1)) break;
      continue;
    }
    if (end == npos) break;
    i = end;
  }
  return unterminated(start, u"document_type");
}

ScannedNode NodeScanner::scan(std::uint32_t pos) {
  if (pos >= n_) return {NODE_END_OF_TEXT, n_, 0};
  const char16_t* end = t_ + n_;
  char16_t c = t_[pos];
  if (c != u'<') {
    std::uint32_t i = pos;
    if (isXmlSpace(c)) {
      ++i;
      while (i < n_ && isXmlSpace(t_[i])) ++i;
      if (i == n_ || t_[i] == u'<') return {NODE_WHITESPACE, pos, i - pos};
    }
    const char16_t* p = findChar(t_ + i, end, u'<');
    return {NODE_TEXT, pos, std::uint32_t(p - t_) - pos};
  }
  const std::uint32_t i = pos + 1;
  if (i >= n_) return unterminated(pos, u"tag");
  const char16_t c1 = t_[i];
  if (c1 == u'/') {
    std::uint32_t nameEnd = endOfName(i + 1, false);
    const char16_t* p = findChar(t_ + nameEnd, end, u'>');
    if (p == end) return unterminated(pos, u"end_tag");
    ScannedNode node{NODE_END_TAG, pos, std::uint32_t(p - t_) + 1 - pos};
    node.nameStart = i + 1;
    node.nameLength = nameEnd - (i + 1);
    return node;
  }
  if (c1 == u'?') {
    std::uint32_t nameEnd = endOfName(i + 1, true);
    std::uint32_t close = endOfMarkedSection(i + 1, u'?');
    if (close == npos) return unterminated(pos, u"processing_instruction");
    ScannedNode node{NODE_PROCESSING_INSTRUCTION, pos, close - pos};
    node.nameStart = i + 1;
    node.nameLength = nameEnd - (i + 1);
    return node;
  }
  if (c1 == u'!') {
    if (i + 1 >= n_) return unterminated(pos, u"tag");
    const char16_t c2 = t_[i + 1];
    if (c2 == u'-') {
      if (i + 2 >= n_) return unterminated(pos, u"tag");
      if (t_[i + 2] != u'-') return errorNode(pos, u"comment_tag_syntax");
      std::uint32_t close = endOfMarkedSection(pos + 4, u'-');
      if (close == npos) return unterminated(pos, u"comment");
      return {NODE_COMMENT, pos, close - pos};
    }
    if (c2 == u'[') {
      if (i + 2 >= n_) return unterminated(pos, u"tag");
      if (t_[i + 2] != u'C') return errorNode(pos, u"cdata_section_syntax");
      std::uint32_t close = endOfMarkedSection(pos + 4, u']');
      if (close == npos) return unterminated(pos, u"cdata_section");
      return {NODE_CDATA_SECTION, pos, close - pos};
    }
    if (c2 == u'D') return scanDocumentType(pos);
    return errorNode(pos, u"exclamation_tag_syntax");
  }
  if (!startsStartTag(c1)) return errorNode(pos, u"first_tag_syntax");
  const std::uint32_t nameEnd = endOfName(i, false);
  bool empty = false;
  const std::uint32_t close = endOfStartTag(nameEnd, empty);
  if (close == npos) return unterminated(pos, u"start_tag");
  ScannedNode node{NODE_ELEMENT, pos, close - pos};
  node.nameStart = i;
  node.nameLength = nameEnd - i;
  node.empty = empty;
  node.nameSyntax = holdsNameStop(t_ + i, t_ + nameEnd);
  return node;
}

}  // namespace xml
