#include "platform/WakeEvent.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

WakeEvent::WakeEvent() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (!fd_)
        throw std::runtime_error("eventfd failed");
}

void WakeEvent::set()
{
    std::uint64_t one = 1;
    // The counter only saturates after 2^64-2 sets; a failed write means it is already set.
    [[maybe_unused]] auto n = ::write(fd_.get(), &one, sizeof one);
}

void WakeEvent::reset()
{
    std::uint64_t value;
    [[maybe_unused]] auto n = ::read(fd_.get(), &value, sizeof value);
}

bool WakeEvent::isSet() const
{
    pollfd p{fd_.get(), POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

namespace {

WaitResult waitFor(int fd, short events, const WakeEvent& wake, const Deadline& deadline)
{
    for (;;) {
        pollfd p[2] = {{wake.fd(), POLLIN, 0}, {fd, events, 0}};
        int n = ::poll(p, fd >= 0 ? 2 : 1, deadline.pollTimeout());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return WaitResult::Failed;
        }
        if (p[0].revents)
            return WaitResult::Woken;
        if (fd >= 0 && p[1].revents)
            return WaitResult::Ready;
        if (deadline.expired())
            return WaitResult::TimedOut;
    }
}

} // namespace

WaitResult waitReadable(int fd, const WakeEvent& wake, const Deadline& deadline)
{
    return waitFor(fd, POLLIN, wake, deadline);
}

WaitResult waitWritable(int fd, const WakeEvent& wake, const Deadline& deadline)
{
    return waitFor(fd, POLLOUT, wake, deadline);
}

bool sleepUnlessWoken(Millis ms, const WakeEvent& wake)
{
    if (ms <= 0)
        return !wake.isSet();
    return waitFor(-1, 0, wake, Deadline(ms)) == WaitResult::TimedOut;
}

} // namespace platform
