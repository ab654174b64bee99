#pragma once
// Millisecond tick counter and the one time-limit helper that every blocking loop uses.
#include <chrono>
#include <cstdint>

namespace platform {

using Millis = std::int64_t;

// Milliseconds on the monotonic clock; only differences mean anything.
Millis tickMs();

// A time limit counted from construction. A limit of 0 means no limit: the deadline
// never expires and pollTimeout() answers -1 (wait for ever).
class Deadline {
public:
    explicit Deadline(Millis limitMs);

    bool unlimited() const { return unlimited_; }
    bool expired() const;
    // Milliseconds left, 0 once expired; meaningless for an unlimited deadline.
    Millis remainingMs() const;
    // The timeout argument for poll(): -1 without limit, else the milliseconds left
    // rounded up so that a wait never ends before the deadline.
    int pollTimeout() const;
    std::chrono::steady_clock::time_point at() const { return at_; }

private:
    bool unlimited_;
    std::chrono::steady_clock::time_point at_;
};

} // namespace platform
