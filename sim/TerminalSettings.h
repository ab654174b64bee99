#pragma once
// How the simulated payment terminal behaves: where it starts, the line settings of its
// RAM bootstrap and of its clock dialogue, the timings, what it stores and offers, and
// the faults it plays on the link.
#include "platform/Ticks.h"
#include "sim/LineSettings.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace termsim {

// Link faults, each counted over the whole session ("the first N ...").
struct LinkFaults {
    std::uint64_t nakFrames = 0;  // NAK the first N valid frames (they are dropped)
    std::uint64_t badLcr = 0;     // the first N responses carry a wrong check byte
    std::uint64_t loseAcks = 0;   // the first N frames get no ACK but are answered
    std::uint64_t dleForAck = 0;  // the first N frames get the response's DLE where the ACK belongs
    std::uint64_t truncate = 0;   // the first N responses stop after half their bytes
    std::uint64_t wrongEcho = 0;  // the first N block echoes are the number + 1
    std::uint64_t echoCmd = 0;    // the first N responses echo another command's characters
    std::optional<std::uint64_t> silentAfter; // frames after the Nth get nothing at all
    // Command characters → the two status bytes every answer to it carries.
    std::map<std::string, std::string> statusFor;
    bool shortOpen = false;       // "11"/"15" answered without the block length
    std::optional<std::uint64_t> noiseEvery; // every Nth received byte arrives corrupted
};

struct TerminalSettings {
    enum class Start { Bios, Bootstrap, Protocol };
    Start start = Start::Bios;
    bool biosLoading = true;               // the BIOS waits for a load (its banner shows 'F')
    std::string filesDirectory;            // empty: received files are not kept
    platform::Millis bootDelayMs = 100;    // end record → RAM bootstrap running
    LineSettings rambootLine{115200, 'N', 8, 1};
    std::uint16_t blockLength = 2045;      // offered after "11" and "15"
    std::string guaranteePath;             // empty: selector 4 not available
    std::string configDataPath;            // empty: selector 5 not available
    platform::Millis restartMs = 200;      // "14" answered → clock dialogue
    LineSettings clockLine{115200, 'N', 8, 1};
    char wakeChar = 'T';
    char readyChar = 'K';
    char clockAnswer = 'Y';
    platform::Millis wakeEveryMs = 100;
    platform::Millis wakeLimitMs = 60000;
    LinkFaults faults;
};

} // namespace termsim
