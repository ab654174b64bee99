// orvane-load with its ticket printer on a pseudo-terminal: two simulated terminals
// loaded side by side leave two whole tickets, one after the other; a printer speed
// the printer does not offer fails a load that went well.
#include "loader/TicketTitle.h"
#include "support/PtyPair.h"
#include "support/StationRun.h"
#include "support/TempDir.h"
#include "support/TermSim.h"
#include "ticket/TicketPrinter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class PrintingStation {
public:
    PrintingStation()
    {
        dir.mkdir("terminals/Halvorin");
        dir.mkdir("apps");
        dir.write("apps/app.hex", ":0400000001020304F2\r\n:00000001FF\r\n");
        // Stored as the station keeps its files: CP1252 (0xE1 is a with an acute accent).
        dir.write("terminals/Halvorin/HX200.app", "[MODEL]\nCODE=HX200\nDESC=Terminal r\xE1pido\n[SYSTEM]\n"
                                                  "PROTOCOL=INTELHEX\n[APP]\nPROGRAM=app.hex\n");
    }
    void settings(const std::string& speed)
    {
        dir.write("orvane.conf", "[Settings]\nDirEqui=" + dir.file("terminals") + "\nDirAplic=" + dir.file("apps") +
                                     "\nCurNode=Halvorin\\HX200\nImpresionRadio=1\nImpresionPuerto=" +
                                     printer.slavePath() + "\nImpresionVelocidad=" + speed +
                                     "\nImpresionParidad=N\nImpresionBits=8\nImpresionStop=1\n"
                                     "ImpresionColumnas=24\n");
    }
    std::vector<std::string> args(std::vector<std::string> ports) const
    {
        ports.insert(ports.begin(), {"--settings", dir.file("orvane.conf")});
        return ports;
    }
    static std::string ticketOf(const std::string& port)
    {
        return printedBytes({ticketTitle(port), "HX200", "Terminal rapido", std::string(24, '*'),
                             "CARGA: Beginning down...", "load...", "Application downloadi...", "ng... app.hex",
                             "Complete downloading.", "CARGA: Carga finalizada.", std::string(24, '*'),
                             "", "", "", ""});
    }

    TempDir dir;
    PtyPair printer;
};

TEST(TicketE2E, TwoTerminalsLoadedTogetherLeaveTwoWholeTickets)
{
    PrintingStation s;
    s.printer.startCollecting();
    s.settings("9600");
    TermSim a({"--mode", "hexsink", "--out", s.dir.file("a.hex"), "--exit-on-eof"});
    TermSim b({"--mode", "hexsink", "--out", s.dir.file("b.hex"), "--exit-on-eof"});
    ASSERT_TRUE(a.started() && b.started());
    StationRun run(s.args({a.slavePath(), b.slavePath()}), s.dir.path());
    ASSERT_EQ(run.wait(), 0) << run.output() << run.errors();
    const std::string ticketA = PrintingStation::ticketOf(a.slavePath());
    const std::string ticketB = PrintingStation::ticketOf(b.slavePath());
    ASSERT_TRUE(s.printer.waitCollected(ticketA.size() + ticketB.size()));
    const std::string printed = s.printer.collected();
    EXPECT_TRUE(printed == ticketA + ticketB || printed == ticketB + ticketA) << printed;
}

TEST(TicketE2E, PrinterSpeedNotOfferedFailsTheLoad)
{
    PrintingStation s;
    s.settings("4800");
    TermSim sim({"--mode", "hexsink", "--out", s.dir.file("r.hex"), "--exit-on-eof"});
    ASSERT_TRUE(sim.started());
    StationRun run(s.args({sim.slavePath()}), s.dir.path());
    EXPECT_EQ(run.wait(), 1) << run.output() << run.errors();
    const std::string out = run.output();
    const std::string& p = sim.slavePath();
    EXPECT_NE(out.find(p + ": Carga finalizada.\n"), std::string::npos) << out;
    EXPECT_NE(out.find(p + ": Invalid parameters of impression.\n"), std::string::npos) << out;
    EXPECT_NE(out.find(p + ": FAILED\n"), std::string::npos) << out;
    EXPECT_TRUE(nothingPrinted(s.printer));
}

} // namespace
