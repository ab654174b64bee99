// Writes, closing and reopening.
#include "PortFixture.h"

namespace commtest {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class PortWrite : public PortOnPseudoTerminal {
protected:
    void SetUp() override { openPort(); }

    // Writes until the far end's buffer is full, so that the next write must wait.
    // The kernel moves bytes towards the reading side on its own time, so room can
    // come back after a refused write; single bytes follow until one is refused too.
    void fillLine()
    {
        const Bytes block(1024 * 1024, 0x55);
        const auto start = Clock::now();
        EXPECT_FALSE(port.write(block.data(), block.size(), 300));
        const double elapsed = millisSince(start);
        EXPECT_GE(elapsed, 250.0);
        EXPECT_LT(elapsed, 3000.0);
        for (int i = 0; i < 100000 && port.writeByte(0x55, 200); ++i) {
        }
    }

    std::future<bool> writeAsync(const Bytes& bytes, std::uint32_t limitMs)
    {
        return std::async(std::launch::async,
                          [this, bytes, limitMs] { return port.write(bytes.data(), bytes.size(), limitMs); });
    }
};

TEST_F(PortWrite, NothingToWriteIsFalseAndSendsNothing)
{
    const Bytes some = bytesOf("abc");
    EXPECT_FALSE(port.write(some.data(), 0, 0));
    EXPECT_FALSE(port.write(nullptr, 3, 0));
    EXPECT_TRUE(pty.receive(1, 100).empty());
    EXPECT_TRUE(port.writeByte('k', 1000));
    EXPECT_EQ(pty.receive(1, 1000), bytesOf("k"));
}

TEST_F(PortWrite, StalledLineEndsOnTheLimitWithFalse)
{
    fillLine(); // checks the limit itself
}

TEST_F(PortWrite, StalledWriteWithoutLimitEndsOnAbort)
{
    fillLine();
    auto result = writeAsync(bytesOf("more"), 0);
    CloseOnExit unblock(port);
    EXPECT_FALSE(readyWithin(result, 100));
    const auto end = Clock::now() + 5s;
    while (!readyWithin(result, 20) && Clock::now() < end)
        port.abortWaits();
    ASSERT_TRUE(readyWithin(result, 0));
    EXPECT_FALSE(result.get());
}

TEST_F(PortWrite, AbortDoesNotReachWritesThatBeginLater)
{
    fillLine();
    port.abortWaits();
    auto result = writeAsync(bytesOf("later"), 5000);
    CloseOnExit unblock(port);
    EXPECT_FALSE(readyWithin(result, 100));
    // The far end reads again: the waiting write goes on and completes.
    const auto end = Clock::now() + 5s;
    while (!readyWithin(result, 10) && Clock::now() < end)
        pty.discardPending();
    ASSERT_TRUE(readyWithin(result, 0));
    EXPECT_TRUE(result.get());
}

TEST_F(PortWrite, CloseEndsAStalledWrite)
{
    fillLine();
    auto result = writeAsync(bytesOf("more"), 0);
    CloseOnExit unblock(port);
    EXPECT_FALSE(readyWithin(result, 100));
    const auto start = Clock::now();
    EXPECT_TRUE(port.close());
    EXPECT_LT(millisSince(start), 5000.0);
    ASSERT_TRUE(readyWithin(result, 1000));
    EXPECT_FALSE(result.get());
}

using PortClose = PortOnPseudoTerminal;

TEST_F(PortClose, OnAClosedPortDoesNothing)
{
    EXPECT_TRUE(port.close());
    EXPECT_TRUE(port.close(false));
    EXPECT_FALSE(port.isOpen());
    openPort();
    EXPECT_TRUE(port.close());
    EXPECT_TRUE(port.close());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(PortClose, WakesAReadWithoutLimit)
{
    openPort();
    auto result = std::async(std::launch::async, [this] { return port.readByte(0); });
    CloseOnExit unblock(port);
    EXPECT_FALSE(readyWithin(result, 100));
    port.close();
    ASSERT_TRUE(readyWithin(result, 1000));
    EXPECT_EQ(result.get(), 0);
}

TEST_F(PortClose, KeepsWrittenBytesForTheFarEnd)
{
    openPort();
    const Bytes message = bytesOf("last words\r\n");
    ASSERT_TRUE(port.write(message.data(), message.size(), 1000));
    port.close();
    EXPECT_EQ(pty.receive(message.size(), 1000), message);
}

TEST_F(PortClose, ClosedPortRefusesWritesAndReadsOnlyTheQueue)
{
    openPort();
    ASSERT_TRUE(pty.send(bytesOf("abc")));
    ASSERT_TRUE(waitUntilAvailable(3));
    port.close();

    const Bytes one = bytesOf("z");
    EXPECT_FALSE(port.write(one.data(), one.size(), 0));
    EXPECT_FALSE(port.writeByte('z', 0));

    const auto start = Clock::now();
    Bytes buffer(5);
    ASSERT_EQ(port.read(buffer.data(), 2, 0), 2u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 2), bytesOf("ab"));
    ASSERT_EQ(port.read(buffer.data(), 5, 0), 1u);
    EXPECT_EQ(buffer[0], 'c');
    EXPECT_EQ(port.read(buffer.data(), 5, 0), 0u);
    EXPECT_LT(millisSince(start), 1000.0);
}

TEST_F(PortClose, ReceiveQueueOutlivesCloseAndReopen)
{
    openPort();
    ASSERT_TRUE(pty.send(bytesOf("kept")));
    ASSERT_TRUE(waitUntilAvailable(4));
    port.close();
    ASSERT_TRUE(port.reopen());
    EXPECT_TRUE(port.isOpen());
    ASSERT_TRUE(pty.send(bytesOf("+new")));
    Bytes buffer(8);
    ASSERT_EQ(port.read(buffer.data(), buffer.size(), 2000), 8u);
    EXPECT_EQ(buffer, bytesOf("kept+new"));
}

TEST(PortReopen, WithoutADeviceNameIsTrueAtOnce)
{
    CommPort::Port port;
    EXPECT_TRUE(port.reopen());
    EXPECT_FALSE(port.isOpen());
}

TEST(PortReopen, MissingDeviceGivesFalseAfterTenSeconds)
{
    CommPort::Port port;
    ASSERT_FALSE(port.open("/dev/orvane-vanished-line", {}));
    const auto start = Clock::now();
    EXPECT_FALSE(port.reopen());
    const double elapsed = millisSince(start);
    EXPECT_GE(elapsed, 9900.0);
    EXPECT_LT(elapsed, 20000.0);
    EXPECT_FALSE(port.isOpen());
}

} // namespace
} // namespace commtest
