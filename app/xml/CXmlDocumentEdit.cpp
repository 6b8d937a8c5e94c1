// Editing: AddElement and SetAttribute splice the text in place and keep the index in step.
#include <cstring>
#include <memory>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "CXmlDocument.h"
#include "NodeScanner.h"

using namespace xml;

namespace {

constexpr std::size_t kMaxTextLength = 0xFFFFFFFEu;

bool isNameStartForReference(char16_t c) {
  return c == u'#' || c == u':' || c == u'_' || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c > 0x7F;
}
bool isNameCharForReference(char16_t c) {
  return c == u'-' || c == u'.' || (c >= u'0' && c <= u'9') || c == u':' || c == u'_' ||
         (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c > 0x7F;
}

// Length of the well-formed reference starting at text[i] == '&', or 0.
std::size_t referenceLength(std::u16string_view text, std::size_t i) {
  std::size_t j = i + 1;
  if (j >= text.size() || !isNameStartForReference(text[j])) return 0;
  ++j;
  while (j < text.size() && isNameCharForReference(text[j])) ++j;
  if (j >= text.size() || text[j] != u';') return 0;
  return j + 1 - i;
}

// Copies `s` to `o` and returns the end of the copy.
char16_t* putUnits(char16_t* o, std::u16string_view s) {
  if (!s.empty()) std::memcpy(o, s.data(), s.size() * sizeof(char16_t));
  return o + s.size();
}

// The units `text` takes once escaped; with NODEFLAG_KEEP_REFERENCES an upper bound.
std::size_t escapedLength(std::u16string_view text, bool quotes) {
  const char16_t* p = text.data();
  const char16_t* const end = p + text.size();
  std::size_t n = text.size();
#if defined(__SSE2__)
  // Eight units at a time: each markup character adds its entity's length less one. The
  // byte mask has two bits per matching unit.
  const __m128i amp = _mm_set1_epi16(short(u'&')), lt = _mm_set1_epi16(short(u'<'));
  const __m128i gt = _mm_set1_epi16(short(u'>')), quot = _mm_set1_epi16(short(u'"'));
  const __m128i apos = _mm_set1_epi16(short(u'\''));
  std::size_t doubled = 0;
  for (; end - p >= 8; p += 8) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned a = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(block, amp)));
    const unsigned g = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(block, lt), _mm_cmpeq_epi16(block, gt))));
    doubled += 4 * std::size_t(__builtin_popcount(a)) + 3 * std::size_t(__builtin_popcount(g));
    if (quotes) {
      const unsigned q = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(block, quot), _mm_cmpeq_epi16(block, apos))));
      doubled += 5 * std::size_t(__builtin_popcount(q));
    }
  }
  n += doubled / 2;
#endif
  for (; p < end; ++p) {
    switch (*p) {
      case u'&': n += 4; break;
      case u'<': case u'>': n += 3; break;
      case u'"': case u'\'': n += quotes ? 5 : 0; break;
      default: break;
    }
  }
  return n;
}

// Writes `text` escaped at `o` (room for escapedLength units) and returns the end. Plain runs
// are copied whole: values of megabytes are escaped at the speed of a copy.
char16_t* writeEscaped(char16_t* o, std::u16string_view text, unsigned nodeFlags) {
  const bool quotes = nodeFlags & NODEFLAG_ESCAPE_QUOTES;
  const bool keep = nodeFlags & NODEFLAG_KEEP_REFERENCES;
  const char16_t* const begin = text.data();
  const char16_t* const end = begin + text.size();
  for (const char16_t* p = begin; p < end;) {
    const char16_t* q = NodeScanner::findEscapable(p, end);
    o = putUnits(o, std::u16string_view(p, std::size_t(q - p)));
    // Then every markup character up to the next plain one, unit by unit: a value that is
    // nothing but '&' costs a few stores per character, not a call.
    for (p = q; p < end; ++p) {
      const char16_t c = *p;
      if (c == u'&') {
        if (keep) {
          if (const std::size_t len = referenceLength(text, std::size_t(p - begin))) {
            o = putUnits(o, std::u16string_view(p, len));
            p += len - 1;
            continue;
          }
        }
        o[0] = u'&', o[1] = u'a', o[2] = u'm', o[3] = u'p', o[4] = u';';
        o += 5;
      } else if (c == u'<' || c == u'>') {
        o[0] = u'&', o[1] = c == u'<' ? u'l' : u'g', o[2] = u't', o[3] = u';';
        o += 4;
      } else if ((c == u'"' || c == u'\'') && quotes) {
        o = putUnits(o, c == u'"' ? std::u16string_view(u"&quot;") : std::u16string_view(u"&apos;"));
      } else if (c == u'"' || c == u'\'') {
        *o++ = c;
      } else {
        break;  // the next plain run
      }
    }
  }
  return o;
}

}  // namespace

