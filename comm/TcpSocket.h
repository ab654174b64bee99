#pragma once
// A TCP stream socket to an IPv4 address, non-blocking, closed when its owner goes;
// name resolution and the waits the reader network client needs, each of which also
// ends when one of the given wake events is set.
#include "platform/FileDescriptor.h"
#include "platform/Ticks.h"
#include "platform/WakeEvent.h"

#include <cstddef>
#include <initializer_list>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <string_view>

namespace BarcodeReader {

// The first IPv4 address of a host name or dotted address, with the TCP port set.
std::optional<sockaddr_in> resolveIpv4(const std::string& host, int tcpPort);

enum class SocketWait { Ready, Woken, TimedOut, Failed };

class TcpSocket {
public:
    TcpSocket() = default;

    // A fresh socket; false when the system refused one.
    bool create();
    bool isOpen() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }

    // Connects within limitMs (0: the system's own limit) unless a wake event is set
    // first; false on any failure.
    bool connect(const sockaddr_in& address, platform::Millis limitMs,
                 std::initializer_list<const platform::WakeEvent*> wakes);
    // Sends the bytes in one call; the number the system accepted (0 on error).
    std::size_t send(std::string_view bytes);
    // Up to size bytes; 0 when the peer closed, -1 on an error, -2 when nothing is
    // there to read yet.
    long receive(char* buffer, std::size_t size);
    // Waits until bytes (or the peer's close) can be read, a wake event is set or the
    // limit passes (0: no limit). Woken names the first set event in wokenBy.
    SocketWait waitReadable(platform::Millis limitMs, std::initializer_list<const platform::WakeEvent*> wakes,
                            const platform::WakeEvent** wokenBy = nullptr) const;
    // Shuts down the sending direction, so that the peer sees the end of our stream.
    void shutdownSending();
    void close() { fd_.reset(); }

private:
    platform::FileDescriptor fd_;
};

} // namespace BarcodeReader
