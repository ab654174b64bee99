#pragma once
// The random pause a reader's thread takes before it tries its device or server again:
// shortest + r × (longest − shortest) / 32767 ms with r uniform in 0…32767, so that
// stations started together do not retry in step.
#include "platform/Ticks.h"

#include <chrono>
#include <random>

namespace BarcodeReader {

struct RetryPause {
    platform::Millis shortestMs;
    platform::Millis longestMs;
};

class RetryPauses {
public:
    explicit RetryPauses(RetryPause range)
        : range_(range), random_(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()))
    {
    }
    platform::Millis next()
    {
        platform::Millis r = std::uniform_int_distribution<int>(0, 32767)(random_);
        return range_.shortestMs + r * (range_.longestMs - range_.shortestMs) / 32767;
    }

private:
    RetryPause range_;
    std::mt19937 random_;
};

} // namespace BarcodeReader
