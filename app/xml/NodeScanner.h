#pragma once
// The tolerant node scanner: from an offset it returns the next node of the text, never
// reading outside it, and collects syntax notes instead of stopping.
#include <cstdint>
#include <string_view>
#include <vector>

#include "XmlFlags.h"

namespace xml {

struct ScannedNode {
  int kind = NODE_END_OF_TEXT;
  std::uint32_t start = 0;
  std::uint32_t length = 0;
  std::uint32_t nameStart = 0;   // tags and processing instructions
  std::uint32_t nameLength = 0;
  bool empty = false;            // start tags: "<a/>"
  // Start tags: the name holds a character that ends a tag name where the name is read back
  // (! " ' ; < = ? \), so the element would answer to a shorter name than its end tag needs.
  bool nameSyntax = false;
};

struct ScanNote {
  std::u16string_view name;   // e.g. u"first_tag_syntax"
  std::u16string_view type;   // for "unterminated_tag_syntax"
  std::uint32_t offset;
};

class NodeScanner {
 public:
  explicit NodeScanner(std::u16string_view text) : t_(text.data()), n_(std::uint32_t(text.size())) {}

  // The node that starts at `offset`; end of text at or beyond the end.
  ScannedNode scan(std::uint32_t offset);

  // Notes raised so far and not yet taken. A parse takes them at every error node.
  std::vector<ScanNote>& notes() { return notes_; }

  // Fast searches over UTF-16 text; return `end` when nothing is found.
  static const char16_t* findChar(const char16_t* p, const char16_t* end, char16_t c);
  static const char16_t* findEither(const char16_t* p, const char16_t* end, char16_t a, char16_t b);
  // The first of the five characters that escaping rewrites: & < > " '.
  static const char16_t* findEscapable(const char16_t* p, const char16_t* end);

  // Where a tag name that begins at `from` ends: at whitespace, '/' or '>' (or the end).
  // The attribute scan and the editing operations read start tags with this same rule.
  static const char16_t* endOfTagName(const char16_t* from, const char16_t* end);

 private:
  // Each returns the offset just past the construct, or npos when the text ends first.
  static constexpr std::uint32_t npos = 0xFFFFFFFFu;
  std::uint32_t endOfStartTag(std::uint32_t from, bool& empty) const;
  std::uint32_t endOfMarkedSection(std::uint32_t from, char16_t c) const;  // "-->", "]]>", "?>"
  std::uint32_t endOfName(std::uint32_t from, bool stopAtQuestion) const;
  ScannedNode scanDocumentType(std::uint32_t start);
  ScannedNode errorNode(std::uint32_t start, std::u16string_view note);
  ScannedNode unterminated(std::uint32_t start, std::u16string_view type);
  void note(std::u16string_view name, std::u16string_view type, std::uint32_t offset);

  const char16_t* t_;
  std::uint32_t n_;
  std::vector<ScanNote> notes_;
};

}  // namespace xml
