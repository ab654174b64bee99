#include "cli/StationOptions.h"

#include <string_view>

const char* const kStationUsage =
    "usage: orvane-load [--settings FILE] [--model PATH] PORT...\n"
    "       orvane-load [--settings FILE] --list-models\n";

std::optional<StationOptions> parseStationOptions(int argc, char** argv, std::string& error)
{
    StationOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        auto value = [&](std::optional<std::string>& slot) {
            if (i + 1 >= argc) {
                error = std::string(arg) + " needs a value";
                return false;
            }
            slot = argv[++i];
            return true;
        };
        if (arg == "--settings") {
            if (!value(options.settingsFile))
                return std::nullopt;
        } else if (arg == "--model") {
            if (!value(options.modelPath))
                return std::nullopt;
        } else if (arg == "--list-models") {
            options.listModels = true;
        } else if (arg == "--") {
            for (++i; i < argc; ++i)
                options.ports.emplace_back(argv[i]);
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + std::string(arg);
            return std::nullopt;
        } else {
            options.ports.emplace_back(arg);
        }
    }
    if (options.listModels && !options.ports.empty()) {
        error = "--list-models takes no ports";
        return std::nullopt;
    }
    if (!options.listModels && options.ports.empty()) {
        error = "no port given";
        return std::nullopt;
    }
    for (const std::string& port : options.ports)
        if (port.empty()) {
            error = "empty port name";
            return std::nullopt;
        }
    return options;
}
