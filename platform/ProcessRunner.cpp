#include "platform/ProcessRunner.h"

#include "platform/FileDescriptor.h"
#include "platform/NetworkDirectory.h"
#include "platform/Paths.h"
#include "platform/WakeEvent.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

// How long a killed program may take to disappear before it is left to the system.
constexpr Millis reapLimitMs = 5000;
// The polling step when the kernel offers no process descriptor.
constexpr Millis pollStepMs = 10;

// Spawn attributes: every signal unblocked, and the stop and pipe signals at their
// defaults even when the station ignores them.
class SpawnAttributes {
public:
    SpawnAttributes()
    {
        ::posix_spawnattr_init(&attributes_);
        sigset_t defaults, none;
        sigemptyset(&defaults);
        for (int signalNumber : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGTERM, SIGXFSZ})
            sigaddset(&defaults, signalNumber);
        sigemptyset(&none);
        ::posix_spawnattr_setsigdefault(&attributes_, &defaults);
        ::posix_spawnattr_setsigmask(&attributes_, &none);
        ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    const posix_spawnattr_t* get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

// What the program finds when it starts: standard streams on /dev/null (it runs hidden),
// no other descriptor of the station, and its own working directory.
class HiddenStart {
public:
    explicit HiddenStart(const std::string& workingDirectory)
    {
        ::posix_spawn_file_actions_init(&actions_);
        ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        ::posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_adddup2(&actions_, STDOUT_FILENO, STDERR_FILENO);
        ::posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
        if (!workingDirectory.empty())
            ::posix_spawn_file_actions_addchdir_np(&actions_, workingDirectory.c_str());
    }
    ~HiddenStart() { ::posix_spawn_file_actions_destroy(&actions_); }
    HiddenStart(const HiddenStart&) = delete;
    HiddenStart& operator=(const HiddenStart&) = delete;

    const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

enum class ChildWait { Ended, TimedOut, Aborted, Failed };

// True once the child has ended; it stays unreaped.
bool childEnded(pid_t pid)
{
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

// Waits until the child ends, the abort event is set or the deadline passes. The
// child's process descriptor is used when the kernel has one; otherwise the child is
// polled in short steps.
ChildWait waitForChild(pid_t pid, const FileDescriptor& processFd, const WakeEvent& abort, const Deadline& deadline,
                       int& errorNumber)
{
    if (processFd) {
        switch (waitReadable(processFd.get(), abort, deadline)) {
        case WaitResult::Ready: return ChildWait::Ended;
        case WaitResult::Woken: return ChildWait::Aborted;
        case WaitResult::TimedOut: return ChildWait::TimedOut;
        case WaitResult::Failed: errorNumber = errno; return ChildWait::Failed;
        }
    }
    for (;;) {
        if (childEnded(pid))
            return ChildWait::Ended;
        if (abort.isSet())
            return ChildWait::Aborted;
        if (deadline.expired())
            return ChildWait::TimedOut;
        Millis step = deadline.unlimited() ? pollStepMs : std::min(pollStepMs, deadline.remainingMs());
        sleepUnlessWoken(std::max<Millis>(step, 1), abort);
    }
}

// The ended child's wait status, reaped; -1 when it cannot be had.
int reap(pid_t pid)
{
    int status = 0;
    for (;;) {
        pid_t reaped = ::waitpid(pid, &status, 0);
        if (reaped == pid)
            return status;
        if (reaped < 0 && errno != EINTR)
            return -1;
    }
}

// Kills the child and reaps it; a child that does not go within the reap limit (stuck
// in the kernel) is left behind rather than blocking the station.
void killAndReap(pid_t pid, const FileDescriptor& processFd)
{
    ::kill(pid, SIGKILL);
    WakeEvent neverSet;
    int ignored = 0;
    if (waitForChild(pid, processFd, neverSet, Deadline(reapLimitMs), ignored) == ChildWait::Ended)
        reap(pid);
}

FileDescriptor openProcessFd(pid_t pid)
{
    // Process descriptors are always closed on exec.
    return FileDescriptor(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
}

// The working directory as the program gets it: a network directory mapped to its mount
// point and a relative one made absolute, so that a program path inside it stays right
// after the program changes into it. Empty when it cannot be used.
std::string workingDirectoryFor(std::string_view directory, bool& usable)
{
    std::string resolved(directory);
    usable = ResolveWorkingDirectory(resolved);
    if (!resolved.empty()) {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(resolved, error);
        if (!error)
            resolved = absolute.string();
    }
    return resolved;
}

} // namespace

std::vector<std::string> splitArguments(std::string_view text)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos)
            break;
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos)
            end = text.size();
        words.emplace_back(text.substr(start, end - start));
        at = end;
    }
    return words;
}

std::string locateProgram(std::string_view directory, std::string_view programName)
{
    if (!directory.empty()) {
        std::string inDirectory = joinPath(directory, programName);
        if (::access(inDirectory.c_str(), F_OK) == 0)
            return inDirectory;
    }
    return std::string(programName);
}

ProcessRun RunProcess(std::string_view directory, std::string_view programName, std::string_view arguments,
                      Millis timeoutMs, WakeEvent* abort)
{
    ProcessRun run;
    bool usable = false;
    std::string workingDirectory = workingDirectoryFor(directory, usable);
    run.programPath = locateProgram(workingDirectory, programName);

    std::vector<std::string> words{run.programPath};
    for (std::string& word : splitArguments(arguments))
        words.push_back(std::move(word));
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    HiddenStart start(usable ? workingDirectory : std::string());
    SpawnAttributes attributes;
    pid_t pid = -1;
    bool bareName = run.programPath.find('/') == std::string::npos;
    int error = bareName ? ::posix_spawnp(&pid, run.programPath.c_str(), start.get(), attributes.get(), argv.data(), environ)
                         : ::posix_spawn(&pid, run.programPath.c_str(), start.get(), attributes.get(), argv.data(), environ);
    if (error != 0) {
        run.outcome = ProcessRun::Outcome::NotStarted;
        run.errorNumber = error;
        return run;
    }

    FileDescriptor processFd = openProcessFd(pid);
    WakeEvent neverSet;
    const WakeEvent& abortEvent = abort ? *abort : neverSet;
    switch (waitForChild(pid, processFd, abortEvent, Deadline(timeoutMs), run.errorNumber)) {
    case ChildWait::Ended: {
        int status = reap(pid);
        run.outcome = ProcessRun::Outcome::Exited;
        run.exitCode = status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        break;
    }
    case ChildWait::TimedOut:
        killAndReap(pid, processFd);
        run.outcome = ProcessRun::Outcome::TimedOut;
        break;
    case ChildWait::Aborted:
        killAndReap(pid, processFd);
        abort->reset();
        run.outcome = ProcessRun::Outcome::Aborted;
        break;
    case ChildWait::Failed:
        killAndReap(pid, processFd);
        run.outcome = ProcessRun::Outcome::WaitFailed;
        break;
    }
    return run;
}

} // namespace platform
