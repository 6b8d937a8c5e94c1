// Editing: AddElement and SetAttribute splice the text in place and keep the index in step.
#include <string>

#include "CXmlDocument.h"

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

}  // namespace

std::u16string CXmlDocument::EscapeText(std::u16string_view text, unsigned nodeFlags) {
  const bool quotes = nodeFlags & NODEFLAG_ESCAPE_QUOTES;
  const bool keep = nodeFlags & NODEFLAG_KEEP_REFERENCES;
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    switch (c) {
      case u'&':
        if (keep) {
          if (std::size_t len = referenceLength(text, i)) {
            out.append(text.substr(i, len));
            i += len - 1;
            break;
          }
        }
        out += u"&amp;";
        break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'"':
        if (quotes) out += u"&quot;";
        else out += c;
        break;
      case u'\'':
        if (quotes) out += u"&apos;";
        else out += c;
        break;
      default: out += c;
    }
  }
  return out;
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

  if (P && p.length == pStartTag) {
    // "<p/>" (or an unended "<p>") opens to hold the new element.
    const std::u16string_view pName = tagNameOf(P);
    mode = pUnended ? OpenUnended : OpenEmpty;
    at = p.start + p.length - (pUnended ? 1 : 2);  // before the final '>' or at the '/'
    if (mode == OpenEmpty) removed = 1;
    ins = u">";
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
    if (mode == OpenEmpty) setStartTagLength(P, pStartTag - 1);
    pr.levelFlags &= ~ELEMENT_UNENDED;
    setEndTagLength(P, std::uint32_t(tagNameOf(P).size() + 3));
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
  // Values without markup characters, such as every number, need no escaping pass.
  const bool plain = value.find_first_of(u"&<>\"'") == std::u16string_view::npos;
  std::u16string quoted;
  quoted.reserve(value.size() + name.size() + 4);
  quoted += u'"';
  if (plain) quoted += value;
  else quoted += EscapeText(value, NODEFLAG_ESCAPE_QUOTES);
  quoted += u'"';

  const AttributeSpan a = findAttribute(current_, name);
  std::uint32_t at, removed;
  std::u16string ins;
  if (a.found && a.hasEquals) {
    at = a.tokenStart;
    removed = a.tokenEnd - a.tokenStart;
    ins = std::move(quoted);
  } else if (a.found) {  // written without '=': the bare name gets its value
    at = a.valueEnd;
    removed = 0;
    ins = u"=" + quoted;
  } else {
    at = a.lastTokenEnd;
    removed = 0;
    ins.reserve(name.size() + quoted.size() + 2);
    ins += u' ';
    ins += name;
    ins += u'=';
    ins += quoted;
  }
  if (text_.size() - removed + ins.size() > kMaxTextLength) return {XmlStatus::TooLarge, at};
  text_.replace(at, removed, ins);
  const std::int64_t delta = std::int64_t(ins.size()) - std::int64_t(removed);
  ElementRecord& r = index_[current_];
  setStartTagLength(current_, std::uint32_t(std::int64_t(StartTagLength(current_)) + delta));
  r.length = std::uint32_t(std::int64_t(r.length) + delta);
  shiftAfter(current_, delta, true);
  return {};
}
