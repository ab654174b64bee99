// Frames of the terminal link: any bytes decoded as a received frame, and any bytes
// framed as a payload and decoded again.
#include "FuzzCheck.h"
#include "loader/LinkFrame.h"

#include <algorithm>
#include <vector>

using namespace TerminalLink;

namespace {

// A received frame: decoding never writes beyond its capacity and, when it succeeds,
// framing the payload again gives back the bytes the decoder took.
void decodeReceived(const std::uint8_t* data, std::size_t size, std::size_t capacity)
{
    std::vector<std::uint8_t> out(capacity + 1, 0xA5);
    std::size_t payloadLength = 99;
    const bool valid = decodeFrame(data, size, out.data(), capacity, payloadLength);
    FUZZ_CHECK(out[capacity] == 0xA5);
    if (!valid) {
        FUZZ_CHECK(payloadLength == 0);
        return;
    }
    FUZZ_CHECK(payloadLength <= capacity);
    FUZZ_CHECK(size >= 5 && data[0] == DLE && data[1] == STX);
    if (payloadLength == 0)
        return; // an empty payload decodes but cannot be framed
    std::vector<std::uint8_t> frame(kBufferSize);
    std::size_t frameLength = 0;
    if (!encodeFrame(out.data(), payloadLength, frame.data(), frame.size(), frameLength))
        return; // larger than a frame buffer holds
    FUZZ_CHECK(frameLength <= size);
    FUZZ_CHECK(std::equal(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(frameLength), data));
}

// A payload framed and decoded, out of a separate buffer and in place.
void roundTrip(const std::uint8_t* payload, std::size_t size)
{
    std::vector<std::uint8_t> frame(kBufferSize);
    std::size_t frameLength = 0;
    if (!encodeFrame(payload, size, frame.data(), frame.size(), frameLength)) {
        FUZZ_CHECK(frameLength == 0);
        // Only an empty payload, or one whose frame would exceed 4095 bytes, is refused.
        FUZZ_CHECK(size == 0 || size + static_cast<std::size_t>(std::count(payload, payload + size, DLE)) + 5 >
                                    kBufferSize - 1);
        return;
    }
    FUZZ_CHECK(frameLength == size + static_cast<std::size_t>(std::count(payload, payload + size, DLE)) + 5);
    FUZZ_CHECK(frameLength <= kBufferSize - 1);
    std::vector<std::uint8_t> decoded(kBufferSize);
    std::size_t decodedLength = 0;
    FUZZ_CHECK(decodeFrame(frame.data(), frameLength, decoded.data(), decoded.size(), decodedLength));
    FUZZ_CHECK(decodedLength == size && std::equal(payload, payload + size, decoded.begin()));
    // A capacity one byte short of the payload refuses it.
    FUZZ_CHECK(!decodeFrame(frame.data(), frameLength, decoded.data(), size - 1, decodedLength));
    // A frame cut short, or with its check byte changed, is refused.
    FUZZ_CHECK(!decodeFrame(frame.data(), frameLength - 1, decoded.data(), decoded.size(), decodedLength));
    frame[frameLength - 1] ^= 0x01;
    FUZZ_CHECK(!decodeFrame(frame.data(), frameLength, decoded.data(), decoded.size(), decodedLength));
    frame[frameLength - 1] ^= 0x01;
    FUZZ_CHECK(decodeFrame(frame.data(), frameLength, frame.data(), frame.size(), decodedLength));
    FUZZ_CHECK(decodedLength == size && std::equal(payload, payload + size, frame.begin()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    decodeReceived(data, size, kBufferSize);
    if (size > 0)
        decodeReceived(data, size, data[size - 1] % 16);
    roundTrip(data, size);
    return 0;
}
