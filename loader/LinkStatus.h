#pragma once
// The terminal's status codes and the 16-bit values of its responses.
#include <cstdint>
#include <string>

// A 16-bit value of a response: high * 256 + low, but a high byte of 0x81 gives the low
// byte alone.
int responseValue16(std::uint8_t high, std::uint8_t low);

// The status "00" as a 16-bit value.
constexpr int kStatusOk = '0' * 256 + '0';

// The message reported for a status other than "00"; "Unknown error." for a status the
// table does not know (and for a response too short to hold one, given as -1).
std::string statusMessage(int status);
