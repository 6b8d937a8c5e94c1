#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CXmlDocument.h"
#include "Profile.h"
#include "Utf.h"

namespace fs = std::filesystem;

namespace {

std::unique_ptr<KeyboardConfiguration> clearedConfiguration() {
    auto c = std::make_unique<KeyboardConfiguration>();
    c->buildKeyCatalogue();
    c->clearConfiguration();
    return c;
}

KeyEventList listOf(int sizeOfView, std::initializer_list<const char*> items) {
    KeyEventList list(sizeOfView);
    for (const char* item : items) list.setOrAppend(KeyEventList::kAppendRow, item);
    return list;
}

// A configuration that uses every stored field with values other than the cleared ones.
void fillConfiguration(KeyboardConfiguration& c) {
    KeyEventList combo = listOf(6, {"Left CTRL", "C"});
    c.predefinedCombos.setOrAppend(KeyEventList::kAppendRow, "Copy <&> \"quoted\" 'single'");
    c.predefinedCombos.setChildAtRow(0, combo);
    KeyEventList macro = listOf(9, {"A Down", "<30 ms>", "A UP"});
    macro.setCycles(3);
    macro.setDelay(55);
    c.predefinedMacros.setOrAppend(KeyEventList::kAppendRow, "宏 one");
    c.predefinedMacros.setChildAtRow(0, macro);
    c.predefinedMacros.setOrAppend(KeyEventList::kAppendRow, "two");
    c.predefinedEmulations.setOrAppend(KeyEventList::kAppendRow, "emu");
    c.predefinedEmulations.setAutoInterval(true);

    c.kind[5][1] = 3;
    c.events[5][1] = macro;
    c.events[5][1].setView(1, 1);
    c.kind[87][0] = 1;
    c.code[87][0] = 30;
    c.light[12][1] = 7;
    c.kind[40][0] = 2;
    c.events[40][0] = combo;
    c.backlight[3] = 10;
    c.backlight[14] = 250;
}

// Every field of two lists, nested lists included.
void expectSameList(const KeyEventList& a, const KeyEventList& b, const std::string& where) {
    SCOPED_TRACE(where);
    EXPECT_EQ(a.sizeOfView(), b.sizeOfView());
    EXPECT_EQ(a.viewStartAt(), b.viewStartAt());
    EXPECT_EQ(a.cursorPos(), b.cursorPos());
    EXPECT_EQ(a.cycles(), b.cycles());
    EXPECT_EQ(a.isAutoInterval(), b.isAutoInterval());
    EXPECT_EQ(a.delay(), b.delay());
    ASSERT_EQ(a.items(), b.items());
    for (int i = 0; i < a.count(); ++i) expectSameList(a.child(i), b.child(i), where + "/" + std::to_string(i));
}

// The fields a profile stores.
void expectSameStored(const KeyboardConfiguration& a, const KeyboardConfiguration& b) {
    expectSameList(a.predefinedCombos, b.predefinedCombos, "combos");
    expectSameList(a.predefinedMacros, b.predefinedMacros, "macros");
    expectSameList(a.predefinedEmulations, b.predefinedEmulations, "emulations");
    for (int key = 1; key < kKeyRows; ++key) {
        for (int level = 0; level < kLevels; ++level) {
            const std::string where = "key " + std::to_string(key) + " level " + std::to_string(level);
            SCOPED_TRACE(where);
            EXPECT_EQ(a.light[key][level], b.light[key][level]);
            EXPECT_EQ(a.kind[key][level], b.kind[key][level]);
            EXPECT_EQ(a.code[key][level], b.code[key][level]);
            expectSameList(a.events[key][level], b.events[key][level], "events");
        }
    }
    for (int i = KeyboardConfiguration::kFirstAreaValue; i < KeyboardConfiguration::kBacklightSize; ++i)
        EXPECT_EQ(a.backlight[std::size_t(i)], b.backlight[std::size_t(i)]) << "backlight " << i;
}

// Everything, for loads that must leave the configuration alone.
void expectSameEverything(const KeyboardConfiguration& a, const KeyboardConfiguration& b) {
    expectSameStored(a, b);
    for (int level = 0; level < kLevels; ++level) {
        EXPECT_EQ(a.light[0][level], b.light[0][level]);
        EXPECT_EQ(a.kind[0][level], b.kind[0][level]);
        EXPECT_EQ(a.code[0][level], b.code[0][level]);
        expectSameList(a.events[0][level], b.events[0][level], "row 0");
    }
    EXPECT_EQ(a.backlight, b.backlight);
    EXPECT_EQ(a.language, b.language);
    EXPECT_EQ(a.currentKey, b.currentKey);
    EXPECT_EQ(a.currentLevel, b.currentLevel);
}

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A profile with the given section contents, written by hand the way a person or another
// program might (LF line ends, indentation).
std::string profileText(const std::string& combos, const std::string& areas, const std::string& keys) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<KelvaneX30>\n"
           "  <PredefinedCombo>" + combos + "</PredefinedCombo>\n"
           "  <PredefinedMacro><List SizeOfView=\"9\"/></PredefinedMacro>\n"
           "  <PredefinedEmu><List SizeOfView=\"9\"/></PredefinedEmu>\n"
           "  <BackgroundLightSettings>" + areas + "</BackgroundLightSettings>\n"
           "  <CurrentSettings>" + keys + "</CurrentSettings>\n</KelvaneX30>\n";
}

