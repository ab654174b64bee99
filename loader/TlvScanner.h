#pragma once
// BER-TLV scanning of the terminal's stored data objects. Nothing is decoded or
// re-encoded: the scanner only finds where objects and their values lie in a buffer, so
// that values can be changed in place, byte for byte, without touching a length.
//
// Every object read lies whole inside the range it was looked for in; a header or a
// length running past that range makes the object unreadable, never a read beyond it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tlv {

using ByteView = std::span<const std::uint8_t>;

// How the length of an object with a given tag is written.
enum class LengthForm : std::uint8_t {
    Short,       // one byte below 0x80: the length itself
    OneByte,     // 0x81, then one byte
    TwoBytes,    // 0x82, then two bytes, most significant first
    AnyDefinite, // any of the three above
};

// A tag a container knows, with the length form its objects are written in. Tags are
// held as their one to three bytes, first byte most significant (DF 80 08 is 0xDF8008).
struct TagRule {
    std::uint32_t tag;
    LengthForm form;
};
using TagRules = std::span<const TagRule>;

// One object found in a buffer, by offsets into that buffer.
struct Object {
    std::uint32_t tag = 0;
    std::size_t start = 0;       // first byte of the tag
    std::size_t valueOffset = 0; // first byte of the value
    std::size_t valueLength = 0;

    std::size_t end() const { return valueOffset + valueLength; }
};

struct Tag {
    std::uint32_t value = 0;
    std::size_t size = 0; // 1 to 3 bytes
};

struct Length {
    std::size_t value = 0;
    std::size_t size = 0; // length bytes, the form byte included
};

// The tag starting at offset, one to three bytes as BER writes them; nothing when the
// tag would run past limit or needs more than three bytes.
std::optional<Tag> readTag(ByteView bytes, std::size_t offset, std::size_t limit);

// The length starting at offset in the given form; nothing when the bytes there are not
// of that form or run past limit.
std::optional<Length> readLength(ByteView bytes, std::size_t offset, std::size_t limit, LengthForm form);

// The object starting at offset whose tag the rules list and which lies whole before
// limit; nothing otherwise.
std::optional<Object> readObject(ByteView bytes, std::size_t offset, std::size_t limit, TagRules rules);

// The objects of a container's value, in order, each stepped over by its own header and
// length; the scan stops at the end of the value or at the first object that is not
// listed or not whole.
std::vector<Object> scanContainer(ByteView bytes, const Object& container, TagRules rules);

// The last of the objects with the tag, or nothing.
std::optional<Object> lastOccurrence(const std::vector<Object>& objects, std::uint32_t tag);
// The first count objects with the tag, in order of appearance.
std::vector<Object> firstOccurrences(const std::vector<Object>& objects, std::uint32_t tag, std::size_t count);

// The first object with the tag found anywhere from offset on (its tag bytes searched as
// such), when that object is whole within the bytes; nothing when the first occurrence
// of the tag bytes does not start a whole object written in the given form.
std::optional<Object> findObject(ByteView bytes, std::size_t from, TagRule rule);

} // namespace tlv
