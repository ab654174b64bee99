#pragma once
// The faults one simulated terminal plays during a soak download, drawn from a seeded
// generator, with what the download must come to and the longest it may take by the
// link's time limits.
#include "platform/Ticks.h"

#include <optional>
#include <random>
#include <string>
#include <vector>

enum class Family { Bootstrap, IntelHex };

enum class Outcome {
    Loads, // the terminal is loaded
    Fails, // the download fails, with the expected message last when one is named
    Either // the fault may or may not be survived
};

struct PortFaults {
    std::string name;                  // what the terminal does, for the report
    std::vector<std::string> simArgs;  // the simulator's fault switches
    Outcome outcome = Outcome::Loads;
    std::string lastMessage;           // the message before FAILED, when it is known
    platform::Millis extraMs = 0;      // time the faults may add to a clean load
    std::optional<platform::Millis> killAtMs; // the terminal is pulled off the line then
    bool leavesLine = false;           // the terminal goes away (killed or closing its line)
};

// Draws the faults of one terminal of the family.
PortFaults drawFaults(Family family, std::mt19937_64& random);

// The longest a whole download may take when a fault can hold up every command, by
// the link's limits: per command three exchanges, each an ACK wait, the response's
// first-byte limit and its gaps, and two resend requests.
platform::Millis worstCaseLinkMs();
