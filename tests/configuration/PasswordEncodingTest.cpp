#include "app/PasswordEncoding.h"

#include <gtest/gtest.h>

namespace {

TEST(PasswordEncoding, EncodesEveryByteAsTwoUpperCaseDigits)
{
    EXPECT_EQ(encodePassword("abc"), "616263");
    EXPECT_EQ(encodePassword(""), "");
    EXPECT_EQ(encodePassword("\xFF\x01 z"), "FF01207A");
}

TEST(PasswordEncoding, DecodesOnlyWellFormedText)
{
    struct Case {
        const char* stored;
        const char* decoded;
    };
    const Case cases[] = {
        {"616263", "abc"},
        {"", ""},
        {"61626", ""},    // odd length
        {"61626a", ""},   // lower-case digit
        {"6162 3", ""},   // not a digit
        {"006162", ""},   // first pair is the byte 0
        {"616200", ""},   // a later pair is the byte 0
        {"FF7A", "\xFF" "z"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodePassword(c.stored), c.decoded) << c.stored;
}

TEST(PasswordEncoding, EveryNonZeroByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(decodePassword(encodePassword(all)), all);
    EXPECT_EQ(decodePassword(encodePassword(kSecurityDisabledMarker)), kSecurityDisabledMarker);
}

TEST(PasswordEncoding, FirstRunLineOfTheReadmeHoldsTheMarker)
{
    // A new installation opens its configuration with this settings line.
    EXPECT_EQ(decodePassword("436F726D6F72616E74696C6465"), kSecurityDisabledMarker);
}

TEST(PasswordEncoding, TrimsOnlyTrailingBlanks)
{
    EXPECT_EQ(trimTrailingBlanks("  abc \t\r\n"), "  abc");
    EXPECT_EQ(trimTrailingBlanks(" \t\n"), "");
}

} // namespace
