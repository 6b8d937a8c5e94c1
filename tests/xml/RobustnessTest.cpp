// Hostile input: truncations, deep nesting, stray bytes. Nothing may read or write outside
// the text, and nothing may recurse without bound.
#include <gtest/gtest.h>

#include <random>

#include "CXmlDocument.h"
#include "XmlTestSupport.h"

namespace {

const std::u16string kSample =
    u"<?xml version=\"1.0\"?><!DOCTYPE r [<!ELEMENT r ANY><!ATTLIST r a CDATA '>'><!-- c -->]>"
    u"<r a='1>' b=\"&lt;&#x1F600;\"><![CDATA[ ]]> <k/> t <?pi x?><!-- x --><x ID=\"0\" t1=\"A\"><List/></x></r>";

TEST(Robustness, EveryTruncationParses) {
  for (std::size_t n = 0; n <= kSample.size(); ++n) {
    CXmlDocument doc(std::u16string_view(kSample).substr(0, n));
    xmltest::expectConsistent(doc);
    doc.ResetPosition();
    while (doc.FindElement()) doc.GetAttribute(u"a");
    // Editing a damaged document stays inside the text as well.
    doc.ResetPosition();
    if (doc.FindElement()) {
      ASSERT_TRUE(doc.SetAttribute(u"z", u"1"));
      ASSERT_TRUE(doc.EnterElement());
      ASSERT_TRUE(doc.AddElement(u"n"));
      xmltest::expectConsistent(doc);
    }
  }
  CXmlDocument whole(kSample);
  EXPECT_TRUE(whole.IsWellFormed()) << xmltest::narrow(whole.GetResult());
}

TEST(Robustness, RandomBytesParse) {
  std::mt19937 rng(7);
  const char16_t alphabet[] = u"<>/!?-[]CD='\" \r\nabx&;#\xD800\xDC00";
  for (int round = 0; round < 300; ++round) {
    std::u16string text;
    const int len = int(rng() % 200);
    for (int i = 0; i < len; ++i) text += alphabet[rng() % (sizeof(alphabet) / sizeof(char16_t) - 1)];
    CXmlDocument doc(text);
    xmltest::expectConsistent(doc);
    doc.ResetPosition();
    while (doc.FindElement()) doc.GetAttribute(u"a");
  }
}

TEST(Robustness, DeepNestingNeedsNoStack) {
  constexpr int kDepth = 100000;
  std::u16string open, close;
  for (int i = 0; i < kDepth; ++i) open += u"<a>";
  for (int i = 0; i < kDepth; ++i) close += u"</a>";

  CXmlDocument closed(open + close);
  EXPECT_TRUE(closed.IsWellFormed());
  EXPECT_EQ(closed.ElementCount(), std::uint32_t(kDepth + 1));
  // Levels stop at the largest value their field holds.
  EXPECT_EQ(closed.Index()[kDepth].levelFlags & xml::ELEMENT_LEVEL_MASK, 0xFFFFu);
  for (int i = 0; i < kDepth; ++i) ASSERT_TRUE(closed.FindElement(u"a") && closed.EnterElement());
  EXPECT_TRUE(closed.AddElement(u"deepest"));

  // Never closed: every element becomes unended and moves up, in linear time.
  CXmlDocument unended(open);
  EXPECT_FALSE(unended.IsWellFormed());
  EXPECT_EQ(unended.Index()[0].firstChild, 1u);
  std::uint32_t siblings = 0;
  for (std::uint32_t x = 1; x; x = unended.Index()[x].nextSibling) ++siblings;
  EXPECT_EQ(siblings, std::uint32_t(kDepth));
  xmltest::expectConsistent(unended);

  // Closed from the outside only: the inner ones become unended at once.
  CXmlDocument inner(u"<r>" + open + u"</r>");
  xmltest::expectConsistent(inner);
}

TEST(Robustness, LongTagsKeepExactLengths) {
  // A start tag beyond the 22-bit field and an end tag beyond the 10-bit one.
  const std::u16string big(0x400000 + 10, u'v');
  const std::u16string name(2000, u'n');
  const std::u16string text = u"<r><a x='" + big + u"'/><" + name + u"></" + name + u"><b/></r>";
  CXmlDocument doc(text);
  EXPECT_TRUE(doc.IsWellFormed());
  ASSERT_TRUE(doc.FindElement(u"r") && doc.EnterElement() && doc.FindElement(u"a"));
  EXPECT_EQ(doc.StartTagLength(doc.CurrentElement()), big.size() + 9);  // "<a x='" and "'/>"
  EXPECT_EQ(doc.GetAttribute(u"x").size(), big.size());
  ASSERT_TRUE(doc.FindElement(name));
  EXPECT_EQ(doc.EndTagLength(doc.CurrentElement()), name.size() + 3);
  ASSERT_TRUE(doc.EnterElement() && doc.AddElement(u"c"));
  xmltest::expectConsistent(doc);
  EXPECT_NE(doc.GetDocumentText().find(u"<c/>\r\n</" + name + u">"), std::u16string::npos);
}

TEST(Robustness, HugeReferencesStayLiteral) {
  CXmlDocument doc(u"<a x='&#99999999999999999999; &#x" + std::u16string(5000, u'F') + u"; &" + std::u16string(5000, u'a') + u"'/>");
  ASSERT_TRUE(doc.FindElement(u"a"));
  const std::u16string v = doc.GetAttribute(u"x");
  EXPECT_EQ(v.substr(0, 5), u"&#999");
  EXPECT_EQ(v.size(), doc.GetDocumentText().size() - 9);
}

}  // namespace
