// Parsing, the result report, well-formedness, navigation and attribute decoding.
#include <gtest/gtest.h>

#include "CXmlDocument.h"
#include "XmlEntities.h"
#include "XmlTestSupport.h"

using xmltest::narrow;
using xmltest::tree;

namespace {

struct ParseCase {
  const char* label;
  std::u16string_view text;
  const char* notes;
  const char* tree;
  bool wellFormed;
};

const ParseCase kParseCases[] = {
    {"simple", u"<r><a x='1'/><b>t</b></r>", "", "r{a b}", true},
    {"empty text", u"", "", "", false},
    {"text only", u"just text", "<no_root_element/>", "", false},
    {"two roots", u"<a/><b/>", "<root_has_sibling/>", "a b", false},
    {"slash in unquoted value", u"<a b=c/></a>", "", "a", true},
    {"gt in quoted value", u"<a x='1>2'><b/></a>", "", "a{b}", true},
    {"unended inner element", u"<r><a><b></a></r>", "<unended_start_tag tagname=\"b\" offset=\"6\" offset2=\"10\"/>",
     "r{a{b}}", false},
    {"children move up", u"<r><a><b><c/></a></r>", "<unended_start_tag tagname=\"b\" offset=\"6\" offset2=\"14\"/>",
     "r{a{b c}}", false},
    {"lone end tag", u"<r></x></r>", "<lone_end_tag tagname=\"x\" offset=\"3\"/>", "r", false},
    {"two syntax errors in text order", u"<r><1><!x></r>",
     "<first_tag_syntax offset=\"3\"/><exclamation_tag_syntax offset=\"6\"/>", "r", false},
    {"comment of the shortest form", u"<r><!--></r>", "", "r", true},
    {"bad comment opening", u"<r><!-x></r>", "<comment_tag_syntax offset=\"3\"/>", "r", false},
    {"bad cdata opening", u"<r><![X></r>", "<cdata_section_syntax offset=\"3\"/>", "r", false},
    {"cdata holds markup", u"<r><![CDATA[<a>]]></r>", "", "r", true},
    {"pi and doctype", u"<?xml version='1.0'?><!DOCTYPE r [<!ELEMENT r ANY><!-- c -->]><r/>", "", "r", true},
    {"doctype note waits for an error node", u"<!DOCTYPE r [<!X>]><r/>", "", "r", true},
    {"doctype note comes with the next error", u"<!DOCTYPE r [<!X>]><r><1></r>",
     "<doctype_tag_syntax offset=\"13\"/><first_tag_syntax offset=\"22\"/>", "r", false},
    {"unterminated start tag", u"<r><a x='1", "<unterminated_tag_syntax type=\"start_tag\" offset=\"3\"/>"
     "<unended_start_tag tagname=\"r\" offset=\"0\" offset2=\"10\"/>", "r", false},
    {"unterminated comment", u"<r/><!-- x", "<unterminated_tag_syntax type=\"comment\" offset=\"4\"/>", "r", false},
    {"unterminated cdata", u"<r/><![CDATA[x", "<unterminated_tag_syntax type=\"cdata_section\" offset=\"4\"/>", "r", false},
    {"unterminated pi", u"<r/><?pi x", "<unterminated_tag_syntax type=\"processing_instruction\" offset=\"4\"/>", "r", false},
    {"unterminated end tag", u"<r></r", "<unterminated_tag_syntax type=\"end_tag\" offset=\"3\"/>"
     "<unended_start_tag tagname=\"r\" offset=\"0\" offset2=\"6\"/>", "r", false},
    {"lone angle bracket at the end", u"<r/><", "<unterminated_tag_syntax type=\"tag\" offset=\"4\"/>", "r", false},
    {"unterminated doctype", u"<!DOCTYPE r [<!ELEMENT", "<unterminated_tag_syntax type=\"document_type\" offset=\"0\"/>"
     "<no_root_element/>", "", false},
    {"end of text closes everything", u"<a><b>", "<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"6\"/>"
     "<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"6\"/><root_has_sibling/>", "a b", false},
    {"note values are escaped", u"<r></a&amp;></r>", "<lone_end_tag tagname=\"a&amp;amp;\" offset=\"3\"/>", "r", false},
    // A name that GetTagName would cut short cannot match the end tag an edit writes for it.
    {"quote straight after a tag name", u"<A><b\"x=\"1\"/></A>",
     "<tag_name_syntax tagname=\"b&quot;x=&quot;1&quot;\" offset=\"3\"/>", "A{b\"x=\"1\"}", false},
    {"other characters that cut a tag name", u"<r><a?/><c;d></c;d></r>",
     "<tag_name_syntax tagname=\"a?\" offset=\"3\"/><tag_name_syntax tagname=\"c;d\" offset=\"8\"/>", "r{a? c;d}", false},
    {"dots, dashes and colons in names", u"<x:r><a.b-c_d/></x:r>", "", "x:r{a.b-c_d}", true},
};

class ParseTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTable, NotesTreeAndWellFormedness) {
  const ParseCase& c = GetParam();
  CXmlDocument doc(c.text);
  EXPECT_EQ(narrow(doc.GetResult()), c.notes);
  EXPECT_EQ(tree(doc), c.tree);
  EXPECT_EQ(doc.IsWellFormed(), c.wellFormed);
  xmltest::expectConsistent(doc);
}

