// orvane-load against simulated terminals on pseudo-terminals: loads side by side, the
// line settings, the load log, cancel by SIGINT, and the setup errors.
#include "support/LoadFiles.h"
#include "support/StationRun.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class Station {
public:
    Station()
    {
        dir.mkdir("terminals/Halvorin");
        dir.mkdir("apps");
        config = hexLines(20, 1) + ":00000001FF\r\n";
        app = hexLines(60, 2) + ":00000001FF\r\n";
        dir.write("apps/config.hex", config);
        dir.write("apps/app.hex", app);
        model("BIOS=115200,N,8,1");
        settings(1, 0);
    }
    void model(const std::string& communication, const std::string& apps = "PROGRAM=app.hex\n")
    {
        dir.write("terminals/Halvorin/HX200.app", "[MODEL]\nCODE=HX200\nDESC=Desk unit\n[SYSTEM]\nPROTOCOL=INTELHEX\n"
                                                  "CONFIG=config.hex\n[COMMUNICATION]\n" +
                                                      communication + "\n[APP]\n" + apps);
    }
    void settings(int logOn, int level)
    {
        dir.write("orvane.conf", "[Settings]\nDirEqui=" + dir.file("terminals") + "\nDirAplic=" + dir.file("apps") +
                                     "\nCurNode=Halvorin\\HX200\nRegistroRadio=" + std::to_string(logOn) +
                                     "\nRegistroNivel=" + std::to_string(level) + "\nRegistro=" + dir.file("load.log") +
                                     "\n");
    }
    std::vector<std::string> args(std::vector<std::string> ports) const
    {
        ports.insert(ports.begin(), {"--settings", dir.file("orvane.conf")});
        return ports;
    }
    std::string streamed() const
    {
        return config.substr(0, config.size() - 13) + app;
    }

    TempDir dir;
    std::string config, app;
};

TEST(StationE2E, LoadsTwoTerminalsSideBySide)
{
    Station s;
    TermSim a({"--mode", "hexsink", "--out", s.dir.file("a.hex"), "--exit-on-eof", "--bitrate", "line"});
    TermSim b({"--mode", "hexsink", "--out", s.dir.file("b.hex"), "--exit-on-eof", "--bitrate", "line"});
    ASSERT_TRUE(a.started() && b.started());
    StationRun run(s.args({a.slavePath(), b.slavePath()}), s.dir.path());
    ASSERT_EQ(run.wait(), 0) << run.output() << run.errors();
    ASSERT_TRUE(a.waitForExit(5000));
    ASSERT_TRUE(b.waitForExit(5000));
    EXPECT_EQ(readWholeFile(s.dir.file("a.hex")), s.streamed());
    EXPECT_EQ(readWholeFile(s.dir.file("b.hex")), s.streamed());
    std::string out = run.output();
    for (const TermSim* sim : {&a, &b}) {
        const std::string& p = sim->slavePath();
        for (const char* text : {"Beginning download...", "Configuration downloading... config.hex",
                                        "Application downloading... app.hex", "Complete downloading.",
                                        "Carga finalizada.", "OK"})
            EXPECT_NE(out.find(p + ": " + text + "\n"), std::string::npos) << p << ": " << text << "\n" << out;
    }
}

TEST(StationE2E, LineSettingsOfTheDescription)
{
    Station s;
    s.model("BIOS=9600");
    TermSim sim({"--mode", "hexsink", "--out", s.dir.file("r.hex"), "--log", s.dir.file("sim.log"), "--exit-on-eof"});
    ASSERT_TRUE(sim.started());
    StationRun run(s.args({sim.slavePath()}), s.dir.path());
    ASSERT_EQ(run.wait(), 0) << run.output();
    sim.waitForExit(5000);
    EXPECT_NE(readWholeFile(s.dir.file("sim.log")).find("line 9600,N,8,1"), std::string::npos)
        << readWholeFile(s.dir.file("sim.log"));
}

