// 32 simulated terminals (or --ports N) loading a kernel at once over the link, every
// line paced at 115200 bit/s, against one terminal alone: each port's rate as a share of
// the single port's rate (target at least 95%), the station's CPU time per megabyte of
// kernel moved, and its memory per port (resident set growth while loading / ports).
//   orvane-bench-ports [--ports N] [--bytes N]
#include "app/OrvaneDoc.h"
#include "bench/QuietProgress.h"
#include "loader/DownloadJob.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double cpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

struct PortRun {
    bool loaded = false;
    double seconds = 0;
};

struct Load {
    std::vector<PortRun> ports;
    double cpuSeconds = 0;
    long residentGrowthKiB = 0;
};

class Station {
public:
    explicit Station(long bytes) : kernel_(static_cast<std::size_t>(bytes), '\0')
    {
        for (std::size_t i = 0; i < kernel_.size(); ++i)
            kernel_[i] = static_cast<char>((i * 7 + (i >> 8)) & 0xFF);
        dir_.write("apps/kernel.bin", kernel_);
        dir_.write("terminals/Bench.app", "[SYSTEM]\nPROTOCOL=CORVANTIS\n");
        settings_ = std::make_unique<platform::SettingsStore>(dir_.write(
            "orvane.conf", "[Settings]\nDirEqui=" + dir_.file("terminals") + "\nDirAplic=" + dir_.file("apps") +
                               "\nCurNode=Bench\n"));
        document_ = std::make_unique<OrvaneDoc>(*settings_);
        document_->reload();
    }

    // Loads the kernel into that many paced terminals at once, each on a loader thread
    // of its own as the station's panels do.
    Load load(int count)
    {
        std::vector<std::unique_ptr<TermSim>> sims;
        for (int i = 0; i < count; ++i) {
            std::string got = dir_.file("got" + std::to_string(count) + "-" + std::to_string(i));
            sims.push_back(std::make_unique<TermSim>(std::vector<std::string>{
                "--mode", "terminal", "--protocol-running", "--files", got, "--bitrate", "115200"}));
            if (!sims.back()->started()) {
                std::puts("ports: a simulated terminal did not start");
                std::exit(1);
            }
        }
        Load load;
        load.ports.resize(static_cast<std::size_t>(count));
        std::atomic<bool> loading{true};
        long residentBefore = residentKiB(), residentPeak = residentBefore;
        double cpuBefore = cpuSeconds();
        {
            std::vector<std::jthread> loaders;
            for (int i = 0; i < count; ++i)
                loaders.emplace_back([&, i] {
                    DownloadJob job(sims[static_cast<std::size_t>(i)]->slavePath(), *document_,
                                    std::make_unique<QuietProgress>());
                    job.readSettings();
                    auto start = Clock::now();
                    PortRun& run = load.ports[static_cast<std::size_t>(i)];
                    run.loaded = job.openTerminalPort() && job.downloadFile(FileKind::Kernel, "kernel.bin");
                    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
                });
            std::jthread sampler([&](std::stop_token stop) {
                while (!stop.stop_requested() && loading) {
                    residentPeak = std::max(residentPeak, residentKiB());
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
            });
            for (auto& loader : loaders)
                loader.join();
            loading = false;
        }
        load.cpuSeconds = cpuSeconds() - cpuBefore;
        load.residentGrowthKiB = residentPeak - residentBefore;
        for (int i = 0; i < count; ++i) {
            std::string got = dir_.file("got" + std::to_string(count) + "-" + std::to_string(i) + "/01-kernel.bin");
            if (readWholeFile(got) != kernel_)
                load.ports[static_cast<std::size_t>(i)].loaded = false;
        }
        return load;
    }

    double megabytes(int ports) const { return static_cast<double>(kernel_.size()) * ports / 1e6; }

private:
    TempDir dir_;
    std::string kernel_;
    std::unique_ptr<platform::SettingsStore> settings_;
    std::unique_ptr<OrvaneDoc> document_;
};

} // namespace

int main(int argc, char** argv)
{
    int ports = 32;
    long bytes = 256L * 1024;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--ports")
            ports = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--bytes")
            bytes = std::atol(argv[i + 1]);
    }
    Station station(bytes);

    Load alone = station.load(1);
    if (!alone.ports[0].loaded) {
        std::puts("ports: the single terminal was not loaded");
        return 1;
    }
    double singleRate = static_cast<double>(bytes) / alone.ports[0].seconds;
    std::printf("ports: one terminal alone: %ld bytes in %.2f s, %.0f bytes/s of kernel (the line carries 11520 bytes/s in all)\n", bytes,
                alone.ports[0].seconds, singleRate);

    Load many = station.load(ports);
    std::vector<double> shares;
    int loaded = 0;
    for (const auto& run : many.ports) {
        loaded += run.loaded ? 1 : 0;
        shares.push_back(100.0 * (static_cast<double>(bytes) / run.seconds) / singleRate);
    }
    std::sort(shares.begin(), shares.end());
    int reaching = static_cast<int>(std::count_if(shares.begin(), shares.end(), [](double s) { return s >= 95.0; }));
    std::printf("ports: %d terminals at once: %d loaded, rate as a share of the single port: lowest %.1f%%, "
                "median %.1f%%, highest %.1f%%; %d of %d at least 95%% (target all)\n",
                ports, loaded, shares.front(), shares[shares.size() / 2], shares.back(), reaching, ports);
    std::printf("ports: station CPU %.2f s for %.2f MB of kernels: %.3f s per MB (one terminal alone: %.3f s per MB)\n",
                many.cpuSeconds, station.megabytes(ports), many.cpuSeconds / station.megabytes(ports),
                alone.cpuSeconds / station.megabytes(1));
    std::printf("ports: station memory %.0f KiB more while loading, %.0f KiB per port\n",
                static_cast<double>(many.residentGrowthKiB), static_cast<double>(many.residentGrowthKiB) / ports);
    return loaded == ports && reaching == ports ? 0 : 1;
}
