// The network bar-code reader against the reader network server counterpart: claiming
// and releasing the reader, busy readers, codes, liveness, lost connections, stop.
#include "comm/NetReader.h"
#include "reader/RecordingClient.h"
#include "reader/ServerThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using Events = std::vector<std::string>;
using readersim::Presence;

// Reconnections follow after 0.1 to 0.2 s instead of 3 to 10 s.
constexpr BarcodeReader::RetryPause kQuickReconnect{100, 200};

struct NetReaderTest : ::testing::Test {
    explicit NetReaderTest(std::map<int, Presence> readers = {{3, Presence::Present}})
        : server(localServer(std::move(readers)))
    {
    }
    // Started and connected: the station waits in its first keep-alive period.
    std::unique_ptr<BarcodeReader::NetReader> startReader(const std::string& number = "3")
    {
        auto reader = std::make_unique<BarcodeReader::NetReader>("127.0.0.1", server.port(), number, kQuickReconnect);
        reader->start();
        EXPECT_TRUE(server.waitFor("C1 < KEEP_ALIVE 10000"));
        return reader;
    }
    // Everything the server sent before now has been taken in by the station once it
    // answers an unknown line with its liveness check.
    void syncWithStation(int connection = 1)
    {
        const std::string check = "C" + std::to_string(connection) + " < FINE?";
        std::size_t checks = server.count(check);
        server.command("line SYNC");
        ASSERT_TRUE(server.waitFor(check, checks + 1));
    }
    // A code sent while the station awaits an answer to a command is taken for that
    // answer; the server sends codes once the station waits in its keep-alive period.
    void waitForKeepAlive(std::size_t periods, int connection = 1)
    {
        ASSERT_TRUE(server.waitFor("C" + std::to_string(connection) + " < KEEP_ALIVE 10000", periods));
    }
    ServerThread server;
    RecordingClient client;
};

TEST_F(NetReaderTest, ClaimsTheReaderWhileReadingIsEnabledAndReleasesItAfterwards)
{
    auto reader = startReader(); // connected before reading is asked for
    reader->setClient(&client);
    ASSERT_TRUE(reader->enable());
    ASSERT_TRUE(client.waitFor("opened"));
    waitForKeepAlive(2);
    server.command("read 3 12345");
    ASSERT_TRUE(client.waitFor("code 12345"));
    reader->disable();
    ASSERT_TRUE(client.waitFor("closed"));
    ASSERT_TRUE(server.waitFor("C1 < CLOSE 3", 2));
    ASSERT_TRUE(server.waitFor("C1 < KEEP_ALIVE 10000", 3));
    reader->setClient(nullptr);

    std::vector<std::string> lines = server.received(1);
    auto open = std::find(lines.begin(), lines.end(), "OPEN 3 READ WRITE DENY_WRITE");
    ASSERT_NE(open, lines.end());
    EXPECT_EQ(*(open - 1), "FINE?");            // a liveness check precedes the claim
    EXPECT_EQ(*(open + 1), "KEEP_ALIVE 10000"); // then a keep-alive period
    auto close = std::find(open, lines.end(), "CLOSE 3");
    ASSERT_NE(close, lines.end());
    EXPECT_EQ(*(close + 1), "KEEP_ALIVE 0");
    EXPECT_EQ(*(close + 2), "FINE?");
    EXPECT_EQ(client.events(), (Events{"opened", "code 12345", "closed"}));
    EXPECT_EQ(server.count("C1 connected"), 1u);
}

struct BusyReaderTest : NetReaderTest {
    BusyReaderTest() : NetReaderTest({{3, Presence::Busy}}) {}
};

