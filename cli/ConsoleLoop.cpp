#include "cli/ConsoleLoop.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

ConsoleLoop::ConsoleLoop() : owner_(std::this_thread::get_id())
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    signals_.reset(::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK));
}

void ConsoleLoop::post(std::function<void()> work)
{
    {
        std::scoped_lock lock(mutex_);
        posted_.push_back(std::move(work));
    }
    wake_.set();
}

void ConsoleLoop::setTicker(int ms, std::function<void()> onTick)
{
    tickMs_ = ms;
    onTick_ = std::move(onTick);
}

ConsoleLoop::Event ConsoleLoop::waitOnce(int inputFd)
{
    for (;;) {
        pollfd fds[3] = {{wake_.fd(), POLLIN, 0}, {signals_.get(), POLLIN, 0}, {inputFd, POLLIN, 0}};
        int n = ::poll(fds, 3, tickMs_ > 0 ? tickMs_ : -1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Event::Failed;
        if (n == 0)
            return Event::Tick;
        if (fds[1].revents & POLLIN)
            return Event::Signal;
        if (fds[0].revents & POLLIN)
            return Event::Work;
        return Event::Input;
    }
}

void ConsoleLoop::run(const std::function<bool()>& finished)
{
    while (!finished()) {
        switch (waitOnce(-1)) {
        case Event::Work:
            runPosted();
            break;
        case Event::Signal:
            takeSignals();
            break;
        case Event::Tick:
            if (onTick_)
                onTick_();
            break;
        case Event::Input:
            break;
        case Event::Failed:
            return;
        }
    }
}

std::optional<std::string> ConsoleLoop::readLine(int fd)
{
    return readLine(fd, {});
}

std::optional<std::string> ConsoleLoop::readLine(int fd, const std::function<std::optional<std::string>()>& takeOther)
{
    for (;;) {
        if (auto end = pendingInput_.find('\n'); end != std::string::npos) {
            std::string line = pendingInput_.substr(0, end);
            pendingInput_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        switch (waitOnce(fd)) {
        case Event::Work:
            runPosted();
            if (takeOther) {
                if (std::optional<std::string> other = takeOther())
                    return other;
            }
            break;
        case Event::Signal:
            takeSignals();
            return std::nullopt;
        case Event::Tick:
            if (onTick_)
                onTick_();
            break;
        case Event::Input: {
            char buffer[512];
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                break;
            if (n <= 0) {
                // End of input counts as Cancel; a last line without its end is still a line.
                if (pendingInput_.empty())
                    return std::nullopt;
                pendingInput_ += '\n';
                break;
            }
            pendingInput_.append(buffer, static_cast<std::size_t>(n));
            break;
        }
        case Event::Failed:
            return std::nullopt;
        }
    }
}

void ConsoleLoop::runPosted()
{
    wake_.reset();
    for (;;) {
        std::deque<std::function<void()>> work;
        {
            std::scoped_lock lock(mutex_);
            work.swap(posted_);
        }
        if (work.empty())
            return;
        for (auto& item : work)
            item();
    }
}

bool ConsoleLoop::takeSignals()
{
    bool any = false;
    signalfd_siginfo info;
    while (::read(signals_.get(), &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        any = true;
        if (onSignal_)
            onSignal_();
    }
    return any;
}
