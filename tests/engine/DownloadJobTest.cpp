// The job driver: what a download reads, in which order it reports, where it stops,
// and what its ticket holds.
#include "engine/JobFixture.h"
#include "support/PtyPair.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <termios.h>

using testing::ElementsAre;

namespace {

const char* const kHexModel = "[MODEL]\nCODE=HX1\nDESC=Desk unit\n[SYSTEM]\nPROTOCOL=INTELHEX\n";

TEST(DownloadJob, DescriptionWithoutSystemFailsBeforeOpeningAndPrintsNoTicket)
{
    JobFixture f;
    f.set("ImpresionRadio", "1");
    f.selectModel("Fam/M1.app", "[MODEL]\nCODE=X\n");
    auto job = f.makeJob("ttyNONE0");
    EXPECT_FALSE(job->run());
    EXPECT_THAT(job->ticketLines(), ElementsAre("******* ttyNONE0 *******", "X", "",
                                                std::string(24, '*'), "CARGA: Beginning download...",
                                                "ERROR: Invalid downloading file."));
    EXPECT_THAT(f.logLines(), ElementsAre("ttyNONE0 CARGA: Beginning download...", "ttyNONE0 ERROR: Invalid downloading file."));
}

TEST(DownloadJob, NoModelSelectedIsAnInvalidDescription)
{
    JobFixture f;
    EXPECT_EQ(f.runJob("ttyNONE0"), -1);
    EXPECT_THAT(f.texts(), ElementsAre("", "Beginning download...", "Invalid downloading file."));
    EXPECT_EQ(f.progress->finishes, 1);
    EXPECT_FALSE(f.progress->success);
}

struct FailureCase {
    const char* name;
    const char* description;
    const char* port;
    const char* message;
    bool ticketTrailer;
};

class DownloadJobFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(DownloadJobFailure, ReportsItsMessageAndTicketAsDescribed)
{
    const FailureCase& c = GetParam();
    JobFixture f;
    PtyPair pty;
    PtyPair printer;
    printer.startCollecting();
    f.setPrinter(printer.slavePath());
    f.selectModel("Fam/M1.app", c.description);
    std::string port = std::string(c.port) == "pty" ? pty.slavePath() : c.port;
    auto job = f.makeJob(port);
    EXPECT_FALSE(job->run());
    EXPECT_EQ(f.texts().back(), c.message);
    const auto& ticket = job->ticketLines();
    ASSERT_GE(ticket.size(), 6u);
    if (c.ticketTrailer) {
        ASSERT_EQ(ticket.size(), 11u);
        EXPECT_EQ(ticket[6], "!+!+!+!+!+!+!+!+!+!+!+!+");
        EXPECT_THAT(std::vector<std::string>(ticket.begin() + 7, ticket.end()), ElementsAre("", "", "", ""));
    } else {
        EXPECT_EQ(ticket.size(), 6u);
    }
    EXPECT_EQ(ticket[5], std::string("ERROR: ") + c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadJobFailure,
    testing::Values(
        FailureCase{"LowerCaseParity", "[SYSTEM]\nPROTOCOL=INTELHEX\n[COMMUNICATION]\nBIOS=9600,n,8,1\n", "pty",
                    "BIOS communications parameters invalid.", false},
        FailureCase{"PortMissing", "[SYSTEM]\nPROTOCOL=INTELHEX\n", "/nonexistent/ttyGONE", "The selected Port cannot be opened.", false},
        FailureCase{"LowerCaseProtocol", "[SYSTEM]\nPROTOCOL=intelhex\n", "pty", "Protocol not supported.", true},
        FailureCase{"EmptyProtocol", "[SYSTEM]\nPROTOCOL=\n", "pty", "Protocol not supported.", true},
        FailureCase{"NoProtocol", "[SYSTEM]\nCONFIG=x.hex\n", "pty", "Protocol not supported.", true}),
    [](const auto& info) { return info.param.name; });

TEST(DownloadJob, LineSettingsOfTheDescriptionReachTheLine)
{
    struct Case {
        const char* bios;
        speed_t speed;
        tcflag_t stopBits;
    } cases[] = {{"", B115200, 0}, {"9600", B9600, 0}, {"57600,E,7,2", B57600, CSTOPB}};
    for (const Case& c : cases) {
        JobFixture f;
        PtyPair pty;
        f.selectModel("M.app", std::string("[SYSTEM]\nPROTOCOL=NONE\n[COMMUNICATION]\nBIOS=") + c.bios + "\n");
        auto job = f.makeJob(pty.slavePath());
        job->run();
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.master(), &t), 0);
        EXPECT_EQ(::cfgetospeed(&t), c.speed) << c.bios;
        // A pseudo-terminal always keeps 8 data bits without parity; speed and stop bits show.
        EXPECT_EQ(t.c_cflag & CSTOPB, c.stopBits) << c.bios;
    }
}

TEST(DownloadJob, ExceptionInTheLoaderThreadIsReportedAndEndsTheJob)
{
    JobFixture f;
    f.progress->throwOnSetPos = true;
    EXPECT_EQ(f.runJob("ttyNONE0"), -1);
    EXPECT_EQ(f.texts().back(), "Sw exception in loader thread!");
    EXPECT_EQ(f.progress->finishes, 1);
    EXPECT_FALSE(f.progress->success);
}

TEST(DownloadJob, CancelAfterASuccessfulLoadStillFails)
{
    JobFixture f;
    PtyPair pty;
    pty.startCollecting();
    f.writeApp("a.hex", ":00000001FF\r\n");
    f.selectModel("M.app", std::string(kHexModel) + "[APP]\nPROGRAM=a.hex\n");
    // The cancel arrives once the protocol routine has finished its work.
    f.progress->cancelOnText = "Complete downloading.";
    auto job = f.makeJob(pty.slavePath());
    EXPECT_FALSE(job->run());
    auto texts = f.texts();
    EXPECT_EQ(texts.back(), "CANCELLED Process.  The equipment has not been loaded.");
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Carga finalizada."), 0);
}

TEST(DownloadJob, ApplicationPathJoinsTheApplicationsDirectory)
{
    JobFixture f;
    auto job = f.makeJob("ttyNONE0");
    f.set("DirAplic", "/srv/apps");
    EXPECT_EQ(job->applicationPath("k.hex"), "/srv/apps/k.hex");
    f.set("DirAplic", "/srv/apps/");
    EXPECT_EQ(job->applicationPath("k.hex"), "/srv/apps/k.hex");
    EXPECT_EQ(job->applicationPath("sub\\k.hex"), "/srv/apps/sub/k.hex");
    f.set("DirAplic", "");
    EXPECT_EQ(job->applicationPath("k.hex"), "k.hex");
}

} // namespace
