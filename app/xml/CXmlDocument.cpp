#include "CXmlDocument.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "NodeScanner.h"
#include "XmlEntities.h"
#include "XmlNotes.h"

using namespace xml;

namespace {

// Offsets are 32-bit; the last value stays free so that "end" never wraps.
constexpr std::size_t kMaxTextLength = 0xFFFFFFFEu;

bool endsTagName(char16_t c) {
  switch (c) {
    case u' ': case u'\t': case u'\n': case u'\r':
    case u'!': case u'"': case u'\'': case u'/': case u';': case u'<': case u'=': case u'>': case u'?': case u'\\':
      return true;
    default:
      return false;
  }
}

// Decodes the reference whose name (between '&' and ';') is `ref`; 0 when it is none.
char32_t decodeReference(std::u16string_view ref) {
  if (ref.size() >= 2 && ref[0] == u'#') {
    const bool hex = foldAscii(ref[1]) == u'x';
    std::u16string_view digits = ref.substr(hex ? 2 : 1);
    if (!digits.empty()) {
      std::uint32_t v = 0;
      bool ok = true;
      for (char16_t c : digits) {
        int d;
        if (c >= u'0' && c <= u'9') d = c - u'0';
        else if (hex && foldAscii(c) >= u'a' && foldAscii(c) <= u'f') d = foldAscii(c) - u'a' + 10;
        else { ok = false; break; }
        v = v * (hex ? 16 : 10) + std::uint32_t(d);  // at most 8 digits: no overflow
      }
      if (ok) {
        // A code beyond Unicode, or a lone surrogate, is no character: leave the '&' as it is.
        if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
        return v;
      }
    }
  }
  return lookupNamedReference(ref);
}

}  // namespace

CXmlDocument::CXmlDocument() { SetDocumentText(std::nullopt); }

CXmlDocument::CXmlDocument(std::u16string_view text) { SetDocumentText(text); }

bool CXmlDocument::SetDocumentText(std::optional<std::u16string_view> text) {
  if (flags_ & (DOCFLAG_READ_FILE | DOCFLAG_WRITE_FILE)) return false;
  if (text && text->size() > kMaxTextLength) return false;
  result_.clear();
  if (!text) {
    text_.clear();
    text_.shrink_to_fit();
    index_.release();
    nextFree_ = 0;
    parent_ = current_ = child_ = 0;
    nodeKind_ = 0;
    longStartTags_.clear();
    longEndTags_.clear();
    return false;
  }
  text_.assign(text->data(), text->size());
  parse();
  return IsWellFormed();
}

std::uint32_t CXmlDocument::newRecord() {
  index_.ensureSlot(nextFree_);
  return nextFree_++;
}

std::uint32_t CXmlDocument::StartTagLength(std::uint32_t i) const {
  std::uint32_t v = index_[i].tagLengths & kStartTagLengthMax;
  if (v == kStartTagLengthMax) {
    auto it = longStartTags_.find(i);
    if (it != longStartTags_.end()) return it->second;
  }
  return v;
}

std::uint32_t CXmlDocument::EndTagLength(std::uint32_t i) const {
  std::uint32_t v = index_[i].tagLengths >> 22;
  if (v == kEndTagLengthMax) {
    auto it = longEndTags_.find(i);
    if (it != longEndTags_.end()) return it->second;
  }
  return v;
}

void CXmlDocument::setStartTagLength(std::uint32_t i, std::uint32_t len) {
  ElementRecord& r = index_[i];
  if (len >= kStartTagLengthMax) {
    longStartTags_[i] = len;
    len = kStartTagLengthMax;
  } else if ((r.tagLengths & kStartTagLengthMax) == kStartTagLengthMax) {
    longStartTags_.erase(i);
  }
  r.tagLengths = (r.tagLengths & ~kStartTagLengthMax) | len;
}

void CXmlDocument::setEndTagLength(std::uint32_t i, std::uint32_t len) {
  ElementRecord& r = index_[i];
  if (len >= kEndTagLengthMax) {
    longEndTags_[i] = len;
    len = kEndTagLengthMax;
  } else if ((r.tagLengths >> 22) == kEndTagLengthMax) {
    longEndTags_.erase(i);
  }
  r.tagLengths = (r.tagLengths & kStartTagLengthMax) | (len << 22);
}

