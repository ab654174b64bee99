#pragma once
// An existing serial device standing in for the terminal's end of the line.
#include "sim/TerminalLine.h"

#include <optional>
#include <string>

namespace termsim {

// Opens the device non-blocking and puts it in raw mode. Nothing, with the reason in
// error, when it cannot be opened or is no terminal device.
std::optional<TerminalLine> openSerialDevice(const std::string& path, std::string& error);

} // namespace termsim
