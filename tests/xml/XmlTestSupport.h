#pragma once
// Helpers for the XML tests: readable strings, a tree summary and an index consistency check.
#include <gtest/gtest.h>

#include <string>

#include "CXmlDocument.h"

namespace xmltest {

inline std::string narrow(std::u16string_view s) {
  std::string out;
  for (char16_t c : s) out += c < 0x80 ? char(c) : '?';
  return out;
}

// "r{a{b}c}": tag names with their children, siblings side by side.
inline std::string tree(const CXmlDocument& doc) {
  const auto& ix = doc.Index();
  std::string out;
  if (!ix.built()) return out;
  std::uint32_t x = ix[0].firstChild;
  const auto& text = doc.GetDocumentText();
  auto nameOf = [&](std::uint32_t i) {
    std::string n;
    for (std::uint32_t k = ix[i].start + 1; k < text.size(); ++k) {
      char16_t c = text[k];
      if (c == u' ' || c == u'/' || c == u'>' || c == u'\r' || c == u'\n' || c == u'\t') break;
      n += char(c);
    }
    return n;
  };
  while (x) {
    out += nameOf(x);
    if (ix[x].firstChild) {
      out += '{';
      x = ix[x].firstChild;
      continue;
    }
    while (x && ix[x].nextSibling == 0) {
      x = ix[x].parent;
      if (x) out += '}';
    }
    if (x) {
      x = ix[x].nextSibling;
      out += ' ';
    }
  }
  return out;
}

// Every reachable record: starts at '<' inside the text, lies inside its parent, the sibling
// ring closes, exactly the first child carries the first-child flag, levels follow parents.
inline void expectConsistent(const CXmlDocument& doc) {
  const auto& ix = doc.Index();
  const auto& text = doc.GetDocumentText();
  ASSERT_TRUE(ix.built());
  ASSERT_EQ(ix[0].length, text.size());
  std::uint32_t x = ix[0].firstChild;
  std::size_t visited = 0;
  while (x) {
    ASSERT_LT(x, doc.ElementCount());
    ASSERT_LE(++visited, doc.ElementCount());
    const auto& r = ix[x];
    ASSERT_LT(r.start, text.size());
    ASSERT_EQ(text[r.start], u'<') << "element " << x;
    ASSERT_LE(std::size_t(r.start) + r.length, text.size());
    ASSERT_LE(doc.StartTagLength(x) + doc.EndTagLength(x), r.length);
    const auto& p = ix[r.parent];
    if (r.parent) {
      EXPECT_GE(r.start, p.start);
      EXPECT_LE(r.start + r.length, p.start + p.length);
      EXPECT_EQ(r.levelFlags & xml::ELEMENT_LEVEL_MASK, std::min<std::uint32_t>((p.levelFlags & xml::ELEMENT_LEVEL_MASK) + 1, 0xFFFF));
    } else {
      EXPECT_EQ(r.levelFlags & xml::ELEMENT_LEVEL_MASK, 0u);
    }
    EXPECT_EQ(bool(r.levelFlags & xml::ELEMENT_FIRST_CHILD), p.firstChild == x);
    if (r.nextSibling) {
      EXPECT_EQ(ix[r.nextSibling].prevSibling, x);
      EXPECT_GE(ix[r.nextSibling].start, r.start + r.length);
    } else {
      EXPECT_EQ(ix[p.firstChild].prevSibling, x) << "ring must point at the last child";
    }
    if (r.firstChild) {
      x = r.firstChild;
      continue;
    }
    while (x && ix[x].nextSibling == 0) x = ix[x].parent;
    if (x) x = ix[x].nextSibling;
  }
}

}  // namespace xmltest