std::string keyElement(const std::string& id, const std::string& level, const std::string& mode,
                       const std::string& list = "<List SizeOfView=\"4\"/>") {
    return "<KEY ID=\"" + id + "\" Level=\"" + level + "\" Light=\"1\" Mode=\"" + mode +
           "\" HWCode=\"44\"><ComboKey>" + list + "</ComboKey></KEY>\n";
}

// A "List" element nested `depth` levels deep, one item per level.
std::string nestedLists(int depth) {
    std::string open, close;
    for (int d = 0; d < depth; ++d) {
        open += "<List SizeOfView=\"" + std::to_string(d + 1) + "\"><x ID=\"0\" t1=\"level " + std::to_string(d) + "\">";
        close = "</x></List>" + close;
    }
    return open + close;
}

// Reads one list from a text holding a "List" at the top.
KeyEventList loadList(const std::string& text, KeyEventList::XmlLoadBudget* budget = nullptr) {
    CXmlDocument document(xml::utf::utf8ToUtf16(text));
    document.ResetPosition();
    KeyEventList list;
    if (budget) list.loadFromXml(document, *budget);
    else list.loadFromXml(document);
    return list;
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kx30-profile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }

    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path dir;
    std::unique_ptr<KeyboardConfiguration> configuration = clearedConfiguration();
};

TEST_F(ProfileTest, ClearedConfigurationRoundTripsWithDefaultKeysAndViewSizes) {
    const fs::path path = dir / "cleared.pro";
    ASSERT_TRUE(saveProfile(*configuration, path).ok);

    auto loaded = clearedConfiguration();
    fillConfiguration(*loaded);
    const ProfileResult result = loadProfile(*loaded, path);
    ASSERT_TRUE(result.ok) << result.message;
    expectSameStored(*configuration, *loaded);

    CXmlDocument document;
    ASSERT_TRUE(document.LoadFile(path));
    document.ResetPosition();
    ASSERT_TRUE(document.FindElement(u"KelvaneX30"));
    document.EnterElement();
    for (auto [section, rows] : {std::pair{u"PredefinedCombo", u"6"}, {u"PredefinedMacro", u"9"}, {u"PredefinedEmu", u"9"}}) {
        ASSERT_TRUE(document.FindElement(section));
        document.EnterElement();
        ASSERT_TRUE(document.FindElement(u"List"));
        EXPECT_EQ(document.GetAttribute(u"SizeOfView"), rows);
        document.LeaveElement();
    }
    ASSERT_TRUE(document.FindElement(u"BackgroundLightSettings"));
    ASSERT_TRUE(document.FindElement(u"CurrentSettings"));
    document.EnterElement();
    int keys = 0;
    while (document.FindElement(u"KEY")) {
        ++keys;
        EXPECT_EQ(document.GetAttribute(u"Mode"), u"0");
        EXPECT_EQ(document.GetAttribute(u"HWCode"), document.GetAttribute(u"ID"));
        EXPECT_EQ(document.GetAttribute(u"ID"), xml::utf::utf8ToUtf16(std::to_string((keys + 1) / 2)));
        EXPECT_EQ(document.GetAttribute(u"Level"), (keys % 2) ? u"0" : u"1");
    }
    EXPECT_EQ(keys, 174);
}

