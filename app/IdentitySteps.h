#pragma once
// The arithmetic and the readers behind a terminal's identity values: the step added to
// a sequence's next serial number or MAC address, the serial number's form, and the
// two ways a scanned code can give an IPv4 address.
#include <cstdint>
#include <string>
#include <string_view>

// Adds step to the decimal number the text holds, in place, walking from the last
// character towards the first while something is carried. A character the walk does not
// reach is neither examined nor changed. False when the text is empty, when the walk
// meets a character that is not a decimal digit, or when the step is negative (the text
// is then unchanged). When a carry is left over after the first character the text
// becomes empty: the sequence is used up, and the next step on it fails.
bool addDecimalStep(std::string& text, std::int32_t step);

// The same in base 16: digits "0"-"9", "a"-"f", "A"-"F"; every character the walk
// rewrites is written as "0"-"9" or "A"-"F", characters it does not reach keep their case.
bool addHexStep(std::string& text, std::int32_t step);

// A serial number the terminal's configuration data can hold: 10 to 12 decimal digits.
bool isValidSerialNumber(std::string_view text);

// A dotted IPv4 address: at most four fields of one to three decimal digits, each at
// most 255, separated by "."; a final "." adds nothing. The running value is shifted
// left by 8 bits before each field is added, so fewer fields fill only the low bytes
// ("10.1" gives 0.0.10.1). False, with address unchanged, when the text is not one.
bool readDottedAddress(std::string_view text, std::uint32_t& address);

// A hexadecimal number: an optional "0x" or "0X", then one to eight hexadecimal digits
// of either case, most significant first. False, with number unchanged, otherwise.
bool readHexNumber(std::string_view text, std::uint32_t& number);
