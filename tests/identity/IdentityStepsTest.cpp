// The step added to a sequence's next value, the serial number's form and the two
// readers of a scanned IPv4 address.
#include "app/IdentitySteps.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

struct StepCase {
    const char* next;
    std::int32_t step;
    bool ok;
    const char* after; // the text once the step was added (unchanged when it failed)
};

TEST(IdentitySteps, DecimalStepCarriesOnlyAsFarAsNeeded)
{
    const StepCase cases[] = {
        {"0000000009", 1, true, "0000000010"},
        {"0000001000", 1, true, "0000001001"},
        {"000000999999", 1, true, "000001000000"},
        {"0000000097", 99, true, "0000000196"},
        {"0000000000", std::numeric_limits<std::int32_t>::max(), true, "2147483647"},
        // the walk stops before the letter: it is never examined
        {"12A4", 1, true, "12A5"},
        {"x 5", 4, true, "x 9"},
        // the walk reaches a non-digit: failure, nothing changed
        {"12A4", 10, false, "12A4"},
        {"1 9", 1, false, "1 9"},
        {"-5", 5, false, "-5"},
        // no room for the carry: the sequence is used up
        {"9999999999", 1, true, ""},
        {"1", 99, true, ""},
        // a step of 0 touches nothing, digits or not
        {"0000000042", 0, true, "0000000042"},
        {"no digits", 0, true, "no digits"},
        // an empty text always fails, a negative step too
        {"", 0, false, ""},
        {"", 1, false, ""},
        {"0000000042", -1, false, "0000000042"},
    };
    for (const StepCase& c : cases) {
        std::string text = c.next;
        EXPECT_EQ(addDecimalStep(text, c.step), c.ok) << c.next << " + " << c.step;
        EXPECT_EQ(text, c.after) << c.next << " + " << c.step;
    }
}

TEST(IdentitySteps, HexStepRewritesInUpperCaseOnlyWhatItReaches)
{
    const StepCase cases[] = {
        {"0002a00000ff", 1, true, "0002a0000100"}, // the untouched a keeps its case
        {"0002a00000fe", 1, true, "0002a00000fF"}, // the f is not reached
        {"0002A0000009", 1, true, "0002A000000A"},
        {"00000000000f", 16, true, "00000000001F"},
        {"0002a000ffff", 1, true, "0002a0010000"},
        {"00000000000A", 99, true, "00000000006D"},
        {"ffffffffffff", 1, true, ""},
        {"FFFFFFFFFFFF", 0, true, "FFFFFFFFFFFF"},
        {"zz", 0, true, "zz"},
        {"0000000000g0", 16, false, "0000000000g0"},
        {"00000000000g", 1, false, "00000000000g"},
        {"", 1, false, ""},
        {"0002a00000ff", -16, false, "0002a00000ff"},
    };
    for (const StepCase& c : cases) {
        std::string text = c.next;
        EXPECT_EQ(addHexStep(text, c.step), c.ok) << c.next << " + " << c.step;
        EXPECT_EQ(text, c.after) << c.next << " + " << c.step;
    }
}

TEST(IdentitySteps, SerialNumberHasTenToTwelveDecimalDigits)
{
    for (const char* good : {"1234567890", "01234567890", "001234567890", "0000000000"})
        EXPECT_TRUE(isValidSerialNumber(good)) << good;
    for (const char* bad :
         {"", "123456789", "1234567890123", "12345A7890", "12345 7890", "1234567890 ", "+234567890", "0x34567890"})
        EXPECT_FALSE(isValidSerialNumber(bad)) << bad;
}

struct AddressCase {
    const char* text;
    bool ok;
    std::uint32_t address;
};

TEST(IdentitySteps, DottedAddressFillsTheLowBytesFirst)
{
    const AddressCase cases[] = {
        {"192.168.1.20", true, 0xC0A80114},
        {"255.255.255.255", true, 0xFFFFFFFF},
        {"0.0.0.0", true, 0},
        {"10.1", true, 0x00000A01},
        {"10", true, 0x0000000A},
        {"1.2.3", true, 0x00010203},
        {"1.2.3.4.", true, 0x01020304}, // a final "." adds nothing
        {"10.", true, 0x0000000A},
        {"001.02.3.004", true, 0x01020304},
        {"1.2.3.4.5", false, 0},
        {"1.2.3.4..", false, 0},
        {"256.1.1.1", false, 0},
        {"1.2.3.999", false, 0},
        {"0001.1.1.1", false, 0},
        {"1..2", false, 0},
        {".1", false, 0},
        {".", false, 0},
        {"", false, 0},
        {"1.a.2.3", false, 0},
        {" 1.2.3.4", false, 0},
        {"1.2.3.4 ", false, 0},
        {"-1.2.3.4", false, 0},
        {"C0A80114", false, 0},
    };
    for (const AddressCase& c : cases) {
        std::uint32_t address = 0x5A5A5A5A;
        EXPECT_EQ(readDottedAddress(c.text, address), c.ok) << c.text;
        EXPECT_EQ(address, c.ok ? c.address : 0x5A5A5A5Au) << c.text;
    }
}

TEST(IdentitySteps, HexNumberHasOneToEightDigits)
{
    const AddressCase cases[] = {
        {"C0A80114", true, 0xC0A80114},
        {"c0a80114", true, 0xC0A80114},
        {"0xC0a80114", true, 0xC0A80114},
        {"0X1", true, 1},
        {"ffffffff", true, 0xFFFFFFFF},
        {"00000000", true, 0},
        {"7", true, 7},
        {"", false, 0},
        {"0x", false, 0},
        {"123456789", false, 0},
        {"0x123456789", false, 0},
        {"C0A8011G", false, 0},
        {"0x0x1", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"192.168.1.20", false, 0},
    };
    for (const AddressCase& c : cases) {
        std::uint32_t number = 0x5A5A5A5A;
        EXPECT_EQ(readHexNumber(c.text, number), c.ok) << c.text;
        EXPECT_EQ(number, c.ok ? c.address : 0x5A5A5A5Au) << c.text;
    }
}

} // namespace
