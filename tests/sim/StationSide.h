#pragma once
// The station's end of the line in the terminal tests: a raw descriptor on the
// simulator's line with bounded reads, and the test's own framing of the link
// (DLE STX, payload with every DLE doubled, DLE ETX, check byte), written from the
// line's rules and sharing nothing with the station's code.
#include "platform/FileDescriptor.h"
#include "platform/Ticks.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <termios.h>

namespace simtest {

constexpr char DLE = 0x10;
constexpr char ACK = 0x06;
constexpr char NAK = 0x15;

// The frame of payload as it travels on the line.
std::string frameOf(std::string_view payload);
// Bytes written as numbers: bytes({0x10, 0x02}).
std::string bytes(std::initializer_list<int> values);
// 16-bit little-endian.
std::string le16(unsigned value);
// The bytes as hexadecimal pairs, for readable failure messages.
std::string hex(std::string_view bytes);

class StationSide {
public:
    // Opens the line raw at the given speed (the terminal's own line settings default
    // to 115200 bit/s).
    explicit StationSide(const std::string& path, speed_t speed = B115200, tcflag_t flags = CS8);

    bool opened() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }
    bool setSpeed(speed_t speed, tcflag_t flags = CS8);

    void send(std::string_view bytes);
    // Everything that arrives until the line stays quiet for quietMs (at most limitMs in all).
    std::string readUntilQuiet(platform::Millis quietMs = 150, platform::Millis limitMs = 3000);
    // Up to count bytes, as many as come within limitMs.
    std::string read(std::size_t count, platform::Millis limitMs = 3000);
    // One frame from DLE STX to its check byte (what comes before it is returned too),
    // or what came within limitMs.
    std::string readFrame(platform::Millis limitMs = 3000);
    // Sends the frame of payload and returns the answer: the acknowledgement byte and
    // the response frame; then acknowledges the response.
    std::string exchange(std::string_view payload);

private:
    platform::FileDescriptor fd_;
};

} // namespace simtest
