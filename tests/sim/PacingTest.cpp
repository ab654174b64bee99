// Paced, the simulator takes bytes no faster than the bit rate allows (ten bits a byte).
#include "sim/SimTestSupport.h"
#include "support/TermSim.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace simtest;

namespace {

struct PacingCase {
    const char* name;
    const char* bitrate;
    speed_t stationSpeed;
    std::size_t bytes;
    long atLeastMs;
};

class Pacing : public ::testing::TestWithParam<PacingCase> {};

// Data lines filling size bytes, closed by the end record.
std::string hexStreamOf(std::size_t size)
{
    const std::string end = ":00000001FF\r\n";
    std::string data(size - end.size(), 'A');
    for (std::size_t at = 40; at + 1 < data.size(); at += 42) {
        data[at] = '\r';
        data[at + 1] = '\n';
    }
    data[data.size() - 2] = '\r';
    data[data.size() - 1] = '\n';
    return data + end;
}

TEST_P(Pacing, TakesAtLeastTheLineTime)
{
    const auto& c = GetParam();
    TermSim sim({"--bitrate", c.bitrate, "--exit-on-eof"});
    ASSERT_TRUE(sim.started());
    auto station = openStationSide(sim.slavePath());
    ASSERT_TRUE(station);
    ASSERT_TRUE(setLine(station.get(), c.stationSpeed, CS8));

    auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(writeText(station.get(), hexStreamOf(c.bytes)));
    auto status = sim.waitForExit(20000);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);

    ASSERT_TRUE(status);
    EXPECT_TRUE(exitedWith(*status, 0));
    EXPECT_GE(took.count(), c.atLeastMs);
}

// 2000 bytes at 19200 bit/s are 1042 ms of line time, 1100 at 9600 are 1146 ms.
INSTANTIATE_TEST_SUITE_P(Rates, Pacing,
                         ::testing::Values(PacingCase{"FixedRate", "19200", B115200, 2000, 1000},
                                           PacingCase{"RateOfTheLine", "line", B9600, 1100, 1100}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
