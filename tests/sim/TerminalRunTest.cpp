// Running the terminal: its command line and help, its measurements for benchmarks,
// and the pace of a line with a bit rate.
#include "sim/TerminalFixture.h"

#include <chrono>
#include <cstdio>
#include <thread>

using namespace simtest;

namespace {

using TerminalRun = TerminalFixture;

TEST(TerminalCommandLine, HelpDescribesEveryOptionAndExitsWithZero)
{
    FILE* output = ::popen((std::string(ORVANE_TERMSIM) + " --help").c_str(), "r");
    ASSERT_NE(output, nullptr);
    std::string help;
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, output)) > 0;)
        help.append(buffer, count);
    EXPECT_TRUE(exitedWith(::pclose(output), 0));
    for (const char* option :
         {"--mode", "--device", "--link", "--log", "--stats", "--bitrate", "--vanish-after", "--stall-after",
          "--out", "--exit-on-eof", "--files", "--bios-idle", "--bootstrap-running", "--protocol-running",
          "--boot-delay", "--ramboot-line", "--block-length", "--guarantee", "--config-data", "--restart-ms",
          "--clock-line", "--wake-char", "--wake-every", "--wake-limit", "--ready-char", "--clock-answer",
          "--nak-frames", "--bad-lcr", "--lose-acks", "--dle-for-ack", "--silent-after", "--truncate",
          "--wrong-echo", "--echo-cmd", "--status", "--short-open", "--noise-every"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

TEST(TerminalCommandLine, RefusesBadTerminalValuesWithStatus2)
{
    const std::vector<std::vector<std::string>> badLines = {
        {"--ramboot-line", "115200,N,8"},  {"--ramboot-line", "115200,X,8,1"}, {"--clock-line", "0,N,8,1"},
        {"--clock-line", "9600,N,9,1"},    {"--block-length", "65536"},        {"--status", "1=00"},
        {"--status", "12=5"},              {"--status", "12=0x81"},            {"--wake-char", "TT"},
        {"--noise-every", "0"},            {"--nak-frames", "-1"},             {"--bios-idle=yes"},
    };
    for (const auto& arguments : badLines) {
        std::vector<std::string> all = {"--mode", "terminal"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        TermSim sim(all);
        EXPECT_FALSE(sim.started()) << arguments[0];
        auto status = sim.waitForExit(5000);
        ASSERT_TRUE(status) << arguments[0];
        EXPECT_TRUE(exitedWith(*status, 2)) << arguments[0] << ' ' << arguments.back();
    }
}

TEST(TerminalCommandLine, StoredDataTooLargeForOneResponseIsRefusedAtStart)
{
    TempDir scratch;
    std::string big = scratch.write("guarantee.bin", std::string(4090, '\x10'));
    TermSim sim({"--mode", "terminal", "--guarantee", big});
    EXPECT_FALSE(sim.started());
    auto status = sim.waitForExit(5000);
    ASSERT_TRUE(status);
    EXPECT_TRUE(exitedWith(*status, 1));
}

TEST_F(TerminalRun, StatsCountTheLineAndTimeEachExchangeAtTheEnd)
{
    std::string stats = scratch.file("stats.txt");
    ASSERT_NO_FATAL_FAILURE(start({"--protocol-running", "--stats", stats}));
    for (int exchange = 0; exchange < 2; ++exchange)
        ASSERT_EQ(hex(station->exchange("10")), hex(ACK + frameOf("0010")));
    ASSERT_TRUE(waitForLog("command 10"));
    // The station's ACK of the second response must have arrived before the end.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    int status = sim->stop();
    EXPECT_TRUE(exitedWith(status, 0));

    auto lines = readLines(stats);
    ASSERT_EQ(lines.size(), 5u) << readWholeFile(stats);
    // Each exchange: a 7-byte frame and an ACK in, an ACK and a 9-byte response out.
    EXPECT_EQ(lines[0], "bytes-in 16");
    EXPECT_EQ(lines[1], "bytes-out 20");
    EXPECT_EQ(lines[2], "frames 2");
    for (int i = 3; i < 5; ++i)
        EXPECT_EQ(lines[i].rfind("turnaround-us ", 0), 0u) << lines[i];
}

TEST_F(TerminalRun, PacedTerminalAnswersNoEarlierThanTheFrameCouldHaveArrived)
{
    ASSERT_NO_FATAL_FAILURE(start({"--protocol-running", "--bitrate", "19200"}));
    // A frame of about 1000 bytes takes 520 ms at 19200 bit/s, ten bits a byte.
    std::string command = "17" + le16(1) + std::string(995, 'x');
    auto begin = std::chrono::steady_clock::now();
    station->send(frameOf(command));
    std::string answer = station->read(1, 5000);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
    EXPECT_EQ(hex(answer), hex(std::string(1, ACK)));
    EXPECT_GE(took.count(), 500);
}

} // namespace
