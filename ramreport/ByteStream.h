#pragma once
// A readable sequence of bytes with a position, as the tag search walks it: byte by
// byte forward, with jumps over values it does not need.
#include <cstdint>

namespace ramreport {

class ByteStream {
public:
    virtual ~ByteStream() = default;

    // The next byte, moving the position past it; false at the end of the data.
    virtual bool readByte(std::uint8_t& byte) = 0;
    virtual std::uint64_t position() const = 0;
    // Moves to position; reading beyond the end then gives no byte.
    virtual void seek(std::uint64_t position) = 0;
    // The number of bytes the data holds.
    virtual std::uint64_t size() const = 0;
};

} // namespace ramreport
