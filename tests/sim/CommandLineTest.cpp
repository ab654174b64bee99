// Starting and stopping the simulator: bad command lines, the link to the line, and an
// existing device used in place of a new pseudo-terminal.
#include "sim/SimTestSupport.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <climits>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace simtest;

namespace {

std::string linkTarget(const std::string& path)
{
    char buffer[PATH_MAX];
    ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
    return length < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(length));
}

bool exists(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

TEST(CommandLine, RefusesBadOptionsWithStatus2)
{
    const std::vector<std::vector<std::string>> badLines = {
        {"--bogus"},
        {"--mode", "nothing"},
        {"--out"},
        {"--bitrate", "0"},
        {"--bitrate", "fast"},
        {"--vanish-after", "-1"},
        {"--stall-after", "12x"},
        {"--exit-on-eof=yes"},
    };
    for (const auto& arguments : badLines) {
        TermSim sim(arguments);
        EXPECT_FALSE(sim.started()) << arguments[0];
        auto status = sim.waitForExit(5000);
        ASSERT_TRUE(status) << arguments[0];
        EXPECT_TRUE(exitedWith(*status, 2)) << arguments[0];
    }
}

TEST(CommandLine, LinkNamesTheLineWhileRunningAndGoesWithIt)
{
    TempDir scratch;
    std::string link = scratch.file("terminal");
    ASSERT_EQ(::symlink("/dev/a-line-long-gone", link.c_str()), 0);

    TermSim sim({"--link", link});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(linkTarget(link), sim.slavePath()) << "a stale link is replaced";
    EXPECT_TRUE(openStationSide(link));

    EXPECT_TRUE(exitedWith(sim.stop(), 0));
    EXPECT_FALSE(exists(link));
}

TEST(CommandLine, LeavesAFileInTheLinksPlaceAlone)
{
    TempDir scratch;
    std::string notALink = scratch.file("terminal");
    ASSERT_TRUE(writeText(platform::FileDescriptor(::open(notALink.c_str(), O_WRONLY | O_CREAT, 0644)).get(), "keep"));

    TermSim sim({"--link", notALink});
    EXPECT_FALSE(sim.started());
    auto status = sim.waitForExit(5000);
    ASSERT_TRUE(status);
    EXPECT_TRUE(exitedWith(*status, 1));
    EXPECT_EQ(readWholeFile(notALink), "keep");
}

TEST(CommandLine, UsesAGivenDeviceInsteadOfAPseudoTerminal)
{
    // A pseudo-terminal of the test's own stands in for a serial device; the test
    // plays the station on its master.
    platform::FileDescriptor master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    ASSERT_TRUE(master);
    ASSERT_EQ(::grantpt(master.get()), 0);
    ASSERT_EQ(::unlockpt(master.get()), 0);
    char device[PATH_MAX];
    ASSERT_EQ(::ptsname_r(master.get(), device, sizeof device), 0);

    TempDir scratch;
    std::string out = scratch.file("received.hex");
    TermSim sim({"--device", device, "--out", out});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(sim.slavePath(), device);

    ASSERT_TRUE(writeText(master.get(), ":00000001FF\r\n"));
    ASSERT_TRUE(waitUntil([&] { return readWholeFile(out) == ":00000001FF\r\n"; }));
}

} // namespace
