// The port's two threads wait without spinning: on an idle line and on a line whose
// device has gone (the far end of a pseudo-terminal closed, like a pulled adapter).
#include "PortFixture.h"

#include <sys/resource.h>

namespace commtest {
namespace {

using namespace std::chrono_literals;

double processCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// CPU time the whole process uses while the test thread sleeps for a second. A
// spinning port thread would use most of that second.
double cpuMsOverOneSecond()
{
    const double before = processCpuMs();
    std::this_thread::sleep_for(1s);
    return processCpuMs() - before;
}

using PortThreads = PortOnPseudoTerminal;

TEST_F(PortThreads, IdleOpenPortCostsNoCpu)
{
    openPort();
    EXPECT_LT(cpuMsOverOneSecond(), 100.0);
}

TEST_F(PortThreads, GoneDeviceFailsWritesAndCostsNoCpu)
{
    openPort();
    pty.closeMaster();
    auto result = std::async(std::launch::async, [this] { return port.writeByte('x', 0); });
    CloseOnExit unblock(port);
    ASSERT_TRUE(readyWithin(result, 2000));
    EXPECT_FALSE(result.get());

    EXPECT_LT(cpuMsOverOneSecond(), 100.0);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(port.close());
    EXPECT_LT(millisSince(start), 5000.0);
    EXPECT_FALSE(port.isOpen());
}

} // namespace
} // namespace commtest
