#pragma once
// The simulator's end of the serial line: the descriptor it reads and writes, and for a
// pseudo-terminal its own descriptor to the slave, kept so that the station may close
// and reopen the line without the master ever seeing a hang-up.
#include "platform/FileDescriptor.h"

#include <string>

namespace termsim {

class TerminalLine {
public:
    TerminalLine(platform::FileDescriptor io, platform::FileDescriptor keptSlave, std::string path);

    // Non-blocking descriptor the simulator reads from and writes to. Its line settings
    // are the ones the station set: on a pseudo-terminal master the termios requests
    // answer with the slave's settings.
    int ioFd() const { return io_.get(); }
    // The path the station opens (slave or device).
    const std::string& path() const { return path_; }
    bool isOpen() const { return io_.valid(); }
    // The device goes away: every descriptor is closed, so the station's writes fail.
    void close();

private:
    platform::FileDescriptor io_;
    platform::FileDescriptor keptSlave_;
    std::string path_;
};

} // namespace termsim
