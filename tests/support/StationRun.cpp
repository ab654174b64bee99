#include "support/StationRun.h"

#include "support/TempDir.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

StationRun::StationRun(std::vector<std::string> arguments, const std::string& outputDir, const std::string& inputFile)
    : outputFile_(outputDir + "/station.out"), errorFile_(outputDir + "/station.err")
{
    std::vector<std::string> words{ORVANE_LOAD};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inputFile.c_str(), O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    // The child starts with SIGINT and SIGTERM at their defaults, whatever the test runner set.
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigemptyset(&none);
    ::posix_spawnattr_setsigdefault(&attributes, &defaults);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    if (::posix_spawn(&pid_, ORVANE_LOAD, &actions, &attributes, argv.data(), environ) != 0)
        pid_ = -1;
    ::posix_spawnattr_destroy(&attributes);
    ::posix_spawn_file_actions_destroy(&actions);
}

StationRun::~StationRun()
{
    if (pid_ > 0 && !status_)
        wait(10000);
}

void StationRun::signal(int signalNumber)
{
    if (pid_ > 0 && !status_)
        ::kill(pid_, signalNumber);
}

int StationRun::wait(platform::Millis limitMs)
{
    if (pid_ <= 0)
        return -1;
    platform::Deadline deadline(limitMs);
    while (!status_) {
        int status = 0;
        pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
        if (reaped == pid_) {
            status_ = status;
        } else if (deadline.expired()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            status_ = -1;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return *status_ >= 0 && WIFEXITED(*status_) ? WEXITSTATUS(*status_) : -1;
}

std::string StationRun::output() const
{
    return readWholeFile(outputFile_);
}

std::string StationRun::errors() const
{
    return readWholeFile(errorFile_);
}

bool StationRun::waitForOutput(const std::string& text, platform::Millis limitMs) const
{
    platform::Deadline deadline(limitMs);
    while (output().find(text) == std::string::npos) {
        if (deadline.expired())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
