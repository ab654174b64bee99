#include "soak/SoakRound.h"

#include "soak/SoakWorkspace.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

using platform::Millis;

std::vector<std::string> simArguments(Family family, const PortFaults& faults, const std::string& dir)
{
    std::vector<std::string> args;
    if (family == Family::Bootstrap)
        args = {"--mode", "terminal", "--files", dir, "--log", dir + ".log", "--restart-ms", "50", "--boot-delay", "50"};
    else
        args = {"--mode", "hexsink", "--out", dir + ".hex", "--exit-on-eof"};
    args.insert(args.end(), faults.simArgs.begin(), faults.simArgs.end());
    return args;
}

// Takes the station's output so far: "PORT: text" lines, each port's last text OK or FAILED.
void readOutput(const std::string& text, std::vector<PortResult>& ports, Millis now)
{
    for (auto& port : ports) {
        port.messages.clear();
        port.finals = 0;
    }
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        auto colon = line.find(": ");
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon), message = line.substr(colon + 2);
        for (auto& port : ports) {
            if (port.line != name)
                continue;
            if (message == "OK" || message == "FAILED") {
                ++port.finals;
                port.final = message;
                if (port.endMs < 0)
                    port.endMs = now;
            } else if (port.finals == 0) {
                port.messages.push_back(message);
            } else {
                port.messages.push_back("(after the end) " + message);
            }
        }
    }
}

int countEntries(const std::string& dir)
{
    std::error_code error;
    int count = 0;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
        ++count;
    return count;
}

// The lines the station holds open: the targets of its descriptors.
std::vector<std::string> openFiles(pid_t pid)
{
    std::vector<std::string> targets;
    std::error_code error;
    std::string dir = "/proc/" + std::to_string(pid) + "/fd";
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        std::error_code linkError;
        auto target = std::filesystem::read_symlink(it->path(), linkError);
        if (!linkError)
            targets.push_back(target.string());
    }
    return targets;
}

// A port ended long enough ago holds no descriptor of its line, and the station runs
// its main thread and three threads (loader, line events, line reader) per port still
// loading.
void sampleStation(pid_t pid, const std::vector<PortResult>& ports, Millis now, Millis settleMs, RoundResult& result)
{
    int threads = countEntries("/proc/" + std::to_string(pid) + "/task");
    if (threads == 0)
        return; // it has ended
    result.maxThreads = std::max(result.maxThreads, threads);
    int loading = 0;
    std::vector<const PortResult*> settled;
    for (const auto& port : ports) {
        if (port.endMs < 0 || now - port.endMs < settleMs)
            ++loading;
        else
            settled.push_back(&port);
    }
    if (threads > 1 + 3 * loading)
        result.leaks.push_back(std::to_string(threads) + " threads at " + std::to_string(now) + " ms with " +
                               std::to_string(loading) + " ports loading");
    for (const std::string& target : openFiles(pid))
        for (const PortResult* port : settled)
            if (target == port->line)
                result.leaks.push_back(port->line + " still open " + std::to_string(now - port->endMs) +
                                       " ms after its download ended");
}

} // namespace

platform::Millis portBoundMs(const PortFaults& faults, const RoundLimits& limits, platform::Millis cancelSentMs)
{
    Millis bound = limits.cleanLoadMs + faults.extraMs;
    if (cancelSentMs >= 0)
        bound = std::min(bound, cancelSentMs + limits.cancelEndMs);
    return bound;
}

RoundResult runRound(const SoakWorkspace& workspace, const RoundPlan& plan, const RoundLimits& limits,
                     const std::string& roundDir)
{
    std::filesystem::create_directories(roundDir);
    RoundResult result;
    std::vector<std::unique_ptr<TermSim>> sims;
    std::vector<std::string> args = {"--settings", workspace.settingsPath(), "--model",
                                     plan.family == Family::Bootstrap ? "Corvantis/CV1" : "Halvorin/HX1"};
    for (std::size_t i = 0; i < plan.ports.size(); ++i) {
        PortResult port;
        port.filesDir = roundDir + "/terminal" + std::to_string(i);
        sims.push_back(std::make_unique<TermSim>(simArguments(plan.family, plan.ports[i], port.filesDir)));
        port.line = sims.back()->slavePath();
        args.push_back(port.line);
        result.ports.push_back(port);
    }

    ChildProcess station;
    station.redirect(STDIN_FILENO, "/dev/null", O_RDONLY);
    station.redirect(STDOUT_FILENO, roundDir + "/station.out", O_WRONLY | O_CREAT | O_TRUNC);
    station.redirect(STDERR_FILENO, roundDir + "/station.err", O_WRONLY | O_CREAT | O_TRUNC);
    Millis start = platform::tickMs();
    station.start(ORVANE_LOAD, args);

    Millis hardLimit = 0;
    for (const auto& faults : plan.ports)
        hardLimit = std::max(hardLimit, portBoundMs(faults, limits, -1));
    hardLimit = std::min(hardLimit, limits.patienceMs + limits.cancelEndMs) + limits.cancelEndMs;

    std::optional<int> status;
    while (!(status = station.waitForExit(40))) {
        Millis now = platform::tickMs() - start;
        readOutput(readWholeFile(roundDir + "/station.out"), result.ports, now);
        bool running = std::any_of(result.ports.begin(), result.ports.end(), [](const auto& p) { return p.endMs < 0; });
        bool operatorCancels = plan.cancelAtMs && now >= *plan.cancelAtMs;
        if (result.cancelSentMs < 0 && running && (operatorCancels || now >= limits.patienceMs)) {
            station.signal(SIGINT);
            result.cancelSentMs = now;
        }
        for (std::size_t i = 0; i < plan.ports.size(); ++i)
            if (plan.ports[i].killAtMs && now >= *plan.ports[i].killAtMs && !result.ports[i].killed) {
                ::kill(sims[i]->pid(), SIGKILL);
                result.ports[i].killed = true;
            }
        sampleStation(station.pid(), result.ports, now, limits.settleMs, result);
        if (now > hardLimit) {
            station.signal(SIGKILL);
            status = station.waitForExit(0);
            result.waitStatus = -1;
            break;
        }
    }
    result.durationMs = platform::tickMs() - start;
    if (status && result.durationMs <= hardLimit)
        result.waitStatus = *status;
    readOutput(readWholeFile(roundDir + "/station.out"), result.ports, result.durationMs);
    result.errors = readWholeFile(roundDir + "/station.err");
    for (std::size_t i = 0; i < sims.size(); ++i) {
        // A terminal on a paced line is still taking what the station wrote last.
        if (plan.family == Family::IntelHex && result.ports[i].final == "OK" && !result.ports[i].killed)
            sims[i]->waitForExit(limits.cleanLoadMs);
        result.ports[i].simStatus = sims[i]->stop();
    }
    return result;
}
