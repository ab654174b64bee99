#include "loader/IdentityValues.h"

#include <algorithm>

namespace identity {

namespace {

std::uint8_t bcd(int value)
{
    return static_cast<std::uint8_t>((value / 10 % 10) << 4 | value % 10);
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

PackedDate packedDate(int year, int month, int day)
{
    year %= 10000;
    return {bcd(year / 100), bcd(year % 100), bcd(month), bcd(day)};
}

PackedDate packedLocalDate(std::time_t when)
{
    std::tm local{};
    ::localtime_r(&when, &local);
    return packedDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

bool isEmptyField(std::span<const std::uint8_t> field)
{
    return std::all_of(field.begin(), field.end(), [](std::uint8_t b) { return b == 0x00 || b == 0xFF; });
}

bool isZeroMac(std::span<const std::uint8_t> field)
{
    return std::all_of(field.begin(), field.end(), [](std::uint8_t b) { return b == 0x00; });
}

bool holdsText(std::span<const std::uint8_t> field, std::string_view text)
{
    return field.size() == text.size() &&
           std::equal(field.begin(), field.end(), text.begin(),
                      [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); });
}

std::string fittedToWidth(std::string_view text, std::size_t width)
{
    std::string fitted(text.substr(0, width));
    fitted.resize(width, ' ');
    return fitted;
}

std::optional<std::string> twelveDigitSerialNumber(std::string_view text)
{
    if (text.size() < 10 || text.size() > 12)
        return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::string(12 - text.size(), '0') + std::string(text);
}

std::optional<MacAddress> macAddressOfText(std::string_view text)
{
    MacAddress mac{};
    for (std::size_t i = 0; i < mac.size() && 2 * i + 1 < text.size(); ++i) {
        int high = hexDigit(text[2 * i]);
        int low = hexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        mac[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return mac;
}

} // namespace identity
