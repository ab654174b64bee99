#include "platform/Ticks.h"

#include <climits>

namespace platform {

using Clock = std::chrono::steady_clock;

Millis tickMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
}

Deadline::Deadline(Millis limitMs)
    : unlimited_(limitMs <= 0), at_(Clock::now() + std::chrono::milliseconds(limitMs > 0 ? limitMs : 0))
{
}

bool Deadline::expired() const
{
    return !unlimited_ && Clock::now() >= at_;
}

Millis Deadline::remainingMs() const
{
    if (unlimited_)
        return 0;
    auto left = at_ - Clock::now();
    if (left <= Clock::duration::zero())
        return 0;
    // Round up: a wait of the answered length must not end before the deadline.
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms;
}

int Deadline::pollTimeout() const
{
    if (unlimited_)
        return -1;
    Millis left = remainingMs();
    return left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

} // namespace platform