TEST_F(BusyReaderTest, ABusyReaderOpensWhenTheServerLaterSaysAckOpen)
{
    auto reader = startReader();
    reader->setClient(&client);
    reader->enable();
    ASSERT_TRUE(server.waitFor("C1 > BUSY"));
    waitForKeepAlive(2);
    syncWithStation();
    EXPECT_TRUE(client.events().empty());
    server.command("release 3");
    ASSERT_TRUE(client.waitFor("opened"));
    server.command("read 3 777");
    ASSERT_TRUE(client.waitFor("code 777"));
    EXPECT_EQ(server.count("C1 connected"), 1u);
    reader->setClient(nullptr);
}

TEST_F(NetReaderTest, CodesWithoutAClientWaitForTheNextClient)
{
    auto reader = startReader();
    reader->enable();
    ASSERT_TRUE(server.waitFor("C1 > ACK OPEN 3"));
    waitForKeepAlive(2);
    server.command("read 3 111");
    server.command("read 3 '222'");
    syncWithStation(); // the unknown line also makes the station check the server
    reader->setClient(&client);
    EXPECT_EQ(client.events(), (Events{"opened", "code 111", "code 222"}));
    reader->setClient(nullptr);
}

TEST_F(NetReaderTest, QuotedEscapedAndMalformedReadMessages)
{
    auto reader = startReader();
    reader->setClient(&client);
    reader->enable();
    ASSERT_TRUE(client.waitFor("opened"));
    waitForKeepAlive(2);
    for (const char* command : {"read 3 'abc'", "read 3 \"abc\"", "read 3 abc", "read 3 'it\\'s'",
                                "read 3 \"a \\\"b\\\" c\"", "read 3 'unclosed", "line READ 3",
                                "line READING 3 X", "line READ '3 x' abc", "read 3 END"})
        server.command(command);
    ASSERT_TRUE(client.waitFor("code END"));
    EXPECT_EQ(client.events(), (Events{"opened", "code abc", "code abc", "code ABC", "code it's", "code a \"b\" c",
                                       "code ABC", "code END"}));
    // Messages that begin with READ are never taken for unknown lines.
    EXPECT_EQ(server.count("C1 < FINE?"), 2u); // the first check and the one before OPEN
    reader->setClient(nullptr);
}

TEST_F(NetReaderTest, TheServersLivenessCheckIsAnswered)
{
    auto reader = startReader();
    server.command("fine");
    EXPECT_TRUE(server.waitFor("C1 < ACK"));
}

TEST_F(NetReaderTest, ALostConnectionClosesTheReaderAndANewOneClaimsItAgain)
{
    auto reader = startReader();
    reader->setClient(&client);
    reader->enable();
    ASSERT_TRUE(client.waitFor("opened"));
    server.command("drop");
    ASSERT_TRUE(client.waitFor("closed"));
    ASSERT_TRUE(server.waitFor("C2 > ACK OPEN 3"));
    ASSERT_TRUE(client.waitFor("opened", 2));
    waitForKeepAlive(1, 2);
    server.command("read 3 AFTER");
    ASSERT_TRUE(client.waitFor("code AFTER"));
    EXPECT_EQ(client.events(), (Events{"opened", "closed", "opened", "code AFTER"}));
    reader->setClient(nullptr);
}

TEST_F(NetReaderTest, ALineLongerThan64KiBWithoutLineEndEndsTheConnection)
{
    auto reader = startReader();
    reader->setClient(&client);
    reader->enable();
    ASSERT_TRUE(client.waitFor("opened"));
    waitForKeepAlive(2);
    server.command("flood 60000"); // long, but within the limit once its line end comes
    server.command("line END");
    ASSERT_TRUE(server.waitFor("C1 < FINE?", 3));
    EXPECT_EQ(server.count("C1 closed by the station"), 0u);
    server.command("flood 70000");
    ASSERT_TRUE(server.waitFor("C1 closed by the station"));
    ASSERT_TRUE(client.waitFor("closed"));
    ASSERT_TRUE(server.waitFor("C2 > ACK OPEN 3")); // a new cycle follows
    reader->setClient(nullptr);
}

