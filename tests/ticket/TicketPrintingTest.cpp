// Tickets as the printer receives them: whole tickets after successful and failed loads,
// the printer's settings, the cutting of long lines, and tickets of ports that end
// together.
#include "engine/JobFixture.h"
#include "loader/TicketTitle.h"
#include "platform/CodePage.h"
#include "platform/SerialDevice.h"
#include "support/PtyPair.h"
#include "ticket/TicketPrinter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <mutex>
#include <termios.h>
#include <thread>
#include <vector>

namespace {

const std::string kStars(24, '*');
const std::string kFailureTrailer = "!+!+!+!+!+!+!+!+!+!+!+!+";

// An Intel HEX model whose load sends a single end record.
void selectHexModel(JobFixture& f, const std::string& code, const std::string& desc,
                    const std::string& protocol = "INTELHEX")
{
    f.writeApp("a.hex", ":00000001FF\r\n");
    f.selectModel("Fam/M1.app", "[MODEL]\nCODE=" + code + "\nDESC=" + desc + "\n[SYSTEM]\nPROTOCOL=" + protocol +
                                    "\n[APP]\nPROGRAM=a.hex\n");
}

std::string cp1252(const char* utf8)
{
    return platform::toCp1252FromUtf8IfValid(utf8);
}

bool reported(JobFixture& f, const std::string& text)
{
    auto texts = f.texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(TicketPrinting, SuccessfulLoadPrintsTheWholeTicketFoldedAndCut)
{
    JobFixture f;
    PtyPair terminal, printer;
    terminal.startCollecting();
    printer.startCollecting();
    f.setPrinter(printer.slavePath(), "24");
    selectHexModel(f, cp1252("HX·1"), cp1252("Caja rápida con ñandú   ¿sí? £"));
    auto job = f.makeJob(terminal.slavePath());
    ASSERT_TRUE(job->run());

    const std::string expected = printedBytes({
        ticketTitle(terminal.slavePath()),
        "HX.1",
        "Caja rapida con nandu...", // cut after 21 characters
        "?si? \x9c",                // the blanks after the cut dropped; the pound sign in CP850
        kStars,
        "CARGA: Beginning down...",
        "load...",
        "Application downloadi...",
        "ng... a.hex",
        "Complete downloading.",
        "CARGA: Carga finalizada.", // exactly 24 characters: whole
        kStars,
        "", "", "", "",
    });
    ASSERT_TRUE(printer.waitCollected(expected.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // nothing more may follow
    EXPECT_EQ(printer.collected(), expected);
    EXPECT_EQ(f.texts().back(), "Carga finalizada.");
}

TEST(TicketPrinting, FailedLoadPrintsItsTrailerAndWithoutAWidthWholeLines)
{
    JobFixture f;
    PtyPair terminal, printer;
    printer.startCollecting();
    // A port name too long to sit between the stars is the title by itself.
    const std::string port = f.dir.file("terminal-line-of-bench-7");
    std::filesystem::create_symlink(terminal.slavePath(), port);
    ASSERT_GT(port.size(), 22u);
    f.setPrinter(printer.slavePath(), ""); // no ImpresionColumnas: reads 0
    selectHexModel(f, "HX1", cp1252("Terminal de pago ñandú, modelo de mostrador con lector"), "intelhex");
    auto job = f.makeJob(port);
    EXPECT_FALSE(job->run());

    const std::string expected = printedBytes({
        port,
        "HX1",
        "Terminal de pago nandu, modelo de mostrador con lector",
        kStars,
        "CARGA: Beginning download...",
        "ERROR: Protocol not supported.",
        kFailureTrailer,
        "", "", "", "",
    });
    ASSERT_TRUE(printer.waitCollected(expected.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(printer.collected(), expected);
    EXPECT_EQ(f.texts().back(), "Protocol not supported.");
}

TEST(TicketPrinting, InvalidPrinterSpeedFailsASuccessfulLoad)
{
    JobFixture f;
    PtyPair terminal, printer;
    terminal.startCollecting();
    f.setPrinter(printer.slavePath());
    f.set("ImpresionVelocidad", "4800");
    selectHexModel(f, "HX1", "Desk unit");
    auto job = f.makeJob(terminal.slavePath());
    EXPECT_FALSE(job->run());
    EXPECT_TRUE(reported(f, "Carga finalizada."));
    EXPECT_EQ(f.texts().back(), "Invalid parameters of impression.");
    EXPECT_TRUE(nothingPrinted(printer));
    EXPECT_THAT(f.logLines(), testing::Contains(terminal.slavePath() + " ERROR: Invalid parameters of impression."));
}

struct InvalidSetting {
    const char* name;
    const char* key;
    const char* value;
};

class TicketPrinterSettingRefused : public testing::TestWithParam<InvalidSetting> {};

// The lists are compared exactly: no other spelling, no blanks, nothing the serial
// port would take but the printer does not.
TEST_P(TicketPrinterSettingRefused, ReportsInvalidParametersAndPrintsNothing)
{
    const InvalidSetting& c = GetParam();
    JobFixture f;
    PtyPair printer;
    f.setPrinter(printer.slavePath());
    f.set(c.key, c.value);
    auto job = f.makeJob("ttyT0");
    job->readSettings();
    job->addTicketLine("line");
    EXPECT_FALSE(job->printTicket());
    EXPECT_EQ(f.texts().back(), "Invalid parameters of impression.");
    EXPECT_TRUE(nothingPrinted(printer));
}

INSTANTIATE_TEST_SUITE_P(
    Values, TicketPrinterSettingRefused,
    testing::Values(InvalidSetting{"Speed4800", "ImpresionVelocidad", "4800"},
                    InvalidSetting{"Speed128000", "ImpresionVelocidad", "128000"},
                    InvalidSetting{"Speed256000", "ImpresionVelocidad", "256000"},
                    InvalidSetting{"SpeedEmpty", "ImpresionVelocidad", ""},
                    InvalidSetting{"SpeedTrailingBlank", "ImpresionVelocidad", "9600 "},
                    InvalidSetting{"SpeedLeadingZero", "ImpresionVelocidad", "09600"},
                    InvalidSetting{"ParityLowerCase", "ImpresionParidad", "n"},
                    InvalidSetting{"ParityEmpty", "ImpresionParidad", ""},
                    InvalidSetting{"ParityWord", "ImpresionParidad", "None"},
                    InvalidSetting{"StopQuote", "ImpresionStop", "1'5"},
                    InvalidSetting{"StopFifteen", "ImpresionStop", "15"},
                    InvalidSetting{"StopFive", "ImpresionStop", "5"},
                    InvalidSetting{"StopEmpty", "ImpresionStop", ""},
                    InvalidSetting{"BitsNine", "ImpresionBits", "9"},
                    InvalidSetting{"BitsFour", "ImpresionBits", "4"},
                    InvalidSetting{"BitsEmpty", "ImpresionBits", ""}),
    [](const auto& info) { return info.param.name; });

TEST(TicketPrinting, PrinterPortThatCannotBeOpenedFailsAndFreesThePrinter)
{
    for (const char* port : {"", "/nonexistent/ttyPRN"}) {
        JobFixture f;
        f.setPrinter(port);
        auto job = f.makeJob("ttyT0");
        job->readSettings();
        job->addTicketLine("line");
        EXPECT_FALSE(job->printTicket()) << port;
        EXPECT_EQ(f.texts().back(), "It has not been possible to open the printer port.") << port;
        // Another port's ticket can take the printer at once.
        auto other = std::async(std::launch::async, [&] {
            std::unique_lock lock(f.document.printerLock(), std::try_to_lock);
            return lock.owns_lock();
        });
        EXPECT_TRUE(other.get()) << port;
    }
}

TEST(TicketPrinting, PrinterLineTakesTheSettings)
{
    struct Case {
        const char* speed;
        const char* stop;
        const char* parity;
        const char* bits;
        const char* cts;
        const char* xoff;
        int rate;
        bool twoStopBits, ctsFlow, xonXoff;
    } cases[] = {
        {"110", "1", "N", "8", "0", "0", 110, false, false, false},
        {"14400", "1.5", "E", "7", "1", "0", 14400, true, true, false},
        {"56000", "2", "M", "6", "0", "1", 56000, true, false, true},
        {"115200", "1", "S", "5", "1", "1", 115200, false, true, true},
        {"9600", "2", "O", "8", "0", "0", 9600, true, false, false},
    };
    for (const Case& c : cases) {
        JobFixture f;
        PtyPair printer;
        printer.startCollecting();
        f.setPrinter(printer.slavePath());
        f.set("ImpresionVelocidad", c.speed);
        f.set("ImpresionStop", c.stop);
        f.set("ImpresionParidad", c.parity);
        f.set("ImpresionBits", c.bits);
        f.set("ImpresionCts", c.cts);
        f.set("ImpresionXoff", c.xoff);
        auto job = f.makeJob("ttyT0");
        job->readSettings();
        job->addTicketLine("x");
        ASSERT_TRUE(job->printTicket()) << c.speed;
        EXPECT_TRUE(printer.waitCollected(3)) << c.speed;
        EXPECT_EQ(printer.collected(), "x\r\n") << c.speed;
        // The line keeps what the printer port set; a pseudo-terminal shows the rate,
        // the stop bits and the flow control (it always keeps 8 bits, no parity).
        termios t{};
        ASSERT_EQ(::tcgetattr(printer.master(), &t), 0);
        EXPECT_EQ(platform::lineRate(printer.master()), c.rate) << c.speed;
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStopBits) << c.speed;
        EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, c.ctsFlow) << c.speed;
        EXPECT_EQ((t.c_iflag & IXON) != 0, c.xonXoff) << c.speed;
        EXPECT_EQ(t.c_iflag & IXOFF, 0u) << c.speed;
    }
}

TEST(TicketPrinting, LinesAreCutToTheWidth)
{
    struct Case {
        const char* width;
        std::string line;
        std::string printed;
    } cases[] = {
        {"10", "abcdefghijklmnopqrstuvwxy", printedBytes({"abcdefg...", "hijklmn...", "opqrstu...", "vwxy"})},
        {"10", "abcdefghij", printedBytes({"abcdefghij"})},
        {"10", "abcdefghijk", printedBytes({"abcdefg...", "hijk"})},
        {"10", "abcdefg   hijklm", printedBytes({"abcdefg...", "hijklm"})},
        {"10", "abcdefg       hijklmnop", printedBytes({"abcdefg...", "...", "hijklmnop"})},
        {"10", "   abc", printedBytes({"abc"})},
        {"10", "      ", printedBytes({""})},
        {"10", "", printedBytes({""})},
        {"4", "abcdef", printedBytes({"a...", "b...", "cdef"})},
        // Below 4 columns the cutting cannot work: every line is printed whole.
        {"3", "abcdefghijklmnop", printedBytes({"abcdefghijklmnop"})},
        {"1", "abcdef", printedBytes({"abcdef"})},
        {"-8", "abcdef", printedBytes({"abcdef"})},
        {"0", "  abcdef", printedBytes({"abcdef"})},
    };
    for (const Case& c : cases) {
        JobFixture f;
        PtyPair printer;
        printer.startCollecting();
        f.setPrinter(printer.slavePath(), c.width);
        auto job = f.makeJob("ttyT0");
        job->readSettings();
        job->addTicketLine(c.line);
        ASSERT_TRUE(job->printTicket());
        EXPECT_TRUE(printer.waitCollected(c.printed.size()));
        EXPECT_EQ(printer.collected(), c.printed) << "width " << c.width << ": '" << c.line << "'";
    }
}

TEST(TicketPrinting, TwoPortsEndingTogetherPrintTwoWholeTicketsOneAfterTheOther)
{
    JobFixture f;
    PtyPair terminalA, terminalB, printer;
    terminalA.startCollecting();
    terminalB.startCollecting();
    printer.startCollecting();
    f.setPrinter(printer.slavePath());
    selectHexModel(f, "HX1", "Desk unit");
    auto recordB = std::make_shared<RecordingProgress::Record>();
    auto jobA = f.makeJob(terminalA.slavePath());
    auto jobB = std::make_unique<DownloadJob>(terminalB.slavePath(), f.document, std::make_unique<RecordingProgress>(recordB));
    auto ticketOf = [](const std::string& port) {
        return printedBytes({ticketTitle(port), "HX1", "Desk unit", kStars, "CARGA: Beginning download...",
                             "Application downloading... a.hex", "Complete downloading.", "CARGA: Carga finalizada.",
                             kStars, "", "", "", ""});
    };
    const std::string a = ticketOf(terminalA.slavePath());
    const std::string b = ticketOf(terminalB.slavePath());

    std::atomic<bool> resultA{false}, resultB{false};
    auto finished = [](RecordingProgress::Record& record) {
        std::scoped_lock lock(record.mutex);
        return std::find(record.texts.begin(), record.texts.end(), "Carga finalizada.") != record.texts.end();
    };
    {
        // The printer is busy until both loads have ended, so both tickets wait for it
        // at the same time. The lock goes before the threads are joined.
        std::vector<std::jthread> runs;
        std::unique_lock busy(f.document.printerLock());
        runs.emplace_back([&] { resultA = jobA->run(); });
        runs.emplace_back([&] { resultB = jobB->run(); });
        platform::Deadline limit(10000);
        while (!(finished(*f.progress) && finished(*recordB)) && !limit.expired())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_FALSE(limit.expired());
        busy.unlock();
    }
    EXPECT_TRUE(resultA);
    EXPECT_TRUE(resultB);
    ASSERT_TRUE(printer.waitCollected(a.size() + b.size()));
    const std::string printed = printer.collected();
    EXPECT_TRUE(printed == a + b || printed == b + a) << printed;
}

} // namespace
