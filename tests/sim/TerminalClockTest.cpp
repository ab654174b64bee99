// After the closing command the terminal restarts and offers its clock dialogue at the
// clock's line settings.
#include "sim/TerminalFixture.h"

#include <chrono>
#include <thread>

using namespace simtest;

namespace {

class TerminalClock : public TerminalFixture {
protected:
    void closeLoad() { ASSERT_EQ(hex(station->exchange("14")), hex(ACK + frameOf("0014"))); }
};

TEST_F(TerminalClock, ClockIsSetWithFourteenDigitsAfterTheWakeUp)
{
    ASSERT_NO_FATAL_FAILURE(start({"--protocol-running", "--restart-ms", "50", "--wake-every", "30"}));
    // Until it restarts the terminal still sends its closing answer again on NAK.
    station->send(frameOf("14"));
    ASSERT_EQ(hex(station->readFrame()), hex(ACK + frameOf("0014")));
    station->send(std::string(1, NAK));
    ASSERT_EQ(hex(station->readFrame()), hex(frameOf("0014")));
    station->send(std::string(1, ACK));

    // A few wake-up characters, then the station asks.
    std::string wake = station->read(3);
    EXPECT_EQ(wake, "TTT");
    station->send("?");
    std::string answer = station->readUntilQuiet(150);
    ASSERT_FALSE(answer.empty());
    EXPECT_EQ(answer.back(), 'K') << "any 'T' still under way comes before the answer: " << answer;
    EXPECT_EQ(answer.find_first_not_of('T'), answer.size() - 1) << answer;
    EXPECT_EQ(station->readUntilQuiet(200), "") << "no more wake-up characters once asked";

    station->send("D");
    EXPECT_EQ(station->read(1), "D");
    station->send("20240307090503");
    EXPECT_EQ(station->read(1), "Y");
    EXPECT_TRUE(waitForLog("clock 20240307090503"));
}

TEST_F(TerminalClock, OtherCharactersAndTheClocksOwnLineSettings)
{
    ASSERT_NO_FATAL_FAILURE(start({"--protocol-running", "--restart-ms", "50", "--wake-every", "30", "--wake-char",
                                   "t", "--ready-char", "k", "--clock-answer", "N", "--clock-line",
                                   "9600,N,8,1"}));
    ASSERT_NO_FATAL_FAILURE(closeLoad());
    // Still at the bootstrap's settings: the wake-up characters come garbled.
    EXPECT_EQ(hex(station->read(2)), hex("\xFF\xFF"));
    station->send("?");
    // The terminal judges a byte by the settings when it reads it: change them only
    // once it has.
    ASSERT_TRUE(waitForLog("ignored 1 bytes from line 115200,N,8,1 (terminal at 9600,N,8,1)"));
    ASSERT_TRUE(station->setSpeed(B9600));
    tcflush(station->fd(), TCIFLUSH);
    // One garbled character may still have been under way.
    std::string wake = station->read(3);
    EXPECT_EQ(wake.substr(1), "tt") << hex(wake);
    station->send("?");
    std::string answer = station->readUntilQuiet(150);
    ASSERT_FALSE(answer.empty());
    EXPECT_EQ(answer.back(), 'k');
    station->send("D20240307090503");
    EXPECT_EQ(station->read(2), "DN");
    EXPECT_TRUE(waitForLog("clock 20240307090503"));
}

TEST_F(TerminalClock, WakeUpStopsAfterItsLimitWhenNobodyAsks)
{
    ASSERT_NO_FATAL_FAILURE(
        start({"--protocol-running", "--restart-ms", "0", "--wake-every", "20", "--wake-limit", "200"}));
    ASSERT_NO_FATAL_FAILURE(closeLoad());
    ASSERT_TRUE(waitForLog("clock dialogue not asked for"));
    std::string wake = station->readUntilQuiet(100);
    EXPECT_FALSE(wake.empty());
    EXPECT_EQ(wake.find_first_not_of('T'), std::string::npos) << hex(wake);
    EXPECT_LE(wake.size(), 11u) << "one every 20 ms for 200 ms";
    EXPECT_EQ(station->readUntilQuiet(300), "");
    station->send("?");
    EXPECT_EQ(station->readUntilQuiet(), "") << "the dialogue is over";
}

} // namespace
