// The reading settings' check of a reader network server and reader number: each
// verdict with its message, caption and the field that gets the focus.
#include "comm/ReaderNetworkTest.h"
#include "reader/ServerThread.h"

#include <gtest/gtest.h>

namespace {

using BarcodeReader::ReaderNetworkVerdict;
using BarcodeReader::testReaderNetwork;
using Outcome = ReaderNetworkVerdict::Outcome;
using Field = ReaderNetworkVerdict::Field;
using readersim::Presence;

void expectVerdict(const ReaderNetworkVerdict& verdict, Outcome outcome, const std::string& message,
                   const std::string& caption, Field focus)
{
    EXPECT_EQ(verdict.outcome, outcome);
    EXPECT_EQ(verdict.message, message);
    EXPECT_EQ(verdict.caption, caption);
    EXPECT_EQ(verdict.focus, focus);
}

TEST(ReaderNetworkCheck, AnswersOfTheServerAboutTheReader)
{
    ServerThread server(localServer({{3, Presence::Present}, {4, Presence::Busy}, {5, Presence::Faulty}}));
    expectVerdict(testReaderNetwork("127.0.0.1", 3, server.port()), Outcome::Passed, "", "", Field::None);
    expectVerdict(testReaderNetwork("localhost", 4, server.port()), Outcome::Passed, "", "", Field::None);
    expectVerdict(testReaderNetwork("127.0.0.1", 7, server.port()), Outcome::AskAcceptAbsent,
                  "The Reader N\xBA cannot be acesses. Accept anyway?", "Reader not found", Field::ReaderNumber);
    expectVerdict(testReaderNetwork("127.0.0.1", 5, server.port()), Outcome::Failed,
                  "Error in the RS485 network when the specified Reader N\xBA is addressed.",
                  "Error in the RS485 network", Field::ReaderNumber);
    EXPECT_EQ(server.received(1), (std::vector<std::string>{"FINE?", "STATUS 3"}));
    EXPECT_EQ(server.received(3), (std::vector<std::string>{"FINE?", "STATUS 7"}));
}

TEST(ReaderNetworkCheck, AServerThatDoesNotAnswer)
{
    readersim::ServerSettings settings = localServer({{3, Presence::Present}});
    settings.silent = true;
    ServerThread server(settings);
    expectVerdict(testReaderNetwork("127.0.0.1", 3, server.port()), Outcome::Failed, "The server doesn't answer",
                  "The server doesn't answer", Field::Server);
    EXPECT_EQ(server.received(1), (std::vector<std::string>{"FINE?"}));
}

TEST(ReaderNetworkCheck, NoServerAtTheAddress)
{
    int port;
    {
        ServerThread vanished(localServer({}));
        port = vanished.port();
    }
    expectVerdict(testReaderNetwork("127.0.0.1", 3, port), Outcome::Failed, "Server linking error.",
                  "The server cannot be accessed", Field::Server);
    expectVerdict(testReaderNetwork("", 3, port), Outcome::Failed, "Unknown the IP address of the server.",
                  "Server unknown", Field::Server);
    expectVerdict(testReaderNetwork("no-such-host.invalid", 3, port), Outcome::Failed,
                  "Unknown the IP address of the server.", "Server unknown", Field::Server);
}

} // namespace
