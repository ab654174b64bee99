// Kept apart from <termios.h>: the kernel's termios2 header defines the same names.
#include "LineProbe.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace commtest {

bool readLineState(int fd, LineState& state)
{
    termios2 line{};
    if (::ioctl(fd, TCGETS2, &line) != 0)
        return false;
    state.inputFlags = line.c_iflag;
    state.outputFlags = line.c_oflag;
    state.controlFlags = line.c_cflag;
    state.localFlags = line.c_lflag;
    state.inputRate = line.c_ispeed;
    state.outputRate = line.c_ospeed;
    state.minimumBytes = line.c_cc[VMIN];
    state.readTimer = line.c_cc[VTIME];
    return true;
}

bool writeLineState(int fd, const LineState& state)
{
    termios2 line{};
    if (::ioctl(fd, TCGETS2, &line) != 0)
        return false;
    line.c_iflag = state.inputFlags;
    line.c_oflag = state.outputFlags;
    line.c_cflag = state.controlFlags;
    line.c_lflag = state.localFlags;
    line.c_cc[VMIN] = state.minimumBytes;
    line.c_cc[VTIME] = state.readTimer;
    return ::ioctl(fd, TCSETS2, &line) == 0;
}

bool setLineRate(int fd, unsigned bitsPerSecond)
{
    termios2 line{};
    if (::ioctl(fd, TCGETS2, &line) != 0)
        return false;
    line.c_cflag = (line.c_cflag & ~(CBAUD | (CBAUD << IBSHIFT))) | BOTHER | (BOTHER << IBSHIFT);
    line.c_ispeed = bitsPerSecond;
    line.c_ospeed = bitsPerSecond;
    return ::ioctl(fd, TCSETS2, &line) == 0;
}

} // namespace commtest
