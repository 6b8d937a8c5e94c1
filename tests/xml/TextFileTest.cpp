// Files and encodings: BOMs, declared encodings, the UTF-8 test, notes, round trips and the
// atomic save.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "CXmlDocument.h"
#include "Utf.h"
#include "XmlCharsets.h"
#include "XmlTestSupport.h"
#include "XmlTextFile.h"

using xmltest::narrow;
namespace fs = std::filesystem;

namespace {

class TextFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kx30-xml-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path write(const std::string& name, std::string_view bytes) {
    fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return p;
  }
  static std::string read(const fs::path& p) {
    std::string bytes(fs::file_size(p), '\0');
    std::ifstream(p, std::ios::binary).read(bytes.data(), std::streamsize(bytes.size()));
    return bytes;
  }
  std::size_t entries() const { return std::size_t(std::distance(fs::directory_iterator(dir_), fs::directory_iterator())); }

  fs::path dir_;
};

struct ReadCase {
  const char* label;
  std::string_view bytes;
  std::u16string_view text;
  const char* notes;
  unsigned flags;
};

using namespace std::string_view_literals;

const ReadCase kReadCases[] = {
    {"empty file", ""sv, u"", "<read encoding=\"\" length=\"0\"/>", 0},
    {"utf8 bom", "\xEF\xBB\xBF<a/>"sv, u"<a/>",
     "<bom/><read encoding=\"UTF-8\" length=\"4\"/><converted_to encoding=\"UTF-16\" length=\"4\"/>", xml::DOCFLAG_UTF8_BOM},
    {"utf16le bom", "\xFF\xFE<\0a\0/\0>\0"sv, u"<a/>", "<bom/><read encoding=\"UTF-16LE\" length=\"4\"/>",
     xml::DOCFLAG_UTF16LE_FILE},
    {"utf16be bom", "\xFE\xFF\0<\0a\0/\0>"sv, u"<a/>", "<bom/><read encoding=\"UTF-16BE\" length=\"4\"/><endian_swap/>",
     xml::DOCFLAG_UTF16BE_FILE},
    {"latin1 declaration", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a t='\xE9'/>"sv,
     u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a t='\u00e9'/>",
     "<read encoding=\"ISO-8859-1\" length=\"53\"/><converted_to encoding=\"UTF-16\" length=\"53\"/>", 0},
    {"starts with markup", "<a t='\xC3\xA9'/>"sv, u"<a t='\u00e9'/>",
     "<read encoding=\"UTF-8\" length=\"11\"/><converted_to encoding=\"UTF-16\" length=\"10\"/>", 0},
    {"whitespace first, valid utf8", " <a t='\xC3\xA9'/>"sv, u" <a t='\u00e9'/>",
     "<read encoding=\"UTF-8\" length=\"12\"/><utf8_detection/><converted_to encoding=\"UTF-16\" length=\"11\"/>", 0},
    {"nulls removed", "<a\0/\0>"sv, u"<a/>",
     "<read encoding=\"UTF-8\" length=\"6\"/><nulls_removed count=\"2\"/><converted_to encoding=\"UTF-16\" length=\"4\"/>", 0},
    {"html meta charset", "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"></head>\xE9</html>"sv,
     u"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\"></head>\u00e9</html>",
     "<read encoding=\"iso-8859-1\" length=\"99\"/><converted_to encoding=\"UTF-16\" length=\"99\"/>", 0},
    {"invalid utf8 declared", "<a t='\xFF\xC3'/>"sv, u"<a t='\uFFFD\uFFFD'/>",
     "<read encoding=\"UTF-8\" length=\"11\"/><converted_to encoding=\"UTF-16\" length=\"11\"/>", 0},
    {"four-byte sequence", "<a t='\xF0\x9F\x98\x80'/>"sv, u"<a t='\U0001F600'/>",
     "<read encoding=\"UTF-8\" length=\"13\"/><converted_to encoding=\"UTF-16\" length=\"11\"/>", 0},
};

class ReadTable : public TextFile, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadTable, TextNotesAndFlags) {
  const ReadCase& c = GetParam();
  const fs::path p = write("in.xml", c.bytes);
  std::u16string text, notes;
  unsigned flags = 0;
  ASSERT_TRUE(CXmlDocument::ReadTextFile(p, text, &notes, &flags));
  EXPECT_EQ(text, c.text);
  EXPECT_EQ(narrow(notes), c.notes);
  EXPECT_EQ(flags, c.flags);
}