std::u16string CXmlDocument::EscapeText(std::u16string_view text, unsigned nodeFlags) {
  // Written into a buffer that is not filled first: filling a string of char16_t goes unit
  // by unit, which a build without optimisation makes costly on megabytes.
  const auto buf = std::make_unique_for_overwrite<char16_t[]>(escapedLength(text, nodeFlags & NODEFLAG_ESCAPE_QUOTES));
  return std::u16string(buf.get(), std::size_t(writeEscaped(buf.get(), text, nodeFlags) - buf.get()));
}

void CXmlDocument::shiftSubtree(std::uint32_t root, std::int64_t delta) {
  std::uint32_t x = root;
  for (;;) {
    ElementRecord& r = index_[x];
    r.start = std::uint32_t(std::int64_t(r.start) + delta);
    if (r.firstChild) {
      x = r.firstChild;
      continue;
    }
    while (x != root && index_[x].nextSibling == 0) x = index_[x].parent;
    if (x == root) return;
    x = index_[x].nextSibling;
  }
}

// After a change of `delta` units inside element `from` (or just before it, for a new
// element): its children (when asked), every later sibling of it and of each ancestor move,
// and every ancestor, record 0 included, grows.
void CXmlDocument::shiftAfter(std::uint32_t from, std::int64_t delta, bool includeChildren) {
  if (delta == 0) return;
  if (includeChildren)
    for (std::uint32_t c = index_[from].firstChild; c; c = index_[c].nextSibling) shiftSubtree(c, delta);
  std::uint32_t node = from;
  for (;;) {
    for (std::uint32_t s = index_[node].nextSibling; s; s = index_[s].nextSibling) shiftSubtree(s, delta);
    const std::uint32_t p = index_[node].parent;
    index_[p].length = std::uint32_t(std::int64_t(index_[p].length) + delta);
    if (p == 0) return;
    node = p;
  }
}

