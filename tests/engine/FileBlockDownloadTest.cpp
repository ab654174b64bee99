// Prekernel, kernel and application files sent block by block to a terminal played
// on a pseudo-terminal: headers, block sizes, echoes and the closing block.
#include "engine/JobFixture.h"
#include "engine/PtyJob.h"
#include "engine/ScriptedTerminal.h"
#include "loader/FileHeader.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

Bytes fileOf(std::size_t size, std::uint8_t seed = 1)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed * 31 + i * 7 + (i >> 8));
    return bytes;
}

std::uint16_t numberOf(const Bytes& payload)
{
    return static_cast<std::uint16_t>(payload[2] | payload[3] << 8);
}

// The terminal side of a block download: answers the start command with the offered
// block length and echoes every block, recording what came.
struct BlockTerminal {
    Bytes start;
    std::vector<Bytes> blocks; // data of blocks 1, 2, ... and the closing block last
    std::vector<std::uint16_t> numbers;

    void play(ScriptedTerminal& term, Bytes offered, int echoOffset = 0)
    {
        start = term.readPayload();
        term.answer(std::string("00") + char(start[0]) + char(start[1]) + std::string(offered.begin(), offered.end()));
        term.readByte();
        if (offered.size() < 2 || (offered[0] == 0 && offered[1] == 0))
            return; // the station cannot go on
        for (;;) {
            Bytes payload = term.readPayload(3000);
            if (payload.size() < 4)
                return;
            std::uint16_t number = numberOf(payload);
            numbers.push_back(number);
            blocks.emplace_back(payload.begin() + 4, payload.end());
            std::uint16_t echo = static_cast<std::uint16_t>(number + echoOffset);
            term.answer(std::string("0012") + char(echo & 0xFF) + char(echo >> 8));
            term.readByte();
            if (number == 0 || echoOffset != 0)
                return;
        }
    }
};

struct DownloadFixture : PtyJob {
    DownloadFixture() : PtyJob("[SYSTEM]\nPROTOCOL=CORVANTIS\n") {}
};

struct SizeCase {
    const char* name;
    std::size_t fileSize;
    Bytes offered;
    std::vector<std::size_t> blockSizes;
};

class BlockSizes : public testing::TestWithParam<SizeCase> {};

TEST_P(BlockSizes, FileGoesOutInBlocksOfTheOfferedLength)
{
    const SizeCase& c = GetParam();
    DownloadFixture t;
    Bytes file = fileOf(c.fileSize);
    t.f.writeApp("k.bin", std::string(file.begin(), file.end()));
    t.f.progress->upperBound = 1 << 30;
    BlockTerminal terminal;
    {
        ScriptedTerminal term(t.pty, [&](ScriptedTerminal& s) { terminal.play(s, c.offered); });
        EXPECT_TRUE(t.job->downloadFile(FileKind::Kernel, "k.bin"));
    }
    EXPECT_EQ(t.f.progress->position, static_cast<int>(c.fileSize)); // one step per block
    std::vector<std::size_t> sizes;
    Bytes joined;
    for (const Bytes& b : terminal.blocks) {
        sizes.push_back(b.size());
        joined.insert(joined.end(), b.begin(), b.end());
    }
    EXPECT_EQ(sizes, c.blockSizes);
    EXPECT_EQ(joined, file);
    std::vector<std::uint16_t> expectedNumbers;
    for (std::size_t i = 1; i < c.blockSizes.size(); ++i)
        expectedNumbers.push_back(static_cast<std::uint16_t>(i));
    expectedNumbers.push_back(0);
    EXPECT_EQ(terminal.numbers, expectedNumbers);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BlockSizes,
    testing::Values(SizeCase{"Offered4000Capped", 5000, {0xA0, 0x0F}, {2045, 2045, 910, 0}},
                    SizeCase{"ExactlyTwoBlocks", 4090, {0xFD, 0x07}, {2045, 2045, 0}},
                    SizeCase{"SmallBlocks", 1000, {0x00, 0x01}, {256, 256, 256, 232, 0}},
                    SizeCase{"LargerThanTheReadBuffer", 40000, {0xFD, 0x07},
                             {2045, 2045, 2045, 2045, 2045, 2045, 2045, 2045, 2045, 2045, 2045, 2045, 2045, 2045,
                              2045, 2045, 2045, 2045, 2045, 1145, 0}}),
    [](const auto& info) { return info.param.name; });

TEST(FileBlockDownload, HeaderIsBuiltFromTheFilesOwnBytes)
{
    DownloadFixture t;
    Bytes file = fileOf(400, 3);
    t.f.writeApp("a.bin", std::string(file.begin(), file.end()));
    BlockTerminal terminal;
    {
        ScriptedTerminal term(t.pty, [&](ScriptedTerminal& s) { terminal.play(s, {0xFD, 0x07}); });
        EXPECT_TRUE(t.job->downloadFile(FileKind::Application, "a.bin"));
    }
    Bytes expected = {'1', '5', 0x6A, 'L', '-', '-'};
    expected.insert(expected.end(), file.begin() + 7, file.begin() + 110);
    expected.insert(expected.end(), 20, 0x00);
    expected.push_back(0xBC);
    expected.insert(expected.end(), file.begin() + 153, file.begin() + 281);
    EXPECT_EQ(terminal.start, expected);
    EXPECT_EQ(t.f.texts()[0], "Application downloading... (a.bin)");
}

