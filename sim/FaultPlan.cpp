#include "sim/FaultPlan.h"

namespace termsim {

namespace {

const char* nameOf(LinkFault fault)
{
    switch (fault) {
    case LinkFault::NakFrame: return "nak-frame";
    case LinkFault::BadLcr: return "bad-lcr";
    case LinkFault::LoseAck: return "lose-ack";
    case LinkFault::DleForAck: return "dle-for-ack";
    case LinkFault::Truncate: return "truncate";
    case LinkFault::WrongEcho: return "wrong-echo";
    case LinkFault::EchoCmd: return "echo-cmd";
    }
    return "?";
}

// What line noise does to a byte: one bit pattern flipped, so a DLE or an ETX may
// turn into data and data into control bytes.
constexpr unsigned char noiseFlip = 0x41;

} // namespace

std::uint64_t& FaultPlan::countOf(LinkFault fault)
{
    switch (fault) {
    case LinkFault::NakFrame: return faults_.nakFrames;
    case LinkFault::BadLcr: return faults_.badLcr;
    case LinkFault::LoseAck: return faults_.loseAcks;
    case LinkFault::DleForAck: return faults_.dleForAck;
    case LinkFault::Truncate: return faults_.truncate;
    case LinkFault::WrongEcho: return faults_.wrongEcho;
    case LinkFault::EchoCmd: return faults_.echoCmd;
    }
    return faults_.echoCmd;
}

std::uint64_t& FaultPlan::usedOf(LinkFault fault)
{
    return used_[static_cast<std::size_t>(fault)];
}

bool FaultPlan::play(LinkFault fault)
{
    std::uint64_t count = countOf(fault);
    std::uint64_t& used = usedOf(fault);
    if (used >= count)
        return false;
    ++used;
    log_.note("fault " + std::string(nameOf(fault)) + ' ' + std::to_string(used) + " of " + std::to_string(count));
    return true;
}

bool FaultPlan::silentFor(std::uint64_t frameNumber)
{
    if (!faults_.silentAfter || frameNumber <= *faults_.silentAfter)
        return false;
    if (!silenceNoted_) {
        silenceNoted_ = true;
        log_.note("fault silent from frame " + std::to_string(frameNumber));
    }
    return true;
}

std::optional<std::string> FaultPlan::forcedStatus(std::string_view command) const
{
    auto forced = faults_.statusFor.find(std::string(command));
    if (forced == faults_.statusFor.end())
        return std::nullopt;
    return forced->second;
}

void FaultPlan::addNoise(std::span<char> received)
{
    if (!faults_.noiseEvery || *faults_.noiseEvery == 0) {
        received_ += received.size();
        return;
    }
    std::uint64_t every = *faults_.noiseEvery;
    for (char& byte : received) {
        if (++received_ % every != 0)
            continue;
        byte = static_cast<char>(static_cast<unsigned char>(byte) ^ noiseFlip);
        log_.note("fault noise at byte " + std::to_string(received_));
    }
}

} // namespace termsim
