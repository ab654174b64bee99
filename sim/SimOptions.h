#pragma once
// The simulator's command line: what it opens, how it behaves and which faults it plays.
#include "sim/TerminalSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace termsim {

// The terminal behaviour the simulator plays on the line.
enum class ModeKind { HexSink, Terminal };

// How fast the simulator takes (and gives) bytes: not paced, at a fixed bit rate,
// or at the rate the station set on the line.
struct PacingOption {
    enum class Kind { Off, Fixed, FollowLine };
    Kind kind = Kind::Off;
    unsigned bitsPerSecond = 0;
};

// Faults of the line itself; a count means "after that many received bytes". The
// terminal's link faults are in TerminalSettings.
struct FaultSettings {
    std::optional<std::uint64_t> vanishAfter;
    std::optional<std::uint64_t> stallAfter;
};

struct SimOptions {
    ModeKind mode = ModeKind::HexSink;
    std::string devicePath;   // empty: open a pseudo-terminal pair
    std::string linkPath;     // empty: no symbolic link
    std::string outPath;      // empty: received bytes are not kept
    std::string logPath;      // empty: no event log
    std::string statsPath;    // empty: no measurements written
    bool exitOnEof = false;
    bool showHelp = false;
    PacingOption pacing;
    FaultSettings faults;
    TerminalSettings terminal; // --mode terminal only
};

// Parses the arguments (without the program name). False with a one-line reason on an
// unknown option, a missing value or a bad value.
bool parseOptions(const std::vector<std::string>& arguments, SimOptions& options, std::string& error);

// The usage text shown with --help and after a bad command line.
std::string usageText();

} // namespace termsim