TEST(StationE2E, LoadLogAtLevelsZeroAndFour)
{
    for (int level : {0, 4}) {
        Station s;
        s.settings(1, level);
        TermSim sim({"--mode", "hexsink", "--out", s.dir.file("r.hex"), "--exit-on-eof"});
        ASSERT_TRUE(sim.started());
        StationRun run(s.args({sim.slavePath()}), s.dir.path());
        ASSERT_EQ(run.wait(), 0) << run.output();
        const std::string p = sim.slavePath();
        std::vector<std::string> expected = {p + " CARGA: Beginning download..."};
        auto sent = [&](const std::string& text) {
            for (const std::string& line : linesOf(text)) {
                std::string rendered;
                for (unsigned char c : line + "\n") {
                    char hex[4];
                    std::snprintf(hex, sizeof hex, "%02X", c);
                    rendered += (rendered.empty() ? "" : " ") + std::string(hex);
                }
                expected.push_back(p + " OUTPUT: " + rendered);
            }
        };
        if (level == 4) {
            expected.push_back(p + " Configuration downloading... config.hex");
            sent(s.config.substr(0, s.config.size() - 13)); // its end record is withheld
            expected.push_back(p + " Application downloading... app.hex");
            sent(s.app);
            expected.push_back(p + " Complete downloading.");
        }
        expected.push_back(p + " CARGA: Carga finalizada.");
        EXPECT_EQ(readLines(s.dir.file("load.log")), expected) << "level " << level;
    }
}

TEST(StationE2E, LoadLogSwitchedOff)
{
    Station s;
    s.settings(0, 4);
    TermSim sim({"--mode", "hexsink", "--out", s.dir.file("r.hex"), "--exit-on-eof"});
    StationRun run(s.args({sim.slavePath()}), s.dir.path());
    ASSERT_EQ(run.wait(), 0) << run.output();
    EXPECT_EQ(readWholeFile(s.dir.file("load.log")), "");
}

TEST(StationE2E, InterruptCancelsARunningLoad)
{
    Station s;
    s.dir.write("apps/app.hex", hexLines(20000, 3) + ":00000001FF\r\n");
    TermSim sim({"--mode", "hexsink", "--out", s.dir.file("r.hex"), "--bitrate", "9600"});
    ASSERT_TRUE(sim.started());
    StationRun run(s.args({sim.slavePath()}), s.dir.path());
    ASSERT_TRUE(run.waitForOutput("Application downloading... app.hex")) << run.output();
    run.signal(SIGINT);
    EXPECT_EQ(run.wait(20000), 1);
    const std::string p = sim.slavePath();
    EXPECT_NE(run.output().find(p + ": CANCELLED Process.  The equipment has not been loaded.\n"), std::string::npos)
        << run.output();
    EXPECT_NE(run.output().find(p + ": FAILED\n"), std::string::npos);
}

TEST(StationE2E, FailuresOfTheDriverEndTheJob)
{
    Station s;
    StationRun run(s.args({s.dir.file("ttyNONE")}), s.dir.path());
    EXPECT_EQ(run.wait(), 1);
    const std::string p = s.dir.file("ttyNONE");
    EXPECT_EQ(run.output(), p + ": Beginning download...\n" + p + ": The selected Port cannot be opened.\n" + p + ": FAILED\n");
}

TEST(StationE2E, SetupErrorsExitWithTwo)
{
    Station s;
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{}, "no port given"},
        {{"--bogus", "x"}, "unknown option"},
        {{"--settings", s.dir.file("missing.conf"), "ttyS0"}, "cannot read settings file"},
        {{"--settings", s.dir.file("orvane.conf"), "--model", "Halvorin/NOPE", "ttyS0"}, "no model at Halvorin/NOPE"},
        {{"--settings", s.dir.file("orvane.conf"), "--model", "Halvorin", "ttyS0"}, "no model at Halvorin"},
        {{"--settings", s.dir.file("orvane.conf"), "--list-models", "ttyS0"}, "takes no ports"},
    };
    for (const Case& c : cases) {
        StationRun run(c.args, s.dir.path());
        EXPECT_EQ(run.wait(), 2) << c.message;
        EXPECT_NE(run.errors().find(c.message), std::string::npos) << run.errors();
        EXPECT_EQ(run.output(), "");
    }
}

TEST(StationE2E, ListsTheModels)
{
    Station s;
    s.dir.write("terminals/Halvorin/Sub/HX9.app", "[MODEL]\nCODE=9\n");
    s.dir.write("terminals/Loose.APP", "");
    StationRun run({"--settings", s.dir.file("orvane.conf"), "--list-models"}, s.dir.path());
    EXPECT_EQ(run.wait(), 0);
    EXPECT_EQ(run.output(), "Halvorin/Sub/HX9\t9\t\nHalvorin/HX200\tHX200\tDesk unit\nLoose\t\t\n");
}

} // namespace