INSTANTIATE_TEST_SUITE_P(Files, ReadTable, ::testing::ValuesIn(kReadCases), [](const auto& param) {
  std::string n;
  for (const char* p = param.param.label; *p; ++p) n += std::isalnum((unsigned char)*p) ? *p : '_';
  return n;
});

TEST_F(TextFile, WhitespaceFirstInvalidUtf8FallsBackToTheSystemCodePage) {
  const fs::path p = write("in.xml", " <a t='\xE9'/>");
  std::u16string text, notes;
  ASSERT_TRUE(CXmlDocument::ReadTextFile(p, text, &notes, nullptr));
  EXPECT_EQ(narrow(notes).substr(0, 48), "<read encoding=\"\" length=\"11\"/><utf8_detection/>");
  EXPECT_EQ(text.substr(0, 7), u" <a t='");
  EXPECT_EQ(text.size(), 11u);
}

TEST_F(TextFile, MissingFile) {
  std::u16string text = u"old", notes;
  unsigned flags = xml::DOCFLAG_UTF8_BOM;
  const auto r = CXmlDocument::ReadTextFile(dir_ / "nope.xml", text, &notes, &flags);
  EXPECT_FALSE(r);
  EXPECT_EQ(r.status, xml::XmlStatus::OpenFailed);
  EXPECT_EQ(r.systemError, 2);
  EXPECT_EQ(narrow(notes), "<file_error msg=\"No such file or directory\" n=\"2\"/>");
  EXPECT_EQ(text, u"");
  EXPECT_EQ(flags, xml::DOCFLAG_UTF8_BOM);

  CXmlDocument doc(u"<old/>");
  EXPECT_FALSE(doc.LoadFile(dir_ / "nope.xml"));
  EXPECT_EQ(doc.GetDocumentText(), u"");
  EXPECT_FALSE(doc.FindElement());  // no stale index behind the empty text
}

TEST_F(TextFile, LoadAppendsParseNotesAfterFileNotes) {
  const fs::path p = write("in.xml", "<r></x></r>");
  CXmlDocument doc;
  ASSERT_TRUE(doc.LoadFile(p));
  EXPECT_EQ(narrow(doc.GetResult()),
            "<read encoding=\"UTF-8\" length=\"11\"/><converted_to encoding=\"UTF-16\" length=\"11\"/>"
            "<lone_end_tag tagname=\"x\" offset=\"3\"/>");
}

TEST_F(TextFile, RoundTripsAreByteIdentical) {
  const std::string profile =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<KelvaneX30>\r\n<x ID=\"0\" t1=\"&lt;\xE4\xB8\xAD&quot;\"/>\r\n</KelvaneX30>\r\n";
  const std::string bomUtf8 = "\xEF\xBB\xBF" + profile;
  const std::string utf16le = std::string("\xFF\xFE<\0r\0/\0>\0\r\0\n\0", 14);
  const std::string utf16be = std::string("\xFE\xFF\0<\0r\0/\0>", 10);
  const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a t='\xE9'/>";
  for (const std::string& bytes : {profile, bomUtf8, utf16le, utf16be, latin1}) {
    const fs::path in = write("in.xml", bytes);
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(in));
    const fs::path out = dir_ / "out.xml";
    ASSERT_TRUE(doc.SaveFile(out)) << narrow(doc.GetResult());
    EXPECT_EQ(read(out), bytes);
  }
}

