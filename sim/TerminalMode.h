#pragma once
// One behaviour of the simulated terminal (an Intel HEX sink, a payment terminal, ...):
// what it does with the bytes the station sends. It answers through the Outbox it was
// given; the session puts those bytes on the line.
#include "platform/Ticks.h"
#include "sim/LineSettings.h"

#include <optional>
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

    // A behaviour that acts on its own in time (a start-up delay, a repeated wake-up
    // character) says when (platform::tickMs) it next wants tick(); nothing: no timer.
    virtual std::optional<platform::Millis> nextDueMs() const { return std::nullopt; }
    // The time given by nextDueMs() has come. False as for receive().
    virtual bool tick(platform::Millis now)
    {
        (void)now;
        return true;
    }
    // The station's line settings: the first ones seen and every change, always before
    // the bytes that arrive under them.
    virtual void lineSettingsChanged(const LineSettings& settings) { (void)settings; }
    // Whether the station's answers are timed now (the link protocol runs): the session
    // then measures from its own last byte sent to the station's next byte.
    virtual bool timesTurnarounds() const { return false; }
};

} // namespace termsim
