// The values written into identity fields: packed dates, empty fields, the manufacturer
// text at its width, serial numbers and MAC address texts.
#include "loader/IdentityValues.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PackedDate, YearMonthDayInBcd)
{
    EXPECT_EQ(identity::packedDate(2007, 3, 15), (identity::PackedDate{0x20, 0x07, 0x03, 0x15}));
    EXPECT_EQ(identity::packedDate(1999, 12, 31), (identity::PackedDate{0x19, 0x99, 0x12, 0x31}));
    EXPECT_EQ(identity::packedDate(12024, 1, 2), (identity::PackedDate{0x20, 0x24, 0x01, 0x02})); // modulo 10000
    std::tm day{};
    day.tm_year = 2031 - 1900;
    day.tm_mon = 10;
    day.tm_mday = 9;
    day.tm_hour = 12;
    day.tm_isdst = -1;
    EXPECT_EQ(identity::packedLocalDate(std::mktime(&day)), (identity::PackedDate{0x20, 0x31, 0x11, 0x09}));
}

TEST(EmptyField, OnlyZeroAndFfBytes)
{
    EXPECT_TRUE(identity::isEmptyField(Bytes{0x00, 0xFF, 0x00, 0xFF}));
    EXPECT_TRUE(identity::isEmptyField(Bytes{}));
    EXPECT_FALSE(identity::isEmptyField(Bytes{0x00, 0x01}));
    EXPECT_TRUE(identity::isZeroMac(Bytes(6, 0x00)));
    EXPECT_FALSE(identity::isZeroMac(Bytes{0, 0, 0, 0, 0, 0xFF})); // a MAC is empty only when all zero
}

TEST(ManufacturerText, ExactLengthAndBytes)
{
    const Bytes field = {'A', 'B', 'C', ' ', ' ', ' '};
    EXPECT_TRUE(identity::holdsText(field, "ABC   "));
    EXPECT_FALSE(identity::holdsText(field, "ABC")); // the field must have the text's length
    EXPECT_FALSE(identity::holdsText(field, "ABD   "));
    EXPECT_EQ(identity::fittedToWidth("ABC", 6), "ABC   ");
    EXPECT_EQ(identity::fittedToWidth("ABCDEFGH", 6), "ABCDEF");
    EXPECT_EQ(identity::fittedToWidth("", 2), "  ");
}

TEST(SerialNumber, TenToTwelveDigitsMadeTwelve)
{
    struct {
        const char* text;
        std::optional<std::string> serial;
    } cases[] = {
        {"1234567890", "001234567890"}, {"12345678901", "012345678901"}, {"123456789012", "123456789012"},
        {"123456789", std::nullopt},    {"1234567890123", std::nullopt}, {"", std::nullopt},
        {"12345678A0", std::nullopt},   {"1234 567890", std::nullopt},   {"-123456789", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(identity::twelveDigitSerialNumber(c.text), c.serial) << c.text;
}

TEST(MacAddressText, HexadecimalPairs)
{
    using Mac = identity::MacAddress;
    struct {
        const char* text;
        std::optional<Mac> mac;
    } cases[] = {
        {"0011AABBCCDD", Mac{0x00, 0x11, 0xAA, 0xBB, 0xCC, 0xDD}},
        {"0011aabbccdd", Mac{0x00, 0x11, 0xAA, 0xBB, 0xCC, 0xDD}},
        {"0011AABBCC", Mac{0x00, 0x11, 0xAA, 0xBB, 0xCC, 0x00}},
        {"0011AABBCCD", Mac{0x00, 0x11, 0xAA, 0xBB, 0xCC, 0x00}}, // the last pair is not reached in full
        {"0011AABBCCDDEE", Mac{0x00, 0x11, 0xAA, 0xBB, 0xCC, 0xDD}},
        {"", Mac{}},
        {"0011AABBCCDG", std::nullopt},
        {"00:11:AA:BB:CC:DD", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(identity::macAddressOfText(c.text), c.mac) << c.text;
}

} // namespace
