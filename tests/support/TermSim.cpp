#include "support/TermSim.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

constexpr platform::Millis reapPollMs = 10;

} // namespace

TermSim::TermSim(std::vector<std::string> arguments, platform::Millis startLimitMs)
{
    start(ORVANE_TERMSIM, arguments, startLimitMs);
}

TermSim::TermSim(std::string program, std::vector<std::string> arguments, platform::Millis startLimitMs)
{
    start(program, arguments, startLimitMs);
}

TermSim::~TermSim()
{
    stop();
}

void TermSim::start(const std::string& program, const std::vector<std::string>& arguments,
                    platform::Millis startLimitMs)
{
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    platform::FileDescriptor readEnd(pipeEnds[0]);
    platform::FileDescriptor writeEnd(pipeEnds[1]);

    std::vector<std::string> words;
    words.push_back(program);
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
    // Descriptors the test holds (a line end, a socket) must not live on in the child.
    ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    pid_t pid = -1;
    int result = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (result != 0)
        return;
    pid_ = pid;
    writeEnd.reset();
    output_ = std::move(readEnd);
    readLinePath(startLimitMs);
}

void TermSim::readLinePath(platform::Millis limitMs)
{
    platform::Deadline deadline(limitMs);
    std::string text;
    while (!deadline.expired()) {
        pollfd wait{output_.get(), POLLIN, 0};
        int ready = ::poll(&wait, 1, deadline.pollTimeout());
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return;
        char buffer[256];
        ssize_t count = ::read(output_.get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return; // it ended before naming its line
        text.append(buffer, static_cast<std::size_t>(count));
        if (auto end = text.find('\n'); end != std::string::npos) {
            linePath_ = text.substr(0, end);
            return;
        }
    }
}

std::optional<int> TermSim::waitForExit(platform::Millis limitMs)
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

int TermSim::stop(platform::Millis limitMs)
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

bool exitedWith(int waitStatus, int code)
{
    return WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == code;
}
