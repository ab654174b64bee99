#pragma once
// A family's running sums, kept in 32 bits as the report prints them, and the rounding
// of sizes to whole 4 KB pages.
#include <cstdint>

namespace ramreport {

// The RAM every terminal reserves for its configuration, counted in each family's total.
inline constexpr std::uint32_t kConfigurationRam = 16384;

// Rounds up to a multiple of 4096 in 32 bits: size + ((-size) AND 0xFFF).
constexpr std::uint32_t roundUpToPage(std::uint32_t size)
{
    return size + ((0u - size) & 0xFFFu);
}

struct RamTotals {
    std::uint32_t code = 0;
    std::uint32_t rwData = 0;
    std::uint32_t ziData = 0;
    std::uint32_t staticRam = kConfigurationRam;
};

} // namespace ramreport
