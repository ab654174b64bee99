// orvane-load loading simulated bootstrap-family terminals whose MAC addresses come from
// a range table in a SQLite file: each terminal's configuration data carries its own
// address from the table, and a terminal for which no range has an address left fails
// its download instead of getting an address twice.
#include "app/RangoMAC.h"
#include "db/OdbcTestConfig.h"
#include "db/RangeDatabases.h"
#include "support/BootstrapTerminal.h"
#include "support/StationRun.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The six bytes of a MAC address written as 12 hexadecimal digits.
std::string macBytes(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

// A workspace with a CORVANTIS model whose configuration data gets a MAC address from
// the range database, and the range database itself.
class RangeStation {
public:
    RangeStation()
    {
        odbctest::useOwnConfiguration();
        writeBootstrapFiles(dir);
        dir.write("apps/pre.bin", std::string(600, '\x11'));
        dir.write("apps/kernel.bin", std::string(3000, '\x22'));
        dir.write("apps/app.bin", std::string(2000, '\x33'));
        dir.write("terminals/Corvantis/CV1.app",
                  "[MODEL]\nCODE=CV1\nDESC=Counter unit\n[SYSTEM]\nPROTOCOL=CORVANTIS\nRAMBOOT=ramboot.hex\n"
                  "RBDELAY=150\nPREKERNEL=pre.bin\nKERNEL=kernel.bin\nGUARANTEE=guarantee.bin\nCONFIG=config.bin\n"
                  "[COMMUNICATION]\nBIOS=115200,N,8,1\nRAMBOOT=115200,N,8,1\n"
                  "[ASSIGNABLE]\nSERIAL_NUMBER=YES\nMAC_ADDRESS=YES\n[APP]\nPROGRAM=app.bin\n");
        dataSource = odbctest::sqliteConnectionString(dir.file("macranges.db"));
        dir.write("orvane.conf", "[Settings]\nDirEqui=" + dir.file("terminals") + "\nDirAplic=" + dir.file("apps") +
                                     "\nCurNode=Corvantis\\CV1\nNumeroSerieRadio=0\nProximoNS=0000001000\n"
                                     "SaltoNS=1\nAccionSerie=3\nDireccionMACRadio=1\nDSN=" + dataSource +
                                     "\nAccionMAC=3\nFirmadorRadio=2\nFirmadorArchivo=" + dir.file("apps/key.bin") +
                                     "\nFirmadorClave=01\n");
        putSignerOnPath();
    }
    TermSim terminal(const std::string& name)
    {
        return bootstrapTerminal(dir, name);
    }
    std::vector<std::string> args(std::vector<std::string> ports)
    {
        ports.insert(ports.begin(), {"--settings", dir.file("orvane.conf")});
        return ports;
    }
    std::string config(const std::string& name) { return readWholeFile(dir.file(name + "/01-config.bin")); }

    TempDir dir;
    std::string dataSource;
};

TEST(MacRangeE2E, TwoTerminalsGetDistinctAddressesFromTheRangeTable)
{
    RangeStation s;
    // The first range has one address left; the second gives the other.
    executeAll(s.dataSource, {RangoMAC::kCreateTable, "INSERT INTO RangoMAC VALUES (672, 0, 16, 16)",
                              "INSERT INTO RangoMAC VALUES (672, 256, 511, 256)"});
    TermSim a = s.terminal("a"), b = s.terminal("b");
    ASSERT_TRUE(a.started() && b.started());
    StationRun run(s.args({a.slavePath(), b.slavePath()}), s.dir.path());
    ASSERT_EQ(run.wait(120000), 0) << run.output() << run.errors();

    const std::string addresses[] = {"0002A0000010", "0002A0000100"};
    std::set<std::string> found;
    for (const char* name : {"a", "b"}) {
        std::string config = s.config(name);
        int carried = 0;
        for (const std::string& mac : addresses)
            if (config.find(macBytes(mac)) != std::string::npos) {
                found.insert(mac);
                ++carried;
            }
        EXPECT_EQ(carried, 1) << "terminal " << name << " carries exactly one of the addresses";
    }
    EXPECT_EQ(found.size(), 2u) << "each terminal its own address";
    for (const std::string& mac : addresses)
        EXPECT_NE(run.output().find("MAC Number:  " + mac), std::string::npos) << run.output();
    std::vector<MacRange> rows = readRangeTable(s.dataSource);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].siguiente, 17);
    EXPECT_EQ(rows[1].siguiente, 257);
}

TEST(MacRangeE2E, TerminalForWhichNoAddressIsLeftFailsItsDownload)
{
    RangeStation s;
    executeAll(s.dataSource, {RangoMAC::kCreateTable, "INSERT INTO RangoMAC VALUES (672, 0, 16, 16)",
                              "INSERT INTO RangoMAC VALUES (673, 0, 9, 10)"}); // one address in all
    TermSim a = s.terminal("a"), b = s.terminal("b");
    ASSERT_TRUE(a.started() && b.started());
    StationRun run(s.args({a.slavePath(), b.slavePath()}), s.dir.path());
    EXPECT_EQ(run.wait(120000), 1) << run.output() << run.errors();
    const std::string out = run.output();
    EXPECT_NE(out.find(a.slavePath() + ": OK\n") == std::string::npos,
              out.find(b.slavePath() + ": OK\n") == std::string::npos)
        << "one terminal loaded, the other not\n" << out;
    EXPECT_NE(out.find(": FAILED\n"), std::string::npos) << out;
    EXPECT_NE(out.find("MAC Number:  0002A0000010"), std::string::npos) << out;
    int carrying = 0;
    for (const char* name : {"a", "b"})
        carrying += s.config(name).find(macBytes("0002A0000010")) != std::string::npos;
    EXPECT_EQ(carrying, 1) << "the one address reached one terminal";
    EXPECT_EQ(readRangeTable(s.dataSource)[0].siguiente, 17);
}

} // namespace