TEST(FileBlockDownload, StartCommandsAndTagsOfEachKind)
{
    for (auto [kind, code, tag] : {std::tuple{FileKind::Prekernel, Bytes{'1', '1', 1}, "K--"},
                                   std::tuple{FileKind::Kernel, Bytes{'1', '1', 2}, "KKK"},
                                   std::tuple{FileKind::Application, Bytes{'1', '5'}, "L--"}}) {
        DownloadFixture t;
        Bytes file = fileOf(400);
        t.f.writeApp("f.bin", std::string(file.begin(), file.end()));
        BlockTerminal terminal;
        {
            ScriptedTerminal term(t.pty, [&](ScriptedTerminal& s) { terminal.play(s, {0xFD, 0x07}); });
            EXPECT_TRUE(t.job->downloadFile(kind, "f.bin"));
        }
        ASSERT_GE(terminal.start.size(), code.size() + 4);
        EXPECT_TRUE(std::equal(code.begin(), code.end(), terminal.start.begin()));
        EXPECT_EQ(terminal.start[code.size()], 0x6A);
        EXPECT_EQ(std::string(terminal.start.begin() + static_cast<long>(code.size()) + 1,
                              terminal.start.begin() + static_cast<long>(code.size()) + 4),
                  tag);
    }
}

TEST(FileBlockDownload, PrekernelOf290BytesIsSentKernelIsNot)
{
    DownloadFixture t;
    Bytes file = fileOf(290);
    t.f.writeApp("p.bin", std::string(file.begin(), file.end()));
    BlockTerminal terminal;
    {
        ScriptedTerminal term(t.pty, [&](ScriptedTerminal& s) { terminal.play(s, {0xFD, 0x07}); });
        EXPECT_TRUE(t.job->downloadFile(FileKind::Prekernel, "p.bin"));
    }
    EXPECT_EQ(terminal.blocks.size(), 2u);
    EXPECT_EQ(t.f.texts()[0], "PreKernel downloading... (p.bin)");

    for (FileKind kind : {FileKind::Kernel, FileKind::Application}) {
        ScriptedTerminal term(t.pty, [](ScriptedTerminal& s) { EXPECT_TRUE(s.quiet(200)); });
        EXPECT_FALSE(t.job->downloadFile(kind, "p.bin"));
        EXPECT_EQ(t.f.texts().back(), "File reading error.");
    }
}

struct RefusalCase {
    const char* name;
    Bytes offered;
    int echoOffset;
    const char* message;
};

class BlockRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(BlockRefusal, EndsTheDownload)
{
    const RefusalCase& c = GetParam();
    DownloadFixture t;
    Bytes file = fileOf(5000);
    t.f.writeApp("k.bin", std::string(file.begin(), file.end()));
    BlockTerminal terminal;
    {
        ScriptedTerminal term(t.pty, [&](ScriptedTerminal& s) { terminal.play(s, c.offered, c.echoOffset); });
        EXPECT_FALSE(t.job->downloadFile(FileKind::Kernel, "k.bin"));
    }
    EXPECT_EQ(t.f.texts().back(), c.message);
}

INSTANTIATE_TEST_SUITE_P(Answers, BlockRefusal,
                         testing::Values(RefusalCase{"WrongEcho", {0xFD, 0x07}, 1, "Unexpected block number."},
                                         RefusalCase{"NoBlockLength", {}, 0, "Erroneous response from the terminal."},
                                         RefusalCase{"ZeroBlockLength", {0, 0}, 0, "Erroneous response from the terminal."}),
                         [](const auto& info) { return info.param.name; });

TEST(FileBlockDownload, MissingFile)
{
    DownloadFixture t;
    EXPECT_FALSE(t.job->downloadFile(FileKind::Kernel, "none.bin"));
    EXPECT_EQ(t.f.texts().back(), "File not found");
}

TEST(FileHeader, LayoutByOffset)
{
    Bytes file = fileOf(300, 9);
    FileHeader h = buildFileHeader("KKK", file.data());
    EXPECT_EQ(h[0], 0x6A);
    EXPECT_EQ(std::string(h.begin() + 1, h.begin() + 4), "KKK");
    EXPECT_TRUE(std::equal(h.begin() + 4, h.begin() + 107, file.begin() + 7));
    EXPECT_TRUE(std::all_of(h.begin() + 107, h.begin() + 127, [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(h[127], 0xBC);
    EXPECT_TRUE(std::equal(h.begin() + 128, h.end(), file.begin() + 153));
}

} // namespace
