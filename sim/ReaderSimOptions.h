#pragma once
// The command line of orvane-readersim.
#include "sim/ReaderServer.h"

#include <optional>
#include <string>

namespace readersim {

struct ReaderSimOptions {
    ServerSettings server;
    bool help = false;
};

extern const char* const kReaderSimUsage;

// Nothing, with the reason, when the command line is not valid.
std::optional<ReaderSimOptions> parseReaderSimOptions(int argc, char** argv, std::string& error);

} // namespace readersim