TEST_F(NetReaderTest, AnUnknownReaderEndsTheConnectionAndIsTriedAgain)
{
    auto reader = startReader("9");
    reader->setClient(&client);
    reader->enable();
    ASSERT_TRUE(server.waitFor("C1 < OPEN 9 READ WRITE DENY_WRITE"));
    ASSERT_TRUE(server.waitFor("C1 closed by the station"));
    ASSERT_TRUE(server.waitFor("C2 < OPEN 9 READ WRITE DENY_WRITE"));
    server.command("present 9");
    ASSERT_TRUE(client.waitFor("opened", 1, 15000));
    reader->setClient(nullptr);
}

// Slow: the keep-alive period lasts 30 s and the liveness check waits 10 s.
TEST_F(NetReaderTest, ASilentServerIsReleasedCheckedAndLeft)
{
    auto reader = startReader();
    reader->setClient(&client);
    reader->enable();
    ASSERT_TRUE(client.waitFor("opened"));
    ASSERT_TRUE(server.waitFor("C1 < KEEP_ALIVE 10000", 2));
    server.command("silent on");
    ASSERT_TRUE(server.waitFor("C1 < CLOSE 3", 2, 45000)); // the first came before OPEN
    EXPECT_TRUE(client.waitFor("closed"));
    ASSERT_TRUE(server.waitFor("C1 < FINE?", 3, 10000));
    ASSERT_TRUE(server.waitFor("C1 closed by the station", 1, 20000));
    server.command("silent off");
    ASSERT_TRUE(client.waitFor("opened", 2, 30000));
    reader->setClient(nullptr);
}

// Reading asked for while the station waits for an answer to its liveness check: the
// answer is still awaited and the claim follows on the same connection.
TEST_F(NetReaderTest, EnablingDuringACheckDoesNotCostTheConnection)
{
    server.command("silent on");
    BarcodeReader::NetReader reader("127.0.0.1", server.port(), "3", kQuickReconnect);
    reader.start();
    ASSERT_TRUE(server.waitFor("C1 < FINE?"));
    reader.enable();
    server.command("line ACK");
    ASSERT_TRUE(server.waitFor("C1 < OPEN 3 READ WRITE DENY_WRITE"));
    EXPECT_EQ(server.count("C1 closed by the station"), 0u);
}

TEST_F(NetReaderTest, StopEndsTheThreadPromptlyWhateverItWaitsFor)
{
    server.command("silent on");
    auto reader = std::make_unique<BarcodeReader::NetReader>("127.0.0.1", server.port(), "3", kQuickReconnect);
    reader->start();
    reader->enable();
    ASSERT_TRUE(server.waitFor("C1 < FINE?")); // waiting up to 10 s for the answer
    platform::Millis before = platform::tickMs();
    reader->stop();
    EXPECT_LT(platform::tickMs() - before, 2000);
    EXPECT_TRUE(server.waitFor("C1 closed by the station"));
    EXPECT_FALSE(reader->enable()); // no worker any more

    server.command("silent off");
    reader->start();
    ASSERT_TRUE(server.waitFor("C2 < KEEP_ALIVE 10000")); // waiting up to 30 s for events
    before = platform::tickMs();
    reader.reset();
    EXPECT_LT(platform::tickMs() - before, 2000);
}

TEST(NetReader, NoServerMeansNoNotificationsAndAPromptStop)
{
    int port;
    {
        ServerThread vanished(localServer({}));
        port = vanished.port();
    }
    BarcodeReader::NetReader reader("127.0.0.1", port, "3", kQuickReconnect);
    RecordingClient client;
    EXPECT_FALSE(reader.enable()); // not started
    reader.start();
    reader.setClient(&client);
    EXPECT_TRUE(reader.enable());
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // a few refused attempts
    platform::Millis before = platform::tickMs();
    reader.stop();
    EXPECT_LT(platform::tickMs() - before, 2000);
    EXPECT_TRUE(client.events().empty());
}

} // namespace
