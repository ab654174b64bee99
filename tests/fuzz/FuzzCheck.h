#pragma once
// What every fuzz target needs: a check that stops the run at the first broken
// invariant (the fuzzer then keeps the input that broke it), and a reader that takes
// the knobs of one run from the front of the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>

#define FUZZ_CHECK(condition) ((condition) ? void(0) : fuzzing::fail(#condition, __FILE__, __LINE__))

namespace fuzzing {

[[noreturn]] inline void fail(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::abort();
}

// The input, consumed from the front; taking from an exhausted input gives zeros.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    std::uint8_t byte()
    {
        if (bytes_.empty())
            return 0;
        std::uint8_t b = bytes_.front();
        bytes_ = bytes_.subspan(1);
        return b;
    }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() | byte() << 8); }

    std::span<const std::uint8_t> rest() const { return bytes_; }
    std::string_view restText() const
    {
        return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
    }

private:
    std::span<const std::uint8_t> bytes_;
};

inline std::string_view textOf(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace fuzzing
