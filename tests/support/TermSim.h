#pragma once
// The terminal simulator (orvane-termsim) as a child process of a test: started with
// the given arguments, it reports the path of its line (the first line of its standard
// output); the destructor ends it (SIGTERM, then SIGKILL after a bound) and reaps it.
#include "platform/FileDescriptor.h"
#include "platform/Ticks.h"
#include "support/ChildProcess.h"

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

class TermSim {
public:
    // Starts the simulator built with this test program (ORVANE_TERMSIM) and waits up
    // to startLimitMs for the path of its line.
    explicit TermSim(std::vector<std::string> arguments, platform::Millis startLimitMs = 5000);
    // The same with another program (a simulator built elsewhere).
    TermSim(std::string program, std::vector<std::string> arguments, platform::Millis startLimitMs);
    ~TermSim();
    TermSim(const TermSim&) = delete;
    TermSim& operator=(const TermSim&) = delete;

    // True when the simulator printed its line's path in time.
    bool started() const { return !linePath_.empty(); }
    // The path the station opens: the pseudo-terminal slave (or the given device).
    const std::string& slavePath() const { return linePath_; }
    pid_t pid() const { return child_.pid(); }

    // Waits up to limitMs (0: no limit) for the simulator to end by itself; its wait
    // status (see exitedWith), or nothing while it still runs.
    std::optional<int> waitForExit(platform::Millis limitMs);
    // Asks it to end (SIGTERM) and waits up to limitMs, then kills it (SIGKILL) and
    // waits as long again; the wait status, -1 when it could not be reaped. Ending an
    // ended simulator gives the status it ended with.
    int stop(platform::Millis limitMs = 5000);

private:
    void start(const std::string& program, const std::vector<std::string>& arguments, platform::Millis startLimitMs);
    void readLinePath(platform::Millis limitMs);

    ChildProcess child_;
    platform::FileDescriptor output_;
    std::string linePath_;
};

// True when the wait status says the process exited normally with the given code.
bool exitedWith(int waitStatus, int code);
