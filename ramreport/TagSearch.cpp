#include "ramreport/TagSearch.h"

#include <vector>

namespace ramreport {

namespace {

struct ObjectHeader {
    bool isWanted = false;
    bool constructed = false;
    std::uint32_t length = 0;
};

// One byte of a header, if the level's budget still allows it and the data has it.
bool readHeaderByte(ByteStream& stream, std::uint64_t levelEnd, std::uint8_t& byte)
{
    return stream.position() < levelEnd && stream.readByte(byte);
}

// Tag bytes: a first byte whose low five bits are all ones is followed by further
// bytes, each with bit 0x80 set except the last.
bool readTag(ByteStream& stream, std::uint64_t levelEnd, TagBytes wanted, ObjectHeader& header)
{
    std::uint8_t byte = 0;
    if (!readHeaderByte(stream, levelEnd, byte))
        return false;
    header.constructed = (byte & 0x20) != 0;
    bool matching = !wanted.empty() && wanted[0] == byte;
    std::size_t count = 1;
    if ((byte & 0x1F) == 0x1F) {
        do {
            if (!readHeaderByte(stream, levelEnd, byte))
                return false;
            matching = matching && count < wanted.size() && wanted[count] == byte;
            ++count;
        } while ((byte & 0x80) != 0);
    }
    header.isWanted = matching && count == wanted.size();
    return true;
}

// Length: 0x00-0x7F itself, 0x80 zero, 0x81-0x84 followed by 1 to 4 bytes most
// significant first; any other first byte is not a length this search reads.
bool readLength(ByteStream& stream, std::uint64_t levelEnd, ObjectHeader& header)
{
    std::uint8_t byte = 0;
    if (!readHeaderByte(stream, levelEnd, byte))
        return false;
    if (byte < 0x80) {
        header.length = byte;
        return true;
    }
    if (byte > 0x84)
        return false;
    const int lengthBytes = byte & 0x7F;
    header.length = 0;
    for (int i = 0; i < lengthBytes; ++i) {
        if (!readHeaderByte(stream, levelEnd, byte))
            return false;
        header.length = (header.length << 8) | byte;
    }
    return true;
}

} // namespace

std::optional<std::uint32_t> findTag(ByteStream& stream, TagBytes wanted, std::uint32_t budget)
{
    // Each level ends where its budget does; for a constructed object that is the end
    // of its value, which is also where its parent goes on when the object fails. Every
    // object lies within its level, so the levels nest, and as each takes at least two
    // header bytes of its parent's budget, their number stays below half the budget.
    std::vector<std::uint64_t> levelEnds{stream.position() + budget};
    auto endLevel = [&] {
        const std::uint64_t objectEnd = levelEnds.back();
        levelEnds.pop_back();
        if (!levelEnds.empty())
            stream.seek(objectEnd);
    };

    while (!levelEnds.empty()) {
        const std::uint64_t levelEnd = levelEnds.back();
        ObjectHeader header;
        if (!readTag(stream, levelEnd, wanted, header) || !readLength(stream, levelEnd, header)) {
            endLevel();
            continue;
        }
        const std::uint64_t valueEnd = stream.position() + header.length;
        if (valueEnd > levelEnd || valueEnd > stream.size()) {
            endLevel();
            continue;
        }
        if (header.isWanted)
            return header.length;
        if (header.constructed)
            levelEnds.push_back(valueEnd);
        else
            stream.seek(valueEnd);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> readNumber(ByteStream& stream, std::uint32_t length)
{
    const std::uint64_t valueEnd = stream.position() + length;
    if (valueEnd > stream.size())
        return std::nullopt;
    // Bytes shifted out at the top are lost anyway: start with the last four.
    const std::uint32_t kept = length < 4 ? length : 4;
    stream.seek(valueEnd - kept);
    std::uint32_t number = 0;
    for (std::uint32_t i = 0; i < kept; ++i) {
        std::uint8_t byte = 0;
        if (!stream.readByte(byte))
            return std::nullopt;
        number = (number << 8) | byte;
    }
    return number;
}

} // namespace ramreport