void CXmlDocument::linkAsLastChild(std::uint32_t parent, std::uint32_t child) {
  ElementRecord& p = index_[parent];
  ElementRecord& c = index_[child];
  c.parent = parent;
  c.nextSibling = 0;
  if (p.firstChild == 0) {
    p.firstChild = child;
    c.prevSibling = child;
    c.levelFlags |= ELEMENT_FIRST_CHILD;
  } else {
    ElementRecord& first = index_[p.firstChild];
    const std::uint32_t last = first.prevSibling;
    index_[last].nextSibling = child;
    c.prevSibling = last;
    first.prevSibling = child;
    c.levelFlags &= ~ELEMENT_FIRST_CHILD;
  }
}

// A start tag without an end tag: it keeps only its start tag, and its children move up to
// follow it. The element is its parent's last child here, since it was still open.
void CXmlDocument::makeUnended(std::uint32_t u, std::uint32_t endOffset) {
  ElementRecord& r = index_[u];
  const std::uint32_t p = r.parent;
  r.levelFlags |= ELEMENT_UNENDED;
  r.length = StartTagLength(u);
  setEndTagLength(u, 0);
  if (const std::uint32_t c1 = r.firstChild) {
    const std::uint32_t last = index_[c1].prevSibling;
    index_[c1].levelFlags &= ~ELEMENT_FIRST_CHILD;
    for (std::uint32_t c = c1; c; c = index_[c].nextSibling) index_[c].parent = p;
    r.nextSibling = c1;
    index_[c1].prevSibling = u;
    index_[index_[p].firstChild].prevSibling = last;
    r.firstChild = 0;
  }
  if (r.levelFlags & ELEMENT_HAS_ERROR) {
    r.levelFlags &= ~ELEMENT_HAS_ERROR;
    index_[p].levelFlags |= ELEMENT_HAS_ERROR;
  }
  index_[0].levelFlags |= ELEMENT_DOC_NOT_WELL_FORMED;
  addNote(result_, {.name = u"unended_start_tag", .textName = u"tagname", .textValue = tagNameOf(u),
                    .numberName = u"offset", .numberValue = r.start, .offset2 = endOffset});
}

// Levels after children moved up: one iterative walk over the whole tree.
void CXmlDocument::recomputeLevels() {
  std::uint32_t x = index_[0].firstChild;
  std::uint32_t level = 0;
  while (x) {
    ElementRecord& r = index_[x];
    r.levelFlags = (r.levelFlags & ~ELEMENT_LEVEL_MASK) | std::min<std::uint32_t>(level, ELEMENT_LEVEL_MASK);
    if (r.firstChild) {
      x = r.firstChild;
      ++level;
      continue;
    }
    while (x && index_[x].nextSibling == 0) {
      x = index_[x].parent;
      --level;
    }
    if (x) x = index_[x].nextSibling;
  }
}

