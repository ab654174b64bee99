// Reads from the receive queue: limits, aborts, put-back bytes and discarding.
#include "PortFixture.h"

#include <algorithm>

namespace commtest {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class PortRead : public PortOnPseudoTerminal {
protected:
    void SetUp() override { openPort(); }

    std::future<Bytes> readAsync(std::size_t count, std::uint32_t limitMs)
    {
        return std::async(std::launch::async, [this, count, limitMs] { return readNow(count, limitMs); });
    }

    Bytes readNow(std::size_t count, std::uint32_t limitMs)
    {
        Bytes buffer(count);
        buffer.resize(port.read(buffer.data(), count, limitMs));
        return buffer;
    }
};

TEST_F(PortRead, WithoutLimitWaitsUntilEveryByteCame)
{
    auto result = readAsync(4, 0);
    CloseOnExit unblock(port);
    ASSERT_TRUE(pty.send(bytesOf("ab")));
    EXPECT_FALSE(readyWithin(result, 200));
    ASSERT_TRUE(pty.send(bytesOf("cd")));
    ASSERT_TRUE(readyWithin(result, 2000));
    EXPECT_EQ(result.get(), bytesOf("abcd"));
}

TEST_F(PortRead, WithoutLimitEndsOnAbortWithWhatCame)
{
    ASSERT_TRUE(pty.send(bytesOf("x")));
    ASSERT_TRUE(waitUntilAvailable(1));
    auto result = readAsync(4, 0);
    CloseOnExit unblock(port);
    // abortWaits only ends waits already in progress, so it is repeated until the
    // read has begun waiting.
    const auto end = Clock::now() + 5s;
    while (!readyWithin(result, 20) && Clock::now() < end)
        port.abortWaits();
    ASSERT_TRUE(readyWithin(result, 0));
    EXPECT_EQ(result.get(), bytesOf("x"));
    EXPECT_EQ(port.available(), 0u);
}

TEST_F(PortRead, AbortDoesNotReachReadsThatBeginLater)
{
    port.abortWaits();
    auto result = readAsync(1, 3000);
    CloseOnExit unblock(port);
    std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(pty.send(bytesOf("z")));
    ASSERT_TRUE(readyWithin(result, 5000));
    EXPECT_EQ(result.get(), bytesOf("z"));
}

TEST_F(PortRead, WithLimitAndNothingArrivingGivesNothingAfterTheLimit)
{
    const auto start = Clock::now();
    EXPECT_TRUE(readNow(1, 100).empty());
    const double elapsed = millisSince(start);
    EXPECT_GE(elapsed, 95.0);
    EXPECT_LT(elapsed, 2000.0);
}

TEST_F(PortRead, WithLimitGivesTheBytesThatCame)
{
    ASSERT_TRUE(pty.send(bytesOf("123")));
    EXPECT_EQ(readNow(5, 300), bytesOf("123"));
    EXPECT_EQ(port.readByte(50), 0);
}

TEST_F(PortRead, ConcurrentReadsShareTheBytesWithoutLossOrDuplicates)
{
    auto first = readAsync(50, 0);
    auto second = readAsync(50, 0);
    CloseOnExit unblock(port);
    Bytes sent(100);
    for (std::size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<std::uint8_t>(i);
    for (std::size_t i = 0; i < sent.size(); i += 7) {
        ASSERT_TRUE(pty.send(Bytes(sent.begin() + i, sent.begin() + std::min(i + 7, sent.size()))));
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(readyWithin(first, 3000));
    ASSERT_TRUE(readyWithin(second, 3000));
    Bytes all = first.get();
    const Bytes other = second.get();
    EXPECT_EQ(all.size(), 50u);
    EXPECT_EQ(other.size(), 50u);
    all.insert(all.end(), other.begin(), other.end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, sent);
}

TEST_F(PortRead, PutBackBytesComeOutFirstInTheirOrder)
{
    ASSERT_TRUE(pty.send(bytesOf("D")));
    ASSERT_TRUE(waitUntilAvailable(1));
    const Bytes abc = bytesOf("BC");
    port.putBack(abc.data(), abc.size());
    port.putBackByte('A');
    EXPECT_EQ(port.available(), 4u);
    EXPECT_EQ(port.readByte(100), 'A');
    EXPECT_EQ(readNow(3, 100), bytesOf("BCD"));
}

TEST_F(PortRead, PutBackWakesAWaitingRead)
{
    auto result = readAsync(2, 0);
    CloseOnExit unblock(port);
    std::this_thread::sleep_for(20ms);
    const Bytes two = bytesOf("pq");
    port.putBack(two.data(), two.size());
    ASSERT_TRUE(readyWithin(result, 2000));
    EXPECT_EQ(result.get(), two);
}

TEST_F(PortRead, DiscardInputEmptiesTheQueueButNotLaterBytes)
{
    ASSERT_TRUE(pty.send(bytesOf("old bytes")));
    ASSERT_TRUE(waitUntilAvailable(9));
    port.discardInput();
    EXPECT_EQ(port.available(), 0u);
    ASSERT_TRUE(pty.send(bytesOf("new")));
    EXPECT_EQ(readNow(3, 2000), bytesOf("new"));
}

} // namespace
} // namespace commtest
