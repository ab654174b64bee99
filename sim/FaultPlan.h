#pragma once
// Which link faults the terminal plays, and when: each "first N" fault is counted over
// the whole session, and every fault played is noted in the event log ("fault bad-lcr
// 1 of 3") so a test can tell what the station met.
#include "sim/TerminalLog.h"
#include "sim/TerminalSettings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace termsim {

enum class LinkFault { NakFrame, BadLcr, LoseAck, DleForAck, Truncate, WrongEcho, EchoCmd };
inline constexpr std::size_t linkFaultKinds = static_cast<std::size_t>(LinkFault::EchoCmd) + 1;

class FaultPlan {
public:
    FaultPlan(LinkFaults faults, TerminalLog& log) : faults_(std::move(faults)), log_(log) {}

    // True when this occurrence is to be played (and notes it); false once the fault's
    // count is used up or it was never switched on.
    bool play(LinkFault fault);
    // True when the frame with this running number (from 1) is to get no answer at all.
    bool silentFor(std::uint64_t frameNumber);
    // The status every answer to the command carries, when one was forced.
    std::optional<std::string> forcedStatus(std::string_view command) const;
    bool shortOpen() const { return faults_.shortOpen; }
    // Line noise: corrupts every Nth byte received (counted over the session).
    void addNoise(std::span<char> received);

private:
    std::uint64_t& countOf(LinkFault fault);
    std::uint64_t& usedOf(LinkFault fault);

    LinkFaults faults_;
    TerminalLog& log_;
    std::array<std::uint64_t, linkFaultKinds> used_{};
    std::uint64_t received_ = 0;
    bool silenceNoted_ = false;
};

} // namespace termsim
