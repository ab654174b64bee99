#include "loader/LinkFrame.h"

using namespace TerminalLink;

bool encodeFrame(const std::uint8_t* payload, std::size_t payloadLength, std::uint8_t* out, std::size_t capacity,
                 std::size_t& frameLength)
{
    frameLength = 0;
    if (payloadLength == 0 || capacity < 4)
        return false;
    const std::size_t limit = capacity - 3; // room for DLE ETX LCR
    std::size_t n = 0;
    out[n++] = DLE;
    out[n++] = STX;
    std::uint8_t lcr = 0;
    for (std::size_t i = 0; i < payloadLength; ++i) {
        if (i > 0 && n >= limit)
            return false;
        out[n++] = payload[i];
        lcr ^= payload[i];
        if (payload[i] == DLE) {
            out[n++] = DLE; // the stuffing byte, counted in the LCR too
            lcr ^= DLE;
        }
    }
    if (n >= limit)
        return false;
    out[n++] = DLE;
    out[n++] = ETX;
    out[n++] = static_cast<std::uint8_t>(lcr ^ DLE ^ ETX);
    frameLength = n;
    return true;
}

bool decodeFrame(const std::uint8_t* frame, std::size_t frameLength, std::uint8_t* out, std::size_t capacity,
                 std::size_t& payloadLength)
{
    payloadLength = 0;
    if (frameLength < 3 || frame[0] != DLE || frame[1] != STX)
        return false;
    std::uint8_t lcr = 0;
    std::size_t length = 0;
    std::size_t i = 2;
    for (;;) {
        // The byte to read must leave at least one byte behind it for the LCR.
        if (i + 1 >= frameLength)
            return false;
        std::uint8_t b = frame[i++];
        lcr ^= b;
        if (b == DLE) {
            if (i + 1 >= frameLength)
                return false;
            std::uint8_t next = frame[i++];
            lcr ^= next;
            if (next == ETX)
                break;
            if (next != DLE)
                return false;
        }
        if (length >= capacity)
            return false;
        out[length++] = b;
    }
    if (frame[i] != lcr)
        return false;
    payloadLength = length;
    return true;
}
