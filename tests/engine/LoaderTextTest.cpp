// The ticket title and the text line reader of the Intel HEX download.
#include "loader/TextLineReader.h"
#include "loader/TicketTitle.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;

namespace {

TEST(TicketTitle, CentresThePortNameInTwentyFourStars)
{
    EXPECT_EQ(ticketTitle("COM1"), "********* COM1 *********");
    EXPECT_EQ(ticketTitle("COM10"), "******** COM10 *********");
    EXPECT_EQ(ticketTitle("/dev/ttyUSB0"), "***** /dev/ttyUSB0 *****");
    EXPECT_EQ(ticketTitle(std::string(22, 'x')), " " + std::string(22, 'x') + " ");
    EXPECT_EQ(ticketTitle(std::string(23, 'x')), std::string(23, 'x'));
    EXPECT_EQ(ticketTitle(std::string(30, 'x')), std::string(30, 'x'));
    for (int n = 0; n <= 22; ++n)
        EXPECT_EQ(ticketTitle(std::string(static_cast<std::size_t>(n), 'x')).size(), 24u) << n;
}

std::vector<std::string> linesOf(const std::string& content)
{
    TempDir dir;
    TextLineReader reader;
    EXPECT_TRUE(reader.open(dir.write("f.txt", content)));
    std::vector<std::string> lines;
    for (std::string line; reader.next(line);)
        lines.push_back(line);
    return lines;
}

TEST(TextLineReader, EveryLineEndFormEndsALine)
{
    EXPECT_THAT(linesOf("a\r\nb\nc\rd"), ElementsAre("a", "b", "c", "d"));
    EXPECT_THAT(linesOf("\n\r\n\r"), ElementsAre("", "", ""));
    EXPECT_THAT(linesOf(""), ElementsAre());
    EXPECT_THAT(linesOf("x\n"), ElementsAre("x"));
    EXPECT_THAT(linesOf("a\r\r\nb"), ElementsAre("a", "", "b"));
}

TEST(TextLineReader, LinesAcrossTheBufferAndLongerThanIt)
{
    std::string longLine(200000, 'L');
    std::string content;
    std::vector<std::string> expected;
    for (int i = 0; i < 5000; ++i) {
        expected.push_back(std::to_string(i) + std::string(static_cast<std::size_t>(i % 50), 'x'));
        content += expected.back() + (i % 2 ? "\r\n" : "\n");
    }
    expected.push_back(longLine);
    content += longLine + "\r";
    expected.push_back("tail");
    content += "\ntail";
    EXPECT_EQ(linesOf(content), expected);
}

TEST(TextLineReader, DirectoriesAndMissingFilesDoNotOpen)
{
    TempDir dir;
    TextLineReader reader;
    EXPECT_FALSE(reader.open(dir.path()));
    EXPECT_FALSE(reader.open(dir.file("missing")));
}

} // namespace
