// The text of a ticket line before it reaches the printer: folded to plain letters,
// then converted to the printer's code page.
#include "loader/AccentFolding.h"
#include "platform/CodePage.h"
#include "platform/OemText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string cp1252(const char* utf8)
{
    return platform::toCp1252FromUtf8IfValid(utf8);
}

TEST(AccentFolding, FoldsTheFiftyTwoCharactersAndNothingElse)
{
    const std::string from = cp1252("áéíóúýäëïöüÿàèìòùâêîôûÁÉÍÓÚÝÄËÏÖÜÀÈÌÒÙÂÊÎÔÛñçÑÇ¡¿ºª·");
    const std::string to = "aeiouyaeiouyaeiouaeiouAEIOUYAEIOUAEIOUAEIOUncNC!?oa.";
    ASSERT_EQ(from.size(), to.size());
    int folded = 0;
    for (int b = 0; b < 256; ++b) {
        std::size_t at = from.find(static_cast<char>(b));
        auto expected = static_cast<std::uint8_t>(at == std::string::npos ? b : static_cast<unsigned char>(to[at]));
        EXPECT_EQ(foldAccent(static_cast<std::uint8_t>(b)), expected) << "byte " << b;
        folded += foldAccent(static_cast<std::uint8_t>(b)) != b;
    }
    EXPECT_EQ(folded, 52);
    EXPECT_EQ(foldAccent(0x9F), 0x9F); // upper-case Ÿ stays
}

TEST(OemText, ConvertsToCodePage850ByteForByte)
{
    struct Case {
        const char* utf8;
        const char* cp850;
    } cases[] = {
        {"Az09 ~!?", "Az09 ~!?"},
        {"\x01\x1b\x7f", "\x01\x1b\x7f"},
        {"£", "\x9c"},
        {"°C", "\xf8" "C"},
        {"×", "\x9e"},
        {"ñÑüÉ", "\xa4\xa5\x81\x90"},
        {"½ µ", "\xab \xe6"},
        {"“quoted”", "\"quoted\""}, // no curly quotes on the printer: plain ones
        {"10 €", "10 ?"},            // only a three-letter form: unprintable
        {"a…b", "a?b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::cp1252ToCp850(cp1252(c.utf8)), c.cp850) << c.utf8;
    // Bytes CP1252 leaves unassigned have no printable form either.
    EXPECT_EQ(platform::cp1252ToCp850("x\x81\x8d\x8f\x90\x9dy"), "x?????y");
    EXPECT_EQ(platform::cp1252ToCp850(""), "");
}

TEST(OemText, KeepsTheLengthOfEveryLine)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    std::string converted = platform::cp1252ToCp850(all);
    ASSERT_EQ(converted.size(), all.size());
    EXPECT_EQ(converted.substr(0, 127), all.substr(0, 127));
}

} // namespace
