#pragma once
// The TCP port of the reader network server: 800, or the port ORVANE_READER_NETWORK_PORT
// names, so that tests and demonstrations can run a server without the privilege that
// port 800 needs. The station's network reader and the reading settings' server check
// use the same port, so a server the check accepts is the one the reader reaches.
#include <charconv>
#include <cstdlib>
#include <cstring>

inline int readerNetworkTcpPort()
{
    constexpr int kReaderNetworkTcpPort = 800;
    const char* text = std::getenv("ORVANE_READER_NETWORK_PORT");
    if (!text || !*text)
        return kReaderNetworkTcpPort;
    int port = 0;
    const char* end = text + std::strlen(text);
    auto [stop, error] = std::from_chars(text, end, port);
    if (error != std::errc{} || stop != end || port < 1 || port > 65535)
        return kReaderNetworkTcpPort;
    return port;
}
