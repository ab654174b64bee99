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

void ConsoleLoop::run(const std::function<bool()>& finished, const std::function<void()>& onSignal,
                      const std::function<void()>& onTick)
{
    while (!finished()) {
        pollfd fds[2] = {{wake_.fd(), POLLIN, 0}, {signals_.get(), POLLIN, 0}};
        int n = ::poll(fds, signals_ ? 2 : 1, tickMs_ > 0 ? tickMs_ : -1);
        if (n < 0 && errno != EINTR)
            break;
        if (n == 0 && onTick)
            onTick();
        if (signals_ && (fds[1].revents & POLLIN))
            takeSignals(onSignal);
        if (fds[0].revents & POLLIN) {
            wake_.reset();
            runPosted();
        }
    }
}

void ConsoleLoop::runPosted()
{
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

void ConsoleLoop::takeSignals(const std::function<void()>& onSignal)
{
    signalfd_siginfo info;
    while (::read(signals_.get(), &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        onSignal();
}
