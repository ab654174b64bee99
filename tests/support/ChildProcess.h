#pragma once
// A program run as a child process of a test: its standard streams go where the owner
// says, every other descriptor of ours stays out of it, and it starts with SIGINT and
// SIGTERM at their defaults and unblocked, whatever the test runner set. The
// destructor ends a child that still runs (see stop) and reaps it.
#include "platform/Ticks.h"

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Before start: the standard stream (STDIN_FILENO, STDOUT_FILENO or STDERR_FILENO)
    // becomes a copy of our descriptor, or the file at path opened with openFlags (a
    // file it creates is private).
    void redirect(int stream, int descriptor);
    void redirect(int stream, const std::string& path, int openFlags);

    // Runs program with the arguments after it; false when it could not be started.
    bool start(const std::string& program, const std::vector<std::string>& arguments);

    // -1 before a successful start.
    pid_t pid() const { return pid_; }
    // Sends the signal unless the child has been reaped.
    void signal(int signalNumber);
    // Waits up to limitMs (0: no limit) for the child to end; its wait status (-1 when
    // it could not be reaped), or nothing while it still runs or was never started.
    std::optional<int> waitForExit(platform::Millis limitMs);
    // Asks it to end (SIGTERM) and waits up to limitMs, then kills it (SIGKILL) and
    // waits as long again; the wait status, -1 when it could not be reaped. Ending an
    // ended child gives the status it ended with.
    int stop(platform::Millis limitMs = 5000);

private:
    struct Redirection {
        int stream;
        int descriptor; // -1: open path instead
        std::string path;
        int openFlags;
    };

    std::vector<Redirection> redirections_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};
