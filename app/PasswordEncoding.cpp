#include "app/PasswordEncoding.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The value of one encoding character, or -1 when it is none.
int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string encodePassword(std::string_view text)
{
    std::string encoded;
    encoded.reserve(text.size() * 2);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        encoded += kHexDigits[byte >> 4];
        encoded += kHexDigits[byte & 0x0F];
    }
    return encoded;
}

std::string decodePassword(std::string_view encoded)
{
    if (encoded.size() % 2 != 0)
        return {};
    std::string text;
    text.reserve(encoded.size() / 2);
    for (std::size_t i = 0; i < encoded.size(); i += 2) {
        const int high = digitValue(encoded[i]);
        const int low = digitValue(encoded[i + 1]);
        if (high < 0 || low < 0)
            return {};
        const int byte = high * 16 + low;
        if (byte == 0)
            return {};
        text += static_cast<char>(byte);
    }
    return text;
}

std::string trimTrailingBlanks(std::string_view text)
{
    const auto end = text.find_last_not_of(" \t\r\n");
    return std::string(end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1));
}
