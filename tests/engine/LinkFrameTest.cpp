// Frames of the terminal link, status codes and response values.
#include "loader/LinkFrame.h"
#include "loader/LinkStatus.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes encode(const Bytes& payload, bool& ok)
{
    Bytes frame(4096);
    std::size_t length = 0;
    ok = encodeFrame(payload.data(), payload.size(), frame.data(), frame.size(), length);
    frame.resize(length);
    return frame;
}

Bytes encoded(const Bytes& payload)
{
    bool ok = false;
    Bytes frame = encode(payload, ok);
    EXPECT_TRUE(ok);
    return frame;
}

bool decode(const Bytes& frame, Bytes& payload)
{
    payload.assign(4096, 0);
    std::size_t length = 0;
    bool ok = decodeFrame(frame.data(), frame.size(), payload.data(), payload.size(), length);
    payload.resize(length);
    return ok;
}

TEST(LinkFrame, EncodesWithStuffingAndCheckByte)
{
    EXPECT_EQ(encoded({0x31, 0x30}), (Bytes{0x10, 0x02, 0x31, 0x30, 0x10, 0x03, 0x12}));
    EXPECT_EQ(encoded({0x10, 0x10}), (Bytes{0x10, 0x02, 0x10, 0x10, 0x10, 0x10, 0x10, 0x03, 0x13}));
    // 03 xor 13 gives an LCR of 0x10, which is not stuffed.
    EXPECT_EQ(encoded({0x03}), (Bytes{0x10, 0x02, 0x03, 0x10, 0x03, 0x10}));
    bool ok = true;
    encode({}, ok);
    EXPECT_FALSE(ok);
}

TEST(LinkFrame, LargestFramesFitInTheBuffer)
{
    bool ok = false;
    EXPECT_EQ(encode(Bytes(4090, 0x41), ok).size(), 4095u);
    EXPECT_TRUE(ok);
    encode(Bytes(4091, 0x41), ok);
    EXPECT_FALSE(ok);
    Bytes withDle(4089, 0x41);
    withDle[0] = 0x10; // one stuffing byte takes the place of a payload byte
    encode(withDle, ok);
    EXPECT_TRUE(ok);
    withDle.push_back(0x41);
    encode(withDle, ok);
    EXPECT_FALSE(ok);
}

TEST(LinkFrame, DecodesOnlyWellFormedFrames)
{
    Bytes payload;
    EXPECT_TRUE(decode({0x10, 0x02, 0x31, 0x30, 0x10, 0x03, 0x12}, payload));
    EXPECT_EQ(payload, (Bytes{0x31, 0x30}));
    EXPECT_TRUE(decode({0x10, 0x02, 0x10, 0x03, 0x13}, payload));
    EXPECT_TRUE(payload.empty());

    const Bytes invalid[] = {
        {0x10, 0x02, 0x31, 0x30, 0x10, 0x03, 0x13}, // wrong LCR
        {0x10, 0x02, 0x31, 0x10, 0x32, 0x10, 0x03, 0x12}, // DLE before an ordinary byte
        {0x10, 0x02, 0x31, 0x30, 0x10, 0x03},       // no LCR
        {0x10, 0x02, 0x31, 0x30},                   // no DLE ETX
        {0x10, 0x03, 0x31, 0x10, 0x03, 0x22},       // not DLE STX
        {0x10, 0x02},                               // too short
        {},
    };
    for (const Bytes& frame : invalid)
        EXPECT_FALSE(decode(frame, payload)) << frame.size();
}

TEST(LinkFrame, DecodesInPlaceAndRoundTrips)
{
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        Bytes payload(1 + random() % 600);
        for (auto& b : payload)
            b = static_cast<std::uint8_t>(random() % 4 == 0 ? 0x10 : random());
        Bytes frame = encoded(payload);
        std::size_t length = 0;
        ASSERT_TRUE(decodeFrame(frame.data(), frame.size(), frame.data(), frame.size(), length));
        frame.resize(length);
        EXPECT_EQ(frame, payload);
    }
}

TEST(LinkFrame, PayloadLargerThanTheOutputIsInvalid)
{
    Bytes frame = encoded(Bytes(100, 0x41));
    Bytes out(99);
    std::size_t length = 0;
    EXPECT_FALSE(decodeFrame(frame.data(), frame.size(), out.data(), out.size(), length));
}

TEST(LinkStatus, MessagesOfTheTerminalStatuses)
{
    auto status = [](const char* code) { return responseValue16(static_cast<std::uint8_t>(code[0]), static_cast<std::uint8_t>(code[1])); };
    EXPECT_EQ(status("00"), kStatusOk);
    const std::pair<const char*, const char*> table[] = {
        {"10", "Time-out!"}, {"11", "Invalid LCR."}, {"12", "Erroneous message structure."},
        {"50", "Invalid data length."}, {"51", "Invalid parametrer value."}, {"52", "Digital signature error."},
        {"53", "Max block length exceeded."}, {"54", "Erroneous block number."},
        {"55", "Information not available."}, {"56", "Flash writing / erasing error."},
        {"?>", "Command not allowed in the current terminal status."}, {"??", "Unknown command."},
        {"57", "Unknown error."}, {"0 ", "Unknown error."},
    };
    for (const auto& [code, message] : table)
        EXPECT_EQ(statusMessage(status(code)), message) << code;
    // A high byte of 0x81 gives the low byte alone: 0x81 '5' is 0x35, no known status.
    EXPECT_EQ(responseValue16(0x81, 0x35), 0x35);
    EXPECT_EQ(statusMessage(responseValue16(0x81, 0x35)), "Unknown error.");
    EXPECT_EQ(responseValue16(0x07, 0xFD), 2045);
}

} // namespace
