#pragma once
// A new pseudo-terminal pair standing in for the terminal's serial line.
#include "sim/TerminalLine.h"

#include <optional>
#include <string>

namespace termsim {

// Opens a master, unlocks its slave, opens the slave itself (kept for the line's whole
// life) and puts the slave in raw mode. Nothing, with the reason in error, on failure.
std::optional<TerminalLine> openPseudoTerminal(std::string& error);

} // namespace termsim
