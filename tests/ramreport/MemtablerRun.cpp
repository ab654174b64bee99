#include "MemtablerRun.h"

#include "support/TempDir.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace ramtest {

namespace {

// A run takes milliseconds; the limit only keeps a hanging program from hanging the test.
constexpr auto kRunLimit = std::chrono::seconds(60);

// Owner of posix_spawn's file actions.
class SpawnActions {
public:
    SpawnActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
};

} // namespace

MemtablerResult runMemtabler(const std::string& workingDirectory, const std::string& outputFile)
{
    MemtablerResult result;
    SpawnActions actions;
    ::posix_spawn_file_actions_addchdir_np(actions.get(), workingDirectory.c_str());
    ::posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, outputFile.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::string program = MEMTABLER;
    char* const arguments[] = {program.data(), nullptr};
    char* const environment[] = {nullptr};
    pid_t pid = -1;
    if (::posix_spawn(&pid, program.c_str(), actions.get(), nullptr, arguments, environment) != 0)
        return result;
    result.started = true;

    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
    pid_t waited = 0;
    while ((waited = ::waitpid(pid, &status, WNOHANG)) == 0
           && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (waited == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    } else {
        result.ended = waited == pid;
        if (result.ended && WIFEXITED(status))
            result.exitStatus = WEXITSTATUS(status);
    }
    result.output = readWholeFile(outputFile);
    return result;
}

} // namespace ramtest
