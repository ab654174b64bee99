// The bootstrap-family load against a terminal played on a pseudo-terminal: the file
// checks, the BIOS console, the RAM bootstrap upload and handshake, the already-running
// cases and the closing command.
#include "engine/JobFixture.h"
#include "engine/PtyJob.h"
#include "engine/ScriptedTerminal.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <termios.h>

namespace {

const std::string kRamboot = ":040000001122334452\r\n:00000001FF\r\n";

// The description names ramboot.hex unless the case names a RAM bootstrap of its own.
std::string bootstrapDescription(const std::string& system, const std::string& extra)
{
    std::string ramboot = system.find("RAMBOOT=") == std::string::npos ? "RAMBOOT=ramboot.hex\n" : "";
    return "[SYSTEM]\nPROTOCOL=CORVANTIS\n" + ramboot + system + extra;
}

struct BootstrapFixture : PtyJob {
    explicit BootstrapFixture(const std::string& system, const std::string& extra = "")
        : PtyJob(bootstrapDescription(system, extra))
    {
        f.writeApp("ramboot.hex", kRamboot);
    }
};

// The console part of the terminal: CR and '?' from the station, answered with answer.
void answerPromptRequest(ScriptedTerminal& s, std::optional<std::uint8_t> answer)
{
    EXPECT_EQ(s.readByte(), 0x0D);
    EXPECT_EQ(s.readByte(1500), '?');
    if (answer)
        s.send(*answer);
}

void closeLoad(ScriptedTerminal& s)
{
    EXPECT_EQ(s.readPayload(), ScriptedTerminal::bytesOf("14"));
    s.answer("0014");
    EXPECT_EQ(s.readByte(), 0x06);
}

struct FileCase {
    const char* name;
    const char* system;
    const char* message;
};

class BootstrapFileCheck : public testing::TestWithParam<FileCase> {};

TEST_P(BootstrapFileCheck, FailsBeforeAnythingIsSent)
{
    const FileCase& c = GetParam();
    BootstrapFixture t(c.system);
    t.f.writeApp("k.bin", std::string(400, 'k'));
    {
        ScriptedTerminal term(t.pty, [](ScriptedTerminal& s) { EXPECT_TRUE(s.quiet(200)); });
        EXPECT_FALSE(t.job->loadBootstrapFamily());
    }
    EXPECT_EQ(t.f.texts().back(), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BootstrapFileCheck,
    testing::Values(FileCase{"Ramboot", "RAMBOOT=none.hex\n", "RAMBOOT file not found."},
                    FileCase{"Guarantee", "GUARANTEE=none.bin\nCONFIG=k.bin\n", "Configuration file doesn't found."},
                    FileCase{"Config", "CONFIG=none.bin\n", "Configuration file doesn't found."},
                    FileCase{"Prekernel", "PREKERNEL=none.bin\n", "PreKernel file not found."},
                    FileCase{"Kernel", "PREKERNEL=k.bin\nKERNEL=none.bin\n", "Kernel file not found."},
                    FileCase{"OtherKey", "KERNEL=k.bin\n[APP]\nFILE=k.bin\n", "Invalid command for CORVANTIS terminals."},
                    FileCase{"LowerCaseKey", "[APP]\nprogram=k.bin\n", "Invalid command for CORVANTIS terminals."},
                    FileCase{"App", "[APP]\nPROGRAM=k.bin\nPROGRAM=none.bin\n", "Application file doesn't found."}),
    [](const auto& info) { return info.param.name; });

TEST(BootstrapFamilyLoad, BootstrapAlreadyRunningSkipsTheUpload)
{
    BootstrapFixture t("");
    {
        ScriptedTerminal term(t.pty, [](ScriptedTerminal& s) {
            answerPromptRequest(s, '>');
            EXPECT_EQ(s.readByte(), 'q');
            s.send('q');
            closeLoad(s);
        });
        EXPECT_TRUE(t.job->loadBootstrapFamily());
    }
    EXPECT_TRUE(t.said("Warning: RAM Bootstrap is already downloaded."));
    EXPECT_TRUE(t.said("Finishing download..."));
    EXPECT_EQ(t.f.texts().back(), "Complete downloading.");
}

TEST(BootstrapFamilyLoad, RunningBootstrapMustEchoQ)
{
    BootstrapFixture t("");
    {
        ScriptedTerminal term(t.pty, [](ScriptedTerminal& s) {
            answerPromptRequest(s, '>');
            EXPECT_EQ(s.readByte(), 'q');
            s.send('x');
        });
        EXPECT_FALSE(t.job->loadBootstrapFamily());
    }
    EXPECT_EQ(t.f.texts().back(), "RAMBOOT doesn't echoes 'q' command.");
}

TEST(BootstrapFamilyLoad, SevenByteBannerIsNoLoadingStateAndNoBootstrapAnswers)
{
    BootstrapFixture t("");
    {
        ScriptedTerminal term(t.pty, [](ScriptedTerminal& s) {
            answerPromptRequest(s, std::nullopt);
            EXPECT_EQ(s.readByte(), 0x0D);
            s.send(ScriptedTerminal::bytesOf("FFFFFFF")); // seven bytes: never loading state
            EXPECT_EQ(s.readByte(), 0x06);
            for (int i = 0; i < 9; ++i) { // the probe "10" is refused every time
                EXPECT_EQ(s.readPayload(), ScriptedTerminal::bytesOf("10"));
                s.send(0x15);
            }
        });
        EXPECT_FALSE(t.job->loadBootstrapFamily());
    }
    EXPECT_TRUE(t.said("The terminal isn't in loading state."));
    EXPECT_EQ(t.f.texts().back(), "The terminal isn't in loading state.");
}

TEST(BootstrapFamilyLoad, BootstrapInProtocolModeAnswersTheProbe)
{
    BootstrapFixture t("");
    {
        ScriptedTerminal term(t.pty, [](ScriptedTerminal& s) {
            answerPromptRequest(s, std::nullopt);
            EXPECT_EQ(s.readByte(), 0x0D);
            EXPECT_EQ(s.readByte(), 0x06);
            EXPECT_EQ(s.readPayload(), ScriptedTerminal::bytesOf("10"));
            s.answer("0010");
            s.readByte();
            closeLoad(s);
        });
        EXPECT_TRUE(t.job->loadBootstrapFamily());
    }
    EXPECT_TRUE(t.said("Warning: RAM Bootstrap is already downloaded."));
}

TEST(BootstrapFamilyLoad, UploadsTheRamBootstrapAndWakesItOnItsLineSettings)
{
    BootstrapFixture t("RBDELAY=120ms\n", "[COMMUNICATION]\nBIOS=9600\nRAMBOOT=57600,N,8,2\n");
    speed_t bootstrapSpeed = 0;
    tcflag_t bootstrapStop = 0;
    std::string upload;
    {
        ScriptedTerminal term(t.pty, [&](ScriptedTerminal& s) {
            answerPromptRequest(s, std::nullopt);
            EXPECT_EQ(s.readByte(), 0x0D);
            s.send(ScriptedTerminal::bytesOf("\r\nBIOS F-LOAD\r\n")); // 'F' eight bytes before the end
            while (upload.size() < kRamboot.size()) {
                auto b = s.readByte(2000);
                if (!b)
                    break;
                upload += static_cast<char>(*b);
            }
            EXPECT_EQ(s.readByte(3000), 0x0D); // after the wait and the reopening
            termios line{};
            ::tcgetattr(t.pty.master(), &line);
            bootstrapSpeed = ::cfgetospeed(&line);
            bootstrapStop = line.c_cflag & CSTOPB;
            EXPECT_EQ(s.readByte(1500), '?');
            s.send('>');
            EXPECT_EQ(s.readByte(), 'q');
            s.send('q');
            closeLoad(s);
        });
        EXPECT_TRUE(t.job->loadBootstrapFamily());
    }
    EXPECT_EQ(upload, kRamboot); // end-of-file record included
    EXPECT_EQ(bootstrapSpeed, B57600);
    EXPECT_EQ(bootstrapStop, static_cast<tcflag_t>(CSTOPB));
    EXPECT_TRUE(t.said("RAMBOOT downloading... (ramboot.hex)"));
    EXPECT_TRUE(t.said("Waiting RAMBOOT start-up..."));
}

TEST(BootstrapFamilyLoad, StartedBootstrapThatDoesNotAnswer)
{
    BootstrapFixture t("", "[COMMUNICATION]\nRAMBOOT=57600\n");
    {
        ScriptedTerminal term(t.pty, [&](ScriptedTerminal& s) {
            answerPromptRequest(s, std::nullopt);
            EXPECT_EQ(s.readByte(), 0x0D);
            s.send(ScriptedTerminal::bytesOf("xxF1234567"));
            while (s.readByte(1500)) {
            } // the upload and the unanswered prompt request
        });
        EXPECT_FALSE(t.job->loadBootstrapFamily());
    }
    EXPECT_EQ(t.f.texts().back(), "The RAMBOOT doesn't answer.");
}

TEST(BootstrapFamilyLoad, RefusedBootstrapLineSettings)
{
    BootstrapFixture t("", "[COMMUNICATION]\nRAMBOOT=57600,x\n");
    {
        ScriptedTerminal term(t.pty, [&](ScriptedTerminal& s) {
            answerPromptRequest(s, std::nullopt);
            EXPECT_EQ(s.readByte(), 0x0D);
            s.send(ScriptedTerminal::bytesOf("12F4567890"));
            while (s.readByte(1000)) {
            } // the upload
        });
        EXPECT_FALSE(t.job->loadBootstrapFamily());
    }
    EXPECT_EQ(t.f.texts().back(), "Invalid RAMBOOT communication parameters.");
}

} // namespace
