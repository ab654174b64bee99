#include "identity/ForkedWorker.h"

#include "platform/Ticks.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

ForkedWorker::ForkedWorker(const std::function<bool(int output)>& job)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    platform::FileDescriptor readEnd(fds[0]), writeEnd(fds[1]);
    pid_ = ::fork();
    if (pid_ == 0) {
        readEnd.reset();
        bool ok = job(writeEnd.get());
        ::_exit(ok ? 0 : 1);
    }
    if (pid_ > 0)
        output_ = std::move(readEnd);
}

ForkedWorker::~ForkedWorker()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::optional<std::string> ForkedWorker::finish(long limitMs)
{
    if (pid_ <= 0)
        return std::nullopt;
    platform::Deadline deadline(limitMs);
    std::string text;
    for (;;) {
        pollfd p{output_.get(), POLLIN, 0};
        int ready = ::poll(&p, 1, deadline.pollTimeout());
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::nullopt;
        char buffer[4096];
        ssize_t n = ::read(output_.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    int status = 0;
    pid_t ended;
    do
        ended = ::waitpid(pid_, &status, 0);
    while (ended < 0 && errno == EINTR);
    pid_ = -1;
    if (ended <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return text;
}

bool writeText(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}
