#include "PseudoTerminal.h"

#include "platform/Ticks.h"

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace commtest {

PseudoTerminal::PseudoTerminal() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
    if (!master_ || ::grantpt(master_.get()) != 0 || ::unlockpt(master_.get()) != 0)
        throw std::runtime_error("no pseudo-terminal");
    const char* path = ::ptsname(master_.get());
    if (!path)
        throw std::runtime_error("no pseudo-terminal name");
    slavePath_ = path;
    slave_.reset(::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!slave_)
        throw std::runtime_error("pseudo-terminal slave cannot be opened");
}

bool PseudoTerminal::send(const Bytes& bytes)
{
    const platform::Deadline deadline(2000);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(master_.get(), bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        pollfd p{master_.get(), POLLOUT, 0};
        if (deadline.expired() || ::poll(&p, 1, deadline.pollTimeout()) < 0)
            return false;
    }
    return true;
}

Bytes PseudoTerminal::receive(std::size_t count, int limitMs)
{
    const platform::Deadline deadline(limitMs);
    Bytes got;
    std::uint8_t buffer[4096];
    while (got.size() < count) {
        pollfd p{master_.get(), POLLIN, 0};
        if (::poll(&p, 1, deadline.pollTimeout()) <= 0)
            break;
        const ssize_t n = ::read(master_.get(), buffer, std::min(sizeof buffer, count - got.size()));
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
        else if (deadline.expired())
            break;
    }
    return got;
}

std::size_t PseudoTerminal::discardPending()
{
    std::size_t dropped = 0;
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master_.get(), buffer, sizeof buffer);
        if (n <= 0)
            return dropped;
        dropped += static_cast<std::size_t>(n);
    }
}

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

} // namespace commtest
