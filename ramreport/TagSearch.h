#pragma once
// Finding one BER-TLV data object by its tag at the start of a software file, and
// reading its value.
//
// The search walks the objects from the stream's position through at most `budget`
// bytes at the top level: every tag and length byte read and every value byte skipped
// counts against it. A constructed object's value is searched the same way with the
// object's length as its budget; when the wanted tag is not inside, the walk goes on
// after the object. The search of a level ends without success at the end of the data,
// when its budget is used up (also in the middle of a tag or length), at a length form
// other than 0x00-0x84, and at an object whose value is longer than what is left of the
// level's budget or runs past the end of the data. So no value outside the budget is
// ever taken, nested objects included. At the top level these end the whole search;
// inside a constructed object they end only the search of that object's value.
#include "ramreport/ByteStream.h"

#include <cstdint>
#include <optional>
#include <span>

namespace ramreport {

using TagBytes = std::span<const std::uint8_t>;

inline constexpr std::uint8_t kExternalSramTag[] = {0xDF, 0x80, 0x57};
inline constexpr std::uint8_t kRwDataTag[] = {0xDF, 0x65};
inline constexpr std::uint8_t kZiDataTag[] = {0xDF, 0x67};
inline constexpr std::uint8_t kFileTypeTag[] = {0xDF, 0x71};

// Bytes examined at the top level of one search: only the head of a file holds tags.
inline constexpr std::uint32_t kTagSearchBudget = 1000;

// The length of the wanted object's value, with the stream at its first value byte;
// nothing when the tag is not found.
std::optional<std::uint32_t> findTag(ByteStream& stream, TagBytes wanted,
                                     std::uint32_t budget = kTagSearchBudget);

// The value of `length` bytes at the stream's position as an unsigned big-endian
// number; of a value longer than 4 bytes only the last 4 bytes count. The stream ends
// after the value. Nothing when the value is not there whole.
std::optional<std::uint32_t> readNumber(ByteStream& stream, std::uint32_t length);

} // namespace ramreport
