#pragma once
// The reader network server counterpart run inside the test process, on 127.0.0.1 at a
// free port, on a thread of its own; its log is kept for the test to wait on.
#include "platform/Ticks.h"
#include "platform/WakeEvent.h"
#include "sim/ReaderServer.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ServerThread {
public:
    explicit ServerThread(readersim::ServerSettings settings);
    ~ServerThread();
    ServerThread(const ServerThread&) = delete;
    ServerThread& operator=(const ServerThread&) = delete;

    int port() const { return server_.port(); }
    void command(const std::string& line) { server_.command(line); }
    std::vector<std::string> log();
    // Log lines are "C1 connected", "C1 < line received", "C1 > line sent", "C1 closed
    // by the station", "C1 dropped".
    std::size_t count(const std::string& line);
    // Waits (bounded) until the line has been logged at least `times` times.
    bool waitFor(const std::string& line, std::size_t times = 1, platform::Millis limitMs = 10000);
    // The lines received on a connection, in order.
    std::vector<std::string> received(int connection);

private:
    void record(const std::string& line);

    readersim::ReaderServer server_;
    platform::WakeEvent stop_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> log_;
    std::thread thread_;
};

// Settings for a server on 127.0.0.1 at a free port with these readers.
readersim::ServerSettings localServer(std::map<int, readersim::Presence> readers);
