#include "data/ProfileFile.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

struct ExpectedSection {
    std::string name; // looked up as written here
    std::vector<ProfileEntry> entries;
};

struct ExpectedValue {
    std::string section;
    std::string key;
    std::string value;
};

struct ParseCase {
    std::string description;
    std::string content;
    std::vector<ExpectedSection> sections;
    std::vector<std::string> absentSections;
    std::vector<ExpectedValue> values;
};

std::vector<ParseCase> parseCases()
{
    return {
        {"header with blanks and comment, looked up in lower case",
         "  [ SYSTEM ]  ; main\nPROTOCOL = CORVANTIS ; comment\n",
         {{"system", {{"PROTOCOL", "CORVANTIS"}}}},
         {" SYSTEM ", "SYSTEMS", "SYSTE"},
         {{"system", "protocol", "CORVANTIS"}, {"SYSTEM", "PROTOCOL", "CORVANTIS"}}},
        {"first '=' splits; empty key skipped; empty value kept",
         "[S]\nA=b=c\n=x\n  \t= y\nK=\n",
         {{"S", {{"A", "b=c"}, {"K", ""}}}},
         {},
         {{"S", "A", "b=c"}, {"S", "K", ""}, {"S", "", ""}}},
        {"key lines before the first header ignored; last line without LF read",
         "early=1\nno equals sign\n[S]\nlate=2",
         {{"S", {{"late", "2"}}}},
         {""},
         {{"S", "early", ""}}},
        {"empty headers keep the current section; [ABC is a key line",
         "[S]\nx=1\n[]\ny=2\n[   ]\nz=3\n[ABC\n[ABD=5\n[\n",
         {{"S", {{"x", "1"}, {"y", "2"}, {"z", "3"}, {"[ABD", "5"}}}},
         {"", "ABC", "[ABC", "ABD", "[ABD"},
         {{"S", "[abd", "5"}}},
        {"a comment inside brackets leaves no header",
         "[S]\nA=1\n[T;comment]\nB=2\n",
         {{"S", {{"A", "1"}, {"B", "2"}}}},
         {"T", "T;comment"},
         {}},
        {"repeated headers in any case continue one section in file order",
         "[PROGRAM]\na=1\n[OTHER]\nb=2\n[program]\nc=3\n[Program]\nd=4\n",
         {{"PROGRAM", {{"a", "1"}, {"c", "3"}, {"d", "4"}}}, {"other", {{"b", "2"}}}},
         {},
         {{"program", "D", "4"}}},
        {"the first of two keys differing in case wins; both are kept",
         "[S]\nCODE=1\ncode=2\n",
         {{"S", {{"CODE", "1"}, {"code", "2"}}}},
         {},
         {{"S", "CODE", "1"}, {"S", "code", "1"}}},
        {"a value is cut at ';'",
         "[MODEL]\nDESC=A;B\nONLY=;all comment\n",
         {{"MODEL", {{"DESC", "A"}, {"ONLY", ""}}}},
         {},
         {{"MODEL", "DESC", "A"}}},
        {"CR before LF dropped; any other CR kept",
         "[S]\r\nA=1\r\nB=x\ry\r\nC=2 \r\nD=3\r \r\nE=4\r",
         {{"S", {{"A", "1"}, {"B", "x\ry"}, {"C", "2"}, {"D", "3\r"}, {"E", "4\r"}}}},
         {},
         {}},
        {"only spaces and tabs are trimmed; inner blanks stay",
         "[S]\n\t Key With Space \t=\t value  with space \t\nV=\v1\v\n",
         {{"S", {{"Key With Space", "value  with space"}, {"V", "\v1\v"}}}},
         {},
         {{"S", "key with space", "value  with space"}}},
        {"only ASCII letters fold; other bytes compare as they are",
         "[\xC9]\na=1\n[\xE9]\nb=2\n[a_]\nc=3\n[A_]\nd=4\n",
         {{"\xC9", {{"a", "1"}}}, {"\xE9", {{"b", "2"}}}, {"A_", {{"c", "3"}, {"d", "4"}}}},
         {},
         {}},
        {"no length limit on a line",
         "[S]\nLONG=" + std::string(100000, 'x') + "\nAFTER=1\n",
         {{"S", {{"LONG", std::string(100000, 'x')}, {"AFTER", "1"}}}},
         {},
         {}},
        {"an empty file holds nothing", "", {}, {"", "S"}, {{"S", "K", ""}}},
    };
}

} // namespace

TEST(ProfileFileTest, ParsesEveryLineKindAsDescribed)
{
    for (const ParseCase& c : parseCases()) {
        SCOPED_TRACE(c.description);
        TempDir dir;
        dir.write("case.app", c.content);
        ProfileFile file;
        file.setPath(dir.file("case.app"));

        for (const ExpectedSection& expected : c.sections) {
            const ProfileSection* section = file.section(expected.name);
            ASSERT_NE(section, nullptr) << "section " << expected.name;
            EXPECT_THAT(section->entries, ElementsAreArray(expected.entries))
                << "section " << expected.name;
        }
        for (const std::string& name : c.absentSections)
            EXPECT_EQ(file.section(name), nullptr) << "section '" << name << "'";
        for (const ExpectedValue& v : c.values)
            EXPECT_EQ(file.value(v.section, v.key), v.value) << v.section << "/" << v.key;
        EXPECT_TRUE(file.loaded());
    }
}

