// orvane-readersim as an engineer runs it: it names its port first, answers the
// station's settings check for the readers it was given, and ends cleanly on SIGTERM.
#include "comm/ReaderNetworkTest.h"
#include "support/ChildProcess.h"
#include "support/TermSim.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Outcome = BarcodeReader::ReaderNetworkVerdict::Outcome;

TEST(ReaderSim, ServesTheReadersItWasGivenAndEndsOnSigterm)
{
    TermSim server(ORVANE_READERSIM, {"--port", "0", "--bind", "127.0.0.1", "--reader", "3", "--reader", "4:faulty",
                                      "--reader", "6:busy"},
                   5000);
    ASSERT_TRUE(server.started());
    const std::string first = server.slavePath(); // its first line: "port N"
    ASSERT_TRUE(first.starts_with("port ")) << first;
    const int port = std::stoi(first.substr(5));
    EXPECT_EQ(BarcodeReader::testReaderNetwork("127.0.0.1", 3, port).outcome, Outcome::Passed);
    EXPECT_EQ(BarcodeReader::testReaderNetwork("127.0.0.1", 6, port).outcome, Outcome::Passed);
    EXPECT_EQ(BarcodeReader::testReaderNetwork("127.0.0.1", 4, port).outcome, Outcome::Failed);
    EXPECT_EQ(BarcodeReader::testReaderNetwork("127.0.0.1", 5, port).outcome, Outcome::AskAcceptAbsent);
    EXPECT_TRUE(exitedWith(server.stop(), 0));
}

TEST(ReaderSim, HelpAndBadOptions)
{
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
    };
    const Case cases[] = {
        {{"--help"}, 0},
        {{"--port", "70000"}, 2},
        {{"--reader", "3:sleepy"}, 2},
        {{"--codes", "/nonexistent/codes"}, 2},
        {{"--port"}, 2},
        {{"extra"}, 2},
    };
    for (const Case& c : cases) {
        ChildProcess child;
        child.redirect(STDOUT_FILENO, "/dev/null", O_WRONLY);
        child.redirect(STDERR_FILENO, "/dev/null", O_WRONLY);
        ASSERT_TRUE(child.start(ORVANE_READERSIM, c.arguments));
        std::optional<int> status = child.waitForExit(10000);
        ASSERT_TRUE(status) << c.arguments.front();
        EXPECT_TRUE(exitedWith(*status, c.exitCode)) << c.arguments.front();
    }
}

} // namespace
