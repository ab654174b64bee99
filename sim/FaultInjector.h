#pragma once
// Counts the bytes the simulator receives and says when a switched-on fault is due:
// the device vanishing or the terminal no longer reading.
#include "sim/SimOptions.h"

#include <cstddef>
#include <cstdint>

namespace termsim {

enum class FaultAction { None, Vanish, Stall };

class FaultInjector {
public:
    explicit FaultInjector(FaultSettings settings) : settings_(settings) {}

    // The most bytes that may be taken now so that a fault falls exactly on its count.
    std::size_t readLimit(std::size_t wanted) const;
    // The fault due at the count received so far; a vanish wins over a stall at the
    // same count (a stalled terminal would never reach it).
    FaultAction due() const;
    void received(std::size_t count) { received_ += count; }
    std::uint64_t receivedCount() const { return received_; }

private:
    FaultSettings settings_;
    std::uint64_t received_ = 0;
};

} // namespace termsim
