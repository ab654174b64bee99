// The event log shows the line settings the station chose, once per change.
#include "sim/CustomRate.h"
#include "sim/SimTestSupport.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <functional>
#include <gtest/gtest.h>

using namespace simtest;

namespace {

struct LineChange {
    std::function<bool(int)> apply;
    std::string logged;
};

TEST(LineSettingsLog, LogsEachChangeOfTheStationsLineSettingsOnce)
{
    TempDir scratch;
    std::string out = scratch.file("received.hex");
    std::string log = scratch.file("events.log");
    TermSim sim({"--out", out, "--log", log});
    ASSERT_TRUE(sim.started());
    auto initial = readLines(log);
    ASSERT_EQ(initial.size(), 1u) << "the settings at start are logged before the line is named";
    EXPECT_EQ(initial[0].rfind("line ", 0), 0u) << initial[0];

    auto station = openStationSide(sim.slavePath());
    ASSERT_TRUE(station);
    const LineChange changes[] = {
        {[](int fd) { return setLine(fd, B9600, CS8); }, "line 9600,N,8,1"},
        // The pseudo-terminal driver keeps eight data bits and drops parity whatever
        // the station asks, so the even parity cannot show; the speed does.
        {[](int fd) { return setLine(fd, B57600, CS8 | PARENB); }, "line 57600,N,8,1"},
        {[](int fd) { return setLine(fd, B2400, CS8 | CSTOPB); }, "line 2400,N,8,2"},
        {[](int fd) { return setCustomRate(fd, 14400); }, "line 14400,N,8,2"},
    };

    std::vector<std::string> expected = initial;
    std::size_t sent = 0;
    for (const auto& change : changes) {
        ASSERT_TRUE(change.apply(station.get())) << change.logged;
        // Two arrivals under the same settings: the second must not log again.
        for (int arrival = 0; arrival < 2; ++arrival) {
            ASSERT_TRUE(writeText(station.get(), ":00\r\n"));
            sent += 5;
            ASSERT_TRUE(waitUntil([&] { return readWholeFile(out).size() == sent; }));
        }
        expected.push_back(change.logged);
        EXPECT_EQ(readLines(log), expected);
    }
}

} // namespace
