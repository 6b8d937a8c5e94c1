// Arbitrary bytes as an XML file: reading detects the encoding and decodes without reading
// outside the file; writing the text back with the detected flags and reading it again
// gives the same text whenever the file was UTF-16 (which holds every unit as it is).
#include "CXmlDocument.h"
#include "FuzzFiles.h"
#include "FuzzCheck.h"
#include "XmlFlags.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto in = kx30fuzz::scratchFile("in.xml");
    const auto out = kx30fuzz::scratchFile("out.xml");
    kx30fuzz::writeBytes(in, data, size);

    std::u16string text, result;
    unsigned flags = 0;
    FUZZ_CHECK(CXmlDocument::ReadTextFile(in, text, &result, &flags));

    unsigned writeFlags = flags & xml::DOCFLAG_BOM_MASK;
    FUZZ_CHECK(CXmlDocument::WriteTextFile(out, text, &result, &writeFlags));
    std::u16string back;
    unsigned backFlags = 0;
    FUZZ_CHECK(CXmlDocument::ReadTextFile(out, back, nullptr, &backFlags));
    if (flags & (xml::DOCFLAG_UTF16LE_FILE | xml::DOCFLAG_UTF16BE_FILE)) FUZZ_CHECK(back == text);

    // The document on top of the file layer: load, save, load gives the same text.
    CXmlDocument doc;
    FUZZ_CHECK(doc.LoadFile(in));
    FUZZ_CHECK(doc.GetDocumentText() == text);
    return 0;
}
