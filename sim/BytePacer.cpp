#include "sim/BytePacer.h"

#include <algorithm>
#include <cerrno>
#include <time.h>

namespace termsim {

namespace {

constexpr std::int64_t nanosPerSecond = 1'000'000'000;
// A wake-up passes at most the bytes of this much line time.
constexpr std::int64_t burstNanos = 2'000'000;
// A simulator woken late (a busy machine) while bytes were still waiting makes up at
// most this much line time: a station that kept its side of the line full must not
// look slower than the line.
constexpr std::int64_t catchUpNanos = 1'000'000'000;

std::int64_t monotonicNanos()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * nanosPerSecond + now.tv_nsec;
}

} // namespace

void BytePacer::setBitRate(unsigned bitsPerSecond)
{
    if (bitsPerSecond == 0) {
        byteNanos_ = 0;
        burst_ = 1;
        return;
    }
    byteNanos_ = std::max<std::int64_t>(1, nanosPerSecond * bitsPerByte / bitsPerSecond);
    burst_ = std::max<std::int64_t>(1, burstNanos / byteNanos_);
}

bool BytePacer::waitForSlot()
{
    if (!paced())
        return true;
    std::int64_t now = monotonicNanos();
    // An idle line lends no time: at most one burst is due right away. A line that
    // was never empty was busy all along: the bytes it owes are made up.
    std::int64_t lent = drained_ ? burst_ * byteNanos_ : std::max(burst_ * byteNanos_, catchUpNanos);
    drained_ = false;
    nextByteEnd_ = std::max(nextByteEnd_, now + byteNanos_ - lent);
    std::int64_t wakeAt = nextByteEnd_ + (burst_ - 1) * byteNanos_;
    if (wakeAt <= now)
        return true;
    timespec due{static_cast<time_t>(wakeAt / nanosPerSecond), static_cast<long>(wakeAt % nanosPerSecond)};
    int result = ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
    return result == 0 || result != EINTR;
}

std::size_t BytePacer::bytesDue(std::size_t limit) const
{
    if (!paced())
        return limit;
    std::int64_t now = monotonicNanos();
    if (now < nextByteEnd_)
        return 0;
    auto due = static_cast<std::size_t>(1 + (now - nextByteEnd_) / byteNanos_);
    return std::min(due, limit);
}

void BytePacer::drained()
{
    drained_ = true;
}

void BytePacer::consumed(std::size_t count)
{
    if (paced())
        nextByteEnd_ += static_cast<std::int64_t>(count) * byteNanos_;
}

} // namespace termsim