TEST_F(ProfileTest, SavedFileHasTheDeclarationCrLfAndUnindentedElements) {
    configuration->predefinedCombos.setOrAppend(KeyEventList::kAppendRow, "A");
    const fs::path path = dir / "small.pro";
    ASSERT_TRUE(saveProfile(*configuration, path).ok);
    const std::string bytes = readBytes(path);
    const std::string begin =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<KelvaneX30>\r\n"
        "<PredefinedCombo>\r\n"
        "<List SizeOfView=\"6\" ViewStartAt=\"0\" CursorPos=\"0\" Cycles=\"1\" IsAutoInterval=\"0\" Delay=\"30\">\r\n"
        "<x ID=\"0\" t1=\"A\">\r\n"
        "<List SizeOfView=\"6\" ViewStartAt=\"0\" CursorPos=\"0\" Cycles=\"1\" IsAutoInterval=\"0\" Delay=\"30\"/>\r\n"
        "</x>\r\n"
        "</List>\r\n"
        "</PredefinedCombo>\r\n"
        "<PredefinedMacro>\r\n"
        "<List SizeOfView=\"9\" ViewStartAt=\"0\" CursorPos=\"0\" Cycles=\"1\" IsAutoInterval=\"0\" Delay=\"30\"/>\r\n"
        "</PredefinedMacro>\r\n";
    EXPECT_EQ(bytes.substr(0, begin.size()), begin);
    const std::string areasAndFirstKey =
        "<BackgroundLightSettings>\r\n"
        "<AREA ID=\"1\" Red=\"0\" Green=\"137\" Blue=\"225\"/>\r\n"
        "<AREA ID=\"2\" Red=\"0\" Green=\"144\" Blue=\"73\"/>\r\n"
        "<AREA ID=\"3\" Red=\"161\" Green=\"72\" Blue=\"117\"/>\r\n"
        "<AREA ID=\"4\" Red=\"255\" Green=\"128\" Blue=\"0\"/>\r\n"
        "</BackgroundLightSettings>\r\n"
        "<CurrentSettings>\r\n"
        "<KEY ID=\"1\" Level=\"0\" Light=\"3\" Mode=\"0\" HWCode=\"1\">\r\n"
        "<ComboKey>\r\n"
        "<List SizeOfView=\"0\" ViewStartAt=\"0\" CursorPos=\"0\" Cycles=\"1\" IsAutoInterval=\"0\" Delay=\"30\"/>\r\n"
        "</ComboKey>\r\n"
        "</KEY>\r\n";
    EXPECT_NE(bytes.find(areasAndFirstKey), std::string::npos);
    const std::string end = "</KEY>\r\n</CurrentSettings>\r\n</KelvaneX30>\r\n";
    ASSERT_GE(bytes.size(), end.size());
    EXPECT_EQ(bytes.substr(bytes.size() - end.size()), end);
}

TEST_F(ProfileTest, FilledConfigurationRoundTripsAndSavesAgainByteIdentical) {
    fillConfiguration(*configuration);
    const fs::path first = dir / "first.pro";
    ASSERT_TRUE(saveProfile(*configuration, first).ok);

    // Markup characters in texts are escaped in the file, not written raw.
    const std::string bytes = readBytes(first);
    EXPECT_NE(bytes.find("t1=\"Copy &lt;&amp;&gt; &quot;quoted&quot; &apos;single&apos;\""), std::string::npos);

    auto loaded = clearedConfiguration();
    ASSERT_TRUE(loadProfile(*loaded, first).ok);
    expectSameStored(*configuration, *loaded);
    EXPECT_EQ(loaded->predefinedCombos.itemAtRow(0), "Copy <&> \"quoted\" 'single'");

    const fs::path second = dir / "second.pro";
    ASSERT_TRUE(saveProfile(*loaded, second).ok);
    EXPECT_EQ(readBytes(second), bytes);
}

