// The link protocol of the job against a terminal played byte for byte on a
// pseudo-terminal: acknowledgements, resend requests, both levels of retries, the
// status check and the commands' layouts.
#include "engine/JobFixture.h"
#include "engine/PtyJob.h"
#include "engine/ScriptedTerminal.h"
#include "support/PtyPair.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

using testing::ElementsAre;

namespace {

const Bytes kProbeFrame = {0x10, 0x02, 0x31, 0x30, 0x10, 0x03, 0x12};

// A job whose terminal port is open on the pseudo-terminal, logging everything.
struct LinkFixture : PtyJob {
    LinkFixture() : PtyJob("[SYSTEM]\nPROTOCOL=CORVANTIS\n") {}
};

TEST(LinkProtocol, ProbeFrameAckResponseAndAckAreLogged)
{
    LinkFixture t;
    TerminalResponse response;
    {
        ScriptedTerminal terminal(t.pty, [](ScriptedTerminal& term) {
            EXPECT_EQ(term.readFrame(), kProbeFrame);
            term.answer("0010");
            EXPECT_EQ(term.readByte(), 0x06);
        });
        EXPECT_TRUE(t.job->sendProbe(response));
    }
    EXPECT_EQ(response.length, 4u);
    const std::string p = t.pty.slavePath();
    EXPECT_THAT(t.f.logLines(), ElementsAre(p + " OUTPUT: <DLE> <STX> 31 30 <DLE> <ETX> 12", p + " INPUT: <ACK>",
                                            p + " INPUT: <DLE> <STX> 30 30 31 30 <DLE> <ETX> 12", p + " OUTPUT: <ACK>"));
}

TEST(LinkProtocol, ThreeNaksEndTheExchangeAndTheCommandIsTriedThreeTimes)
{
    LinkFixture t;
    TerminalResponse response;
    {
        ScriptedTerminal terminal(t.pty, [](ScriptedTerminal& term) {
            for (int i = 0; i < 9; ++i) {
                EXPECT_EQ(term.readFrame(), kProbeFrame) << i;
                term.send(0x15);
            }
            EXPECT_TRUE(term.quiet(300));
        });
        EXPECT_FALSE(t.job->sendProbe(response));
    }
    EXPECT_EQ(t.countOf("NAK received."), 9);
    EXPECT_EQ(t.countOf("Max message retries reached."), 3);
    EXPECT_EQ(t.countOf("Retrying message process"), 2);
    EXPECT_EQ(t.f.texts().back(), "Max command retries reached.");
}

TEST(LinkProtocol, DleInsteadOfAckIsTakenAsTheResponse)
{
    LinkFixture t;
    TerminalResponse response;
    {
        ScriptedTerminal terminal(t.pty, [](ScriptedTerminal& term) {
            term.readFrame();
            term.send(ScriptedTerminal::frameOf(ScriptedTerminal::bytesOf("0010")));
            EXPECT_EQ(term.readByte(), 0x06);
        });
        EXPECT_TRUE(t.job->sendProbe(response));
    }
    EXPECT_EQ(t.countOf("ACK/NAK not received. Supposing ACK losing."), 1);
    EXPECT_EQ(std::string(response.bytes.begin(), response.bytes.begin() + 4), "0010");
}

TEST(LinkProtocol, BadCheckByteIsAskedAgainTwiceThenAcknowledgedAndRefused)
{
    LinkFixture t;
    std::vector<std::uint8_t> payload = {'1', '0'};
    TerminalResponse response;
    {
        ScriptedTerminal terminal(t.pty, [](ScriptedTerminal& term) {
            term.readFrame();
            Bytes bad = ScriptedTerminal::frameOf(ScriptedTerminal::bytesOf("0010"));
            bad.back() ^= 0xFF;
            term.send(0x06);
            term.send(bad);
            EXPECT_EQ(term.readByte(), 0x15);
            term.send(bad);
            EXPECT_EQ(term.readByte(), 0x15);
            term.send(bad);
            EXPECT_EQ(term.readByte(), 0x06); // acknowledged although it did not decode
        });
        EXPECT_FALSE(t.job->exchange(payload.data(), payload.size(), 500, response.bytes.data(), response.length,
                                     response.bytes.size()));
    }
    EXPECT_EQ(t.countOf("Asking for a response resend (NAK)."), 2);
    EXPECT_EQ(t.f.texts().back(), "Erroneous response from the terminal.");
}

TEST(LinkProtocol, ResendRequestGetsAGoodResponse)
{
    LinkFixture t;
    TerminalResponse response;
    {
        ScriptedTerminal terminal(t.pty, [](ScriptedTerminal& term) {
            term.readFrame();
            term.send(0x06);
            term.send(Bytes{0x10, 0x02, 0x30}); // garbage that is not a frame
            EXPECT_EQ(term.readByte(11000), 0x15);
            term.send(ScriptedTerminal::frameOf(ScriptedTerminal::bytesOf("0010")));
            EXPECT_EQ(term.readByte(), 0x06);
        });
        EXPECT_TRUE(t.job->sendProbe(response)); // the stopped response counts as an answer
    }
    EXPECT_EQ(t.countOf("Asking for a response resend (NAK)."), 1);
}

TEST(LinkProtocol, SilentTerminal)
{
    LinkFixture t;
    std::vector<std::uint8_t> payload = {'1', '0'};
    TerminalResponse response;
    {
        ScriptedTerminal terminal(t.pty, [](ScriptedTerminal& term) {
            term.readFrame();
            term.send(0x06);
        });
        EXPECT_FALSE(t.job->exchange(payload.data(), payload.size(), 300, response.bytes.data(), response.length,
                                     response.bytes.size()));
    }
    EXPECT_EQ(t.f.texts().back(), "The terminal doesn't answer to the command.");
}

struct StatusCase {
    const char* name;
    Bytes answer;
    const char* message;
};

class LinkStatusAnswer : public testing::TestWithParam<StatusCase> {};

TEST_P(LinkStatusAnswer, BlockCommandReportsWhatTheTerminalSaid)
{
    const StatusCase& c = GetParam();
    LinkFixture t;
    TerminalResponse response;
    const std::uint8_t data[] = {1, 2, 3};
    {
        ScriptedTerminal terminal(t.pty, [&](ScriptedTerminal& term) {
            Bytes payload = term.readPayload();
            EXPECT_EQ(payload, (Bytes{'1', '2', 0x07, 0x00, 1, 2, 3}));
            term.send(0x06);
            term.send(ScriptedTerminal::frameOf(c.answer));
            term.readByte();
            // A mismatch is an exchange failure: the command is tried twice more.
            for (int i = 0; i < 2 && std::string(c.name) == "Mismatch"; ++i) {
                term.readFrame();
                term.send(0x06);
                term.send(ScriptedTerminal::frameOf(c.answer));
                term.readByte();
            }
        });
        EXPECT_FALSE(t.job->sendDataBlock(7, data, sizeof data, response));
    }
    EXPECT_EQ(t.countOf(c.message), std::string(c.name) == "Mismatch" ? 3 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkStatusAnswer,
    testing::Values(StatusCase{"Mismatch", {'0', '0', '1', '1'}, "The terminal's response doesn't match the command sent."},
                    StatusCase{"BlockNumber", {'5', '4', '1', '2'}, "Erroneous block number."},
                    StatusCase{"HighByte81", {0x81, '5', '1', '2'}, "Unknown error."},
                    StatusCase{"NotAllowed", {'?', '>', '1', '2'}, "Command not allowed in the current terminal status."}),
    [](const auto& info) { return info.param.name; });

TEST(LinkProtocol, BlockDataTooLongForAFrameIsNotSent)
{
    LinkFixture t;
    TerminalResponse response;
    std::vector<std::uint8_t> data(4093, 0x41);
    {
        ScriptedTerminal terminal(t.pty, [](ScriptedTerminal& term) { EXPECT_TRUE(term.quiet(300)); });
        EXPECT_FALSE(t.job->sendDataBlock(1, data.data(), 4093, response));
        EXPECT_EQ(t.f.texts().back(), "Data block length error.");
        // 4092 bytes pass the length check but no frame holds them; each attempt says so.
        EXPECT_FALSE(t.job->sendDataBlock(1, data.data(), 4092, response));
        EXPECT_EQ(t.countOf("Ciphering message error."), 3);
        EXPECT_EQ(t.f.texts().back(), "Max command retries reached.");
    }
}

TEST(LinkProtocol, CommandLayouts)
{
    LinkFixture t;
    FileHeader header{};
    header[0] = 0x6A;
    header[255] = 0x10;
    std::vector<Bytes> received;
    {
        ScriptedTerminal terminal(t.pty, [&](ScriptedTerminal& term) {
            for (const char* code : {"11", "13", "14", "15", "16", "17", "18", "19"}) {
                received.push_back(term.readPayload());
                term.answer(std::string("00") + code);
                term.readByte();
            }
        });
        TerminalResponse r;
        const std::uint8_t data[] = {9, 8};
        EXPECT_TRUE(t.job->sendComponentStart(2, header, r));
        EXPECT_TRUE(t.job->sendDataRequest(5, r));
        EXPECT_TRUE(t.job->sendEndOfLoad(r));
        EXPECT_TRUE(t.job->sendApplicationStart(header, r));
        EXPECT_TRUE(t.job->sendCommand16(0x01020304, r));
        EXPECT_TRUE(t.job->sendCommand17(0x0A0B, data, 2, r));
        EXPECT_TRUE(t.job->sendCommand18(0xA1B2C3D4, r));
        EXPECT_TRUE(t.job->sendCommand19(1, 0x100, 7, r));
    }
    ASSERT_EQ(received.size(), 8u);
    Bytes start = {'1', '1', 2};
    start.insert(start.end(), header.begin(), header.end());
    EXPECT_EQ(received[0], start);
    EXPECT_EQ(received[1], (Bytes{'1', '3', 5}));
    EXPECT_EQ(received[2], (Bytes{'1', '4'}));
    EXPECT_EQ(received[3].size(), 258u);
    EXPECT_EQ(received[4], (Bytes{'1', '6', 4, 3, 2, 1}));
    EXPECT_EQ(received[5], (Bytes{'1', '7', 0x0B, 0x0A, 9, 8}));
    EXPECT_EQ(received[6], (Bytes{'1', '8', 0xD4, 0xC3, 0xB2, 0xA1}));
    EXPECT_EQ(received[7], (Bytes{'1', '9', 1, 0, 0, 0, 0, 1, 0, 0, 7}));
}

TEST(LinkProtocol, CancelStopsBeforeTheNextSending)
{
    LinkFixture t;
    TerminalResponse response;
    {
        ScriptedTerminal terminal(t.pty, [&](ScriptedTerminal& term) {
            term.readFrame();
            t.f.progress->cancel = true;
            term.send(0x15);
            EXPECT_TRUE(term.quiet(300));
        });
        EXPECT_FALSE(t.job->sendProbe(response));
    }
    EXPECT_EQ(t.countOf("Max command retries reached."), 0);
}

} // namespace