void CXmlDocument::parse() {
  parent_ = current_ = child_ = 0;
  nodeKind_ = 0;
  nextFree_ = 1;
  longStartTags_.clear();
  longEndTags_.clear();
  const std::uint32_t n = std::uint32_t(text_.size());
  index_.reserve(n / 64 + 8);
  index_[0] = ElementRecord{};
  if (n == 0) return;

  NodeScanner scanner(text_);
  struct Open {
    std::uint32_t index, nameStart, nameLength;
  };
  std::vector<Open> stack;
  stack.reserve(7);
  bool levelsDirty = false;
  const bool ignoreCase = flags_ & DOCFLAG_IGNORE_CASE;
  const char16_t* t = text_.data();

  auto sameName = [&](const Open& o, const ScannedNode& node) {
    if (o.nameLength != node.nameLength) return false;
    const char16_t* a = t + o.nameStart;
    const char16_t* b = t + node.nameStart;
    if (!ignoreCase) return std::equal(a, a + o.nameLength, b);
    for (std::uint32_t i = 0; i < o.nameLength; ++i)
      if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
  };
  auto markError = [&]() {
    index_[0].levelFlags |= ELEMENT_DOC_NOT_WELL_FORMED;
    index_[stack.empty() ? 0 : stack.back().index].levelFlags |= ELEMENT_HAS_ERROR;
  };

  std::uint32_t pos = 0;
  for (;;) {
    const ScannedNode node = scanner.scan(pos);
    if (node.kind == NODE_END_OF_TEXT) break;
    pos = node.start + node.length;
    switch (node.kind) {
      case NODE_ELEMENT: {
        if (node.nameSyntax) {
          // A name such as b"x reads back only up to the quote (GetTagName, FindElement), so it
          // is not the name its end tag repeats: the element stays navigable, but the document
          // is not well-formed.
          markError();
          addNote(result_, {.name = u"tag_name_syntax", .textName = u"tagname",
                            .textValue = std::u16string_view(t + node.nameStart, node.nameLength),
                            .numberName = u"offset", .numberValue = node.start});
        }
        const std::uint32_t idx = newRecord();
        const std::uint32_t parent = stack.empty() ? 0 : stack.back().index;
        ElementRecord& r = index_[idx];
        r = ElementRecord{};
        r.start = node.start;
        r.length = node.length;
        r.levelFlags = std::min<std::uint32_t>(std::uint32_t(stack.size()), ELEMENT_LEVEL_MASK);
        setStartTagLength(idx, node.length);
        linkAsLastChild(parent, idx);
        if (!node.empty) stack.push_back({idx, node.nameStart, node.nameLength});
        break;
      }
      case NODE_END_TAG: {
        std::size_t k = stack.size();
        while (k > 0 && !sameName(stack[k - 1], node)) --k;
        if (k == 0) {
          markError();
          addNote(result_, {.name = u"lone_end_tag", .textName = u"tagname",
                            .textValue = std::u16string_view(t + node.nameStart, node.nameLength),
                            .numberName = u"offset", .numberValue = node.start});
          break;
        }
        // Elements opened inside the matching one and never closed become unended,
        // outermost first, so every child moves exactly once.
        for (std::size_t s = k; s < stack.size(); ++s) makeUnended(stack[s].index, node.start + 1);
        if (k < stack.size()) levelsDirty = true;
        const std::uint32_t m = stack[k - 1].index;
        index_[m].length = pos - index_[m].start;
        setEndTagLength(m, node.length);
        stack.resize(k - 1);
        break;
      }
      case NODE_ERROR: {
        markError();
        for (const ScanNote& sn : scanner.notes()) {
          Note note{.name = sn.name, .numberName = u"offset", .numberValue = sn.offset};
          if (!sn.type.empty()) {
            note.textName = u"type";
            note.textValue = sn.type;
          }
          addNote(result_, note);
        }
        scanner.notes().clear();
        break;
      }
      default:
        break;  // text, whitespace, CDATA, comments, PIs and declarations are not indexed
    }
  }
  for (const Open& o : stack) makeUnended(o.index, n);
  if (!stack.empty()) levelsDirty = true;
  if (levelsDirty) recomputeLevels();

  index_[0].length = n;
  if (nextFree_ == 1) {
    addNote(result_, {.name = u"no_root_element"});
  } else if (index_[index_[0].firstChild].nextSibling != 0) {
    addNote(result_, {.name = u"root_has_sibling"});
  }
  parent_ = current_ = child_ = 0;
  nodeKind_ = 0;
}

bool CXmlDocument::IsWellFormed() const {
  if (!index_.built()) return false;
  const ElementRecord& r0 = index_[0];
  if (r0.levelFlags & ELEMENT_DOC_NOT_WELL_FORMED) return false;
  return r0.firstChild != 0 && index_[r0.firstChild].nextSibling == 0;
}

void CXmlDocument::ResetPosition() {
  parent_ = current_ = child_ = 0;
  nodeKind_ = 0;
}

bool CXmlDocument::namesEqual(std::u16string_view a, std::u16string_view b) const {
  if (a.size() != b.size()) return false;
  if (!(flags_ & DOCFLAG_IGNORE_CASE)) return a == b;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  return true;
}

