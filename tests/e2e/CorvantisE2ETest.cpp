// orvane-load loading simulated bootstrap-family terminals end to end: RAM bootstrap,
// configuration data with fresh identities signed by the stand-in signer, prekernel,
// kernel, applications, the closing command and the clock.
#include "support/BootstrapTerminal.h"
#include "support/LoadFiles.h"
#include "support/StationRun.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The station's workspace: a CORVANTIS model, its files, the settings.
class CorvantisStation {
public:
    explicit CorvantisStation(bool configurationData)
    {
        writeBootstrapFiles(dir);
        prekernel = binaryContent(600, 1);
        kernel = binaryContent(9000, 2);
        app = binaryContent(5000, 3);
        dir.write("apps/pre.bin", prekernel);
        dir.write("apps/kernel.bin", kernel);
        dir.write("apps/app.bin", app);
        std::string system = "[SYSTEM]\nPROTOCOL=CORVANTIS\nRAMBOOT=ramboot.hex\nRBDELAY=150\nPREKERNEL=pre.bin\n"
                             "KERNEL=kernel.bin\nTIMESET=Yes\nSTDELAY=5\n";
        if (configurationData)
            system += "GUARANTEE=guarantee.bin\nCONFIG=config.bin\n";
        dir.write("terminals/Corvantis/CV1.app", "[MODEL]\nCODE=CV1\nDESC=Counter unit\n" + system +
                                                     "[COMMUNICATION]\nBIOS=115200,N,8,1\nRAMBOOT=115200,N,8,1\n"
                                                     "[ASSIGNABLE]\nSERIAL_NUMBER=YES\nMAC_ADDRESS=YES\n"
                                                     "[APP]\nPROGRAM=app.bin\n");
        dir.write("orvane.conf", "[Settings]\nDirEqui=" + dir.file("terminals") + "\nDirAplic=" + dir.file("apps") +
                                     "\nCurNode=Corvantis\\CV1\nRegistroRadio=1\nRegistroNivel=1\nRegistro=" +
                                     dir.file("load.log") +
                                     "\nManufacturer=ORVANE\nNumeroSerieRadio=0\nProximoNS=0000001000\nSaltoNS=1\n"
                                     "AccionSerie=3\nDireccionMACRadio=0\nProximoMAC=0012AB000010\nSaltoMAC=1\n"
                                     "AccionMAC=3\nFirmadorRadio=2\nFirmadorArchivo=" +
                                     dir.file("apps/key.bin") + "\nFirmadorClave=01\n");
        putSignerOnPath();
    }
    TermSim terminal(const std::string& name)
    {
        return bootstrapTerminal(dir, name);
    }
    std::vector<std::string> args(std::vector<std::string> ports, const std::string& settings = "orvane.conf")
    {
        ports.insert(ports.begin(), {"--settings", dir.file(settings)});
        return ports;
    }
    std::string got(const std::string& name, const std::string& file) { return readWholeFile(dir.file(name + "/" + file)); }

    TempDir dir;
    std::string prekernel, kernel, app;
};

TEST(CorvantisE2E, LoadsATerminalEndToEnd)
{
    CorvantisStation s(false);
    TermSim sim = s.terminal("t1");
    ASSERT_TRUE(sim.started());
    StationRun run(s.args({sim.slavePath()}), s.dir.path());
    ASSERT_EQ(run.wait(120000), 0) << run.output() << run.errors();
    EXPECT_EQ(s.got("t1", "ramboot.hex"), ":0400000001020304F2\r\n:00000001FF\r\n");
    EXPECT_EQ(s.got("t1", "01-prekernel.bin"), s.prekernel);
    EXPECT_EQ(s.got("t1", "02-kernel.bin"), s.kernel);
    EXPECT_EQ(s.got("t1", "03-app.bin"), s.app);
    EXPECT_NE(readWholeFile(s.dir.file("t1.log")).find("clock 20"), std::string::npos);
    const std::string p = sim.slavePath();
    for (const char* text : {"Terminal quering...", "RAMBOOT downloading... (ramboot.hex)", "Waiting RAMBOOT start-up...",
                             "PreKernel downloading... (pre.bin)", "Kernel downloading... (kernel.bin)",
                             "Application downloading... (app.bin)", "Finishing download...", "Complete downloading.",
                             "Carga finalizada.", "OK"})
        EXPECT_NE(run.output().find(p + ": " + text + "\n"), std::string::npos) << text << "\n" << run.output();
}

// Two ports at once draw consecutive identities from the sequences in the settings file.
TEST(CorvantisE2E, TwoPortsGetConsecutiveIdentitiesInSignedConfigurationData)
{
    CorvantisStation s(true);
    TermSim a = s.terminal("a"), b = s.terminal("b");
    ASSERT_TRUE(a.started() && b.started());
    StationRun run(s.args({a.slavePath(), b.slavePath()}), s.dir.path());
    ASSERT_EQ(run.wait(120000), 0) << run.output() << run.errors();
    std::set<std::string> serials;
    for (const char* name : {"a", "b"}) {
        std::string config = s.got(name, "01-config.bin");
        for (const char* serial : {"0000001000", "0000001001"})
            if (config.find(serial) != std::string::npos)
                serials.insert(serial);
        EXPECT_EQ(s.got(name, "03-kernel.bin"), s.kernel);
    }
    EXPECT_EQ(serials.size(), 2u);
    std::string settings = readWholeFile(s.dir.file("orvane.conf"));
    EXPECT_NE(settings.find("ProximoNS=0000001002"), std::string::npos) << settings;
    EXPECT_NE(settings.find("ProximoMAC=0012AB000012"), std::string::npos) << settings;
    EXPECT_NE(run.output().find("Signing Configuration data..."), std::string::npos) << run.output();
}

// Two station processes sharing one settings file never hand out the same serial number.
TEST(CorvantisE2E, TwoProcessesSharingTheSettingsNeverRepeatAValue)
{
    CorvantisStation s(true);
    TermSim a = s.terminal("a"), b = s.terminal("b");
    ASSERT_TRUE(a.started() && b.started());
    s.dir.mkdir("run-a");
    s.dir.mkdir("run-b");
    StationRun first(s.args({a.slavePath()}), s.dir.file("run-a"));
    StationRun second(s.args({b.slavePath()}), s.dir.file("run-b"));
    ASSERT_EQ(first.wait(120000), 0) << first.output() << first.errors();
    ASSERT_EQ(second.wait(120000), 0) << second.output() << second.errors();
    std::string configA = s.got("a", "01-config.bin"), configB = s.got("b", "01-config.bin");
    bool aFirst = configA.find("0000001000") != std::string::npos;
    EXPECT_NE((aFirst ? configB : configA).find("0000001001"), std::string::npos);
    EXPECT_NE((aFirst ? configA : configB).find("0000001000"), std::string::npos);
}

} // namespace
