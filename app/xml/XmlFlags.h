#pragma once
// Flag words and node kinds shared by the document, its scanner and its file layer.

namespace xml {

// Document flags; also the in/out flags of ReadTextFile and WriteTextFile.
inline constexpr unsigned DOCFLAG_UTF16LE_FILE = 0x1;
inline constexpr unsigned DOCFLAG_UTF8_BOM = 0x4;
inline constexpr unsigned DOCFLAG_IGNORE_CASE = 0x8;
inline constexpr unsigned DOCFLAG_READ_FILE = 0x10;
inline constexpr unsigned DOCFLAG_WRITE_FILE = 0x20;
inline constexpr unsigned DOCFLAG_APPEND_FILE = 0x40;
inline constexpr unsigned DOCFLAG_UTF16BE_FILE = 0x80;
inline constexpr unsigned DOCFLAG_TRIM_WHITESPACE = 0x100;
inline constexpr unsigned DOCFLAG_COLLAPSE_WHITESPACE = 0x200;

inline constexpr unsigned DOCFLAG_BOM_MASK = DOCFLAG_UTF16LE_FILE | DOCFLAG_UTF8_BOM | DOCFLAG_UTF16BE_FILE;
inline constexpr unsigned DOCFLAG_MODE_MASK = DOCFLAG_READ_FILE | DOCFLAG_WRITE_FILE | DOCFLAG_APPEND_FILE;

// Node flags, the third argument of AddElement.
inline constexpr unsigned NODEFLAG_CDATA = 0x1;
inline constexpr unsigned NODEFLAG_NO_LINES = 0x2;
inline constexpr unsigned NODEFLAG_SPACE_BEFORE_SLASH = 0x4;
inline constexpr unsigned NODEFLAG_KEEP_REFERENCES = 0x8;
inline constexpr unsigned NODEFLAG_NO_END_TAG = 0x10;
inline constexpr unsigned NODEFLAG_ESCAPE_QUOTES = 0x100;
inline constexpr unsigned NODEFLAG_REPLACE_CONTENT = 0x1000;
inline constexpr unsigned NODEFLAG_INSERT_BEFORE = 0x2000;
inline constexpr unsigned NODEFLAG_AS_CHILD = 0x4000;

// Node kinds returned by the scanner.
enum NodeKind : int {
  NODE_END_TAG = 0,
  NODE_ELEMENT = 1,
  NODE_TEXT = 2,
  NODE_WHITESPACE = 4,
  NODE_CDATA_SECTION = 8,
  NODE_PROCESSING_INSTRUCTION = 16,
  NODE_COMMENT = 32,
  NODE_DOCUMENT_TYPE = 64,
  NODE_ERROR = -1,
  NODE_END_OF_TEXT = -2,
};

inline constexpr bool isXmlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
inline constexpr char16_t foldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

}  // namespace xml
