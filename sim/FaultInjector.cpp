#include "sim/FaultInjector.h"

#include <algorithm>

namespace termsim {

namespace {

std::size_t limitBefore(const std::optional<std::uint64_t>& boundary, std::uint64_t received, std::size_t wanted)
{
    if (!boundary || *boundary < received)
        return wanted;
    return static_cast<std::size_t>(std::min<std::uint64_t>(wanted, *boundary - received));
}

} // namespace

std::size_t FaultInjector::readLimit(std::size_t wanted) const
{
    wanted = limitBefore(settings_.vanishAfter, received_, wanted);
    return limitBefore(settings_.stallAfter, received_, wanted);
}

FaultAction FaultInjector::due() const
{
    if (settings_.vanishAfter && received_ >= *settings_.vanishAfter)
        return FaultAction::Vanish;
    if (settings_.stallAfter && received_ >= *settings_.stallAfter)
        return FaultAction::Stall;
    return FaultAction::None;
}

} // namespace termsim
