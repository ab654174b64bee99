#pragma once
// A pseudo-terminal pair for serial port tests: the port under test opens the slave,
// the test plays the far end on the master. A second descriptor on the slave stays
// open all the time, so the master never sees a hang-up when the port closes.
#include "platform/FileDescriptor.h"

#include <cstdint>
#include <string>
#include <vector>

namespace commtest {

using Bytes = std::vector<std::uint8_t>;

class PseudoTerminal {
public:
    PseudoTerminal();

    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_.get(); }
    int slave() const { return slave_.get(); }
    // The far end goes away: the slave is hung up.
    void closeMaster() { master_.reset(); }

    // Writes all bytes to the master; false when they could not go within 2 s.
    bool send(const Bytes& bytes);
    // Reads from the master until count bytes came or limitMs passed.
    Bytes receive(std::size_t count, int limitMs);
    // Reads and drops whatever the master holds now.
    std::size_t discardPending();

private:
    platform::FileDescriptor master_;
    std::string slavePath_;
    platform::FileDescriptor slave_;
};

Bytes bytesOf(const std::string& text);

} // namespace commtest
