#pragma once
// Paces the bytes of one direction of the line at a bit rate, ten bits a byte (start,
// eight data, stop), on an absolute schedule of the monotonic clock: byte after byte is
// due one byte time after the previous one, so sleeping late never adds up to drift.
#include <cstddef>
#include <cstdint>

namespace termsim {

class BytePacer {
public:
    static constexpr unsigned bitsPerByte = 10;

    // 0 switches pacing off.
    void setBitRate(unsigned bitsPerSecond);
    bool paced() const { return byteNanos_ > 0; }

    // Sleeps (clock_nanosleep, TIMER_ABSTIME) until the next bytes are due. After an
    // idle line (see drained) at most a short burst is due at once, so a pause is not
    // made up for; a wake-up that came late while bytes were waiting is made up.
    // False when a signal cut the sleep short; the caller checks why and calls again.
    bool waitForSlot();
    // How many bytes may pass now, at most limit; at least 1 after waitForSlot() gave
    // true. Without pacing: limit.
    std::size_t bytesDue(std::size_t limit) const;
    // count bytes passed: the schedule moves on by count byte times.
    void consumed(std::size_t count);
    // Nothing more is waiting on the line: the line may now go idle.
    void drained();
    // When the last byte passed so far has completely crossed the line (monotonic
    // nanoseconds); 0 without pacing.
    std::int64_t lastByteEndNanos() const { return paced() ? nextByteEnd_ - byteNanos_ : 0; }

private:
    std::int64_t byteNanos_ = 0;
    // Bytes that may pass in one wake-up, so that fast lines are not read a byte a time.
    std::int64_t burst_ = 1;
    // When the next byte has completely crossed the line (monotonic nanoseconds).
    std::int64_t nextByteEnd_ = 0;
    bool drained_ = true;
};

} // namespace termsim
