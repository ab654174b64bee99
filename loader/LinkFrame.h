#pragma once
// Frames of the terminal link: DLE STX, the payload with every 0x10 doubled, DLE ETX
// and the check byte (LCR), the exclusive-or of every byte after STX up to and
// including ETX. Frames live in buffers of 4096 bytes.
#include <cstddef>
#include <cstdint>

namespace TerminalLink {

constexpr std::uint8_t DLE = 0x10;
constexpr std::uint8_t STX = 0x02;
constexpr std::uint8_t ETX = 0x03;
constexpr std::uint8_t ACK = 0x06;
constexpr std::uint8_t NAK = 0x15;

constexpr std::size_t kBufferSize = 4096;

} // namespace TerminalLink

// Frames a payload into out (capacity bytes). False for an empty payload and when the
// frame would not fit: before every payload byte after the first and before the
// trailer the frame must hold fewer than capacity - 3 bytes.
bool encodeFrame(const std::uint8_t* payload, std::size_t payloadLength, std::uint8_t* out, std::size_t capacity,
                 std::size_t& frameLength);

// Takes the payload out of a frame; out may be the frame's own buffer. False for a frame
// that does not start with DLE STX, ends before DLE ETX and its LCR, holds DLE followed
// by another byte than DLE or ETX, has a wrong LCR, or whose payload exceeds capacity.
bool decodeFrame(const std::uint8_t* frame, std::size_t frameLength, std::uint8_t* out, std::size_t capacity,
                 std::size_t& payloadLength);