TEST_F(TextFile, ProfileDocumentSavesAsUtf8WithoutBom) {
  CXmlDocument doc(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
  doc.AddElement(u"KelvaneX30");
  const fs::path out = dir_ / "p.pro";
  ASSERT_TRUE(doc.SaveFile(out));
  EXPECT_EQ(read(out), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<KelvaneX30/>\r\n");
  EXPECT_EQ(narrow(doc.GetResult()),
            "<converted_from encoding=\"UTF-16\" length=\"55\"/><write encoding=\"UTF-8\" length=\"55\"/>");
  EXPECT_EQ(entries(), 1u);  // no temporary file left behind
}

TEST_F(TextFile, WriteEncodings) {
  struct {
    std::u16string_view text;
    unsigned flags;
    std::string_view bytes;
    const char* lastNote;
  } cases[] = {
      {u"<a/>", xml::DOCFLAG_UTF8_BOM, "\xEF\xBB\xBF<a/>"sv, "<write encoding=\"UTF-8\" length=\"4\"/>"},
      {u"<a/>", xml::DOCFLAG_UTF16BE_FILE, "\xFE\xFF\0<\0a\0/\0>"sv, "<write encoding=\"UTF-16BE\" length=\"4\"/>"},
      {u"", 0, ""sv, "<write encoding=\"\" length=\"0\"/>"},
      {u"<?xml encoding='us-ascii'?><a t='\u00e9'/>", 0, "<?xml encoding='us-ascii'?><a t='?'/>"sv,
       "<conversion_loss/><write encoding=\"us-ascii\" length=\"37\"/>"},
      {u"<a t='\xD800'/>", 0, "<a t='\xEF\xBF\xBD'/>"sv, "<conversion_loss/><write encoding=\"UTF-8\" length=\"12\"/>"},
  };
  for (const auto& c : cases) {
    std::u16string notes;
    unsigned flags = c.flags;
    const fs::path out = dir_ / "w.xml";
    ASSERT_TRUE(CXmlDocument::WriteTextFile(out, c.text, &notes, &flags));
    EXPECT_EQ(read(out), c.bytes);
    const std::string n = narrow(notes);
    EXPECT_EQ(n.substr(n.size() - std::string(c.lastNote).size()), c.lastNote) << n;
    EXPECT_EQ(flags, c.flags);
  }
}

TEST_F(TextFile, FailedSaveLeavesTheOldFile) {
  const fs::path target = write("keep.pro", "old content");
  CXmlDocument doc(u"<r>" + std::u16string(200000, u'x') + u"</r>");

  // The file-size limit makes the write fail half-way through.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto prevHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto r = doc.SaveFile(target);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, prevHandler);

  EXPECT_FALSE(r);
  EXPECT_EQ(r.status, xml::XmlStatus::WriteFailed);
  EXPECT_EQ(r.offset, 4096u);
  EXPECT_NE(narrow(doc.GetResult()).find("<file_error msg=\"File too large\""), std::string::npos);
  EXPECT_EQ(read(target), "old content");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(TextFile, UnwritableTargetsAreReported) {
  CXmlDocument doc(u"<r/>");
  const auto noDir = doc.SaveFile(dir_ / "missing" / "x.pro");
  EXPECT_EQ(noDir.status, xml::XmlStatus::OpenFailed);
  EXPECT_EQ(noDir.systemError, ENOENT);
  // A directory in the way: renaming over it fails and nothing is left behind.
  fs::create_directories(dir_ / "busy" / "inside");
  const auto busy = doc.SaveFile(dir_ / "busy");
  EXPECT_EQ(busy.status, xml::XmlStatus::RenameFailed);
  EXPECT_TRUE(fs::is_directory(dir_ / "busy" / "inside"));
  EXPECT_EQ(entries(), 1u);
}

TEST_F(TextFile, SaveKeepsPermissionsAndFollowsLinks) {
  const fs::path target = write("t.pro", "old");
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(target, dir_ / "link.pro");
  CXmlDocument doc(u"<r/>");
  ASSERT_TRUE(doc.SaveFile(dir_ / "link.pro"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.pro"));
  EXPECT_EQ(read(target), "<r/>");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(TextFile, SaveRemovesTemporaryFilesOfKilledSaves) {
  const fs::path target = write("t.pro", "old");
  write("other.pro", "other");
  enum Kind { Unlocked, Held, Folder, Link };
  const struct {
    const char* name;
    Kind kind;
    bool removed;
  } cases[] = {
      {".t.pro.tmp-4242-0", Unlocked, true},
      {".t.pro.tmp-1-17", Unlocked, true},
      {".t.pro.tmp-4243-1", Held, false},  // a save still writing it
      {".t.pro.tmp-5-6", Folder, false},
      {".t.pro.tmp-7-8", Link, false},
      {".other.pro.tmp-9-0", Unlocked, false},  // another target's
      {".t.pro.tmp-abc", Unlocked, false},
      {".t.pro.tmp-1-", Unlocked, false},
      {".t.pro.tmp--1", Unlocked, false},
      {".t.pro.tmp-1-2.bak", Unlocked, false},
      {"t.pro.tmp-1-2", Unlocked, false},
  };
  std::vector<int> held;
  for (const auto& c : cases) {
    const fs::path p = dir_ / c.name;
    switch (c.kind) {
      case Folder: fs::create_directory(p); break;
      case Link: fs::create_symlink(dir_ / "other.pro", p); break;
      default: {
        write(c.name, "partial");
        if (c.kind == Held) {
          const int fd = ::open(p.c_str(), O_WRONLY | O_CLOEXEC);
          ASSERT_GE(fd, 0);
          ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
          held.push_back(fd);
        }
      }
    }
  }
  CXmlDocument doc(u"<r/>");
  ASSERT_TRUE(doc.SaveFile(target));
  EXPECT_EQ(read(target), "<r/>");
  for (const auto& c : cases) EXPECT_EQ(!fs::exists(fs::symlink_status(dir_ / c.name)), c.removed) << c.name;
  EXPECT_EQ(read(dir_ / "other.pro"), "other");
  EXPECT_EQ(read(dir_ / ".t.pro.tmp-4243-1"), "partial");
  for (const int fd : held) ::close(fd);
  // Once its save is gone, the next save takes that one as well.
  ASSERT_TRUE(doc.SaveFile(target));
  EXPECT_FALSE(fs::exists(dir_ / ".t.pro.tmp-4243-1"));
}

TEST_F(TextFile, AppendKeepsExistingContent) {
  const fs::path target = write("a.xml", "<a/>");
  unsigned flags = xml::DOCFLAG_APPEND_FILE | xml::DOCFLAG_UTF8_BOM;
  ASSERT_TRUE(CXmlDocument::WriteTextFile(target, u"<b/>", nullptr, &flags));
  EXPECT_EQ(read(target), "<a/><b/>");  // no BOM in the middle of a file
  EXPECT_EQ(flags, xml::DOCFLAG_UTF8_BOM);
}

TEST(Encodings, CodePageOfName) {
  struct {
    std::u16string_view name;
    int cp;
  } cases[] = {{u"UTF-8", 65001}, {u"utf8", 65001}, {u"Cp65001", 65001}, {u"ISO-8859-1", 28591},
               {u"Shift_JIS", 932}, {u"UTF-32BE", 65005}, {u"utf-32", 12000}, {u"", 0},
               {u"no-such-charset", 0}, {u"_iso-2022-jp$sio", 50222}, {u"iso-4873:1986", 54936}};
  for (const auto& c : cases) EXPECT_EQ(xml::codePageOfName(c.name), c.cp) << narrow(c.name);
  EXPECT_EQ(xml::codePageOfName(std::u16string(100, u'a')), 0);
}

TEST(Encodings, Utf8Test) {
  struct {
    std::string_view bytes;
    bool passes;
  } cases[] = {{"plain ascii text, long enough for blocks"sv, true}, {"\xC3\xA9"sv, true}, {"\xE4\xB8\xAD"sv, true},
               {"\xF0\x9F\x98\x80"sv, true}, {"\xC3"sv, false}, {"\xE4\xB8"sv, false}, {"\xC3\x41"sv, false},
               {"\xF8\x80\x80\x80\x80"sv, false}, {"abcdefgh\xE9ijklmnop"sv, false}};
  for (const auto& c : cases)
    EXPECT_EQ(xml::utf::passesUtf8Test(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size()), c.passes);
}

TEST(Encodings, Utf8BothWaysAcrossBlockBoundaries) {
  // Multi-byte characters at every position relative to the 16-byte blocks.
  for (std::size_t pad = 0; pad < 20; ++pad) {
    const std::u16string text = std::u16string(pad, u'a') + u"\u00e9\u4e2d\U0001F600" + std::u16string(pad, u'b');
    bool loss = true;
    const std::string bytes = xml::utf::utf16ToUtf8(text, &loss);
    EXPECT_FALSE(loss);
    EXPECT_EQ(xml::utf::utf8ToUtf16(bytes), text);
  }
}

TEST(Encodings, ProbeFindsDeclarations) {
  EXPECT_EQ(xml::probeEncoding(u"<?xml version='1.0' encoding='windows-1252'?><a/>"), u"windows-1252");
  EXPECT_EQ(xml::probeEncoding(u" <?xml encoding='x'?>"), u"");  // not at offset 0
  EXPECT_EQ(xml::probeEncoding(u"<?xmlfoo encoding='x'?>"), u"");
  EXPECT_EQ(xml::probeEncoding(u"<body><meta http-equiv='Content-Type' content='charset=x'>"), u"");
  EXPECT_EQ(xml::probeEncoding(u"<HTML><META HTTP-EQUIV='content-type' CONTENT='text/html;charset = koi8-r'>"), u"koi8-r");
  EXPECT_EQ(xml::probeEncoding(u"<html></head><meta http-equiv='Content-Type' content='charset=x'>"), u"");
}

}  // namespace