INSTANTIATE_TEST_SUITE_P(Documents, ParseTable, ::testing::ValuesIn(kParseCases),
                         [](const auto& param) {
                           std::string n;
                           for (const char* p = param.param.label; *p; ++p) n += std::isalnum((unsigned char)*p) ? *p : '_';
                           return n;
                         });

TEST(Parse, UnendedElementKeepsOnlyItsStartTag) {
  CXmlDocument doc(u"<r><a><b></a></r>");
  const auto& ix = doc.Index();
  // r=1, a=2, b=3
  EXPECT_EQ(ix[3].length, 3u);
  EXPECT_TRUE(ix[3].levelFlags & xml::ELEMENT_UNENDED);
  EXPECT_EQ(ix[2].firstChild, 3u);
  EXPECT_EQ(ix[2].length, 10u);  // "<a><b></a>"
  EXPECT_EQ(doc.EndTagLength(2), 4u);
  EXPECT_TRUE(ix[0].levelFlags & xml::ELEMENT_DOC_NOT_WELL_FORMED);
}

TEST(Parse, ErrorBitMarksTheEnclosingElement) {
  CXmlDocument doc(u"<r><a><1></a></r>");
  EXPECT_TRUE(doc.Index()[2].levelFlags & xml::ELEMENT_HAS_ERROR);
  EXPECT_FALSE(doc.Index()[1].levelFlags & xml::ELEMENT_HAS_ERROR);
}

TEST(Parse, IgnoreCaseMatchesEndTags) {
  CXmlDocument doc;
  doc.SetFlags(xml::DOCFLAG_IGNORE_CASE);
  EXPECT_TRUE(doc.SetDocumentText(u"<Root><A></a></ROOT>"));
  EXPECT_TRUE(doc.FindElement(u"root"));
}

TEST(Parse, ReportStopsGrowingAtItsLimit) {
  std::u16string text = u"<r>";
  for (int i = 0; i < 500; ++i) text += u"</x>";
  text += u"</r>";
  CXmlDocument doc(text);
  EXPECT_GE(doc.GetResult().size(), 1000u);
  EXPECT_LT(doc.GetResult().size(), 1100u);
}

TEST(Navigation, FindEnterLeave) {
  CXmlDocument doc(u"<r><a id='1'/><b/><a id='2'><c/></a></r>");
  EXPECT_EQ(doc.GetTagName(), u"");
  EXPECT_TRUE(doc.FindElement(u"r"));
  EXPECT_TRUE(doc.EnterElement());
  EXPECT_TRUE(doc.FindElement(u"a"));
  EXPECT_EQ(doc.GetAttribute(u"id"), u"1");
  EXPECT_TRUE(doc.FindElement(u"a"));  // skips b
  EXPECT_EQ(doc.GetAttribute(u"id"), u"2");
  EXPECT_FALSE(doc.FindElement(u"a"));  // no further match: position unchanged
  EXPECT_EQ(doc.GetAttribute(u"id"), u"2");
  EXPECT_TRUE(doc.EnterElement());
  EXPECT_EQ(doc.GetTagName(), u"");
  EXPECT_TRUE(doc.FindElement());  // any name
  EXPECT_EQ(doc.GetTagName(), u"c");
  EXPECT_TRUE(doc.LeaveElement());
  EXPECT_EQ(doc.GetTagName(), u"a");
  EXPECT_TRUE(doc.EnterElement());  // back to the element just left
  EXPECT_EQ(doc.GetTagName(), u"c");
  EXPECT_TRUE(doc.LeaveElement());
  EXPECT_TRUE(doc.LeaveElement());
  EXPECT_EQ(doc.GetTagName(), u"r");
  EXPECT_FALSE(doc.LeaveElement());
  doc.ResetPosition();
  EXPECT_FALSE(doc.EnterElement());
}

