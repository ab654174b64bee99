// The terminal before the link protocol: the BIOS console with its banner, the RAM
// bootstrap uploaded as Intel HEX text, and the bootstrap's console heard only at its
// own line settings; and the terminals found with a bootstrap already running.
#include "sim/TerminalFixture.h"

using namespace simtest;

namespace {

using TerminalConsole = TerminalFixture;

// The byte count places before the end of the text, or 0 when it is shorter.
char placesBeforeEnd(const std::string& text, std::size_t count)
{
    return text.size() >= count ? text[text.size() - count] : '\0';
}

TEST_F(TerminalConsole, BiosBannerCarriesTheLoadingMarkOnlyInLoadingState)
{
    struct Case {
        std::vector<std::string> arguments;
        bool loading;
    };
    for (const auto& c : {Case{{}, true}, Case{{"--bios-idle"}, false}}) {
        ASSERT_NO_FATAL_FAILURE(start(c.arguments, B38400));
        station->send("\r");
        std::string banner = station->readUntilQuiet();
        ASSERT_GE(banner.size(), 8u) << hex(banner);
        if (c.loading) {
            EXPECT_EQ(placesBeforeEnd(banner, 8), 'F') << banner;
        } else {
            EXPECT_NE(placesBeforeEnd(banner, 8), 'F') << banner;
            EXPECT_NE(placesBeforeEnd(banner, 7), 'F') << banner;
        }
        station->send("?");
        EXPECT_EQ(station->readUntilQuiet(), "") << "the BIOS has no prompt";
    }
}

TEST_F(TerminalConsole, RamBootstrapUploadedAsHexTextAnswersOnlyAtItsOwnLineSettings)
{
    ASSERT_NO_FATAL_FAILURE(
        start({"--files", files, "--ramboot-line", "57600,N,8,2", "--boot-delay", "1500"}, B9600));
    const std::string upload = ":020000040000FA\r\n:10000000214601360121470136007EFE09D2190140\r\n"
                               ":00000001FF\r\n";
    station->send("\r");
    ASSERT_NE(station->readUntilQuiet(), "");
    station->send(upload);

    // Still starting: even at the right settings nothing answers yet.
    ASSERT_TRUE(station->setSpeed(B57600, CS8 | CSTOPB));
    station->send("?");
    EXPECT_EQ(station->readUntilQuiet(150, 1000), "") << "answered before its start-up delay ended";
    ASSERT_TRUE(waitForLog("ramboot running at 57600,N,8,2"));

    // The right speed with one stop bit, and another speed: lost on the way.
    for (auto [speed, flags] : {std::pair{B57600, CS8}, std::pair{B115200, CS8 | CSTOPB}}) {
        ASSERT_TRUE(station->setSpeed(speed, flags));
        station->send("?");
        EXPECT_EQ(station->readUntilQuiet(), "");
        station->send("q");
        EXPECT_EQ(station->readUntilQuiet(), "");
    }

    ASSERT_TRUE(station->setSpeed(B57600, CS8 | CSTOPB));
    station->send("\r");
    EXPECT_EQ(station->readUntilQuiet(), "") << "the bootstrap ignores CR";
    station->send("?");
    EXPECT_EQ(station->read(1), ">");
    station->send("q");
    EXPECT_EQ(station->read(1), "q");
    EXPECT_EQ(station->exchange("10"), ACK + frameOf("0010"));

    EXPECT_EQ(readWholeFile(files + "/ramboot.hex"), upload);
}

TEST_F(TerminalConsole, BootstrapAlreadyRunningShowsItsPrompt)
{
    ASSERT_NO_FATAL_FAILURE(start({"--bootstrap-running"}));
    station->send("?");
    EXPECT_EQ(station->read(1), ">");
    station->send("q");
    EXPECT_EQ(station->read(1), "q");
    EXPECT_EQ(station->exchange("10"), ACK + frameOf("0010"));
}

TEST_F(TerminalConsole, ProtocolAlreadyRunningIgnoresTheConsoleAndAnswersTheProbe)
{
    ASSERT_NO_FATAL_FAILURE(start({"--protocol-running"}));
    // What the station sends to find out where the terminal is.
    station->send("\r");
    EXPECT_EQ(station->readUntilQuiet(), "") << "no BIOS banner";
    station->send("?");
    EXPECT_EQ(station->readUntilQuiet(), "") << "no bootstrap prompt";
    station->send("\r");
    EXPECT_EQ(station->readUntilQuiet(), "");
    station->send(std::string(1, ACK));
    EXPECT_EQ(station->readUntilQuiet(), "") << "a stray ACK is not answered";
    // "10" as it travels on the line; the answer is ACK and the frame of "0010".
    station->send(bytes({0x10, 0x02, 0x31, 0x30, 0x10, 0x03, 0x12}));
    EXPECT_EQ(hex(station->readFrame()), hex(bytes({0x06, 0x10, 0x02, 0x30, 0x30, 0x31, 0x30, 0x10, 0x03, 0x12})));
}

} // namespace
