// Faults on the line: the device vanishing and the terminal no longer reading.
#include "sim/SimTestSupport.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

using namespace simtest;

namespace {

class FaultTest : public ::testing::Test {
protected:
    TempDir scratch;
    std::string out = scratch.file("received.hex");
    std::string log = scratch.file("events.log");

    static std::string numberedBytes(std::size_t count)
    {
        std::string bytes;
        for (std::size_t i = 0; i < count; ++i)
            bytes += static_cast<char>('0' + i % 64);
        return bytes;
    }

    // Writes (non-blocking) until no room comes back within 200 ms; false when the line
    // never stays full within 5 s.
    static bool fillUntilFull(int fd, std::string& sent)
    {
        const std::string block = numberedBytes(1024);
        platform::Deadline limit(5000);
        while (!limit.expired()) {
            ssize_t count;
            while ((count = ::write(fd, block.data(), block.size())) > 0)
                sent.append(block.data(), static_cast<std::size_t>(count));
            if (errno != EAGAIN)
                return false;
            pollfd room{fd, POLLOUT, 0};
            if (::poll(&room, 1, 200) == 0)
                return true;
        }
        return false;
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
    EXPECT_EQ(readWholeFile(out), sent.substr(0, 100));
    EXPECT_TRUE(logHas("vanish"));
}

TEST_F(FaultTest, StalledTerminalStopsReadingAndKeepsTheLineOpen)
{
    TermSim sim({"--out", out, "--log", log, "--stall-after", "50"});
    ASSERT_TRUE(sim.started());
    auto station = openStationSide(sim.slavePath(), true);
    ASSERT_TRUE(station);

    // Fill the line until it stays full: the kernel moves bytes between its buffers
    // on its own time, so one refused write does not yet mean a full line.
    std::string sent;
    ASSERT_TRUE(fillUntilFull(station.get(), sent)) << "something keeps taking bytes";

    ASSERT_TRUE(waitUntil([&] { return logHas("stall"); }));
    EXPECT_TRUE(staysIdle(sim.pid(), 300, 0.25));
    EXPECT_FALSE(sim.waitForExit(1)) << "a stalled terminal keeps running";
    EXPECT_EQ(readWholeFile(out), sent.substr(0, 50));
}

} // namespace
