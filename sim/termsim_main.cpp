// orvane-termsim: a terminal on a serial line for tests, benchmarks and the demo. It
// opens a pseudo-terminal (or a given device), prints the path the station is to open
// as the first line of standard output, and then plays the chosen terminal behaviour.
#include "platform/WakeEvent.h"
#include "sim/EventLog.h"
#include "sim/HexSink.h"
#include "sim/Outbox.h"
#include "sim/PseudoTerminal.h"
#include "sim/SerialDevice.h"
#include "sim/Session.h"
#include "sim/SimOptions.h"
#include "sim/StopSignals.h"
#include "sim/SymbolicLink.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <csignal>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int exitSuccess = 0;
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

int failWith(const std::string& text)
{
    std::cerr << "orvane-termsim: " << text << '\n';
    return exitFailure;
}

std::optional<termsim::TerminalLine> openLine(const termsim::SimOptions& options, std::string& error)
{
    if (!options.devicePath.empty())
        return termsim::openSerialDevice(options.devicePath, error);
    return termsim::openPseudoTerminal(error);
}

std::unique_ptr<termsim::TerminalMode> makeMode(const termsim::SimOptions& options, termsim::EventLog& log,
                                                std::string& error)
{
    switch (options.mode) {
    case termsim::ModeKind::HexSink: {
        auto sink = std::make_unique<termsim::HexSink>(termsim::HexSinkSettings{options.outPath, options.exitOnEof},
                                                       log);
        if (!sink->open()) {
            error = sink->failure();
            return nullptr;
        }
        return sink;
    }
    }
    error = "unknown mode";
    return nullptr;
}

int runSimulator(const termsim::SimOptions& options)
{
    platform::WakeEvent stop;
    termsim::StopSignals stopSignals(stop);
    std::signal(SIGPIPE, SIG_IGN);

    std::string error;
    auto line = openLine(options, error);
    if (!line)
        return failWith(error);

    termsim::EventLog log;
    if (!options.logPath.empty() && !log.open(options.logPath))
        return failWith("cannot open " + options.logPath + ": " + platform::systemErrorText(errno));

    auto mode = makeMode(options, log, error);
    if (!mode)
        return failWith(error);

    std::optional<termsim::SymbolicLink> link;
    if (!options.linkPath.empty()) {
        link = termsim::SymbolicLink::create(options.linkPath, line->path(), error);
        if (!link)
            return failWith(error);
    }

    termsim::Outbox outbox;
    termsim::Session session(*line, *mode, outbox, log, stop, options.pacing, options.faults);
    if (!session.noteInitialSettings())
        return failWith(session.failure());

    std::cout << line->path() << std::endl;
    switch (session.run()) {
    case termsim::SessionEnd::Stopped:
    case termsim::SessionEnd::Finished:
    case termsim::SessionEnd::Vanished:
        return exitSuccess;
    case termsim::SessionEnd::Failed:
        break;
    }
    return failWith(session.failure());
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    termsim::SimOptions options;
    std::string error;
    if (!termsim::parseOptions(arguments, options, error)) {
        std::cerr << "orvane-termsim: " << error << '\n' << termsim::usageText();
        return exitUsage;
    }
    if (options.showHelp) {
        std::cout << termsim::usageText();
        return exitSuccess;
    }
    return runSimulator(options);
}