TEST(Navigation, RefusedNames) {
  CXmlDocument doc(u"<r/>");
  for (std::u16string_view name : {u"/r", u"a b", u"a=b", u"a]"}) {
    EXPECT_FALSE(doc.FindElement(name)) << narrow(name);
  }
  EXPECT_EQ(doc.CurrentElement(), 0u);
}

TEST(Navigation, BothTopLevelElementsAreReachable) {
  CXmlDocument doc(u"<a/><b/>");
  EXPECT_TRUE(doc.FindElement(u"a"));
  EXPECT_TRUE(doc.FindElement(u"b"));
}

TEST(Navigation, NothingWithoutText) {
  CXmlDocument doc;
  EXPECT_FALSE(doc.IsWellFormed());
  EXPECT_FALSE(doc.FindElement());
  EXPECT_EQ(doc.GetAttribute(u"x"), u"");
}

struct AttributeCase {
  std::u16string_view tag;
  std::u16string_view name;
  std::u16string_view value;
};

const AttributeCase kAttributeCases[] = {
    {u"<a x=\"1\"/>", u"x", u"1"},
    {u"<a x='1' y = '2'/>", u"y", u"2"},
    {u"<a x=1 y=2>", u"y", u"2"},
    {u"<a x=c/>", u"x", u"c/"},
    {u"<a checked y='1'/>", u"checked", u"checked"},
    {u"<a \"q\" x='1'/>", u"x", u"1"},
    {u"<a x='1'/>", u"X", u""},
    {u"<a x='1'/>", u"missing", u""},
    {u"<a x='&#60;&#x3C;&lt;&LT;'/>", u"x", u"<<<<"},
    {u"<a x='&nosuch; & x &amp'/>", u"x", u"&nosuch; & x &amp"},
    {u"<a x='&#0;&#99999999;&#xD800;'/>", u"x", u"&#0;&#99999999;&#xD800;"},
    {u"<a x='&#x1F600;'/>", u"x", u"\U0001F600"},
    {u"<a x='&Oslash;&oslash;&OSLASH;&euro;&apos;&quot;'/>", u"x", u"\u00D8\u00F8\u00F8\u20AC'\""},
    {u"<a x='&verylongname;'/>", u"x", u"&verylongname;"},
    {u"<a x='&\u00e9;'/>", u"x", u"&\u00e9;"},
    {u"<a x='&amp;&amp&lt;&gt&lt'/>", u"x", u"&&amp<&gt&lt"},
};

class AttributeTable : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(AttributeTable, ReadsDecodedValue) {
  const AttributeCase& c = GetParam();
  CXmlDocument doc(c.tag);
  ASSERT_TRUE(doc.FindElement(u"a"));
  EXPECT_EQ(doc.GetAttribute(c.name), c.value) << narrow(c.tag);
}

INSTANTIATE_TEST_SUITE_P(Attributes, AttributeTable, ::testing::ValuesIn(kAttributeCases));

TEST(Attributes, WhitespaceFlags) {
  EXPECT_EQ(CXmlDocument::UnescapeText(u"  a \t b  ", xml::DOCFLAG_TRIM_WHITESPACE), u"a \t b");
  EXPECT_EQ(CXmlDocument::UnescapeText(u"  a \t b  ", xml::DOCFLAG_COLLAPSE_WHITESPACE), u"a b");
}

TEST(Attributes, ScanStaysInsideTheStartTag) {
  // The quoted token after the name ends the start tag early for the scanner ("<a "x>"), and
  // the attribute scan must not wander into the following text.
  CXmlDocument doc(u"<a \"x>\" y='1'/>");
  ASSERT_TRUE(doc.FindElement(u"a"));
  EXPECT_EQ(doc.GetAttribute(u"y"), u"");
}

TEST(Entities, EveryNamedReferenceDecodes) {
  // Spot checks across the table; every entry must be reachable through its bucket.
  struct {
    std::u16string_view name;
    char32_t code;
  } checks[] = {{u"nbsp", 160}, {u"yuml", 255}, {u"Yuml", 376}, {u"thetasym", 977}, {u"alefsym", 8501},
                {u"diams", 9830}, {u"euro", 8364}, {u"rArr", 8658}, {u"rarr", 8594}, {u"RARR", 8594},
                {u"Prime", 8243}, {u"apos", 39}, {u"lt", 60}, {u"nosuch", 0}, {u"", 0}};
  for (const auto& c : checks) EXPECT_EQ(xml::lookupNamedReference(c.name), c.code) << narrow(c.name);
}

}  // namespace
