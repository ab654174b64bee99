// Sends a 1 MiB kernel (or --bytes N) over the link to the simulated terminal:
//  - paced at 115200 bit/s: the time taken against the time the line needs for every
//    byte of the exchange in both directions (frames, ACKs, responses), 10 bits a byte;
//  - unpaced: the station's turnaround as the terminal measures it, from the last byte
//    of a response to the first byte of the station's next frame (median, 99th percentile).
//   orvane-bench-link [--bytes N] [--unpaced-only]
#include "app/OrvaneDoc.h"
#include "loader/DownloadJob.h"
#include "bench/QuietProgress.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Stats {
    long bytesIn = 0, bytesOut = 0;
    std::vector<long> turnaroundsUs;
};

Stats readStats(const std::string& path)
{
    Stats stats;
    std::ifstream in(path);
    std::string key;
    long value;
    while (in >> key >> value) {
        if (key == "bytes-in")
            stats.bytesIn = value;
        else if (key == "bytes-out")
            stats.bytesOut = value;
        else if (key == "turnaround-us")
            stats.turnaroundsUs.push_back(value);
    }
    return stats;
}

struct Run {
    double seconds = 0;
    bool loaded = false;
    Stats stats;
};

Run sendKernel(long bytes, const char* bitrate)
{
    TempDir dir;
    std::string kernel(static_cast<std::size_t>(bytes), '\0');
    for (long i = 0; i < bytes; ++i)
        kernel[static_cast<std::size_t>(i)] = static_cast<char>((i * 7 + (i >> 8)) & 0xFF);
    dir.write("apps/kernel.bin", kernel);
    dir.write("terminals/Bench.app", "[SYSTEM]\nPROTOCOL=CORVANTIS\n");
    platform::SettingsStore settings(dir.write("orvane.conf", "[Settings]\nDirEqui=" + dir.file("terminals") +
                                                                   "\nDirAplic=" + dir.file("apps") + "\nCurNode=Bench\n"));
    OrvaneDoc document(settings);
    document.reload();
    std::vector<std::string> args = {"--mode", "terminal", "--protocol-running", "--stats", dir.file("stats"),
                                     "--files", dir.file("got")};
    if (bitrate) {
        args.push_back("--bitrate");
        args.push_back(bitrate);
    }
    Run run;
    {
        TermSim sim(args);
        if (!sim.started()) {
            std::puts("link: the simulated terminal did not start");
            std::exit(1);
        }
        DownloadJob job(sim.slavePath(), document, std::make_unique<QuietProgress>());
        job.readSettings();
        if (!job.openTerminalPort()) {
            std::puts("link: the line did not open");
            std::exit(1);
        }
        auto start = std::chrono::steady_clock::now();
        run.loaded = job.downloadFile(FileKind::Kernel, "kernel.bin");
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } // the simulator writes its figures when it ends
    run.stats = readStats(dir.file("stats"));
    return run;
}

long percentile(std::vector<long> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

} // namespace

int main(int argc, char** argv)
{
    long bytes = 1L << 20;
    bool pacedRun = true;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--bytes" && i + 1 < argc)
            bytes = std::atol(argv[++i]);
        else if (option == "--unpaced-only")
            pacedRun = false;
    }

    Run paced;
    if (pacedRun) {
        paced = sendKernel(bytes, "115200");
        double lineSeconds = static_cast<double>(paced.stats.bytesIn + paced.stats.bytesOut) * 10.0 / 115200.0;
        std::printf("link-paced: %s, %ld bytes in and %ld out on the line, line time %.2f s, took %.2f s\n",
                    paced.loaded ? "loaded" : "FAILED", paced.stats.bytesIn, paced.stats.bytesOut, lineSeconds,
                    paced.seconds);
        std::printf("link-paced: time over line time %.4f (target at most 1.03)\n", paced.seconds / lineSeconds);
    }

    Run unpaced = sendKernel(bytes, nullptr);
    std::printf("link-unpaced: %s in %.2f s, %zu exchanges\n", unpaced.loaded ? "loaded" : "FAILED", unpaced.seconds,
                unpaced.stats.turnaroundsUs.size());
    std::printf("link-unpaced: station turnaround median %.3f ms (target under 1), 99th percentile %.3f ms (target under 5)\n",
                percentile(unpaced.stats.turnaroundsUs, 0.5) / 1000.0, percentile(unpaced.stats.turnaroundsUs, 0.99) / 1000.0);
    return (paced.loaded || !pacedRun) && unpaced.loaded ? 0 : 1;
}
