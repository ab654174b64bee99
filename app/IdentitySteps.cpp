#include "app/IdentitySteps.h"

#include <algorithm>

namespace {

// The value of a digit in the base, or -1 when the character is none.
int digitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

char digitCharacter(int value)
{
    return "0123456789ABCDEF"[value];
}

// Adds step to the text read as a number in base, from the last character on, for as
// long as something is carried. The text is changed only when the walk succeeds.
bool addStep(std::string& text, std::int32_t step, int base)
{
    // A negative step would write characters that are no digits at all.
    if (text.empty() || step < 0)
        return false;
    std::string result = text;
    std::int64_t carry = step;
    for (std::size_t i = result.size(); i-- > 0 && carry != 0;) {
        int digit = digitValue(result[i], base);
        if (digit < 0)
            return false;
        std::int64_t sum = carry + digit;
        result[i] = digitCharacter(static_cast<int>(sum % base));
        carry = sum / base;
    }
    if (carry != 0)
        result.clear(); // no room left for the carry: the sequence is used up
    text = std::move(result);
    return true;
}

bool isDecimalDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool addDecimalStep(std::string& text, std::int32_t step)
{
    return addStep(text, step, 10);
}

bool addHexStep(std::string& text, std::int32_t step)
{
    return addStep(text, step, 16);
}

bool isValidSerialNumber(std::string_view text)
{
    return text.size() >= 10 && text.size() <= 12 && std::all_of(text.begin(), text.end(), isDecimalDigit);
}

bool readDottedAddress(std::string_view text, std::uint32_t& address)
{
    constexpr int kMostFields = 4;
    std::uint32_t value = 0;
    int fields = 0;
    std::size_t start = 0;
    for (;;) {
        if (fields == kMostFields)
            return false; // text left over for a fifth field
        std::size_t dot = text.find('.', start);
        std::string_view field = text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (field.empty() || field.size() > 3 || !std::all_of(field.begin(), field.end(), isDecimalDigit))
            return false;
        std::uint32_t fieldValue = 0;
        for (char c : field)
            fieldValue = fieldValue * 10 + static_cast<std::uint32_t>(c - '0');
        if (fieldValue > 255)
            return false;
        value = (value << 8) + fieldValue;
        ++fields;
        if (dot == std::string_view::npos || dot + 1 == text.size())
            break; // the text is used up; a final "." adds nothing
        start = dot + 1;
    }
    address = value;
    return true;
}

bool readHexNumber(std::string_view text, std::uint32_t& number)
{
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 8)
        return false;
    std::uint32_t value = 0;
    for (char c : text) {
        int digit = digitValue(c, 16);
        if (digit < 0)
            return false;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    number = value;
    return true;
}