TEST(ProfileFileTest, LookupsThatFindNothingGiveTheSharedEmptyText)
{
    TempDir dir;
    dir.write("m.app", "[MODEL]\nCODE=1\nEMPTY=\n");
    ProfileFile file;
    file.setPath(dir.file("m.app"));
    EXPECT_EQ(&file.value("NOSUCH", "CODE"), &ProfileFile::emptyText());
    EXPECT_EQ(&file.value("MODEL", "NOSUCH"), &ProfileFile::emptyText());
    EXPECT_THAT(file.value("MODEL", "EMPTY"), IsEmpty());
    EXPECT_THAT(ProfileFile::emptyText(), IsEmpty());
}

TEST(ProfileFileTest, ReferencesStayValidAcrossLaterLookups)
{
    TempDir dir;
    dir.write("m.app", "[A]\nK=first\n[B]\nK=second\n[C]\nK=third\n");
    ProfileFile file;
    file.setPath(dir.file("m.app"));
    const std::string& first = file.value("A", "K");
    const ProfileSection* sectionB = file.section("B");
    for (const char* name : {"C", "B", "A", "missing"})
        (void)file.value(name, "K");
    EXPECT_EQ(&first, &file.value("a", "k"));
    EXPECT_EQ(first, "first");
    EXPECT_EQ(sectionB, file.section("b"));
}

TEST(ProfileFileTest, MissingFileIsReadByTheFirstLookupAfterItAppears)
{
    TempDir dir;
    ProfileFile file;
    file.setPath(dir.file("late.app"));
    EXPECT_EQ(file.section("MODEL"), nullptr);
    EXPECT_EQ(file.value("MODEL", "CODE"), "");
    EXPECT_FALSE(file.loaded());

    dir.write("late.app", "[MODEL]\nCODE=42\n");
    EXPECT_EQ(file.value("MODEL", "CODE"), "42");
    EXPECT_TRUE(file.loaded());

    // Once loaded, the file is not read again.
    dir.write("late.app", "[MODEL]\nCODE=43\n");
    EXPECT_EQ(file.value("MODEL", "CODE"), "42");
}

TEST(ProfileFileTest, NoPathOrADirectoryReadsAsNothing)
{
    ProfileFile noPath;
    EXPECT_EQ(noPath.section("MODEL"), nullptr);
    EXPECT_EQ(&noPath.value("MODEL", "CODE"), &ProfileFile::emptyText());
    EXPECT_FALSE(noPath.loaded());

    TempDir dir;
    dir.mkdir("folder.app");
    ProfileFile directory;
    directory.setPath(dir.file("folder.app"));
    EXPECT_EQ(directory.section("MODEL"), nullptr);
    EXPECT_FALSE(directory.loaded());
}

TEST(ProfileFileTest, FifoIsNotWaitedOn)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.app").c_str(), 0600), 0);
    ProfileFile file;
    file.setPath(dir.file("pipe.app"));
    EXPECT_EQ(file.section("MODEL"), nullptr); // would block forever if opened for reading
    EXPECT_FALSE(file.loaded());
}

TEST(ProfileFileTest, Utf8FilesAreTranscodedAndCp1252FilesKept)
{
    struct EncodingCase {
        const char* description;
        std::string content;
        std::string desc;
    };
    const std::vector<EncodingCase> cases = {
        {"UTF-8 e acute becomes CP1252 0xE9", "[MODEL]\nDESC=Caf\xC3\xA9\n", "Caf\xE9"},
        {"CP1252 byte 0xE9 stays", "[MODEL]\nDESC=Caf\xE9\n", "Caf\xE9"},
        {"UTF-8 euro sign becomes 0x80; a character CP1252 lacks becomes '?'",
         "[MODEL]\nDESC=\xE2\x82\xAC \xCE\xA9\n", "\x80 ?"},
        {"a UTF-8 byte-order mark does not hide the first header",
         "\xEF\xBB\xBF[MODEL]\nDESC=Caf\xC3\xA9\n", "Caf\xE9"},
        {"ASCII stays", "[MODEL]\nDESC=plain\n", "plain"},
    };
    for (const EncodingCase& c : cases) {
        SCOPED_TRACE(c.description);
        TempDir dir;
        dir.write("m.app", c.content);
        ProfileFile file;
        file.setPath(dir.file("m.app"));
        EXPECT_EQ(file.value("MODEL", "DESC"), c.desc);
    }
}

TEST(ProfileFileTest, CaseInsensitiveComparison)
{
    struct Comparison {
        std::string a;
        std::string b;
        bool equal;
        bool aFirst; // a sorts before b
    };
    const std::vector<Comparison> cases = {
        {"PROTOCOL", "protocol", true, false},
        {"Ab", "aB", true, false},
        {"a", "ab", false, true},      // a prefix sorts first
        {"AB", "a", false, false},
        {"[", "A", false, true},       // letters fold to lower case: '[' < 'a'
        {"_", "a", false, true},
        {"z", "\xE9", false, true},    // bytes compare unsigned
        {"\xC9", "\xE9", false, true}, // only ASCII letters fold
        {"", "", true, false},
        {"", "a", false, true},
    };
    const LessIgnoringCase less;
    for (const Comparison& c : cases) {
        SCOPED_TRACE("'" + c.a + "' vs '" + c.b + "'");
        EXPECT_EQ(equalsIgnoringCase(c.a, c.b), c.equal);
        EXPECT_EQ(equalsIgnoringCase(c.b, c.a), c.equal);
        EXPECT_EQ(less(c.a, c.b), c.aFirst);
        EXPECT_EQ(less(c.b, c.a), !c.equal && !c.aFirst);
    }
}
