// orvane-readersim: a reader network server for tests, demonstrations and engineers.
// It listens on a TCP port, prints "port N" as its first line, then logs every line it
// receives and sends while it serves stations and reads commands on standard input.
#include "platform/WakeEvent.h"
#include "sim/ReaderServer.h"
#include "sim/ReaderSimOptions.h"
#include "sim/StopSignals.h"

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    std::string error;
    auto options = readersim::parseReaderSimOptions(argc, argv, error);
    if (!options) {
        std::fprintf(stderr, "orvane-readersim: %s\n%s", error.c_str(), readersim::kReaderSimUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(readersim::kReaderSimUsage, stdout);
        return 0;
    }
    readersim::ReaderServer server(options->server);
    if (!server.listen(error)) {
        std::fprintf(stderr, "orvane-readersim: %s\n", error.c_str());
        return 1;
    }
    std::printf("port %d\n", server.port());
    std::fflush(stdout);
    server.setLog([](const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    });
    platform::WakeEvent stop;
    termsim::StopSignals signals(stop);
    server.run(stop, STDIN_FILENO);
    return 0;
}