std::u16string_view CXmlDocument::tagNameOf(std::uint32_t element) const {
  const std::uint32_t begin = index_[element].start + 1;
  const std::uint32_t limit = std::min<std::uint32_t>(std::uint32_t(text_.size()), index_[element].start + StartTagLength(element));
  std::uint32_t i = begin;
  while (i < limit && !endsTagName(text_[i])) ++i;
  return std::u16string_view(text_).substr(begin, i - begin);
}

std::u16string_view CXmlDocument::scannedNameOf(std::uint32_t element) const {
  const char16_t* t = text_.data();
  const std::uint32_t begin = index_[element].start + 1;
  const std::uint32_t limit = std::min<std::uint32_t>(std::uint32_t(text_.size()), index_[element].start + StartTagLength(element));
  const char16_t* e = begin < limit ? NodeScanner::endOfTagName(t + begin, t + limit) : t + begin;
  return std::u16string_view(t + begin, std::size_t(e - (t + begin)));
}

bool CXmlDocument::FindElement(std::u16string_view name) {
  if ((flags_ & DOCFLAG_WRITE_FILE) || !index_.built() || nextFree_ == 0) return false;
  if (!name.empty() && (name[0] == u'/' || name.find_first_of(u" =]") != std::u16string_view::npos)) return false;
  std::uint32_t c = current_ ? index_[current_].nextSibling : index_[parent_].firstChild;
  for (; c; c = index_[c].nextSibling) {
    if (name.empty() || namesEqual(tagNameOf(c), name)) {
      current_ = c;
      parent_ = index_[c].parent;
      child_ = 0;
      nodeKind_ = NODE_ELEMENT;
      return true;
    }
  }
  return false;
}

bool CXmlDocument::EnterElement() {
  if (!current_) return false;
  parent_ = current_;
  current_ = child_;
  child_ = 0;
  nodeKind_ = current_ ? NODE_ELEMENT : 0;
  return true;
}

bool CXmlDocument::LeaveElement() {
  if (!parent_) return false;
  child_ = current_;
  current_ = parent_;
  parent_ = index_[current_].parent;
  nodeKind_ = NODE_ELEMENT;
  return true;
}

std::u16string CXmlDocument::GetTagName() const {
  if (!current_) return {};
  return std::u16string(tagNameOf(current_));
}

CXmlDocument::AttributeSpan CXmlDocument::findAttribute(std::uint32_t element, std::u16string_view name) const {
  AttributeSpan span;
  const char16_t* t = text_.data();
  // The scan stays inside the start tag, whatever its content.
  const std::uint32_t end = std::min<std::uint32_t>(std::uint32_t(text_.size()), index_[element].start + StartTagLength(element));
  auto nameEnds = [](char16_t c) { return isXmlSpace(c) || c == u'/' || c == u'=' || c == u'>' || c == u'?'; };
  // The tokens are read as the scanner reads the start tag, so that SetAttribute never
  // inserts where the scanner would see part of the name, the inside of a value or the text
  // after the tag: the tag name runs to whitespace, '/' or '>', and a quote is special only
  // as the first character after an equals sign.
  std::uint32_t i = std::min(end, std::uint32_t(NodeScanner::endOfTagName(t + index_[element].start + 1, t + end) - t));
  span.lastTokenEnd = i;
  while (i < end) {
    while (i < end && isXmlSpace(t[i])) ++i;
    if (i >= end) break;
    const char16_t c = t[i];
    if (c == u'/' || c == u'>' || c == u'?') break;
    const std::uint32_t nameStart = i;
    while (i < end && !nameEnds(t[i])) ++i;
    const std::u16string_view attr(t + nameStart, i - nameStart);
    span.lastTokenEnd = i;
    std::uint32_t k = i;
    while (k < end && isXmlSpace(t[k])) ++k;
    AttributeSpan found;
    if (k < end && t[k] == u'=') {
      ++k;
      while (k < end && isXmlSpace(t[k])) ++k;
      found.hasEquals = true;
      found.tokenStart = k;
      if (k < end && (t[k] == u'"' || t[k] == u'\'')) {
        const std::uint32_t j = std::uint32_t(NodeScanner::findChar(t + k + 1, t + end, t[k]) - t);
        found.valueStart = k + 1;
        found.valueEnd = j;
        found.tokenEnd = std::min(end, j + 1);
      } else {
        std::uint32_t j = k;
        while (j < end && !isXmlSpace(t[j]) && t[j] != u'>') ++j;
        found.valueStart = k;
        found.valueEnd = j;
        found.tokenEnd = j;
      }
      i = found.tokenEnd;
      span.lastTokenEnd = i;
    } else {
      found.valueStart = nameStart;
      found.valueEnd = nameStart + std::uint32_t(attr.size());
    }
    if (!attr.empty() && namesEqual(attr, name)) {
      found.found = true;
      found.lastTokenEnd = span.lastTokenEnd;
      return found;
    }
  }
  return span;
}

