#include "support/TermSim.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

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

    child_.redirect(STDOUT_FILENO, writeEnd.get());
    if (!child_.start(program, arguments))
        return;
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
    return child_.waitForExit(limitMs);
}

int TermSim::stop(platform::Millis limitMs)
{
    return child_.stop(limitMs);
}

bool exitedWith(int waitStatus, int code)
{
    return WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == code;
}
