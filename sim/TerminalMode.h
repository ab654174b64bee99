#pragma once
// One behaviour of the simulated terminal (an Intel HEX sink, a BIOS console, ...):
// what it does with the bytes the station sends. It answers through the Outbox it was
// given; the session puts those bytes on the line.
#include <span>
#include <string>

namespace termsim {

class TerminalMode {
public:
    virtual ~TerminalMode() = default;

    // Bytes that arrived from the station, in order. False when the behaviour cannot go
    // on (failure() says why).
    virtual bool receive(std::span<const char> bytes) = 0;
    // True once the behaviour is complete and the simulator should end successfully.
    virtual bool finished() const = 0;
    virtual std::string failure() const = 0;
};

} // namespace termsim
