// orvane-termsim: a terminal on a serial line for tests, benchmarks and the demo. It
// opens a pseudo-terminal (or a given device), prints the path the station is to open
// as the first line of standard output, and then plays the chosen terminal behaviour.
#include "platform/WakeEvent.h"
#include "sim/EventLog.h"
#include "sim/HexSink.h"
#include "sim/Outbox.h"
#include "sim/PaymentTerminal.h"
#include "sim/PseudoTerminal.h"
#include "sim/RunStats.h"
#include "sim/SerialDevice.h"
#include "sim/Session.h"
#include "sim/SimOptions.h"
#include "sim/StopSignals.h"
#include "sim/StoredData.h"
#include "sim/SymbolicLink.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <csignal>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
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

bool prepareFilesDirectory(const std::string& directory, std::string& error)
{
    if (directory.empty())
        return true;
    struct stat info {};
    if (::stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return true;
    if (::mkdir(directory.c_str(), 0755) == 0)
        return true;
    error = "cannot create " + directory + ": " + platform::systemErrorText(errno);
    return false;
}

std::unique_ptr<termsim::TerminalMode> makeTerminal(const termsim::SimOptions& options, termsim::Outbox& outbox,
                                                    termsim::EventLog& log, termsim::RunStats& stats,
                                                    std::string& error)
{
    termsim::StoredData stored;
    if (!termsim::loadStoredData(options.terminal, stored, error) ||
        !prepareFilesDirectory(options.terminal.filesDirectory, error))
        return nullptr;
    auto terminal = std::make_unique<termsim::PaymentTerminal>(options.terminal, std::move(stored), outbox, log, stats);
    if (!terminal->failure().empty()) {
        error = terminal->failure();
        return nullptr;
    }
    return terminal;
}

std::unique_ptr<termsim::TerminalMode> makeMode(const termsim::SimOptions& options, termsim::Outbox& outbox,
                                                termsim::EventLog& log, termsim::RunStats& stats, std::string& error)
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
    case termsim::ModeKind::Terminal:
        return makeTerminal(options, outbox, log, stats, error);
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

    termsim::Outbox outbox;
    termsim::RunStats stats;
    auto mode = makeMode(options, outbox, log, stats, error);
    if (!mode)
        return failWith(error);

    std::optional<termsim::SymbolicLink> link;
    if (!options.linkPath.empty()) {
        link = termsim::SymbolicLink::create(options.linkPath, line->path(), error);
        if (!link)
            return failWith(error);
    }

    termsim::Session session(*line, *mode, outbox, log, stop, options.pacing, options.faults);
    session.measureInto(stats);
    if (!session.noteInitialSettings())
        return failWith(session.failure());

    std::cout << line->path() << std::endl;
    auto end = session.run();
    if (!options.statsPath.empty() && !stats.writeTo(options.statsPath))
        return failWith("cannot write " + options.statsPath + ": " + platform::systemErrorText(errno));
    switch (end) {
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
