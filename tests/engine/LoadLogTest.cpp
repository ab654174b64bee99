// What the load log holds at each level, and the rendering of bytes.
#include "engine/JobFixture.h"
#include "loader/RenderBytes.h"
#include "support/PtyPair.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using testing::ElementsAre;

namespace {

struct LevelCase {
    const char* level;
    bool info;
    bool output;
};

class LoadLogLevel : public testing::TestWithParam<LevelCase> {};

TEST_P(LoadLogLevel, WritesTheLinesOfItsLevel)
{
    const LevelCase& c = GetParam();
    JobFixture f;
    PtyPair pty;
    pty.startCollecting();
    f.set("RegistroNivel", c.level);
    f.writeApp("a.hex", ":00000001FF\r\n");
    f.selectModel("M.app", "[SYSTEM]\nPROTOCOL=INTELHEX\n[APP]\nPROGRAM=a.hex\n");
    ASSERT_EQ(f.runJob("P1"), -1); // P1 is no device: only the milestone and the error
    ASSERT_EQ(f.runJob(pty.slavePath()), 0);

    std::vector<std::string> expected = {"P1 CARGA: Beginning download...", "P1 ERROR: The selected Port cannot be opened.",
                                         pty.slavePath() + " CARGA: Beginning download..."};
    if (c.info)
        expected.push_back(pty.slavePath() + " Application downloading... a.hex");
    if (c.output)
        expected.push_back(pty.slavePath() + " OUTPUT: 3A 30 30 30 30 30 30 30 31 46 46 0D 0A");
    if (c.info)
        expected.push_back(pty.slavePath() + " Complete downloading.");
    expected.push_back(pty.slavePath() + " CARGA: Carga finalizada.");
    EXPECT_EQ(f.logLines(), expected);
}

INSTANTIATE_TEST_SUITE_P(Levels, LoadLogLevel,
                         testing::Values(LevelCase{"-1", false, false}, LevelCase{"0", false, false},
                                         LevelCase{"1", true, false}, LevelCase{"2", true, true},
                                         LevelCase{"3", true, false}, LevelCase{"4", true, true},
                                         LevelCase{"7", true, true}),
                         [](const auto& info) {
                             std::string level = info.param.level;
                             return level[0] == '-' ? "Minus" + level.substr(1) : "Level" + level;
                         });

TEST(LoadLog, SwitchedOffWritesNothingButStillReports)
{
    JobFixture f;
    f.set("RegistroRadio", "0");
    f.set("ImpresionRadio", "1");
    auto job = f.makeJob("P1");
    EXPECT_FALSE(job->run());
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("load.log")));
    EXPECT_EQ(f.texts().back(), "Invalid downloading file.");
    EXPECT_EQ(job->ticketLines().back(), "ERROR: Invalid downloading file.");
}

TEST(LoadLog, ByteLogsFollowTheLevel)
{
    struct Case {
        const char* level;
        bool input, output;
    } cases[] = {{"0", false, false}, {"1", false, false}, {"2", false, true},
                 {"3", true, false},  {"4", true, true},   {"9", true, true}};
    for (const Case& c : cases) {
        JobFixture f;
        f.set("RegistroNivel", c.level);
        auto job = f.makeJob("COM1");
        job->run(); // reads the switch and the level, then fails: no model
        std::filesystem::remove(f.dir.file("load.log"));
        const std::uint8_t ack = 0x06;
        job->logOutput(ack);
        job->logInput(ack);
        job->logInput(&ack, 0);
        std::vector<std::string> expected;
        if (c.output)
            expected.push_back("COM1 OUTPUT: <ACK>");
        if (c.input)
            expected.push_back("COM1 INPUT: <ACK>");
        EXPECT_EQ(f.logLines(), expected) << "level " << c.level;
    }
}

TEST(RenderBytes, NamesTheControlBytesAndWritesTheRestInHex)
{
    const std::uint8_t frame[] = {0x10, 0x02, 0x31, 0x30, 0x10, 0x03, 0x12};
    EXPECT_EQ(renderBytes(frame, sizeof frame), "<DLE> <STX> 31 30 <DLE> <ETX> 12");
    const std::uint8_t others[] = {0x06, 0x15, 0x0A, 0xFF, 0x7F, 0x1B, 0x00};
    EXPECT_EQ(renderBytes(others, sizeof others), "<ACK> <NAK> 0A FF 7F 1B 00");
    EXPECT_EQ(renderBytes(others, 0), "");
}

} // namespace
