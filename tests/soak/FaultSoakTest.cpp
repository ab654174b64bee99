// Hundreds of downloads through orvane-load against simulated terminals playing random
// faults: noise, lost and cut responses, NAKs, silence, terminals pulled off the line,
// lines that stop taking bytes, error statuses and operator cancels at random moments.
// Every download ends, by the link's time limits, with success or with the station's
// own messages; nothing crashes or holds a line or a thread after its download; the
// settings file stays whole with its sequences only moving forward; no serial number
// or MAC address is handed out twice; a good load leaves the terminal with exactly
// the files sent.
//
//   ORVANE_SOAK_DOWNLOADS  downloads (30)        ORVANE_SOAK_SEED      the generator's seed
//   ORVANE_SOAK_PARALLEL   stations at once (2)  ORVANE_SOAK_PATIENCE  seconds before the
//                                                                      operator cancels (20)
#include "soak/SoakRound.h"
#include "soak/SoakWorkspace.h"
#include "soak/StationMessages.h"
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sys/wait.h>
#include <thread>

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kSlowdown = 3; // the sanitized station and simulators run slower
#else
constexpr int kSlowdown = 1;
#endif
// How late the soak may see a download end that had ended before its cancel.
constexpr platform::Millis kEndingMarginMs = 150 * kSlowdown;

long long environmentNumber(const char* name, long long fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::atoll(text) : fallback;
}

std::vector<RoundPlan> planRounds(int downloads, std::mt19937_64& random)
{
    std::vector<RoundPlan> rounds;
    for (int planned = 0; planned < downloads;) {
        RoundPlan round;
        round.family = std::bernoulli_distribution(0.6)(random) ? Family::Bootstrap : Family::IntelHex;
        int ports = std::min(std::uniform_int_distribution<int>(1, 3)(random), downloads - planned);
        for (int i = 0; i < ports; ++i)
            round.ports.push_back(drawFaults(round.family, random));
        if (std::bernoulli_distribution(0.2)(random))
            round.cancelAtMs = std::uniform_int_distribution<int>(100, 4000)(random);
        planned += ports;
        rounds.push_back(std::move(round));
    }
    return rounds;
}

std::string identityAfter(const std::vector<std::string>& messages, const std::string& leading)
{
    for (const auto& message : messages)
        if (message.rfind(leading, 0) == 0)
            return message.substr(leading.size());
    return "";
}

