#pragma once
// The values written into the identity fields of the terminal's data objects: packed BCD
// dates, the manufacturer identifier at its field's width, the 12-digit serial number,
// the 6-byte MAC address, and the test for an empty field.
#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace identity {

using PackedDate = std::array<std::uint8_t, 4>;
using MacAddress = std::array<std::uint8_t, 6>;

// Year (4 digits, taken modulo 10000), month and day in packed BCD: 2007-03-15 gives
// 20 07 03 15.
PackedDate packedDate(int year, int month, int day);
// The station's local date at the moment given.
PackedDate packedLocalDate(std::time_t when);

// Every byte 0x00 or 0xFF.
bool isEmptyField(std::span<const std::uint8_t> field);
// Every byte 0x00.
bool isZeroMac(std::span<const std::uint8_t> field);

// The field already holds exactly this text: same length, same bytes.
bool holdsText(std::span<const std::uint8_t> field, std::string_view text);
// The text cut to width, or filled up to it with spaces.
std::string fittedToWidth(std::string_view text, std::size_t width);

// A serial number of 10 to 12 decimal digits made 12 by leading zeros; nothing for any
// other text.
std::optional<std::string> twelveDigitSerialNumber(std::string_view text);

// Byte i is the hexadecimal pair at characters 2i and 2i+1; a pair the text does not
// reach in full gives 0x00. Nothing when a character of a pair is not a hexadecimal digit.
std::optional<MacAddress> macAddressOfText(std::string_view text);

} // namespace identity
