#pragma once
// The data objects the terminal holds and answers command "13" with: its guarantee
// data (selector 4) and its configuration data (selector 5), read from files given on
// the command line. An object not given is not available.
#include "sim/TerminalSettings.h"

#include <optional>
#include <string>

namespace termsim {

struct StoredData {
    std::optional<std::string> guarantee;
    std::optional<std::string> configuration;
};

// The bytes that stand before the guarantee data in the answer to selector 4: the
// station looks for the object from payload index 12 on, after status, command and these.
inline constexpr std::size_t guaranteeFillerSize = 8;

// Reads the files the settings name. False with the reason in error when one cannot be
// read or its answer would not fit in one response frame.
bool loadStoredData(const TerminalSettings& settings, StoredData& stored, std::string& error);

} // namespace termsim
