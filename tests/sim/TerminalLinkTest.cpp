// The link as the terminal keeps it: broken frames refused with NAK, responses sent
// again on the station's NAK, and the faults a test can switch on.
#include "sim/TerminalFixture.h"

using namespace simtest;

namespace {

using TerminalLink = TerminalFixture;

const std::string probeAnswer = frameOf("0010");

TEST_F(TerminalLink, BrokenFramesAreRefusedWithNakAndDropped)
{
    ASSERT_NO_FATAL_FAILURE(start({"--protocol-running"}));
    std::string wrongCheck = frameOf("10");
    wrongCheck.back() ^= 0x01;
    // DLE followed by an ordinary byte inside the payload.
    const std::string badStuffing = bytes({0x10, 0x02, 0x31, 0x10, 0x32, 0x30, 0x10, 0x03, 0x12});
    for (const auto& broken : {wrongCheck, badStuffing}) {
        station->send(broken);
        EXPECT_EQ(hex(station->readUntilQuiet()), hex(std::string(1, NAK))) << hex(broken);
    }
    EXPECT_EQ(hex(station->exchange("10")), hex(ACK + probeAnswer)) << "the line is in step again";
    EXPECT_TRUE(logHas("nak sent: bad check byte"));
    EXPECT_TRUE(logHas("nak sent: bad stuffing"));
}

TEST_F(TerminalLink, ResponseIsSentAgainOnTheStationsNak)
{
    ASSERT_NO_FATAL_FAILURE(start({"--protocol-running"}));
    station->send(frameOf("10"));
    EXPECT_EQ(hex(station->readFrame()), hex(ACK + probeAnswer));
    for (int request = 1; request <= 2; ++request) {
        station->send(std::string(1, NAK));
        EXPECT_EQ(hex(station->readFrame()), hex(probeAnswer)) << "resend " << request;
    }
    station->send(std::string(1, ACK));
    EXPECT_EQ(station->readUntilQuiet(), "") << "nothing after the station's ACK";
    station->send(std::string(1, NAK));
    EXPECT_EQ(station->readUntilQuiet(), "") << "a NAK after the ACK asks for nothing";
    EXPECT_TRUE(logHas("resend request 2"));
    EXPECT_FALSE(logHas("resend request 3"));
}

struct FaultCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string command;
    // What the station gets for the first sending and for a second sending of the
    // same command.
    std::string first;
    std::string second;
    const char* logged;
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

class TerminalFault : public TerminalFixture, public ::testing::WithParamInterface<FaultCase> {};

std::string withWrongCheck(std::string frame)
{
    frame.back() = static_cast<char>(~static_cast<unsigned char>(frame.back()));
    return frame;
}

TEST_P(TerminalFault, PlaysTheFaultOnTheFirstFramesOnly)
{
    const auto& c = GetParam();
    std::vector<std::string> arguments = {"--protocol-running"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    ASSERT_NO_FATAL_FAILURE(start(arguments));
    for (const auto* expected : {&c.first, &c.second}) {
        station->send(frameOf(c.command));
        EXPECT_EQ(hex(station->readUntilQuiet()), hex(*expected)) << (expected == &c.first ? "first" : "second");
        station->send(std::string(1, ACK));
    }
    EXPECT_TRUE(logHas(c.logged)) << c.logged;
}

const std::string kernelOpen = "11" + bytes({2}) + std::string(256, '\x6A');

INSTANTIATE_TEST_SUITE_P(
    Faults, TerminalFault,
    ::testing::Values(
        FaultCase{"NakFrames", {"--nak-frames", "1"}, "10", std::string(1, NAK), ACK + probeAnswer,
                  "fault nak-frame 1 of 1"},
        FaultCase{"BadLcr", {"--bad-lcr", "1"}, "10", ACK + withWrongCheck(probeAnswer), ACK + probeAnswer,
                  "fault bad-lcr 1 of 1"},
        FaultCase{"LoseAcks", {"--lose-acks", "1"}, "10", probeAnswer, ACK + probeAnswer, "fault lose-ack 1 of 1"},
        FaultCase{"DleForAck", {"--dle-for-ack", "1"}, "10", probeAnswer, ACK + probeAnswer,
                  "fault dle-for-ack 1 of 1"},
        FaultCase{"Truncate", {"--truncate", "1"}, "10", ACK + probeAnswer.substr(0, 4), ACK + probeAnswer,
                  "fault truncate 1 of 1"},
        FaultCase{"EchoCmd", {"--echo-cmd", "1"}, "10", ACK + frameOf("0011"), ACK + probeAnswer,
                  "fault echo-cmd 1 of 1"},
        FaultCase{"SilentAfter", {"--silent-after", "1"}, "10", ACK + probeAnswer, "", "fault silent from frame 2"},
        FaultCase{"ForcedOddStatus", {"--status", "10=0x81,0x35"}, "10", ACK + frameOf("\x81\x35" "10"),
                  ACK + frameOf("\x81\x35" "10"), "answer 10 status \\x815"},
        FaultCase{"ForcedStatusCarriesNothingOut", {"--status", "11=52"}, kernelOpen, ACK + frameOf("5211"),
                  ACK + frameOf("5211"), "command 11 refused with forced status 52"},
        FaultCase{"ShortOpen", {"--short-open"}, kernelOpen, ACK + frameOf("0011"), ACK + frameOf("0011"),
                  "fault short-open"},
        FaultCase{"BlockLengthZero", {"--block-length", "0"}, kernelOpen, ACK + frameOf("0011" + le16(0)),
                  ACK + frameOf("0011" + le16(0)), "header kernel tag jjj"},
        // The fourth byte received, the command's second character, arrives corrupted.
        FaultCase{"Noise", {"--noise-every", "4"}, "10", std::string(1, NAK), std::string(1, NAK),
                  "fault noise at byte 4"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TerminalLink, WrongEchoOfABlockNumber)
{
    ASSERT_NO_FATAL_FAILURE(start({"--protocol-running", "--wrong-echo", "1"}));
    ASSERT_EQ(hex(station->exchange(kernelOpen)), hex(ACK + frameOf("0011" + le16(2045))));
    EXPECT_EQ(hex(station->exchange("12" + le16(1) + "a")), hex(ACK + frameOf("0012" + le16(2))));
    EXPECT_EQ(hex(station->exchange("12" + le16(2) + "b")), hex(ACK + frameOf("0012" + le16(2))));
}

} // namespace
