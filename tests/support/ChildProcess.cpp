#include "support/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr platform::Millis reapPollMs = 10;

// Owns the spawn attributes that put SIGINT and SIGTERM back to their defaults and
// unblock every signal in the child.
class DefaultStopSignals {
public:
    DefaultStopSignals()
    {
        ::posix_spawnattr_init(&attributes_);
        sigset_t defaults, none;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGTERM);
        sigemptyset(&none);
        ::posix_spawnattr_setsigdefault(&attributes_, &defaults);
        ::posix_spawnattr_setsigmask(&attributes_, &none);
        ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~DefaultStopSignals() { ::posix_spawnattr_destroy(&attributes_); }
    DefaultStopSignals(const DefaultStopSignals&) = delete;
    DefaultStopSignals& operator=(const DefaultStopSignals&) = delete;

    const posix_spawnattr_t* get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

class FileActions {
public:
    FileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;

    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

} // namespace

ChildProcess::~ChildProcess()
{
    stop();
}

void ChildProcess::redirect(int stream, int descriptor)
{
    redirections_.push_back({stream, descriptor, {}, 0});
}

void ChildProcess::redirect(int stream, const std::string& path, int openFlags)
{
    redirections_.push_back({stream, -1, path, openFlags});
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    FileActions actions;
    for (const Redirection& r : redirections_) {
        if (r.descriptor >= 0)
            ::posix_spawn_file_actions_adddup2(actions.get(), r.descriptor, r.stream);
        else
            ::posix_spawn_file_actions_addopen(actions.get(), r.stream, r.path.c_str(), r.openFlags, 0600);
    }
    // Descriptors the test holds (a line end, a socket) must not live on in the child.
    ::posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1);
    DefaultStopSignals signals;
    pid_t pid = -1;
    if (::posix_spawn(&pid, program.c_str(), actions.get(), signals.get(), argv.data(), environ) != 0)
        return false;
    pid_ = pid;
    return true;
}

void ChildProcess::signal(int signalNumber)
{
    if (pid_ > 0 && !status_)
        ::kill(pid_, signalNumber);
}

std::optional<int> ChildProcess::waitForExit(platform::Millis limitMs)
{
    if (status_ || pid_ < 0)
        return status_;
    platform::Deadline deadline(limitMs);
    for (;;) {
        int status = 0;
        pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
        if (reaped == pid_ || (reaped < 0 && errno != EINTR)) {
            status_ = reaped == pid_ ? status : -1;
            return status_;
        }
        if (deadline.expired())
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(reapPollMs));
    }
}

int ChildProcess::stop(platform::Millis limitMs)
{
    if (pid_ < 0)
        return -1;
    if (!status_) {
        ::kill(pid_, SIGTERM);
        if (!waitForExit(limitMs)) {
            ::kill(pid_, SIGKILL);
            waitForExit(limitMs);
        }
    }
    return status_.value_or(-1);
}
