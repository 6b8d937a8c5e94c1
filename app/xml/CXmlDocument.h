#pragma once
// An XML document held as one UTF-16 text, with an index of its elements and a current
// position. The text is the document: edits splice it in place and keep the index in step,
// so the text is always the serialised document and saving is a plain write of it.
// Parsing is tolerant: malformed markup yields notes in the result report and leaves every
// recognisable element navigable.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ElementIndex.h"
#include "XmlFlags.h"
#include "XmlOutcome.h"

class CXmlDocument {
 public:
  CXmlDocument();
  explicit CXmlDocument(std::u16string_view text);

  CXmlDocument(const CXmlDocument&) = delete;
  CXmlDocument& operator=(const CXmlDocument&) = delete;
  CXmlDocument(CXmlDocument&&) noexcept = default;
  CXmlDocument& operator=(CXmlDocument&&) noexcept = default;

  // Replaces the text and parses it; returns IsWellFormed(). Without text the document is
  // empty and the index storage is freed. False and no change while a file mode bit is set,
  // and for a text longer than the index can address (2^32 - 2 units).
  bool SetDocumentText(std::optional<std::u16string_view> text);
  const std::u16string& GetDocumentText() const { return text_; }

  bool IsWellFormed() const;
  const std::u16string& GetResult() const { return result_; }

  unsigned GetFlags() const { return flags_; }
  void SetFlags(unsigned flags) { flags_ = flags; }

  void ResetPosition();
  // Moves to the next sibling element called `name` (any element when empty). Refuses
  // names beginning with '/' or holding ' ', '=' or ']'. On failure nothing moves.
  bool FindElement(std::u16string_view name = {});
  bool EnterElement();
  bool LeaveElement();
  // The current element's tag name; "" when there is none.
  std::u16string GetTagName() const;
  // The decoded value of the current element's attribute; "" when missing.
  std::u16string GetAttribute(std::u16string_view name) const;

  // Inserts a new element and makes it current (see the NODEFLAG_ bits).
  xml::XmlOutcome AddElement(std::u16string_view name, std::u16string_view data = {}, unsigned nodeFlags = 0);
  // Sets or adds an attribute of the current element; the value is escaped.
  xml::XmlOutcome SetAttribute(std::u16string_view name, std::u16string_view value);
  xml::XmlOutcome SetAttribute(std::u16string_view name, long long value);
  xml::XmlOutcome SetAttribute(std::u16string_view name, int value) { return SetAttribute(name, (long long)value); }

  // Reads a whole file (see ReadTextFile) and parses it; the file notes come first in the
  // report. Returns whether the file was read.
  xml::XmlOutcome LoadFile(const std::filesystem::path& path);
  // Writes the text as a whole file, atomically (see WriteTextFile).
  xml::XmlOutcome SaveFile(const std::filesystem::path& path);

  // Reads a file into UTF-16 text, detecting a byte order mark or the declared encoding.
  // `result` and `flags` may be null. On success `flags` holds the detected BOM flag.
  static xml::XmlOutcome ReadTextFile(const std::filesystem::path& path, std::u16string& text,
                                      std::u16string* result, unsigned* flags);
  // Writes UTF-16 text as a whole file. The old file is replaced only once the new content
  // is completely on disk (temporary file, fsync, rename); on failure it stays as it was.
  static xml::XmlOutcome WriteTextFile(const std::filesystem::path& path, std::u16string_view text,
                                       std::u16string* result, unsigned* flags);

  // Escapes text for element data (text mode) or attribute values (NODEFLAG_ESCAPE_QUOTES).
  static std::u16string EscapeText(std::u16string_view text, unsigned nodeFlags);
  // Decodes character references in an attribute value (see GetAttribute).
  static std::u16string UnescapeText(std::u16string_view text, unsigned docFlags = 0);

  // Introspection for tests and tools.
  const xml::ElementIndex& Index() const { return index_; }
  std::uint32_t ElementCount() const { return nextFree_; }  // records in use, record 0 included
  std::uint32_t CurrentElement() const { return current_; }
  std::uint32_t CurrentParent() const { return parent_; }
  std::uint32_t StartTagLength(std::uint32_t i) const;
  std::uint32_t EndTagLength(std::uint32_t i) const;

 private:
  struct AttributeSpan {
    std::uint32_t valueStart = 0, valueEnd = 0;  // the raw value (without quotes)
    std::uint32_t tokenStart = 0, tokenEnd = 0;  // the value token (with its quotes)
    bool found = false;
    bool hasEquals = false;
    std::uint32_t lastTokenEnd = 0;  // end of the start tag's last token
  };

  void parse();
  AttributeSpan findAttribute(std::uint32_t element, std::u16string_view name) const;
  bool namesEqual(std::u16string_view a, std::u16string_view b) const;
  std::u16string_view tagNameOf(std::uint32_t element) const;
  // The name as the scanner reads it, which an end tag must repeat; the same as tagNameOf
  // in a well-formed document.
  std::u16string_view scannedNameOf(std::uint32_t element) const;
  void setStartTagLength(std::uint32_t i, std::uint32_t len);
  void setEndTagLength(std::uint32_t i, std::uint32_t len);
  void linkAsLastChild(std::uint32_t parent, std::uint32_t child);
  void makeUnended(std::uint32_t element, std::uint32_t endOffset);
  void recomputeLevels();
  void shiftAfter(std::uint32_t from, std::int64_t delta, bool includeChildren);
  void shiftSubtree(std::uint32_t root, std::int64_t delta);
  std::uint32_t newRecord();
  bool overlapsText(std::u16string_view s) const;  // a view into the document's own text

  std::u16string text_;
  std::u16string result_;
  std::uint32_t parent_ = 0, current_ = 0, child_ = 0;
  int nodeKind_ = 0;
  std::uint32_t nextFree_ = 0;
  unsigned flags_ = 0;
  xml::ElementIndex index_;
  // Tag lengths that do not fit their bit fields (a start tag of 4M units or more, an end
  // tag of 1K or more) are kept here; the field then holds its maximum.
  std::unordered_map<std::uint32_t, std::uint32_t> longStartTags_;
  std::unordered_map<std::uint32_t, std::uint32_t> longEndTags_;
};
