// Faults on the line: the device vanishing and the terminal no longer reading.
#include "sim/SimTestSupport.h"
#include "support/TermSim.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

using namespace simtest;

namespace {

class FaultTest : public ::testing::Test {
protected:
    ScratchDirectory scratch;
    std::string out = scratch.file("received.hex");
    std::string log = scratch.file("events.log");

    static std::string numberedBytes(std::size_t count)
    {
        std::string bytes;
        for (std::size_t i = 0; i < count; ++i)
            bytes += static_cast<char>('0' + i % 64);
        return bytes;
    }

    bool logHas(const std::string& event)
    {
        for (const auto& line : readLines(log))
            if (line == event)
                return true;
        return false;
    }
};

TEST_F(FaultTest, VanishingDeviceFailsTheStationsWritesWithEIO)
{
    TermSim sim({"--out", out, "--log", log, "--vanish-after", "100"});
    ASSERT_TRUE(sim.started());
    auto station = openStationSide(sim.slavePath());
    ASSERT_TRUE(station);
    const std::string sent = numberedBytes(300);
    ASSERT_TRUE(writeText(station.get(), sent));

    int writeError = 0;
    waitUntil([&] {
        if (::write(station.get(), "x", 1) < 0)
            writeError = errno;
        return writeError != 0;
    });
    EXPECT_EQ(writeError, EIO);

    auto status = sim.waitForExit(5000);
    ASSERT_TRUE(status);
    EXPECT_TRUE(exitedWith(*status, 0));
    EXPECT_EQ(readFileBytes(out), sent.substr(0, 100));
    EXPECT_TRUE(logHas("vanish"));
}

TEST_F(FaultTest, StalledTerminalStopsReadingAndKeepsTheLineOpen)
{
    TermSim sim({"--out", out, "--log", log, "--stall-after", "50"});
    ASSERT_TRUE(sim.started());
    auto station = openStationSide(sim.slavePath(), true);
    ASSERT_TRUE(station);

    // Fill the line until a write would block.
    const std::string block = numberedBytes(1024);
    std::string sent;
    int writeError = 0;
    for (int round = 0; round < 16 * 1024 && writeError == 0; ++round) {
        ssize_t count = ::write(station.get(), block.data(), block.size());
        if (count < 0)
            writeError = errno;
        else
            sent.append(block.data(), static_cast<std::size_t>(count));
    }
    ASSERT_EQ(writeError, EAGAIN);

    ASSERT_TRUE(waitUntil([&] { return logHas("stall"); }));
    // Nobody takes bytes any more: the line stays full, the simulator idle and alive.
    EXPECT_TRUE(staysIdle(sim.pid(), 300, 0.25));
    pollfd room{station.get(), POLLOUT, 0};
    EXPECT_EQ(::poll(&room, 1, 0), 0);
    EXPECT_FALSE(sim.waitForExit(1)) << "a stalled terminal keeps running";
    EXPECT_EQ(readFileBytes(out), sent.substr(0, 50));
}

} // namespace
