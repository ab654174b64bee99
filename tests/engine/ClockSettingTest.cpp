// The clock dialogue after a load, against a terminal played on a pseudo-terminal.
#include "engine/JobFixture.h"
#include "engine/PtyJob.h"
#include "engine/ScriptedTerminal.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <ctime>
#include <termios.h>

namespace {

struct ClockFixture : PtyJob {
    explicit ClockFixture(const std::string& timeset = "")
        : PtyJob("[SYSTEM]\nPROTOCOL=CORVANTIS\n[COMMUNICATION]\nBIOS=115200\nTIMESET=" + timeset + "\n")
    {
    }
};

// The restarted terminal announces itself with 'T' until the station's '?' comes.
void announceUntilQueried(ScriptedTerminal& s, std::uint8_t announcement = 'T')
{
    for (int i = 0; i < 100; ++i) {
        s.send(announcement);
        if (auto b = s.readByte(50); b == '?')
            return;
    }
    ADD_FAILURE() << "the station never queried";
}

std::string digitsNow(std::time_t when)
{
    char text[16];
    std::tm local{};
    ::localtime_r(&when, &local);
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
    return text;
}

TEST(ClockSetting, WakesTheTerminalAndSendsFourteenDigitsOfLocalTime)
{
    ClockFixture t("9600");
    ::setenv("TZ", "Asia/Kolkata", 1); // read afresh by the clock setting
    std::string digits;
    std::time_t before = std::time(nullptr);
    {
        ScriptedTerminal term(t.pty, [&](ScriptedTerminal& s) {
            announceUntilQueried(s);
            s.send('K');
            EXPECT_EQ(s.readByte(), 'D');
            s.send('D');
            for (int i = 0; i < 14; ++i)
                digits += static_cast<char>(s.readByte().value_or('x'));
            s.send('Y');
            EXPECT_TRUE(s.quiet(200)) << "no carriage return after the digits";
        });
        EXPECT_TRUE(t.job->setClock(5));
    }
    std::time_t after = std::time(nullptr);
    EXPECT_TRUE(digits == digitsNow(before) || digits == digitsNow(after)) << digits;
    termios line{};
    ASSERT_EQ(::tcgetattr(t.pty.master(), &line), 0);
    EXPECT_EQ(::cfgetospeed(&line), B9600); // the exchange's own line settings
    ::unsetenv("TZ");
    ::tzset();
}

TEST(ClockSetting, LowerCaseReadyIsAcceptedAfterQueriesGoUnanswered)
{
    ClockFixture t;
    {
        ScriptedTerminal term(t.pty, [&](ScriptedTerminal& s) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the station reopens its line
            s.send('T');
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(s.readByte(), '?'); // three unanswered queries
            // Once the last query's answer time has passed, the next 'T' starts three new ones.
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
            s.send('T');
            EXPECT_EQ(s.readByte(), '?');
            s.send('k');
            EXPECT_EQ(s.readByte(), 'D');
            s.send('D');
            for (int i = 0; i < 14; ++i)
                s.readByte();
            s.send('Y');
        });
        EXPECT_TRUE(t.job->setClock(10));
    }
}

struct ClockFailure {
    const char* name;
    std::string terminalSays; // bytes the terminal sends, one per station byte read
    const char* message;
};

class ClockRefusal : public testing::TestWithParam<ClockFailure> {};

TEST_P(ClockRefusal, ReportsWhyTheClockWasNotSet)
{
    const ClockFailure& c = GetParam();
    ClockFixture t;
    {
        ScriptedTerminal term(t.pty, [&](ScriptedTerminal& s) {
            const std::string& say = c.terminalSays;
            if (say[0] != 'T') {
                for (int i = 0; i < 15; ++i) {
                    s.send(static_cast<std::uint8_t>(say[0]));
                    EXPECT_FALSE(s.readByte(100).has_value()) << "woken by a wrong announcement";
                }
                return;
            }
            announceUntilQueried(s);
            s.send('K');
            s.readByte();
            if (say.size() > 1)
                s.send(static_cast<std::uint8_t>(say[1]));
            if (say.size() > 2) {
                for (int i = 0; i < 14; ++i)
                    s.readByte();
                s.send(static_cast<std::uint8_t>(say[2]));
            }
        });
        EXPECT_FALSE(t.job->setClock(1));
    }
    EXPECT_EQ(t.f.texts().back(), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClockRefusal,
    testing::Values(ClockFailure{"LowerCaseWakeUp", "t", "The terminal does not awake to assign the date."},
                    ClockFailure{"NoEcho", "T", "The terminal does not understand the commando to assign the date."},
                    ClockFailure{"WrongEcho", "TX", "The terminal does not understand the commando to assign the date."},
                    ClockFailure{"NotSet", "TDN", "The terminal has not been able to assign the date."}),
    [](const auto& info) { return info.param.name; });

TEST(ClockSetting, RefusedLineSettings)
{
    ClockFixture t("9600,n,8,1");
    EXPECT_FALSE(t.job->setClock(1));
    EXPECT_EQ(t.f.texts().back(), "BIOS communications parameters invalid.");
}

} // namespace
