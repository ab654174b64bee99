// The readers of scanned identity values: a dotted IPv4 address, a hexadecimal number
// and a MAC address of hexadecimal pairs, and the steps of the serial number and MAC
// address sequences. Whatever a reader accepts it reads as the digits say, it writes
// nothing when it refuses, and what it reads comes back from its plain written form.
#include "FuzzCheck.h"
#include "app/IdentitySteps.h"
#include "loader/IdentityValues.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kUntouched = 0xDEADBEEF;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string dotted(std::uint32_t address)
{
    return std::to_string(address >> 24) + '.' + std::to_string(address >> 16 & 0xFF) + '.' +
           std::to_string(address >> 8 & 0xFF) + '.' + std::to_string(address & 0xFF);
}

void dottedAddress(std::string_view text)
{
    std::uint32_t address = kUntouched;
    if (!readDottedAddress(text, address)) {
        FUZZ_CHECK(address == kUntouched);
        return;
    }
    // The fields, a final "." dropped: one to four of one to three digits, each a byte.
    std::string_view rest = text;
    if (rest.ends_with('.'))
        rest.remove_suffix(1);
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t dot = rest.find('.');
        fields.push_back(rest.substr(0, dot));
        if (dot == std::string_view::npos)
            break;
        rest.remove_prefix(dot + 1);
    }
    FUZZ_CHECK(fields.size() >= 1 && fields.size() <= 4);
    std::uint32_t expected = 0;
    for (std::string_view field : fields) {
        FUZZ_CHECK(field.size() >= 1 && field.size() <= 3 && std::all_of(field.begin(), field.end(), isDigit));
        const int value = std::stoi(std::string(field));
        FUZZ_CHECK(value <= 255);
        expected = expected << 8 | static_cast<std::uint32_t>(value);
    }
    FUZZ_CHECK(address == expected);
    std::uint32_t again = kUntouched;
    FUZZ_CHECK(readDottedAddress(dotted(address), again) && again == address);
}

void hexNumber(std::string_view text)
{
    std::uint32_t number = kUntouched;
    if (!readHexNumber(text, number)) {
        FUZZ_CHECK(number == kUntouched);
        return;
    }
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X"))
        digits.remove_prefix(2);
    FUZZ_CHECK(digits.size() >= 1 && digits.size() <= 8);
    std::uint32_t expected = 0;
    for (char c : digits) {
        FUZZ_CHECK(hexValue(c) >= 0);
        expected = expected << 4 | static_cast<std::uint32_t>(hexValue(c));
    }
    FUZZ_CHECK(number == expected);
    char written[16];
    for (const char* format : {"%X", "0x%08x", "0X%x"}) {
        std::snprintf(written, sizeof written, format, number);
        std::uint32_t again = kUntouched;
        FUZZ_CHECK(readHexNumber(written, again) && again == number);
    }
}

void macAddress(std::string_view text)
{
    const std::optional<identity::MacAddress> mac = identity::macAddressOfText(text);
    for (std::size_t i = 0; i < 6; ++i) {
        if (2 * i + 1 >= text.size()) {
            FUZZ_CHECK(!mac || (*mac)[i] == 0);
            continue;
        }
        const int high = hexValue(text[2 * i]);
        const int low = hexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            FUZZ_CHECK(!mac);
            return;
        }
        FUZZ_CHECK(!mac || (*mac)[i] == (high << 4 | low));
    }
    FUZZ_CHECK(mac.has_value());
    char written[13];
    std::snprintf(written, sizeof written, "%02X%02X%02X%02X%02X%02X", (*mac)[0], (*mac)[1], (*mac)[2], (*mac)[3],
                  (*mac)[4], (*mac)[5]);
    FUZZ_CHECK(identity::macAddressOfText(written) == mac);
}

// A step on a sequence of decimal or hexadecimal digits adds to the number the digits
// make, keeping their count, or empties the text when the count cannot hold the sum.
void sequenceStep(std::string_view text, std::int32_t step, int base)
{
    std::string advanced(text);
    const bool stepped = base == 10 ? addDecimalStep(advanced, step) : addHexStep(advanced, step);
    if (!stepped) {
        FUZZ_CHECK(advanced == text);
        return;
    }
    FUZZ_CHECK(step >= 0 && !text.empty());
    if (text.size() > 12 || !std::all_of(text.begin(), text.end(), [base](char c) {
            return hexValue(c) >= 0 && hexValue(c) < base;
        }))
        return; // the walk may stop before a character it does not reach
    unsigned long long before = 0, after = 0, limit = 1;
    for (char c : text) {
        before = before * static_cast<unsigned>(base) + static_cast<unsigned>(hexValue(c));
        limit *= static_cast<unsigned>(base);
    }
    const unsigned long long sum = before + static_cast<unsigned long long>(step);
    if (sum >= limit) {
        FUZZ_CHECK(advanced.empty());
        return;
    }
    FUZZ_CHECK(advanced.size() == text.size());
    for (char c : advanced)
        after = after * static_cast<unsigned>(base) + static_cast<unsigned>(hexValue(c));
    FUZZ_CHECK(after == sum);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::FuzzInput input(data, size);
    const auto step = static_cast<std::int32_t>(input.word() | static_cast<std::uint32_t>(input.word()) << 16);
    const std::string_view text = input.restText();
    dottedAddress(text);
    hexNumber(text);
    macAddress(text);
    sequenceStep(text, step, 10);
    sequenceStep(text, step, 16);
    sequenceStep(text, step & 0xFFFF, 10);
    return 0;
}
