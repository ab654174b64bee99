// orvane-load reading a simulated bootstrap-family terminal's serial number from the
// bar-code reader: through the reader network server counterpart, and from a serial
// reader on a pseudo-terminal. Standard input stays open and silent, so the code can
// only come from the reader.
#include "platform/FileDescriptor.h"
#include "reader/ServerThread.h"
#include "support/BootstrapTerminal.h"
#include "support/PtyPair.h"
#include "support/StationRun.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// A CORVANTIS model whose configuration data gets a serial number read by the operator.
class ReadingStation {
public:
    explicit ReadingStation(const std::string& readingSettings)
    {
        writeBootstrapFiles(dir);
        dir.write("apps/pre.bin", std::string(300, 'p'));
        dir.write("apps/kernel.bin", std::string(900, 'k'));
        dir.write("terminals/Corvantis/CV1.app",
                  "[MODEL]\nCODE=CV1\nDESC=Counter unit\n"
                  "[SYSTEM]\nPROTOCOL=CORVANTIS\nRAMBOOT=ramboot.hex\nRBDELAY=150\nPREKERNEL=pre.bin\n"
                  "KERNEL=kernel.bin\nGUARANTEE=guarantee.bin\nCONFIG=config.bin\n"
                  "[COMMUNICATION]\nBIOS=115200,N,8,1\nRAMBOOT=115200,N,8,1\n"
                  "[ASSIGNABLE]\nSERIAL_NUMBER=YES\n");
        dir.write("orvane.conf", "[Settings]\nDirEqui=" + dir.file("terminals") + "\nDirAplic=" + dir.file("apps") +
                                     "\nCurNode=Corvantis\\CV1\nManufacturer=ORVANE\nNumeroSerieRadio=1\n"
                                     "AccionSerie=3\nDireccionMACRadio=0\nProximoMAC=0012AB000010\nSaltoMAC=1\n"
                                     "AccionMAC=0\nFirmadorRadio=2\nFirmadorArchivo=" +
                                     dir.file("apps/key.bin") + "\nFirmadorClave=01\n" + readingSettings);
        putSignerOnPath();
        input = dir.file("operator");
        if (::mkfifo(input.c_str(), 0600) != 0)
            throw std::runtime_error("mkfifo failed");
    }
    TermSim terminal()
    {
        return bootstrapTerminal(dir, "t1");
    }
    // Starts the station with the operator's input open but silent.
    std::unique_ptr<StationRun> run(const std::string& port)
    {
        // Held open for writing (without blocking) first, so that the station's end
        // opens at once and its reads wait instead of meeting the end of input.
        operatorSide.reset(::open(input.c_str(), O_RDWR | O_CLOEXEC));
        return std::make_unique<StationRun>(std::vector<std::string>{"--settings", dir.file("orvane.conf"), port},
                                            dir.path(), input);
    }
    std::string configuration() { return readWholeFile(dir.file("t1/01-config.bin")); }

    TempDir dir;
    std::string input;
    platform::FileDescriptor operatorSide;
};

TEST(ReaderE2E, TheSerialNumberComesFromTheReaderNetwork)
{
    readersim::ServerSettings settings = localServer({{3, readersim::Presence::Busy}});
    settings.busyMs = 300; // BUSY first, ACK OPEN a moment later
    settings.codes = {{3, "0000077777"}};
    settings.codeEveryMs = 200;
    ServerThread server(settings);
    ::setenv("ORVANE_READER_NETWORK_PORT", std::to_string(server.port()).c_str(), 1);
    ReadingStation s("LecturaRadio=2\nLecturaServidor=127.0.0.1\nLecturaNumLector=3\n");
    TermSim sim = s.terminal();
    ASSERT_TRUE(sim.started());
    auto run = s.run(sim.slavePath());
    ASSERT_EQ(run->wait(120000), 0) << run->output() << run->errors();
    ::unsetenv("ORVANE_READER_NETWORK_PORT");
    EXPECT_NE(s.configuration().find("0000077777"), std::string::npos);
    EXPECT_NE(run->errors().find("Serial Number " + sim.slavePath()), std::string::npos) << run->errors();
    EXPECT_NE(run->errors().find("[bar-code reader ready]"), std::string::npos) << run->errors();
    EXPECT_NE(run->errors().find("0000077777 (scanned)"), std::string::npos) << run->errors();
    EXPECT_GE(server.count("C1 > BUSY"), 1u);
    EXPECT_TRUE(server.waitFor("C1 < CLOSE 3", 2)); // released after the reading
}

TEST(ReaderE2E, TheSerialNumberComesFromASerialReader)
{
    PtyPair scanner;
    ReadingStation s("LecturaRadio=1\nLecturaPuerto=" + scanner.slavePath() + "\n");
    TermSim sim = s.terminal();
    ASSERT_TRUE(sim.started());
    auto run = s.run(sim.slavePath());
    platform::Deadline deadline(60000);
    while (run->errors().find("[bar-code reader ready]") == std::string::npos && !deadline.expired())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string code = "0000088888\r";
    ASSERT_EQ(::write(scanner.master(), code.data(), code.size()), static_cast<ssize_t>(code.size()));
    ASSERT_EQ(run->wait(120000), 0) << run->output() << run->errors();
    EXPECT_NE(s.configuration().find("0000088888"), std::string::npos);
    EXPECT_NE(run->errors().find("0000088888 (scanned)"), std::string::npos) << run->errors();
}

} // namespace
