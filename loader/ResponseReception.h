#pragma once
// The reception of the terminal's response to a frame: read byte by byte from the port,
// a frame up to its check byte, anything that does not start like a frame drained up to
// the end of a frame or a silence. Every byte received is handed to the input log.
#include <cstddef>
#include <cstdint>
#include <functional>

class Progress;
namespace Tarea {
class Port;
}

class ResponseReception {
public:
    using InputLog = std::function<void(const std::uint8_t* bytes, std::size_t count)>;

    ResponseReception(Tarea::Port& port, Progress& progress, InputLog logInput);

    // Reads one response into buffer (capacity bytes, at least 2 to read anything); the
    // first byte is awaited for firstLimitMs, every further one for the byte gap limit.
    // True when the terminal answered anything that may be a frame (a truncated one too):
    // length then holds the raw bytes stored. False when nothing came in time, when the
    // download was cancelled, or when the answer did not start like a frame and the drain
    // saw neither the end of a frame nor more than 3 bytes.
    bool receive(std::uint8_t* buffer, std::size_t capacity, std::uint32_t firstLimitMs, std::size_t& length);

private:
    bool drain(std::uint8_t first);

    Tarea::Port& port_;
    Progress& progress_;
    InputLog logInput_;
};
