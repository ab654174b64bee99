#include "comm/TcpSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <vector>

namespace BarcodeReader {

std::optional<sockaddr_in> resolveIpv4(const std::string& host, int tcpPort)
{
    if (host.empty())
        return std::nullopt;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    std::string service = std::to_string(tcpPort);
    if (::getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
        return std::nullopt;
    std::optional<sockaddr_in> address;
    for (addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addrlen >= sizeof(sockaddr_in)) {
            sockaddr_in first;
            std::memcpy(&first, entry->ai_addr, sizeof first);
            address = first;
            break;
        }
    }
    ::freeaddrinfo(found);
    return address;
}

namespace {

// Polls the descriptor for the events and every wake event; the wait ends at the first
// of them or at the deadline.
SocketWait waitFor(int fd, short events, const platform::Deadline& deadline,
                   std::initializer_list<const platform::WakeEvent*> wakes, const platform::WakeEvent** wokenBy)
{
    std::vector<pollfd> fds;
    fds.push_back({fd, events, 0});
    for (const platform::WakeEvent* wake : wakes)
        fds.push_back({wake->fd(), POLLIN, 0});
    for (;;) {
        for (pollfd& p : fds)
            p.revents = 0;
        int n = ::poll(fds.data(), fds.size(), deadline.pollTimeout());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return SocketWait::Failed;
        std::size_t index = 1;
        for (const platform::WakeEvent* wake : wakes) {
            if (fds[index++].revents) {
                if (wokenBy)
                    *wokenBy = wake;
                return SocketWait::Woken;
            }
        }
        if (fds[0].revents)
            return SocketWait::Ready;
        if (deadline.expired())
            return SocketWait::TimedOut;
    }
}

} // namespace

bool TcpSocket::create()
{
    fd_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP));
    return fd_.valid();
}

bool TcpSocket::connect(const sockaddr_in& address, platform::Millis limitMs,
                        std::initializer_list<const platform::WakeEvent*> wakes)
{
    if (::connect(fd_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return true;
    if (errno != EINPROGRESS && errno != EINTR)
        return false;
    if (waitFor(fd_.get(), POLLOUT, platform::Deadline(limitMs), wakes, nullptr) != SocketWait::Ready)
        return false;
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(fd_.get(), SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
}

std::size_t TcpSocket::send(std::string_view bytes)
{
    ssize_t sent;
    do
        sent = ::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    while (sent < 0 && errno == EINTR);
    return sent < 0 ? 0 : static_cast<std::size_t>(sent);
}

long TcpSocket::receive(char* buffer, std::size_t size)
{
    for (;;) {
        ssize_t got = ::recv(fd_.get(), buffer, size, 0);
        if (got >= 0)
            return static_cast<long>(got);
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? -2 : -1;
    }
}

SocketWait TcpSocket::waitReadable(platform::Millis limitMs, std::initializer_list<const platform::WakeEvent*> wakes,
                                   const platform::WakeEvent** wokenBy) const
{
    return waitFor(fd_.get(), POLLIN, platform::Deadline(limitMs), wakes, wokenBy);
}

void TcpSocket::shutdownSending()
{
    if (fd_.valid())
        ::shutdown(fd_.get(), SHUT_WR);
}

} // namespace BarcodeReader
