#include "platform/FileDescriptor.h"
#include "platform/Ticks.h"
#include "platform/WakeEvent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

Millis elapsedMs(Clock::time_point since)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

struct Pipe {
    Pipe()
    {
        int fds[2];
        if (::pipe(fds) == 0)
            readEnd.reset(fds[0]), writeEnd.reset(fds[1]);
    }
    FileDescriptor readEnd, writeEnd;
};

// Sets the wake event from another thread after a short while.
class DelayedWake {
public:
    explicit DelayedWake(WakeEvent& wake)
        : thread_([&wake] {
              std::this_thread::sleep_for(50ms);
              wake.set();
          })
    {
    }

private:
    std::jthread thread_;
};

TEST(Deadline, ZeroLimitNeverExpires)
{
    Deadline unlimited(0);
    EXPECT_TRUE(unlimited.unlimited());
    EXPECT_EQ(unlimited.pollTimeout(), -1);
    std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(unlimited.expired());
    EXPECT_EQ(unlimited.pollTimeout(), -1);
}

TEST(Deadline, PollTimeoutRoundsUpAndNeverEndsAWaitEarly)
{
    Deadline long_(10'000);
    EXPECT_FALSE(long_.unlimited());
    EXPECT_FALSE(long_.expired());
    EXPECT_GT(long_.pollTimeout(), 9'000);
    EXPECT_LE(long_.pollTimeout(), 10'000);

    for (Millis limit : {1, 2, 3, 7, 16, 40}) {
        SCOPED_TRACE(limit);
        auto start = Clock::now();
        Deadline deadline(limit);
        int timeout = deadline.pollTimeout();
        EXPECT_GE(timeout, 1) << "a fresh deadline must not answer a zero wait";
        ::poll(nullptr, 0, timeout);
        EXPECT_TRUE(deadline.expired()) << "one wait of pollTimeout() reaches the deadline";
        EXPECT_GE(elapsedMs(start), limit);
        EXPECT_EQ(deadline.remainingMs(), 0);
        EXPECT_EQ(deadline.pollTimeout(), 0);
    }
}

TEST(WakeEvent, SetAndReset)
{
    WakeEvent wake;
    EXPECT_FALSE(wake.isSet());
    wake.set();
    wake.set();
    EXPECT_TRUE(wake.isSet());
    EXPECT_TRUE(wake.isSet()) << "looking does not consume the event";
    wake.reset();
    EXPECT_FALSE(wake.isSet());
    wake.reset(); // resetting a clear event is harmless
    EXPECT_FALSE(wake.isSet());
}

TEST(WakeEvent, WaitEndsForDataHangUpOrDeadline)
{
    WakeEvent wake;
    Pipe pipe;
    ASSERT_TRUE(pipe.readEnd && pipe.writeEnd);

    auto start = Clock::now();
    Deadline shortLimit(40);
    EXPECT_EQ(waitReadable(pipe.readEnd.get(), wake, shortLimit), WaitResult::TimedOut);
    EXPECT_TRUE(shortLimit.expired());
    EXPECT_GE(elapsedMs(start), 40);

    EXPECT_EQ(waitWritable(pipe.writeEnd.get(), wake, Deadline(10'000)), WaitResult::Ready);
    ASSERT_EQ(::write(pipe.writeEnd.get(), "x", 1), 1);
    EXPECT_EQ(waitReadable(pipe.readEnd.get(), wake, Deadline(10'000)), WaitResult::Ready);
    char c;
    ASSERT_EQ(::read(pipe.readEnd.get(), &c, 1), 1);

    pipe.writeEnd.reset();
    EXPECT_EQ(waitReadable(pipe.readEnd.get(), wake, Deadline(10'000)), WaitResult::Ready)
        << "a hang-up lets the reader meet the end itself";
}

TEST(WakeEvent, WaitEndsAtOnceWhenWokenFromAnotherThread)
{
    WakeEvent wake;
    Pipe pipe;
    ASSERT_TRUE(pipe.readEnd);

    auto start = Clock::now();
    {
        DelayedWake waker(wake);
        EXPECT_EQ(waitReadable(pipe.readEnd.get(), wake, Deadline(60'000)), WaitResult::Woken);
    }
    EXPECT_LT(elapsedMs(start), 30'000);

    // Still set: the next wait ends at once too, until reset.
    EXPECT_EQ(waitReadable(pipe.readEnd.get(), wake, Deadline(60'000)), WaitResult::Woken);
    wake.reset();
    EXPECT_EQ(waitReadable(pipe.readEnd.get(), wake, Deadline(20)), WaitResult::TimedOut);
}

TEST(WakeEvent, SleepUnlessWoken)
{
    WakeEvent wake;
    auto start = Clock::now();
    EXPECT_TRUE(sleepUnlessWoken(30, wake));
    EXPECT_GE(elapsedMs(start), 30);
    EXPECT_TRUE(sleepUnlessWoken(0, wake));

    start = Clock::now();
    {
        DelayedWake waker(wake);
        EXPECT_FALSE(sleepUnlessWoken(60'000, wake));
    }
    EXPECT_LT(elapsedMs(start), 30'000);

    EXPECT_FALSE(sleepUnlessWoken(0, wake));
    EXPECT_FALSE(sleepUnlessWoken(10'000, wake)) << "an event already set ends the sleep at once";
}

} // namespace
} // namespace platform
