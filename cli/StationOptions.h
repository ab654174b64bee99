#pragma once
// The command line of the headless station:
//   orvane-load [--settings FILE] [--model PATH] PORT...
//   orvane-load [--settings FILE] --list-models
#include <optional>
#include <string>
#include <vector>

struct StationOptions {
    std::optional<std::string> settingsFile;
    std::optional<std::string> modelPath;
    bool listModels = false;
    std::vector<std::string> ports;
};

// The options, or nothing with a message in error when the command line is not usable.
std::optional<StationOptions> parseStationOptions(int argc, char** argv, std::string& error);

extern const char* const kStationUsage;
