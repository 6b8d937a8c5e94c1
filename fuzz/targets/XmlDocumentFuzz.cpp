// Arbitrary text as an XML document: parse it, visit every element and read attributes,
// edit one element, then parse the edited text again. Navigation must stay inside the
// index, and an edit of a well-formed document must give a well-formed text whose parse
// shows the same elements the edited index shows.
#include <string>
#include <vector>

#include "CXmlDocument.h"
#include "FuzzCheck.h"
#include "Utf.h"
#include "XmlFlags.h"

namespace {

struct Visit {
    int depth;
    std::u16string name;
    std::u16string z;
    bool operator==(const Visit&) const = default;
};

// Depth-first through every element, by the document's own navigation.
std::vector<Visit> walk(CXmlDocument& doc) {
    std::vector<Visit> seen;
    doc.ResetPosition();
    int depth = 0;
    for (;;) {
        if (doc.FindElement()) {
            FUZZ_CHECK(seen.size() < doc.ElementCount());
            FUZZ_CHECK(doc.CurrentElement() < doc.ElementCount());
            seen.push_back({depth, doc.GetTagName(), doc.GetAttribute(u"z")});
            doc.GetAttribute(u"a");
            doc.GetAttribute(u"ID");
            FUZZ_CHECK(doc.EnterElement());
            ++depth;
            continue;
        }
        if (depth == 0) break;
        FUZZ_CHECK(doc.LeaveElement());
        --depth;
    }
    return seen;
}

// Moves to the n-th element in document order; false when there are fewer.
bool moveTo(CXmlDocument& doc, unsigned n) {
    doc.ResetPosition();
    int depth = 0;
    for (;;) {
        if (doc.FindElement()) {
            if (n-- == 0) return true;
            doc.EnterElement();
            ++depth;
            continue;
        }
        if (depth == 0) return false;
        doc.LeaveElement();
        --depth;
    }
}

constexpr unsigned kAddFlags[] = {
    0,
    xml::NODEFLAG_AS_CHILD,
    xml::NODEFLAG_INSERT_BEFORE,
    xml::NODEFLAG_AS_CHILD | xml::NODEFLAG_INSERT_BEFORE,
    xml::NODEFLAG_CDATA | xml::NODEFLAG_AS_CHILD,
    xml::NODEFLAG_NO_END_TAG | xml::NODEFLAG_SPACE_BEFORE_SLASH,
    xml::NODEFLAG_REPLACE_CONTENT | xml::NODEFLAG_AS_CHILD,
    xml::NODEFLAG_NO_LINES | xml::NODEFLAG_KEEP_REFERENCES,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const unsigned mode = data[0];
    const unsigned target = data[1];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

    std::u16string text;
    switch (mode & 3) {
    case 0:
    case 3: text = xml::utf::utf8ToUtf16(bytes); break;
    case 1:
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          static_cast<unsigned char>(bytes[i + 1]) << 8);
        break;
    default:
        for (char c : bytes) text += static_cast<char16_t>(static_cast<unsigned char>(c));
    }

    CXmlDocument doc;
    if (mode & 4) doc.SetFlags(xml::DOCFLAG_IGNORE_CASE);
    const bool wellFormed = doc.SetDocumentText(text);
    FUZZ_CHECK(wellFormed == doc.IsWellFormed());
    FUZZ_CHECK(doc.GetDocumentText() == text);
    walk(doc);

    // One edit at the chosen element (or at the top when there are fewer elements).
    const std::u16string value = u"v<&>\"'\r\n\t]]>\xD83D\xDE00";
    const unsigned flags = kAddFlags[(mode >> 3) % std::size(kAddFlags)];
    if (!moveTo(doc, target)) doc.ResetPosition();
    if (doc.CurrentElement() != 0) FUZZ_CHECK(doc.SetAttribute(u"z", value));
    const bool added = static_cast<bool>(
        doc.AddElement(u"n", (flags & xml::NODEFLAG_NO_END_TAG) ? u"" : u"d<&>]]>x", flags));
    // A new element beside the root makes a second root, and one added without an end tag
    // stays unended on purpose: neither is well-formed, and both are what the caller asked for.
    const bool addedAtTop = added && doc.CurrentParent() == 0;
    const bool addedUnended = added && (flags & xml::NODEFLAG_NO_END_TAG) != 0;
    if (added) FUZZ_CHECK(doc.SetAttribute(u"z", static_cast<long long>(target) - 1000));
    const std::vector<Visit> edited = walk(doc);

    CXmlDocument again;
    if (mode & 4) again.SetFlags(xml::DOCFLAG_IGNORE_CASE);
    const bool stillWellFormed = again.SetDocumentText(doc.GetDocumentText());
    if (wellFormed) {
        FUZZ_CHECK(stillWellFormed || addedAtTop || addedUnended);
        FUZZ_CHECK(walk(again) == edited);
    }
    // Emptying the document frees everything and leaves nothing to navigate.
    doc.SetDocumentText(std::nullopt);
    FUZZ_CHECK(doc.GetDocumentText().empty());
    doc.ResetPosition();
    FUZZ_CHECK(!doc.FindElement());
    return 0;
}
