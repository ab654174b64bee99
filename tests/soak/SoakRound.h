#pragma once
// One run of orvane-load over several simulated terminals, each with its own faults,
// as an operator would drive it: a cancel (SIGINT) at a chosen moment or when the
// operator's patience runs out, terminals pulled off the line. While it runs, the
// station's threads and descriptors are sampled from /proc: a port whose download has
// ended holds neither its line nor its threads.
#include "platform/Ticks.h"
#include "soak/SoakFaults.h"

#include <optional>
#include <string>
#include <vector>

class SoakWorkspace;

struct RoundPlan {
    Family family = Family::Bootstrap;
    std::vector<PortFaults> ports;
    std::optional<platform::Millis> cancelAtMs; // the operator's cancel, from the start
};

struct PortResult {
    std::string line;                  // the path the station opened
    std::vector<std::string> messages; // its texts before the final one
    std::string final;                 // "OK" or "FAILED"; empty when it never ended
    int finals = 0;                    // how many final texts it printed
    platform::Millis endMs = -1;       // when its final text was seen
    std::string filesDir;              // what the terminal kept
    int simStatus = 0;                 // the simulator's wait status after SIGTERM
    bool killed = false;               // the soak pulled it off the line
};

struct RoundResult {
    std::vector<PortResult> ports;
    int waitStatus = -1; // orvane-load's wait status; -1 when it had to be killed
    std::string errors;  // its standard error
    platform::Millis cancelSentMs = -1;
    platform::Millis durationMs = 0;
    int maxThreads = 0;
    std::vector<std::string> leaks; // descriptors or threads held after a port ended
};

struct RoundLimits {
    platform::Millis cleanLoadMs;   // a clean load of one port, with room for a busy machine
    platform::Millis patienceMs;    // after this long the operator cancels what still runs
    platform::Millis cancelEndMs;   // a cancelled download ends within this
    platform::Millis settleMs;      // a port's threads and line are gone this long after its end
};

RoundResult runRound(const SoakWorkspace& workspace, const RoundPlan& plan, const RoundLimits& limits,
                     const std::string& roundDir);

// The longest the port may take: the clean load and its faults' delays, unless the
// operator's patience or a cancel comes first.
platform::Millis portBoundMs(const PortFaults& faults, const RoundLimits& limits, platform::Millis cancelSentMs);
