// AddElement and SetAttribute: the exact text they produce and the index they keep.
#include <gtest/gtest.h>

#include <vector>

#include "CXmlDocument.h"
#include "XmlNotes.h"
#include "XmlTestSupport.h"

using xmltest::narrow;

namespace {

constexpr std::u16string_view kDecl = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

TEST(Edit, BuildsLinesExactly) {
  CXmlDocument doc(kDecl);
  ASSERT_TRUE(doc.AddElement(u"A"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.AddElement(u"B"));
  ASSERT_TRUE(doc.SetAttribute(u"ID", 1));
  ASSERT_TRUE(doc.AddElement(u"E"));
  ASSERT_TRUE(doc.LeaveElement());
  ASSERT_TRUE(doc.AddElement(u"D"));
  EXPECT_EQ(doc.GetDocumentText(), std::u16string(kDecl) + u"<A>\r\n<B ID=\"1\"/>\r\n<E/>\r\n</A>\r\n<D/>\r\n");
  xmltest::expectConsistent(doc);
  // The edited index reads back like a parsed one.
  CXmlDocument reparsed(doc.GetDocumentText());
  EXPECT_EQ(xmltest::tree(reparsed), xmltest::tree(doc));
  EXPECT_EQ(xmltest::tree(doc), "A{B E} D");
}

TEST(Edit, SetAttributeReplacesValue) {
  CXmlDocument doc(u"<B/>");
  ASSERT_TRUE(doc.FindElement(u"B"));
  ASSERT_TRUE(doc.SetAttribute(u"x", 1));
  ASSERT_TRUE(doc.SetAttribute(u"x", 2));
  EXPECT_EQ(doc.GetDocumentText(), u"<B x=\"2\"/>");
  // An unquoted old value is replaced by a quoted one; a longer value shifts what follows.
  CXmlDocument d2(u"<r><a v=1 w='z'/><b/></r>");
  ASSERT_TRUE(d2.FindElement(u"r") && d2.EnterElement() && d2.FindElement(u"a"));
  ASSERT_TRUE(d2.SetAttribute(u"v", u"long value"));
  EXPECT_EQ(d2.GetDocumentText(), u"<r><a v=\"long value\" w='z'/><b/></r>");
  EXPECT_EQ(d2.GetAttribute(u"w"), u"z");
  ASSERT_TRUE(d2.FindElement(u"b"));
  ASSERT_TRUE(d2.SetAttribute(u"n", -5));
  EXPECT_EQ(d2.GetAttribute(u"n"), u"-5");
  xmltest::expectConsistent(d2);
}

TEST(Edit, EscapingBothWays) {
  const std::u16string_view five = u"&<>\"'";
  CXmlDocument doc(u"<B/>");
  ASSERT_TRUE(doc.FindElement(u"B"));
  ASSERT_TRUE(doc.SetAttribute(u"t1", five));
  EXPECT_EQ(doc.GetDocumentText(), u"<B t1=\"&amp;&lt;&gt;&quot;&apos;\"/>");
  EXPECT_EQ(doc.GetAttribute(u"t1"), five);

  struct {
    std::u16string_view in;
    unsigned flags;
    std::u16string_view out;
  } cases[] = {
      {u"a&b<c>d\"e'f", 0, u"a&amp;b&lt;c&gt;d\"e'f"},
      {u"&amp; &#60; &x; & ;", xml::NODEFLAG_KEEP_REFERENCES, u"&amp; &#60; &x; &amp; ;"},
      {u"&1;", xml::NODEFLAG_KEEP_REFERENCES, u"&amp;1;"},
      {u"\r\n\t\u00e9", xml::NODEFLAG_ESCAPE_QUOTES, u"\r\n\t\u00e9"},
  };
  for (const auto& c : cases) EXPECT_EQ(CXmlDocument::EscapeText(c.in, c.flags), c.out) << narrow(c.in);
}

TEST(Edit, StartTagsReadAsTheScannerReadsThem) {
  // An attribute and a child added to the element at `path`: the edited text parses back
  // into the same elements and values, without an unended element or a lone end tag.
  struct {
    std::u16string_view text;
    unsigned docFlags;
    std::vector<std::u16string_view> path;
    std::u16string_view expected;
  } cases[] = {
      // The name runs on past the quote for the scanner, so the end tag repeats all of it.
      {u"<A><b\"x=\"1\"/></a>", xml::DOCFLAG_IGNORE_CASE, {u"A", u"b"},
       u"<A><b\"x=\"1\" z=\"v\">\r\n<n/>\r\n</b\"x=\"1\"></a>"},
      // A quote where an attribute name belongs opens nothing: the tag ends at the first '>'
      // and the new attribute goes before it, not into the text after it.
      {u"<a \"x>y</a>", 0, {u"a"}, u"<a \"x z=\"v\">y<n/>\r\n</a>"},
      // Opening "<a/t<//>" at its last '/' would leave "</>", an empty tag once more.
      {u"<a/t<//>", 0, {u"a"}, u"<a z=\"v\"/t</ >\r\n<n/>\r\n</a>"},
  };
  auto moveTo = [](CXmlDocument& doc, const std::vector<std::u16string_view>& path) {
    doc.ResetPosition();
    for (std::size_t i = 0; i < path.size(); ++i) {
      if (i > 0 && !doc.EnterElement()) return false;
      if (!doc.FindElement(path[i])) return false;
    }
    return true;
  };
  for (const auto& c : cases) {
    CXmlDocument doc;
    doc.SetFlags(c.docFlags);
    doc.SetDocumentText(c.text);
    ASSERT_TRUE(moveTo(doc, c.path)) << narrow(c.text);
    ASSERT_TRUE(doc.SetAttribute(u"z", u"v"));
    ASSERT_TRUE(doc.AddElement(u"n", {}, xml::NODEFLAG_AS_CHILD));
    EXPECT_EQ(doc.GetDocumentText(), c.expected) << narrow(c.text);
    xmltest::expectConsistent(doc);

    CXmlDocument again;
    again.SetFlags(c.docFlags);
    again.SetDocumentText(doc.GetDocumentText());
    EXPECT_EQ(xmltest::tree(again), xmltest::tree(doc)) << narrow(c.text);
    const std::string notes = narrow(again.GetResult());
    EXPECT_EQ(notes.find("unended_start_tag"), std::string::npos) << notes;
    EXPECT_EQ(notes.find("lone_end_tag"), std::string::npos) << notes;
    ASSERT_TRUE(moveTo(again, c.path));
    EXPECT_EQ(again.GetAttribute(u"z"), u"v") << narrow(c.text);
  }
}

TEST(Edit, OpensEmptyAndContentlessParents) {
  struct {
    std::u16string_view text;
    unsigned flags;
    std::u16string_view expected;
  } cases[] = {
      {u"<p></p>", 0, u"<p>\r\n<new/>\r\n</p>"},
      {u"<p/>", 0, u"<p>\r\n<new/>\r\n</p>"},
      {u"<p x='1' />", 0, u"<p x='1' >\r\n<new/>\r\n</p>"},
      {u"<p/>", xml::NODEFLAG_NO_LINES, u"<p><new/></p>"},
      {u"<p>", 0, u"<p>\r\n<new/>\r\n</p>"},  // unended
      {u"<p><a/></p>", xml::NODEFLAG_REPLACE_CONTENT, u"<p>\r\n<new/>\r\n</p>"},
  };
  for (const auto& c : cases) {
    CXmlDocument doc(c.text);
    ASSERT_TRUE(doc.FindElement(u"p") && doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(u"new", {}, c.flags));
    EXPECT_EQ(doc.GetDocumentText(), c.expected) << narrow(c.text);
    EXPECT_EQ(xmltest::tree(doc), "p{new}") << narrow(c.text);
    xmltest::expectConsistent(doc);
  }
}

TEST(Edit, ElementTextForms) {
  struct {
    std::u16string_view data;
    unsigned flags;
    std::u16string_view expected;
  } cases[] = {
      {{}, xml::NODEFLAG_SPACE_BEFORE_SLASH, u"<r>\r\n<n />\r\n</r>"},
      {{}, xml::NODEFLAG_NO_END_TAG, u"<r>\r\n<n>\r\n</r>"},
      {u"a<b", 0, u"<r>\r\n<n>a&lt;b</n>\r\n</r>"},
      {u"x]]>y", xml::NODEFLAG_CDATA, u"<r>\r\n<n><![CDATA[x]]]]><![CDATA[>y]]></n>\r\n</r>"},
  };
  for (const auto& c : cases) {
    CXmlDocument doc(u"<r/>");
    ASSERT_TRUE(doc.FindElement(u"r") && doc.EnterElement());
    ASSERT_TRUE(doc.AddElement(u"n", c.data, c.flags));
    EXPECT_EQ(doc.GetDocumentText(), c.expected);
    xmltest::expectConsistent(doc);
  }
  CXmlDocument doc(u"<r/>");
  ASSERT_TRUE(doc.FindElement(u"r") && doc.EnterElement());
  const auto refused = doc.AddElement(u"n", u"data", xml::NODEFLAG_NO_END_TAG);
  EXPECT_EQ(refused.status, xml::XmlStatus::InvalidArgument);
  EXPECT_EQ(doc.GetDocumentText(), u"<r/>");
}

TEST(Edit, InsertBeforeAndAsChild) {
  CXmlDocument doc(u"<r>\r\n<a/>\r\n<c/>\r\n</r>");
  ASSERT_TRUE(doc.FindElement(u"r") && doc.EnterElement() && doc.FindElement(u"c"));
  ASSERT_TRUE(doc.AddElement(u"b", {}, xml::NODEFLAG_INSERT_BEFORE));
  EXPECT_EQ(doc.GetDocumentText(), u"<r>\r\n<a/>\r\n<b/>\r\n<c/>\r\n</r>");
  doc.ResetPosition();
  ASSERT_TRUE(doc.FindElement(u"r") && doc.EnterElement());
  ASSERT_TRUE(doc.AddElement(u"first", {}, xml::NODEFLAG_INSERT_BEFORE));  // no reference: first child
  EXPECT_EQ(xmltest::tree(doc), "r{first a b c}");
  ASSERT_TRUE(doc.FindElement(u"c"));
  ASSERT_TRUE(doc.AddElement(u"k", {}, xml::NODEFLAG_AS_CHILD));
  EXPECT_EQ(doc.GetTagName(), u"c");  // the current element stays
  EXPECT_EQ(xmltest::tree(doc), "r{first a b c{k}}");
  xmltest::expectConsistent(doc);
  doc.ResetPosition();
  EXPECT_EQ(doc.AddElement(u"x", {}, xml::NODEFLAG_AS_CHILD).status, xml::XmlStatus::NoCurrentElement);
}

TEST(Edit, AddsAfterChildrenThatMovedUp) {
  // c moved up to follow b as a's last child; the new element goes after c, before "</a>".
  CXmlDocument doc(u"<r><a><b><c/></a></r>");
  ASSERT_TRUE(doc.FindElement(u"r") && doc.EnterElement() && doc.FindElement(u"a") && doc.EnterElement());
  ASSERT_TRUE(doc.AddElement(u"n"));
  EXPECT_EQ(doc.GetDocumentText(), u"<r><a><b><c/><n/>\r\n</a></r>");
  EXPECT_EQ(xmltest::tree(doc), "r{a{b c n}}");
  xmltest::expectConsistent(doc);
}

TEST(Edit, ShiftsEverythingAfterTheEdit) {
  CXmlDocument doc(u"<r><a><x/></a><b><y/></b></r><t/>");
  ASSERT_TRUE(doc.FindElement(u"r") && doc.EnterElement() && doc.FindElement(u"a"));
  ASSERT_TRUE(doc.SetAttribute(u"k", u"vvvv"));
  xmltest::expectConsistent(doc);
  ASSERT_TRUE(doc.EnterElement() && doc.FindElement(u"x"));
  ASSERT_TRUE(doc.AddElement(u"z"));
  xmltest::expectConsistent(doc);
  doc.ResetPosition();
  ASSERT_TRUE(doc.FindElement(u"r") && doc.EnterElement() && doc.FindElement(u"b") && doc.EnterElement() &&
              doc.FindElement(u"y"));
  EXPECT_EQ(doc.GetTagName(), u"y");
  doc.ResetPosition();
  ASSERT_TRUE(doc.FindElement(u"r") && doc.FindElement(u"t"));
  EXPECT_EQ(doc.GetDocumentText().substr(doc.Index()[doc.CurrentElement()].start), u"<t/>");
}

TEST(Edit, RefusesWithoutCurrentElement) {
  CXmlDocument doc(u"<r/>");
  EXPECT_EQ(doc.SetAttribute(u"x", 1).status, xml::XmlStatus::NoCurrentElement);
  EXPECT_EQ(doc.GetDocumentText(), u"<r/>");
}

TEST(Edit, StartsFromAnEmptyDocument) {
  CXmlDocument doc;
  ASSERT_TRUE(doc.AddElement(u"root"));
  ASSERT_TRUE(doc.SetAttribute(u"a", 1));
  EXPECT_EQ(doc.GetDocumentText(), u"<root a=\"1\"/>\r\n");
  EXPECT_TRUE(doc.IsWellFormed());
}

TEST(Edit, BuildingAProfileShapedDocumentReadsBack) {
  CXmlDocument doc(kDecl);
  doc.AddElement(u"KelvaneX30");
  doc.EnterElement();
  doc.AddElement(u"CurrentSettings");
  doc.EnterElement();
  for (int k = 1; k <= 87; ++k) {
    doc.AddElement(u"KEY");
    doc.SetAttribute(u"ID", k);
    doc.SetAttribute(u"Mode", 0);
    doc.EnterElement();
    doc.AddElement(u"List");
    doc.SetAttribute(u"SizeOfView", 6);
    doc.LeaveElement();
  }
  xmltest::expectConsistent(doc);
  CXmlDocument loaded(doc.GetDocumentText());
  EXPECT_TRUE(loaded.IsWellFormed());
  loaded.FindElement(u"KelvaneX30");
  loaded.EnterElement();
  loaded.FindElement(u"CurrentSettings");
  loaded.EnterElement();
  int count = 0;
  while (loaded.FindElement(u"KEY")) {
    EXPECT_EQ(loaded.GetAttribute(u"ID"), xml::toU16(std::to_string(++count)));
    loaded.EnterElement();
    EXPECT_TRUE(loaded.FindElement(u"List"));
    EXPECT_EQ(loaded.GetAttribute(u"SizeOfView"), u"6");
    loaded.LeaveElement();
  }
  EXPECT_EQ(count, 87);
}

}  // namespace
