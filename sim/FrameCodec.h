#pragma once
// The link's frames as the terminal sees them: DLE STX, the payload with every DLE
// doubled, DLE ETX, and the check byte (LCR), the exclusive-or of every byte after STX
// up to and including ETX. The terminal frames its responses and reads the station's
// frames byte by byte as they come off the line.
#include <cstddef>
#include <string>
#include <string_view>

namespace termsim {

namespace control {
constexpr char dle = 0x10;
constexpr char stx = 0x02;
constexpr char etx = 0x03;
constexpr char ack = 0x06;
constexpr char nak = 0x15;
} // namespace control

// The whole frame for payload (which may be empty). The check byte is never doubled.
std::string encodeFrame(std::string_view payload);

class FrameReader {
public:
    // The largest payload the terminal takes in one frame: its receive buffer.
    static constexpr std::size_t payloadCapacity = 4096;

    enum class Result {
        Pending,      // the byte belongs to a frame (or its start) still open
        Frame,        // a frame is complete and its check byte right: see payload()
        BadCheck,     // a frame is complete but its check byte is wrong
        BadStuffing,  // a DLE inside the payload was followed by neither DLE, ETX nor STX
        TooLong,      // a frame ended whose payload did not fit the receive buffer
        Outside,      // a byte outside any frame (an ACK, a NAK, console bytes)
    };

    Result take(char byte);
    const std::string& payload() const { return payload_; }
    // True while a frame has begun (DLE STX seen) and not yet ended.
    bool inFrame() const { return state_ != State::Hunting && state_ != State::LeadingDle; }

private:
    enum class State { Hunting, LeadingDle, Payload, PayloadDle, CheckByte };

    void begin();

    State state_ = State::Hunting;
    std::string payload_;
    unsigned char check_ = 0;
    bool overflow_ = false;
};

} // namespace termsim
