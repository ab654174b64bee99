#include "loader/TlvScanner.h"

#include <algorithm>

namespace tlv {

namespace {

constexpr std::size_t kLongestTag = 3;

bool listed(TagRules rules, std::uint32_t tag, LengthForm& form)
{
    for (const TagRule& rule : rules) {
        if (rule.tag == tag) {
            form = rule.form;
            return true;
        }
    }
    return false;
}

// The tag's bytes, first byte first.
std::vector<std::uint8_t> tagBytes(std::uint32_t tag)
{
    std::vector<std::uint8_t> bytes;
    for (int shift = 24; shift >= 0; shift -= 8) {
        auto b = static_cast<std::uint8_t>(tag >> shift);
        if (b != 0 || !bytes.empty() || shift == 0)
            bytes.push_back(b);
    }
    return bytes;
}

} // namespace

std::optional<Tag> readTag(ByteView bytes, std::size_t offset, std::size_t limit)
{
    limit = std::min(limit, bytes.size());
    if (offset >= limit)
        return std::nullopt;
    Tag tag{bytes[offset], 1};
    if ((bytes[offset] & 0x1F) != 0x1F)
        return tag;
    // A multi-byte tag: further bytes follow while bit 8 is set.
    for (;;) {
        if (tag.size == kLongestTag || offset + tag.size >= limit)
            return std::nullopt;
        std::uint8_t next = bytes[offset + tag.size];
        tag.value = tag.value << 8 | next;
        ++tag.size;
        if ((next & 0x80) == 0)
            return tag;
    }
}

std::optional<Length> readLength(ByteView bytes, std::size_t offset, std::size_t limit, LengthForm form)
{
    limit = std::min(limit, bytes.size());
    if (offset >= limit)
        return std::nullopt;
    const std::uint8_t first = bytes[offset];
    const std::size_t available = limit - offset;
    const bool shortForm = first < 0x80;
    const bool oneByte = first == 0x81 && available >= 2;
    const bool twoBytes = first == 0x82 && available >= 3;
    switch (form) {
    case LengthForm::Short:
        if (shortForm)
            return Length{first, 1};
        return std::nullopt;
    case LengthForm::OneByte:
        if (oneByte)
            return Length{bytes[offset + 1], 2};
        return std::nullopt;
    case LengthForm::TwoBytes:
        if (twoBytes)
            return Length{static_cast<std::size_t>(bytes[offset + 1]) << 8 | bytes[offset + 2], 3};
        return std::nullopt;
    case LengthForm::AnyDefinite:
        if (shortForm)
            return Length{first, 1};
        if (oneByte)
            return Length{bytes[offset + 1], 2};
        if (twoBytes)
            return Length{static_cast<std::size_t>(bytes[offset + 1]) << 8 | bytes[offset + 2], 3};
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Object> readObject(ByteView bytes, std::size_t offset, std::size_t limit, TagRules rules)
{
    limit = std::min(limit, bytes.size());
    std::optional<Tag> tag = readTag(bytes, offset, limit);
    LengthForm form{};
    if (!tag || !listed(rules, tag->value, form))
        return std::nullopt;
    std::optional<Length> length = readLength(bytes, offset + tag->size, limit, form);
    if (!length)
        return std::nullopt;
    Object object;
    object.tag = tag->value;
    object.start = offset;
    object.valueOffset = offset + tag->size + length->size;
    object.valueLength = length->value;
    // The value offset is at most limit here; compare without overflowing.
    if (object.valueLength > limit - object.valueOffset)
        return std::nullopt;
    return object;
}

std::vector<Object> scanContainer(ByteView bytes, const Object& container, TagRules rules)
{
    std::vector<Object> objects;
    if (container.valueOffset > bytes.size() || container.valueLength > bytes.size() - container.valueOffset)
        return objects;
    const std::size_t limit = container.end();
    std::size_t offset = container.valueOffset;
    while (offset < limit) {
        std::optional<Object> object = readObject(bytes, offset, limit, rules);
        if (!object)
            break;
        objects.push_back(*object);
        offset = object->end();
    }
    return objects;
}

std::optional<Object> lastOccurrence(const std::vector<Object>& objects, std::uint32_t tag)
{
    auto found = std::find_if(objects.rbegin(), objects.rend(), [tag](const Object& o) { return o.tag == tag; });
    if (found == objects.rend())
        return std::nullopt;
    return *found;
}

std::vector<Object> firstOccurrences(const std::vector<Object>& objects, std::uint32_t tag, std::size_t count)
{
    std::vector<Object> found;
    for (const Object& object : objects) {
        if (found.size() == count)
            break;
        if (object.tag == tag)
            found.push_back(object);
    }
    return found;
}

std::optional<Object> findObject(ByteView bytes, std::size_t from, TagRule rule)
{
    if (from >= bytes.size())
        return std::nullopt;
    const std::vector<std::uint8_t> pattern = tagBytes(rule.tag);
    auto at =
        std::search(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(), pattern.begin(), pattern.end());
    if (at == bytes.end())
        return std::nullopt;
    const TagRule only[] = {rule};
    return readObject(bytes, static_cast<std::size_t>(at - bytes.begin()), bytes.size(), only);
}

} // namespace tlv