TEST_F(ProfileTest, HandWrittenListsLoadByTheirIds) {
    // IDs 0 and 2: the gap becomes an empty item with an empty nested list.
    KeyEventList gaps = loadList(
        "<List SizeOfView=\"5\" Cycles=\"2\" Delay=\"40\">"
        "<x ID=\"2\" t1=\"two\"><List SizeOfView=\"3\"><x ID=\"0\" t1=\"deep\"/></List></x>"
        "<x ID=\"0\" t1=\"zero\"/></List>");
    ASSERT_EQ(gaps.items(), (std::vector<std::string>{"zero", "", "two"}));
    EXPECT_TRUE(gaps.child(1).empty());
    EXPECT_TRUE(gaps.child(0).empty());
    EXPECT_EQ(gaps.child(2).items(), std::vector<std::string>{"deep"});
    EXPECT_EQ(gaps.child(2).sizeOfView(), 3);
    EXPECT_EQ(gaps.sizeOfView(), 5);
    EXPECT_EQ(gaps.cycles(), 2);
    EXPECT_EQ(gaps.delay(), 40);
    EXPECT_EQ(gaps.viewStartAt(), 0);  // a missing attribute reads as 0

    // A later equal ID overwrites; negative and oversized IDs are skipped.
    KeyEventList odd = loadList(
        "<List><x ID=\"0\" t1=\"first\"/><x ID=\"-1\" t1=\"negative\"/><x ID=\"0\" t1=\"again\"/>"
        "<x ID=\"65536\" t1=\"too far\"/><x ID=\"99999999999\" t1=\"saturated\"/><x t1=\"no id\"/></List>");
    EXPECT_EQ(odd.items(), (std::vector<std::string>{"no id"}));

    KeyEventList last = loadList("<List><x ID=\"65535\" t1=\"last\"/></List>");
    ASSERT_EQ(last.count(), KeyEventList::kMaxXmlItems);
    EXPECT_EQ(last.items().back(), "last");

    EXPECT_TRUE(loadList("<NotAList><x ID=\"0\" t1=\"a\"/></NotAList>").empty());
}

