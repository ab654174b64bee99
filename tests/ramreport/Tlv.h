#pragma once
// Building BER-TLV bytes for the memtabler tests.
#include <cstdint>
#include <initializer_list>
#include <string>

namespace ramtest {

inline std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int value : values)
        out += static_cast<char>(value);
    return out;
}

// Length in the shortest form: one byte up to 0x7F, else 0x81-0x84 and its bytes.
inline std::string lengthOf(std::size_t length)
{
    if (length < 0x80)
        return bytes({static_cast<int>(length)});
    std::string digits;
    for (std::size_t rest = length; rest != 0; rest >>= 8)
        digits.insert(digits.begin(), static_cast<char>(rest & 0xFF));
    return bytes({static_cast<int>(0x80 + digits.size())}) + digits;
}

inline std::string tlv(const std::string& tag, const std::string& value)
{
    return tag + lengthOf(value.size()) + value;
}

// Big-endian number of `width` bytes.
inline std::string number(std::uint64_t value, int width)
{
    std::string out(static_cast<std::size_t>(width), '\0');
    for (int i = width - 1; i >= 0; --i, value >>= 8)
        out[static_cast<std::size_t>(i)] = static_cast<char>(value & 0xFF);
    return out;
}

// A primitive object (tag 5A) that takes exactly `total` bytes (2 to 65539), header
// included: a two-byte length form from 4 bytes on.
inline std::string filler(std::size_t total)
{
    if (total < 4)
        return bytes({0x5A, static_cast<int>(total - 2)}) + std::string(total - 2, '\x11');
    return bytes({0x5A, 0x82}) + number(total - 4, 2) + std::string(total - 4, '\x11');
}

inline std::string padded(std::string content, std::size_t size)
{
    content.resize(size, '\0');
    return content;
}

const std::string kRwTag = bytes({0xDF, 0x65});
const std::string kZiTag = bytes({0xDF, 0x67});
const std::string kTypeTag = bytes({0xDF, 0x71});
const std::string kExternalSramTag = bytes({0xDF, 0x80, 0x57});
const std::string kTemplateTag = bytes({0xE1}); // constructed

} // namespace ramtest
