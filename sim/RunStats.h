#pragma once
// Measurements of one run for benchmarks: bytes each way, frames taken, and the
// station's turnaround per exchange. Kept in memory while the line is busy and written
// once at the end, so measuring costs the line nothing.
#include <cstdint>
#include <string>
#include <vector>

namespace termsim {

class RunStats {
public:
    void bytesIn(std::uint64_t count) { bytesIn_ += count; }
    void bytesOut(std::uint64_t count) { bytesOut_ += count; }
    void frame() { ++frames_; }
    // Microseconds from the terminal's last byte on the line to the station's next one.
    void turnaround(std::int64_t micros) { turnarounds_.push_back(micros); }

    // "bytes-in N", "bytes-out N", "frames N", then one "turnaround-us N" per exchange.
    std::string text() const;
    // Replaces the file with text(); false with errno set on failure.
    bool writeTo(const std::string& path) const;

private:
    std::uint64_t bytesIn_ = 0;
    std::uint64_t bytesOut_ = 0;
    std::uint64_t frames_ = 0;
    std::vector<std::int64_t> turnarounds_;
};

} // namespace termsim