TEST(ProfileNumberTest, ReadsLikeALongConversion) {
    const struct {
        std::u16string_view text;
        int expected;
    } cases[] = {
        {u"42", 42},     {u"  \t-7", -7},       {u"+12abc", 12},       {u"", 0},
        {u"abc", 0},     {u"- 5", 0},           {u"99999999999", INT_MAX}, {u"-99999999999", INT_MIN},
        {u"2147483647", INT_MAX}, {u"-2147483648", INT_MIN}, {u"007", 7}, {u"1.9", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyEventList::parseXmlNumber(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
}

TEST_F(ProfileTest, IsAutoIntervalFiveLoadsAsSetAndSavesAsOne) {
    KeyEventList list = loadList("<List IsAutoInterval=\"5\"/>");
    EXPECT_TRUE(list.isAutoInterval());
    CXmlDocument document;
    ASSERT_TRUE(list.saveToXml(document));
    const std::u16string& text = document.GetDocumentText();
    EXPECT_NE(text.find(u"IsAutoInterval=\"1\""), std::u16string::npos) << xml::utf::utf16ToUtf8(text);
}

TEST_F(ProfileTest, NestingIsFollowedSixtyFourListsDeep) {
    KeyEventList list = loadList(nestedLists(100));
    const KeyEventList* at = &list;
    int depth = 1;
    while (!at->empty()) {
        EXPECT_EQ(at->items()[0], "level " + std::to_string(depth - 1));
        at = &at->child(0);
        ++depth;
    }
    // Lists 1..64 hold their item; the 65th is not read and stays empty.
    EXPECT_EQ(depth, KeyEventList::kMaxXmlDepth + 1);
    EXPECT_EQ(at->sizeOfView(), KeyEventList::kMaxXmlDepth);  // its parent's rows
}

TEST_F(ProfileTest, OneLoadGrowsNoMoreEntriesThanItsBudget) {
    // Every nested list asks for 600 entries; a budget of 1000 covers the outer three and
    // one nested list, the second nested list's "x" is skipped.
    const std::string nested = "<List><x ID=\"599\" t1=\"far\"/></List>";
    KeyEventList::XmlLoadBudget budget{1000};
    KeyEventList list = loadList("<List><x ID=\"0\" t1=\"a\">" + nested + "</x><x ID=\"1\" t1=\"b\">" + nested +
                                     "</x><x ID=\"2\" t1=\"c\"/></List>",
                                 &budget);
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.child(0).count(), 600);
    EXPECT_TRUE(list.child(1).empty());
    EXPECT_EQ(budget.entriesLeft, 1000 - 3 - 600);
}

TEST_F(ProfileTest, RefusedFilesLeaveTheConfigurationAsItWas) {
    using namespace std::string_view_literals;
    const struct {
        const char* name;
        std::string_view bytes;
        bool exists = true;
    } cases[] = {
        {"missing.pro", "", false},
        {"empty.pro", ""},
        {"text.pro", "just some words, no markup"},
        {"binary.pro", "\x01\x02\xff\xfe\x00\x10 garbage\x00"sv},
        {"truncated.pro", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Kelva"},
        {"other-root.pro", "<?xml version=\"1.0\"?>\r\n<Settings><CurrentSettings/></Settings>"},
        {"root-second.pro", "<Other/><KelvaneX30><CurrentSettings/></KelvaneX30>"},
        {"root-case.pro", "<kelvanex30><CurrentSettings/></kelvanex30>"},
    };
    fillConfiguration(*configuration);
    configuration->backlight[1] = 9;
    configuration->light[0][1] = 4;
    auto expected = clearedConfiguration();
    fillConfiguration(*expected);
    expected->backlight[1] = 9;
    expected->light[0][1] = 4;

    std::vector<fs::path> paths;
    for (const auto& c : cases) paths.push_back(c.exists ? write(c.name, std::string(c.bytes)) : dir / c.name);
    paths.push_back(dir);  // a folder cannot be read as a file
    // A real profile cut short inside CurrentSettings.
    const fs::path whole = dir / "whole.pro";
    ASSERT_TRUE(saveProfile(*clearedConfiguration(), whole).ok);
    const std::string bytes = readBytes(whole);
    paths.push_back(write("cut.pro", bytes.substr(0, bytes.size() - 200)));
    for (const fs::path& path : paths) {
        SCOPED_TRACE(path.string());
        const ProfileResult result = loadProfile(*configuration, path);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.message.empty());
        expectSameEverything(*expected, *configuration);
    }
}

TEST_F(ProfileTest, OutOfRangeIdsAreSkippedAndMissingValuesTakeTheirDefaults) {
    const std::string areas =
        "<AREA ID=\"0\" Red=\"1\" Green=\"1\" Blue=\"1\"/><AREA ID=\"5\" Red=\"1\" Green=\"1\" Blue=\"1\"/>"
        "<AREA ID=\"2\" Red=\"300\" Green=\"-5\" Blue=\"17\"/>";
    const std::string keys = keyElement("0", "0", "1") + keyElement("88", "0", "1") + keyElement("-1", "1", "1") +
                             keyElement("10", "2", "1") + keyElement("10", "-1", "1") +
                             keyElement("5", "1", "2", "<List SizeOfView=\"4\"><x ID=\"0\" t1=\"C\"/></List>") +
                             keyElement("6", "0", "9") + keyElement("6", "1", "-1") + keyElement("7", "0", "8") +
                             keyElement("7", "1", "x");
    const fs::path path = write("ranges.pro", profileText("<List SizeOfView=\"6\"/>", areas, keys));

    fillConfiguration(*configuration);
    configuration->backlight = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    configuration->light[0][0] = 5;
    configuration->code[0][1] = 77;
    configuration->events[0][0] = listOf(3, {"row zero"});
    const ProfileResult result = loadProfile(*configuration, path);
    ASSERT_TRUE(result.ok) << result.message;
    KeyboardConfiguration& c = *configuration;

    // The one valid key of each kind made it in; the others were not written anywhere.
    EXPECT_EQ(c.kind[5][1], 2);
    EXPECT_EQ(c.code[5][1], 44);
    EXPECT_EQ(c.light[5][1], 1);
    EXPECT_EQ(c.events[5][1].items(), std::vector<std::string>{"C"});
    EXPECT_EQ(c.events[5][1].sizeOfView(), 4);
    // Kinds outside 0..8 load as Not set.
    EXPECT_EQ(c.kind[6][0], 0);
    EXPECT_EQ(c.kind[6][1], 0);
    EXPECT_EQ(c.kind[7][0], 8);
    EXPECT_EQ(c.kind[7][1], 0);
    // Keys the file lacks take the cleared values.
    auto cleared = clearedConfiguration();
    for (int key : {1, 10, 87}) {
        for (int level = 0; level < kLevels; ++level) {
            SCOPED_TRACE(key * 2 + level);
            EXPECT_EQ(c.light[key][level], cleared->light[key][level]);
            EXPECT_EQ(c.kind[key][level], 0);
            EXPECT_EQ(c.code[key][level], key);
            EXPECT_TRUE(c.events[key][level].empty());
        }
    }
    EXPECT_TRUE(c.predefinedMacros.empty());
    EXPECT_EQ(c.predefinedMacros.sizeOfView(), 9);
    // Row 0 and backlight[0..2] keep what they held.
    EXPECT_EQ(c.light[0][0], 5);
    EXPECT_EQ(c.code[0][1], 77);
    EXPECT_EQ(c.events[0][0].items(), std::vector<std::string>{"row zero"});
    EXPECT_EQ(c.backlight[0], 1);
    EXPECT_EQ(c.backlight[2], 3);
    // Area 2 from the file with its colours held to a byte; the others as cleared.
    EXPECT_EQ(c.backlight[6], 255);
    EXPECT_EQ(c.backlight[7], 0);
    EXPECT_EQ(c.backlight[8], 17);
    for (int i : {3, 4, 5, 9, 10, 11, 12, 13, 14}) EXPECT_EQ(c.backlight[std::size_t(i)], cleared->backlight[std::size_t(i)]);
}

TEST_F(ProfileTest, DeepNestingInAProfileLoadsWithoutExhaustingTheStack) {
    const fs::path path = write("deep.pro", profileText(nestedLists(10000), "", keyElement("3", "0", "2")));
    const ProfileResult result = loadProfile(*configuration, path);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(configuration->predefinedCombos.items(), std::vector<std::string>{"level 0"});
}

TEST_F(ProfileTest, SectionsOutOfOrderAreNotFound) {
    // Without the leading PredefinedCombo the reader's position no longer matches the file:
    // nothing after it is read, every list comes out empty and every key cleared.
    const fs::path path = write("no-combo.pro",
                                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<KelvaneX30>\n"
                                "<PredefinedMacro><List SizeOfView=\"9\"><x ID=\"0\" t1=\"m\"/></List></PredefinedMacro>\n"
                                "<PredefinedEmu><List SizeOfView=\"9\"><x ID=\"0\" t1=\"e\"/></List></PredefinedEmu>\n"
                                "<BackgroundLightSettings><AREA ID=\"1\" Red=\"9\" Green=\"9\" Blue=\"9\"/>"
                                "</BackgroundLightSettings>\n<CurrentSettings>" +
                                    keyElement("5", "1", "2", "<List><x ID=\"0\" t1=\"C\"/></List>") +
                                    "</CurrentSettings>\n</KelvaneX30>\n");

    fillConfiguration(*configuration);
    const ProfileResult result = loadProfile(*configuration, path);
    ASSERT_TRUE(result.ok) << result.message;
    // What Clear makes of the same configuration (event lists keep their view rows).
    auto cleared = clearedConfiguration();
    fillConfiguration(*cleared);
    cleared->clearConfiguration();
    expectSameStored(*cleared, *configuration);
}

TEST_F(ProfileTest, FailedSaveLeavesTheOldFileAsItWas) {
    fillConfiguration(*configuration);
    const std::string old = "<?xml version=\"1.0\"?>\r\n<KelvaneX30/>\r\n";

    // A folder that does not exist.
    const ProfileResult missing = saveProfile(*configuration, dir / "no-such-folder" / "a.pro");
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.message.empty());
    EXPECT_FALSE(fs::exists(dir / "no-such-folder"));

    // A name that fits but leaves no room for the temporary file beside it.
    const fs::path longName = write(std::string(250, 'n') + ".pro", old);
    EXPECT_FALSE(saveProfile(*configuration, longName).ok);
    EXPECT_EQ(readBytes(longName), old);

    // A read-only folder (root writes there anyway).
    const fs::path locked = dir / "locked";
    fs::create_directory(locked);
    const fs::path inLocked = locked / "a.pro";
    std::ofstream(inLocked, std::ios::binary) << old;
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) {
        EXPECT_FALSE(saveProfile(*configuration, inLocked).ok);
        EXPECT_EQ(readBytes(inLocked), old);
    }
    fs::permissions(locked, fs::perms::owner_all);
    // Nothing but the files written above is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(locked), fs::directory_iterator()), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

}  // namespace
