#pragma once
// The configuration password as the settings store keeps it: every byte as two
// hexadecimal characters, high four bits first. The marker text stands for "no
// password": a stored marker opens the configuration sheet without asking.
#include <string>
#include <string_view>

// The text stored (encoded) when the configuration is not guarded by a password.
inline constexpr std::string_view kSecurityDisabledMarker = "Cormorantilde";

// Two characters "0"-"9" or "A"-"F" per byte, high four bits first; "" for "".
std::string encodePassword(std::string_view text);

// The text back from its encoding. An odd length, a character that is not "0"-"9" or
// upper-case "A"-"F", or a pair giving the byte 0 makes the whole result empty.
std::string decodePassword(std::string_view encoded);

// The text without its trailing blanks, tabs and line ends; leading ones stay.
std::string trimTrailingBlanks(std::string_view text);
