#pragma once
// The RS485 side of the reader network server: which readers are on the network, which
// connection holds each of them, who waits for a busy one, and the answer to each line
// a station sends. No sockets here: the server feeds it lines and sends what it says.
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace readersim {

enum class Presence {
    Present, // on the network and free to be claimed
    Absent,  // not on the network
    Busy,    // held by someone outside this server until released
    Faulty,  // on the network but not answering: STATUS and OPEN get ERROR
};

struct Outgoing {
    int connection;
    std::string line; // without its line end
};

class ReaderNetwork {
public:
    void setPresence(int reader, Presence presence);
    Presence presence(int reader) const;

    // The answers to one line from a connection (to it, or to a waiting one).
    std::vector<Outgoing> lineFrom(int connection, const std::string& line);
    // The connection is gone: the readers it held are free for those waiting.
    std::vector<Outgoing> disconnected(int connection);
    // A busy reader becomes free: the first connection waiting for it gets it.
    std::vector<Outgoing> release(int reader);
    // The connection holding the reader, -1 when none.
    int holder(int reader) const;
    // Readers that have a connection waiting for them.
    std::vector<int> awaited() const;

private:
    struct Reader {
        Presence presence = Presence::Absent;
        int holder = -1;
        std::deque<int> waiting;
    };

    std::vector<Outgoing> open(int connection, int reader);
    std::vector<Outgoing> close(int connection, int reader);
    // The connection no longer waits for the reader nor holds it; a reader it held goes
    // to the first one waiting, whose answer is added to out.
    void leave(int connection, int reader, std::vector<Outgoing>& out);
    std::vector<Outgoing> handOver(int reader);

    std::map<int, Reader> readers_;
};

} // namespace readersim
