// Streams an Intel HEX file of 1 MiB (or --bytes N) to the simulated terminal paced at
// 115200 bit/s and prints the share of the line's rate reached (10 bits per byte); then
// keeps an open port idle and prints the CPU time it costs.
//   orvane-bench-intelhex [--bytes N] [--idle-seconds S]
#include "app/OrvaneDoc.h"
#include "comm/CommPort.h"
#include "loader/DownloadJob.h"
#include "bench/QuietProgress.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

namespace {

std::string hexText(long bytes)
{
    std::string text;
    text.reserve(static_cast<std::size_t>(bytes) + 64);
    const std::string record = ":10000000000102030405060708090A0B0C0D0E0F78\r\n";
    while (static_cast<long>(text.size() + record.size()) + 13 <= bytes)
        text += record;
    text += ":00000001FF\r\n";
    return text;
}

double processCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void streamAtLineRate(long bytes)
{
    TempDir dir;
    std::string text = hexText(bytes);
    dir.write("apps/big.hex", text);
    dir.write("terminals/Bench.app", "[SYSTEM]\nPROTOCOL=INTELHEX\n[COMMUNICATION]\nBIOS=115200,N,8,1\n[APP]\nPROGRAM=big.hex\n");
    platform::SettingsStore settings(dir.write("orvane.conf", "[Settings]\nDirEqui=" + dir.file("terminals") +
                                                                   "\nDirAplic=" + dir.file("apps") + "\nCurNode=Bench\n"));
    OrvaneDoc document(settings);
    document.reload();

    TermSim sim({"--mode", "hexsink", "--out", dir.file("received.hex"), "--bitrate", "115200", "--exit-on-eof"});
    if (!sim.started()) {
        std::puts("intelhex-stream: the simulated terminal did not start");
        std::exit(1);
    }
    DownloadJob job(sim.slavePath(), document, std::make_unique<QuietProgress>());
    auto start = std::chrono::steady_clock::now();
    bool loaded = job.run();
    double writeDone = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    sim.waitForExit(0);
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double ideal = static_cast<double>(text.size()) * 10.0 / 115200.0;
    std::printf("intelhex-stream: %s, %zu bytes, ideal %.2f s at 115200 bit/s, station done writing %.2f s, "
                "terminal received all %.2f s\n",
                loaded ? "loaded" : "FAILED", text.size(), ideal, writeDone, elapsed);
    std::printf("intelhex-stream: line rate reached %.2f%% (target at least 99%%)\n", 100.0 * ideal / elapsed);
}

void idlePortCost(int seconds)
{
    TermSim sim({"--mode", "hexsink", "--out", "/dev/null"});
    CommPort::Port port;
    if (!sim.started() || !port.open(sim.slavePath(), CommPort::PortSettings{})) {
        std::puts("idle-port: could not open a port");
        std::exit(1);
    }
    double before = processCpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    double used = processCpuSeconds() - before;
    std::printf("idle-port: %.3f ms of CPU in %d s with one port open (%.4f%% of one core)\n", used * 1000.0, seconds,
                100.0 * used / seconds);
}

} // namespace

int main(int argc, char** argv)
{
    long bytes = 1L << 20;
    int idleSeconds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--bytes")
            bytes = std::atol(argv[i + 1]);
        else if (option == "--idle-seconds")
            idleSeconds = std::atoi(argv[i + 1]);
    }
    streamAtLineRate(bytes);
    idlePortCost(idleSeconds);
    return 0;
}
