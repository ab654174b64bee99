#pragma once
// Bytes as the load log shows them: blank-separated, the five control bytes of the
// terminal line by name, every other byte as two upper-case hexadecimal digits.
#include <cstddef>
#include <cstdint>
#include <string>

std::string renderBytes(const std::uint8_t* bytes, std::size_t count);
