#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

std::string byte(int b)
{
    return std::string(1, static_cast<char>(b));
}

TEST(CodePage, Latin1RangeRoundTrips)
{
    for (int b = 0xA0; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        std::string utf8 = {static_cast<char>(0xC0 | (b >> 6)), static_cast<char>(0x80 | (b & 0x3F))};
        EXPECT_EQ(cp1252ToUtf8(byte(b)), utf8);
        EXPECT_EQ(toCp1252FromUtf8IfValid(utf8), byte(b));
    }
}

TEST(CodePage, HighControlRangeFollowsTheCodePageTable)
{
    // Bytes 0x80 to 0x9F as UTF-8; the five unassigned ones stand for the C1
    // control of the same value.
    const std::pair<int, const char*> table[] = {
        {0x80, "\xE2\x82\xAC"}, {0x81, "\xC2\x81"},     {0x82, "\xE2\x80\x9A"}, {0x83, "\xC6\x92"},
        {0x84, "\xE2\x80\x9E"}, {0x85, "\xE2\x80\xA6"}, {0x86, "\xE2\x80\xA0"}, {0x87, "\xE2\x80\xA1"},
        {0x88, "\xCB\x86"},     {0x89, "\xE2\x80\xB0"}, {0x8A, "\xC5\xA0"},     {0x8B, "\xE2\x80\xB9"},
        {0x8C, "\xC5\x92"},     {0x8D, "\xC2\x8D"},     {0x8E, "\xC5\xBD"},     {0x8F, "\xC2\x8F"},
        {0x90, "\xC2\x90"},     {0x91, "\xE2\x80\x98"}, {0x92, "\xE2\x80\x99"}, {0x93, "\xE2\x80\x9C"},
        {0x94, "\xE2\x80\x9D"}, {0x95, "\xE2\x80\xA2"}, {0x96, "\xE2\x80\x93"}, {0x97, "\xE2\x80\x94"},
        {0x98, "\xCB\x9C"},     {0x99, "\xE2\x84\xA2"}, {0x9A, "\xC5\xA1"},     {0x9B, "\xE2\x80\xBA"},
        {0x9C, "\xC5\x93"},     {0x9D, "\xC2\x9D"},     {0x9E, "\xC5\xBE"},     {0x9F, "\xC5\xB8"},
    };
    for (const auto& [b, utf8] : table) {
        SCOPED_TRACE(b);
        EXPECT_EQ(cp1252ToUtf8(byte(b)), utf8);
        EXPECT_EQ(toCp1252FromUtf8IfValid(utf8), byte(b));
    }
}

TEST(CodePage, TextsRoundTripThroughUtf8)
{
    std::string all;
    for (int b = 1; b <= 0xFF; ++b)
        all += byte(b);
    std::string utf8 = cp1252ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(toCp1252FromUtf8IfValid(utf8), all);
    EXPECT_EQ(cp1252ToUtf8("Terminal T-100"), "Terminal T-100");
}

TEST(CodePage, InvalidUtf8IsAlreadyCp1252)
{
    const char* cases[] = {
        "Descripci\xF3n",         // CP1252 text
        "caf\xC3",                // sequence cut short
        "\xC0\xAF",               // overlong form of '/'
        "\xE0\x80\xAF",           // overlong, three bytes
        "\xED\xA0\x80",           // surrogate
        "\xF4\x90\x80\x80",       // beyond U+10FFFF
        "\xE2\x82\xAC \x80",      // valid sequence, then a lone CP1252 byte
        "\xF8\x88\x80\x80\x80",   // five-byte form
    };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(isValidUtf8(text));
        EXPECT_EQ(toCp1252FromUtf8IfValid(text), text);
    }
}

TEST(CodePage, CharactersMissingFromCp1252BecomeQuestionMarks)
{
    const std::pair<const char*, const char*> cases[] = {
        {"\xE6\x97\xA5\xE6\x9C\xAC", "??"},               // two CJK characters
        {"\xE2\x82\xAC \xF0\x9F\x98\x80!", "\x80 ?!"},     // euro sign, emoji
        {"\xCE\xA9 = ohm", "? = ohm"},                     // Greek capital omega
        {"Espa\xC3\xB1" "a \xE2\x80\x94 ok", "Espa\xF1" "a \x97 ok"},
    };
    for (const auto& [utf8, expected] : cases) {
        SCOPED_TRACE(utf8);
        EXPECT_TRUE(isValidUtf8(utf8));
        EXPECT_EQ(toCp1252FromUtf8IfValid(utf8), expected);
    }
    EXPECT_EQ(toCp1252FromUtf8IfValid("plain ASCII"), "plain ASCII");
    EXPECT_EQ(toCp1252FromUtf8IfValid(""), "");
}

} // namespace
} // namespace platform