XmlOutcome CXmlDocument::AddElement(std::u16string_view name, std::u16string_view data, unsigned nodeFlags) {
  if (flags_ & DOCFLAG_READ_FILE) return {XmlStatus::FileModeActive};
  if ((nodeFlags & NODEFLAG_NO_END_TAG) && !data.empty()) return {XmlStatus::InvalidArgument};
  if (!index_.built()) SetDocumentText(std::u16string_view{});

  const bool lines = !(nodeFlags & NODEFLAG_NO_LINES);
  const bool before = nodeFlags & NODEFLAG_INSERT_BEFORE;
  const std::u16string_view crlf = lines ? std::u16string_view(u"\r\n") : std::u16string_view();

  // The element's own text.
  std::u16string element = u"<";
  element += name;
  std::uint32_t startTagLen, endTagLen = 0;
  bool unended = false;
  if (data.empty()) {
    if (nodeFlags & NODEFLAG_NO_END_TAG) {
      element += u'>';
      unended = true;
    } else {
      element += (nodeFlags & NODEFLAG_SPACE_BEFORE_SLASH) ? u" />" : u"/>";
    }
    startTagLen = std::uint32_t(element.size());
  } else {
    element += u'>';
    if (nodeFlags & NODEFLAG_CDATA) {
      element += u"<![CDATA[";
      for (std::size_t i = 0; i < data.size(); ++i) {
        if (data.substr(i, 3) == u"]]>") {
          element += u"]]]]><![CDATA[>";
          i += 2;
        } else {
          element += data[i];
        }
      }
      element += u"]]>";
    } else {
      element += EscapeText(data, nodeFlags);
    }
    element += u"</";
    element += name;
    element += u'>';
    startTagLen = std::uint32_t(name.size() + 2);
    endTagLen = std::uint32_t(name.size() + 3);
  }

  // Parent and reference.
  std::uint32_t P, R;
  if (nodeFlags & NODEFLAG_AS_CHILD) {
    if (!current_) return {XmlStatus::NoCurrentElement};
    P = current_;
    R = child_;
  } else {
    P = parent_;
    R = current_;
  }

  // Where the text goes.
  const ElementRecord& p = index_[P];
  const std::uint32_t pStartTag = P ? StartTagLength(P) : 0;
  const std::uint32_t pEndTag = P ? EndTagLength(P) : 0;
  const bool pUnended = P && (p.levelFlags & ELEMENT_UNENDED);
  std::uint32_t at = 0, removed = 0;
  std::uint32_t elementOffset = 0;  // of the new '<' within the inserted text
  std::u16string ins;
  enum { Plain, OpenEmpty, OpenUnended } mode = Plain;
  const bool replace = nodeFlags & NODEFLAG_REPLACE_CONTENT;
  bool spaceBeforeGt = false;  // an opened "<p//>" becomes "<p/ >", which does not read as empty

  if (P && p.length == pStartTag) {
    // "<p/>" (or an unended "<p>") opens to hold the new element.
    const std::u16string_view pName = scannedNameOf(P);
    mode = pUnended ? OpenUnended : OpenEmpty;
    at = p.start + p.length - (pUnended ? 1 : 2);  // before the final '>' or at the '/'
    if (mode == OpenEmpty) removed = 1;
    // The scanner calls a start tag empty when its '>' follows a '/': where another '/' stands
    // before the one replaced, a space keeps the opened tag from reading as empty again.
    spaceBeforeGt = mode == OpenEmpty && at > p.start && text_[at - 1] == u'/';
    ins = spaceBeforeGt ? u" >" : u">";
    ins += crlf;
    elementOffset = std::uint32_t(ins.size());
    ins += element;
    ins += crlf;
    ins += u"</";
    ins += pName;
  } else {
    const std::uint32_t contentStart = p.start + pStartTag;
    const std::uint32_t contentEnd = P ? p.start + p.length - pEndTag : std::uint32_t(text_.size());
    if (replace) {
      at = contentStart;
      removed = contentEnd - contentStart;
    }
    if (P && (replace || contentEnd == contentStart)) {
      at = contentStart;
      ins = crlf;
      elementOffset = std::uint32_t(ins.size());
      ins += element;
      ins += crlf;
    } else if (replace) {  // the whole text of the document
      ins = element;
      ins += crlf;
    } else {
      if (R) at = before ? index_[R].start : index_[R].start + index_[R].length;
      else at = before ? contentStart : contentEnd;
      // Whitespace up to the next '<' (or the end) stays before the new element.
      std::uint32_t k = at;
      while (k < text_.size() && isXmlSpace(text_[k])) ++k;
      if (k == text_.size() || text_[k] == u'<') at = k;
      ins = element;
      ins += crlf;
    }
  }
  if (text_.size() - removed + ins.size() > kMaxTextLength) return {XmlStatus::TooLarge, at};

  // Unlink what a replaced content held; its records stay unused.
  if (replace && mode == Plain) {
    index_[P].firstChild = 0;
    if (R && !(nodeFlags & NODEFLAG_AS_CHILD)) R = 0;
    if (nodeFlags & NODEFLAG_AS_CHILD) R = 0;
  }

  text_.replace(at, removed, ins);
  const std::int64_t delta = std::int64_t(ins.size()) - std::int64_t(removed);

  const std::uint32_t idx = newRecord();
  ElementRecord& r = index_[idx];
  r = ElementRecord{};
  r.start = at + elementOffset;
  r.length = std::uint32_t(element.size());
  setStartTagLength(idx, startTagLen);
  setEndTagLength(idx, endTagLen);
  r.levelFlags = (P ? std::min<std::uint32_t>((index_[P].levelFlags & ELEMENT_LEVEL_MASK) + 1, ELEMENT_LEVEL_MASK) : 0) |
                 (unended ? ELEMENT_UNENDED : 0);
  r.parent = P;

  // Link it.
  ElementRecord& pr = index_[P];
  if (mode != Plain) {
    if (mode == OpenEmpty) setStartTagLength(P, pStartTag - (spaceBeforeGt ? 0 : 1));
    pr.levelFlags &= ~ELEMENT_UNENDED;
    setEndTagLength(P, std::uint32_t(scannedNameOf(P).size() + 3));
    linkAsLastChild(P, idx);
  } else if (R && !before) {
    ElementRecord& rr = index_[R];
    r.nextSibling = rr.nextSibling;
    r.prevSibling = R;
    if (rr.nextSibling) index_[rr.nextSibling].prevSibling = idx;
    else index_[pr.firstChild].prevSibling = idx;
    rr.nextSibling = idx;
  } else if (R && before) {
    ElementRecord& rr = index_[R];
    r.nextSibling = R;
    r.prevSibling = rr.prevSibling;
    if (rr.levelFlags & ELEMENT_FIRST_CHILD) {
      rr.levelFlags &= ~ELEMENT_FIRST_CHILD;
      r.levelFlags |= ELEMENT_FIRST_CHILD;
      pr.firstChild = idx;
    } else {
      index_[rr.prevSibling].nextSibling = idx;
    }
    rr.prevSibling = idx;
  } else if (before && pr.firstChild) {
    ElementRecord& old = index_[pr.firstChild];
    r.nextSibling = pr.firstChild;
    r.prevSibling = old.prevSibling;
    old.prevSibling = idx;
    old.levelFlags &= ~ELEMENT_FIRST_CHILD;
    r.levelFlags |= ELEMENT_FIRST_CHILD;
    pr.firstChild = idx;
  } else {
    linkAsLastChild(P, idx);
  }

  shiftAfter(idx, delta, false);

  if (nodeFlags & NODEFLAG_AS_CHILD) {
    child_ = idx;
  } else {
    parent_ = P;
    current_ = idx;
    child_ = 0;
  }
  nodeKind_ = NODE_ELEMENT;
  return {};
}