std::u16string CXmlDocument::GetAttribute(std::u16string_view name) const {
  if (!current_ || name.empty()) return {};
  const AttributeSpan a = findAttribute(current_, name);
  if (!a.found) return {};
  return UnescapeText(std::u16string_view(text_).substr(a.valueStart, a.valueEnd - a.valueStart), flags_);
}

std::u16string CXmlDocument::UnescapeText(std::u16string_view v, unsigned docFlags) {
  // A reference never decodes to more units than it is written with, so the value's length
  // bounds the result. It is written through a pointer, in runs between the '&'s, into a
  // buffer that is not filled first (a string of char16_t is filled unit by unit, which a
  // build without optimisation makes costly on megabytes).
  const auto buf = std::make_unique_for_overwrite<char16_t[]>(v.size());
  char16_t* const first = buf.get();
  char16_t* o = first;
  const char16_t* p = v.data();
  const char16_t* const end = p + v.size();
  while (p < end) {
    if (*p != u'&') {
      const char16_t* amp = NodeScanner::findChar(p, end, u'&');
      std::memcpy(o, p, std::size_t(amp - p) * sizeof(char16_t));
      o += amp - p;
      p = amp;
      continue;
    }
    // The references escaping writes, in its own spelling, need no table.
    const std::size_t left = std::size_t(end - p);
    if (left >= 5 && p[1] == u'a' && p[2] == u'm' && p[3] == u'p' && p[4] == u';') {
      *o++ = u'&';
      p += 5;
      continue;
    }
    if (left >= 4 && (p[1] == u'l' || p[1] == u'g') && p[2] == u't' && p[3] == u';') {
      *o++ = p[1] == u'l' ? u'<' : u'>';
      p += 4;
      continue;
    }
    // Any other reference: at most 9 ASCII characters, then ';'.
    char16_t ref[9];
    std::size_t len = 0;
    bool closed = false;
    for (const char16_t* q = p + 1; q < end && q <= p + 10; ++q) {
      if (*q == u';') {
        closed = true;
        break;
      }
      if (*q > 0x7F || len == 9) break;
      ref[len++] = foldAscii(*q);
    }
    char32_t cp = 0;
    if (closed && len > 0) {
      cp = decodeReference(std::u16string_view(ref, len));
      // Named references that differ only in case: an exact spelling picks its own code.
      if (cp && ref[0] != u'#') cp = lookupNamedReference(std::u16string_view(p + 1, len));
    }
    if (cp == 0) {
      *o++ = u'&';
      ++p;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *o++ = char16_t(0xD800 + (cp >> 10));
      *o++ = char16_t(0xDC00 + (cp & 0x3FF));
    } else {
      *o++ = char16_t(cp);
    }
    p += len + 2;
  }
  std::u16string out(first, std::size_t(o - first));
  if (docFlags & (DOCFLAG_TRIM_WHITESPACE | DOCFLAG_COLLAPSE_WHITESPACE)) {
    std::size_t b = 0, e = out.size();
    while (b < e && isXmlSpace(out[b])) ++b;
    while (e > b && isXmlSpace(out[e - 1])) --e;
    out = out.substr(b, e - b);
    if (docFlags & DOCFLAG_COLLAPSE_WHITESPACE) {
      std::u16string collapsed;
      collapsed.reserve(out.size());
      for (std::size_t i = 0; i < out.size(); ++i) {
        if (isXmlSpace(out[i])) {
          while (i + 1 < out.size() && isXmlSpace(out[i + 1])) ++i;
          collapsed += u' ';
        } else {
          collapsed += out[i];
        }
      }
      out = std::move(collapsed);
    }
  }
  return out;
}