std::vector<unsigned char> macBytes(const std::string& text)
{
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

struct Tally {
    int loaded = 0, failed = 0, cancelled = 0;
    platform::Millis longestCancelEnd = 0, longestRound = 0;
    int maxThreads = 0;
    std::map<std::string, int> faults;
};

class FaultSoak : public testing::Test {
protected:
    // Everything one port's download must satisfy.
    void checkPort(const RoundPlan& plan, const RoundResult& round, std::size_t i, const std::string& where)
    {
        const PortFaults& faults = plan.ports[i];
        const PortResult& port = round.ports[i];
        std::string last;
        for (std::size_t m = port.messages.size() > 3 ? port.messages.size() - 3 : 0; m < port.messages.size(); ++m)
            last += "\n  " + port.messages[m];
        SCOPED_TRACE(where + " port " + std::to_string(i) + " (" + faults.name + ") on " + port.line + ", ending" + last);
        ASSERT_EQ(port.finals, 1) << "the download did not end exactly once";
        for (const auto& message : port.messages)
            EXPECT_TRUE(isStationMessage(message)) << "not a message of the station: " << message;
        EXPECT_LE(port.endMs, portBoundMs(faults, limits, round.cancelSentMs)) << "the download took too long";

        // A download still running when the cancel came ends with the cancel message; one
        // that was ending just then (seen up to a poll later) may end as it would have.
        bool endedAfterCancel = round.cancelSentMs >= 0 && port.endMs >= round.cancelSentMs;
        if (endedAfterCancel)
            tally.longestCancelEnd = std::max(tally.longestCancelEnd, port.endMs - round.cancelSentMs);
        if (endedAfterCancel && !port.messages.empty() && port.messages.back() == kCancelledMessage)
            ++tally.cancelled;
        if (endedAfterCancel && port.endMs > round.cancelSentMs + kEndingMarginMs) {
            EXPECT_EQ(port.final, "FAILED");
            ASSERT_FALSE(port.messages.empty());
            EXPECT_EQ(port.messages.back(), kCancelledMessage);
        } else if (round.cancelSentMs < 0 || port.endMs < round.cancelSentMs) {
            if (faults.outcome == Outcome::Loads) {
                EXPECT_EQ(port.final, "OK");
            }
            if (faults.outcome == Outcome::Fails) {
                EXPECT_EQ(port.final, "FAILED");
                if (!faults.lastMessage.empty() && !port.messages.empty()) {
                    EXPECT_EQ(port.messages.back(), faults.lastMessage);
                }
            }
        }
        if (port.final == "OK") {
            ++tally.loaded;
            EXPECT_EQ(port.messages.back(), "Carga finalizada.");
            if (!faults.leavesLine)
                checkLoadedTerminal(plan.family, port);
        } else {
            ++tally.failed;
        }
        if (!port.killed) {
            EXPECT_TRUE(exitedWith(port.simStatus, 0)) << "the simulated terminal ended with " << port.simStatus;
        }
        checkIdentities(port);
    }

    void checkLoadedTerminal(Family family, const PortResult& port)
    {
        if (family == Family::IntelHex) {
            expectSame(port.filesDir + ".hex", ws.hexStream);
            return;
        }
        expectSame(port.filesDir + "/ramboot.hex", ws.ramboot);
        expectSame(port.filesDir + "/02-prekernel.bin", ws.prekernel);
        expectSame(port.filesDir + "/03-kernel.bin", ws.kernel);
        expectSame(port.filesDir + "/04-app.bin", ws.application);
        std::string config = readWholeFile(port.filesDir + "/01-config.bin");
        std::string serial = identityAfter(port.messages, "Serial Number ");
        std::vector<unsigned char> mac = macBytes(identityAfter(port.messages, "MAC Number:  "));
        EXPECT_NE(config.find(serial), std::string::npos) << "the stored configuration lacks " << serial;
        EXPECT_NE(config.find(std::string(mac.begin(), mac.end())), std::string::npos) << "and its MAC address";
    }

    void expectSame(const std::string& path, const std::string& sent)
    {
        std::string kept = readWholeFile(path);
        auto differs = std::mismatch(kept.begin(), kept.end(), sent.begin(), sent.end());
        EXPECT_TRUE(kept == sent) << path << ": " << kept.size() << " bytes kept of " << sent.size()
                                  << " sent, the first difference at byte " << (differs.first - kept.begin());
    }

    // Each value handed out is new, lies in the sequence's range and is never repeated.
    void checkIdentities(const PortResult& port)
    {
        std::string serial = identityAfter(port.messages, "Serial Number ");
        if (!serial.empty()) {
            EXPECT_TRUE(serials.insert(serial).second) << "serial number handed out twice: " << serial;
            EXPECT_GE(std::stoll(serial), ws.firstSerial);
        }
        std::string mac = identityAfter(port.messages, "MAC Number:  ");
        if (!mac.empty()) {
            EXPECT_TRUE(macs.insert(mac).second) << "MAC address handed out twice: " << mac;
            EXPECT_GE(std::stoll(mac, nullptr, 16), ws.firstMac);
        }
    }

    void checkStation(const RoundPlan& plan, const RoundResult& round, const std::string& where)
    {
        SCOPED_TRACE(where);
        ASSERT_GE(round.waitStatus, 0) << "orvane-load did not end in time";
        ASSERT_TRUE(WIFEXITED(round.waitStatus)) << "orvane-load ended by signal " << WTERMSIG(round.waitStatus)
                                                 << "\n" << round.errors;
        bool allLoaded = std::all_of(round.ports.begin(), round.ports.end(), [](const auto& p) { return p.final == "OK"; });
        EXPECT_EQ(WEXITSTATUS(round.waitStatus), allLoaded ? 0 : 1);
        for (const char* report : {"Sanitizer", "runtime error", "terminate called"})
            EXPECT_EQ(round.errors.find(report), std::string::npos) << round.errors;
        for (const auto& leak : round.leaks)
            ADD_FAILURE() << leak;
        for (std::size_t i = 0; i < plan.ports.size(); ++i)
            checkPort(plan, round, i, where);
        tally.longestRound = std::max(tally.longestRound, round.durationMs);
        tally.maxThreads = std::max(tally.maxThreads, round.maxThreads);
    }

    // Stations appending at once never mix their lines: each is a port, a kind and a
    // message of the station.
    void checkLoadLog()
    {
        std::vector<std::string> lines = readLines(ws.dir.file("load.log"));
        EXPECT_FALSE(lines.empty());
        for (const auto& line : lines) {
            auto blank = line.find(' ');
            ASSERT_TRUE(line.rfind("/dev/", 0) == 0 && blank != std::string::npos) << "load log line: " << line;
            std::string message = line.substr(blank + 1);
            for (const char* kind : {"CARGA: ", "ERROR: "})
                if (message.rfind(kind, 0) == 0)
                    message = message.substr(std::string(kind).size());
            EXPECT_TRUE(isStationMessage(message)) << "load log line: " << line;
        }
    }

    SoakWorkspace ws;
    RoundLimits limits{20000 * kSlowdown, environmentNumber("ORVANE_SOAK_PATIENCE", 20) * 1000 * kSlowdown,
                       5000 * kSlowdown, 1500 * kSlowdown};
    std::set<std::string> serials, macs;
    Tally tally;
};

TEST_F(FaultSoak, EveryDownloadEndsWellUnderRandomFaults)
{
    auto seed = static_cast<std::uint64_t>(
        environmentNumber("ORVANE_SOAK_SEED", std::chrono::system_clock::now().time_since_epoch().count() % 1000000007));
    int downloads = static_cast<int>(environmentNumber("ORVANE_SOAK_DOWNLOADS", 30));
    int parallel = std::max(1, static_cast<int>(environmentNumber("ORVANE_SOAK_PARALLEL", 2)));
    std::printf("soak: seed %llu, %d downloads, %d stations at once (repeat with ORVANE_SOAK_SEED=%llu)\n",
                static_cast<unsigned long long>(seed), downloads, parallel, static_cast<unsigned long long>(seed));
    std::fflush(stdout);
    RecordProperty("seed", std::to_string(seed));
    std::mt19937_64 random(seed);
    std::vector<RoundPlan> plans = planRounds(downloads, random);

    // The station's exchange files go to a folder of its own, which must be empty at the end.
    ::setenv("TMPDIR", ws.stationTemp().c_str(), 1);
    std::string path = ws.pathEntry().substr(5);
    ::setenv("PATH", path.c_str(), 1);

    std::string fixed = ws.fixedSettings();
    std::vector<RoundResult> results(plans.size());
    std::atomic<std::size_t> next{0};
    {
        std::vector<std::jthread> stations;
        for (int s = 0; s < parallel; ++s)
            stations.emplace_back([&] {
                for (std::size_t r; (r = next++) < plans.size();)
                    results[r] = runRound(ws, plans[r], limits, ws.dir.file("round" + std::to_string(r)));
            });
    }

    long long serialsBefore = ws.firstSerial, macsBefore = ws.firstMac;
    for (std::size_t r = 0; r < plans.size(); ++r) {
        for (const auto& faults : plans[r].ports)
            ++tally.faults[(plans[r].family == Family::Bootstrap ? "bootstrap " : "intel hex ") +
                           faults.name.substr(0, faults.name.find_first_of("0123456789") == std::string::npos
                                                     ? faults.name.size()
                                                     : faults.name.find_first_of("0123456789") - 1)];
        checkStation(plans[r], results[r], "seed " + std::to_string(seed) + " round " + std::to_string(r));
    }

    // The settings file: whole, the other settings unchanged, the sequences moved on by
    // at least every value handed out.
    EXPECT_EQ(ws.fixedSettings(), fixed);
    EXPECT_GE(ws.nextSerial(), serialsBefore + static_cast<long long>(serials.size()));
    EXPECT_GE(ws.nextMac(), macsBefore + static_cast<long long>(macs.size()));
    for (const auto& serial : serials)
        EXPECT_LT(std::stoll(serial), ws.nextSerial());
    for (const auto& mac : macs)
        EXPECT_LT(std::stoll(mac, nullptr, 16), ws.nextMac());
    checkLoadLog();
    EXPECT_TRUE(std::filesystem::is_empty(ws.stationTemp())) << "exchange files left behind";
    for (const auto& entry : std::filesystem::directory_iterator(ws.dir.path()))
        EXPECT_TRUE(entry.is_directory() || entry.path().filename() == "orvane.conf" ||
                    entry.path().filename() == "orvane.conf.lock" || entry.path().filename() == "load.log")
            << "left behind: " << entry.path();

    std::printf("soak: %d loaded, %d failed (%d of them cancelled); %zu serial numbers and %zu MAC addresses, "
                "none twice\n",
                tally.loaded, tally.failed, tally.cancelled, serials.size(), macs.size());
    std::printf("soak: longest station run %.1f s, longest end after a cancel %.2f s, at most %d station threads\n",
                tally.longestRound / 1000.0, tally.longestCancelEnd / 1000.0, tally.maxThreads);
    for (const auto& [fault, count] : tally.faults)
        std::printf("soak:   %3d x %s\n", count, fault.c_str());
}

} // namespace