bool CXmlDocument::overlapsText(std::u16string_view s) const {
  const auto b = reinterpret_cast<std::uintptr_t>(text_.data());
  const auto p = reinterpret_cast<std::uintptr_t>(s.data());
  return !s.empty() && p >= b && p < b + text_.size() * sizeof(char16_t);
}

XmlOutcome CXmlDocument::SetAttribute(std::u16string_view name, long long value) {
  // Signed decimal, as "%d" writes it.
  char16_t buf[24];
  char16_t* end = buf + 24;
  char16_t* p = end;
  unsigned long long v = value < 0 ? 0ull - (unsigned long long)value : (unsigned long long)value;
  do {
    *--p = char16_t(u'0' + v % 10);
    v /= 10;
  } while (v);
  if (value < 0) *--p = u'-';
  return SetAttribute(name, std::u16string_view(p, std::size_t(end - p)));
}

XmlOutcome CXmlDocument::SetAttribute(std::u16string_view name, std::u16string_view value) {
  if (flags_ & DOCFLAG_READ_FILE) return {XmlStatus::FileModeActive};
  if (!current_) return {XmlStatus::NoCurrentElement};
  if (overlapsText(name) || overlapsText(value)) {
    const std::u16string ownName(name), ownValue(value);  // the text is about to move
    return SetAttribute(ownName, ownValue);
  }

  const AttributeSpan a = findAttribute(current_, name);
  std::uint32_t at, removed = 0;
  std::u16string_view lead;  // what goes before the quoted value
  if (a.found && a.hasEquals) {
    at = a.tokenStart;
    removed = a.tokenEnd - a.tokenStart;
  } else if (a.found) {  // written without '=': the bare name gets its value
    at = a.valueEnd;
    lead = u"=";
  } else {
    at = a.lastTokenEnd;
  }
  // The new text is sized first and written once, into a buffer that is not filled first:
  // " name=" (for a new attribute) or "=", then the escaped value in double quotes. A value
  // of megabytes then costs one pass of escaping and one splice. Attribute mode keeps no
  // references, so escapedLength is exact here.
  const std::size_t newName = a.found ? 0 : name.size() + 2;
  const std::size_t insLen = newName + lead.size() + escapedLength(value, true) + 2;
  if (text_.size() - removed + insLen > kMaxTextLength) return {XmlStatus::TooLarge, at};
  const auto ins = std::make_unique_for_overwrite<char16_t[]>(insLen);
  char16_t* o = ins.get();
  if (!a.found) {
    *o++ = u' ';
    o = putUnits(o, name);
    *o++ = u'=';
  }
  o = putUnits(putUnits(o, lead), u"\"");
  o = writeEscaped(o, value, NODEFLAG_ESCAPE_QUOTES);
  *o = u'"';
  text_.replace(at, removed, ins.get(), insLen);
  const std::int64_t delta = std::int64_t(insLen) - std::int64_t(removed);
  ElementRecord& r = index_[current_];
  setStartTagLength(current_, std::uint32_t(std::int64_t(StartTagLength(current_)) + delta));
  r.length = std::uint32_t(std::int64_t(r.length) + delta);
  shiftAfter(current_, delta, true);
  return {};
}
