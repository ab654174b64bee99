// The Intel HEX sink: every byte kept as it came, the end record recognised only as
// the exact line, nothing ever answered, and a line the station may close and reopen.
#include "sim/SimTestSupport.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <gtest/gtest.h>
#include <poll.h>

using namespace simtest;

namespace {

class HexSinkTest : public ::testing::Test {
protected:
    TempDir scratch;
    std::string out = scratch.file("received.hex");
    std::string log = scratch.file("events.log");

    bool waitForOutput(const std::string& expected)
    {
        return waitUntil([&] { return readWholeFile(out).size() >= expected.size(); });
    }
};

TEST_F(HexSinkTest, KeepsEveryByteAsReceivedAndAnswersNothing)
{
    TermSim sim({"--out", out});
    ASSERT_TRUE(sim.started());
    auto station = openStationSide(sim.slavePath());
    ASSERT_TRUE(station);

    const std::string head = ":020000040000FA\r\n:10000000214601360121470136007EFE09D2190140\r\n";
    // Raw bytes pass unchanged: NUL, 0xFF, a bare LF and a bare CR; and an end record
    // does not end the sink without --exit-on-eof.
    const std::string tail = std::string("\0\xff\n\rtext\r\n", 11) + ":00000001FF\r\n:after the end\r\n";
    ASSERT_TRUE(writeText(station.get(), head));
    ASSERT_TRUE(writeText(station.get(), tail));

    ASSERT_TRUE(waitForOutput(head + tail));
    EXPECT_EQ(readWholeFile(out), head + tail);

    pollfd answer{station.get(), POLLIN, 0};
    EXPECT_EQ(::poll(&answer, 1, 200), 0) << "the sink sent something to the station";
}

TEST_F(HexSinkTest, EndsOnlyAfterTheExactEndRecordLine)
{
    TermSim sim({"--out", out, "--log", log, "--exit-on-eof"});
    ASSERT_TRUE(sim.started());
    auto station = openStationSide(sim.slavePath());
    ASSERT_TRUE(station);

    const std::string nearMisses[] = {
        ":00000001ff\r\n",   // lower-case check byte
        ":00000001FF \r\n",  // trailing blank
        ":00000001FF\n",     // no carriage return
        ":00000001FF\r\r\n", // two carriage returns
        "x:00000001FF\r\n",  // not at the start of the line
        "00000001FF\r\n",    // no colon
    };
    std::string sent;
    for (const auto& line : nearMisses) {
        ASSERT_TRUE(writeText(station.get(), line));
        sent += line;
    }
    ASSERT_TRUE(waitForOutput(sent));
    EXPECT_FALSE(sim.waitForExit(200)) << "ended on a line that is not the end record";

    // The record split over several writes is still one line.
    for (const char* piece : {":0000", "0001F", "F\r", "\n"}) {
        ASSERT_TRUE(writeText(station.get(), piece));
        ::poll(nullptr, 0, 20);
    }
    sent += ":00000001FF\r\n";
    auto status = sim.waitForExit(5000);
    ASSERT_TRUE(status);
    EXPECT_TRUE(exitedWith(*status, 0));
    EXPECT_EQ(readWholeFile(out), sent);
    auto events = readLines(log);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "eof-record");
}

TEST_F(HexSinkTest, StationMayCloseAndReopenTheLineWhileTheSinkWaitsIdle)
{
    TermSim sim({"--out", out});
    ASSERT_TRUE(sim.started());
    {
        auto station = openStationSide(sim.slavePath());
        ASSERT_TRUE(station);
        ASSERT_TRUE(writeText(station.get(), ":first\r\n"));
        ASSERT_TRUE(waitForOutput(":first\r\n"));
    }
    // No station on the line now: the sink must wait, not spin.
    EXPECT_TRUE(staysIdle(sim.pid(), 500, 0.25));

    auto station = openStationSide(sim.slavePath());
    ASSERT_TRUE(station);
    ASSERT_TRUE(writeText(station.get(), ":second\r\n"));
    ASSERT_TRUE(waitForOutput(":first\r\n:second\r\n"));
    EXPECT_EQ(readWholeFile(out), ":first\r\n:second\r\n");
}

} // namespace
