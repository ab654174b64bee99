#pragma once
// The reader network server counterpart: a TCP server that speaks the reader network's
// line protocol to stations, with readers that are present, absent, busy or faulty,
// codes sent on command or from a list, and faults for tests (silence, dropped
// connections, endless lines). Every line received and sent is logged.
#include "platform/FileDescriptor.h"
#include "platform/Ticks.h"
#include "platform/WakeEvent.h"
#include "sim/ReaderNetwork.h"

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace readersim {

struct ServerSettings {
    std::string bindAddress = "0.0.0.0";
    int port = 800; // 0: any free port
    std::map<int, Presence> readers;
    // A busy reader is released this long after a station first waits for it (it then
    // gets ACK OPEN); 0: only by the release command.
    platform::Millis busyMs = 0;
    bool silent = false; // lines are logged, never answered
    // Codes sent in order, each as soon as its reader is held by a station waiting in a
    // keep-alive period, one per interval.
    std::vector<std::pair<int, std::string>> codes;
    platform::Millis codeEveryMs = 1000;
};

class ReaderServer {
public:
    explicit ReaderServer(ServerSettings settings);
    ReaderServer(const ReaderServer&) = delete;
    ReaderServer& operator=(const ReaderServer&) = delete;

    // Binds and listens; false with the reason.
    bool listen(std::string& error);
    int port() const { return port_; }
    // Where the log lines go (before run).
    void setLog(std::function<void(const std::string&)> log) { log_ = std::move(log); }

    // Serves until stop is set; command lines are also read from commandFd (-1: none).
    void run(const platform::WakeEvent& stop, int commandFd = -1);
    // Queues one command line for the serving thread; any thread:
    //   read N CODE   READ N CODE to the station holding reader N (CODE as written)
    //   line TEXT     TEXT as one line to every station
    //   flood COUNT   COUNT bytes without a line end to every station
    //   fine          FINE? to every station
    //   drop          closes every connection
    //   silent on|off stops / resumes answering
    //   present N, absent N, busy N, faulty N, release N
    void command(const std::string& line);

private:
    struct Connection {
        platform::FileDescriptor fd;
        std::string input;
        std::string output;
        // In a keep-alive period: the station waits for codes, not for an answer.
        bool waitingForCodes = false;
    };

    void accept();
    void receive(int id);
    void flush(int id);
    void closeConnection(int id, const char* why);
    void lineFrom(int id, const std::string& line);
    void send(const std::vector<Outgoing>& lines);
    void send(int id, const std::string& line);
    void sendToAll(const std::string& bytes, bool asLine);
    void execute(const std::string& command);
    void commandInput(int fd, bool& open);
    void runTimers();
    void log(const std::string& text);

    ServerSettings settings_;
    ReaderNetwork network_;
    platform::FileDescriptor listener_;
    int port_ = 0;
    std::map<int, Connection> connections_;
    int nextId_ = 1;
    bool silent_ = false;
    std::size_t nextCode_ = 0;
    platform::Millis lastCodeAt_ = 0;
    std::map<int, platform::Millis> awaitedSince_;
    std::string commandInput_;
    std::function<void(const std::string&)> log_;
    std::mutex commandsMutex_;
    std::deque<std::string> commands_;
    platform::WakeEvent commandsWaiting_;
};

} // namespace readersim
