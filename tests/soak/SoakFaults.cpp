#include "soak/SoakFaults.h"

#include <array>

namespace {

using platform::Millis;

constexpr Millis kAckWaitMs = 10000; // the wait for ACK or NAK after a frame
constexpr Millis kGapMs = 10000;     // the wait for each further byte of a response

// One command that fails after every retry: three exchanges, each an ACK wait and a
// response whose first byte takes the whole limit, cut short and asked again twice.
constexpr Millis failingCommandMs(Millis firstByteLimitMs)
{
    return 3 * (kAckWaitMs + 3 * (firstByteLimitMs + kGapMs));
}

// The commands of a load of the soak's bootstrap-family model, by first-byte limit:
// two reads of stored data, four openings ("11" three times, "15" once), the blocks of
// the configuration data, prekernel, kernel and application with their closing empty
// blocks, and the closing command; then the BIOS console probe "10" and the clock.
constexpr Millis kOpenLimitMs = 240000, kCommandLimitMs = 60000, kProbeLimitMs = 500;
constexpr int kOpenings = 3, kOtherCommands = 2 + 1 + 1 + (2 + 1) + (1 + 1) + (5 + 1) + (3 + 1) + 1;
constexpr Millis kClockMs = 5000 + 3 * 1000 + 1000 + 3000;

int between(std::mt19937_64& random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random);
}

std::string number(int value)
{
    return std::to_string(value);
}

PortFaults bootstrapFaults(std::mt19937_64& random)
{
    struct Status {
        const char* command;
        const char* message;
    };
    static constexpr std::array<Status, 4> statuses = {{
        {"12=54", "Erroneous block number."},
        {"11=52", "Digital signature error."},
        {"15=56", "Flash writing / erasing error."},
        {"14=?>", "Command not allowed in the current terminal status."},
    }};
    const Millis stall = worstCaseLinkMs();
    switch (between(random, 0, 21)) {
    case 0: case 1: case 2: case 3:
        return {"clean", {}, Outcome::Loads, "", 0, {}, false};
    case 4: case 5: {
        int n = between(random, 1, 8); // the ninth NAK of one command would end it
        return {"naks " + number(n), {"--nak-frames", number(n)}, Outcome::Loads, "", 0, {}, false};
    }
    case 6: {
        int n = between(random, 1, 6);
        return {"bad-lcr " + number(n), {"--bad-lcr", number(n)}, Outcome::Loads, "", 0, {}, false};
    }
    case 7: {
        int n = between(random, 1, 2);
        return {"lost-acks " + number(n), {"--lose-acks", number(n)}, Outcome::Loads, "", n * kAckWaitMs, {}, false};
    }
    case 8: {
        int n = between(random, 1, 4);
        return {"dle-for-ack " + number(n), {"--dle-for-ack", number(n)}, Outcome::Loads, "", 0, {}, false};
    }
    case 9:
        return {"truncated", {"--truncate", "1"}, Outcome::Loads, "", kGapMs, {}, false};
    case 10: {
        int n = between(random, 1, 2);
        return {"wrong command echo " + number(n), {"--echo-cmd", number(n)}, Outcome::Loads, "", 0, {}, false};
    }
    case 11:
        return {"wrong block echo", {"--wrong-echo", "1"}, Outcome::Fails, "Unexpected block number.", 0, {}, false};
    case 12: case 13: {
        const Status& s = statuses[static_cast<std::size_t>(between(random, 0, 3))];
        return {std::string("status ") + s.command, {"--status", s.command}, Outcome::Fails, s.message, 0, {}, false};
    }
    case 14: case 15: {
        // At most one corrupted byte a frame: the check byte is an exclusive-or, so two
        // equal flips in one frame would cancel out and pass unseen.
        int n = between(random, 4200, 9000);
        return {"noise every " + number(n), {"--noise-every", number(n)}, Outcome::Either, "", stall, {}, false};
    }
    case 16: {
        int n = between(random, 0, 15); // a whole load takes more frames
        return {"silent after " + number(n), {"--silent-after", number(n)}, Outcome::Fails, "", stall, {}, false};
    }
    case 17: case 18: {
        Millis at = between(random, 100, 3000);
        return {"pulled at " + number(static_cast<int>(at)) + " ms", {}, Outcome::Either, "", stall, at, true};
    }
    case 19: {
        int n = between(random, 200, 20000);
        return {"line closed after " + number(n), {"--vanish-after", number(n)}, Outcome::Either, "", stall, {}, true};
    }
    case 20:
        return {"bios idle", {"--bios-idle"}, Outcome::Fails, "The terminal isn't in loading state.",
                500 + 500 + failingCommandMs(kProbeLimitMs), {}, false};
    default: {
        int n = between(random, 100, 20000);
        return {"stops reading after " + number(n), {"--stall-after", number(n)}, Outcome::Either, "", stall, {}, false};
    }
    }
}

PortFaults intelHexFaults(std::mt19937_64& random)
{
    // 115200 bit/s, ten bits a byte: the soak's stream of about 18 KB takes 1.6 s.
    const Millis paced = 2000;
    switch (between(random, 0, 6)) {
    case 0: case 1:
        return {"clean", {}, Outcome::Loads, "", 0, {}, false};
    case 2: case 3:
        return {"paced", {"--bitrate", "115200"}, Outcome::Loads, "", paced, {}, false};
    case 4: case 5: {
        Millis at = between(random, 50, 2000);
        return {"pulled at " + number(static_cast<int>(at)) + " ms", {"--bitrate", "115200"}, Outcome::Either, "",
                paced, at, true};
    }
    default: {
        int n = between(random, 100, 15000);
        return {"line closed after " + number(n), {"--bitrate", "115200", "--vanish-after", number(n)},
                Outcome::Either, "", paced, {}, true};
    }
    }
}

} // namespace

PortFaults drawFaults(Family family, std::mt19937_64& random)
{
    return family == Family::Bootstrap ? bootstrapFaults(random) : intelHexFaults(random);
}

platform::Millis worstCaseLinkMs()
{
    return 500 + 500 + failingCommandMs(kProbeLimitMs) + kOpenings * failingCommandMs(kOpenLimitMs) +
           kOtherCommands * failingCommandMs(kCommandLimitMs) + kClockMs;
}
