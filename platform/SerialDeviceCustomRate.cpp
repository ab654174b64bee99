// Custom line rates through the kernel's termios2 interface. This file must not
// include <termios.h>: its struct termios clashes with the kernel's.
#include "platform/SerialDevice.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace platform {

bool setCustomLineRate(int fd, int bitsPerSecond)
{
    if (bitsPerSecond <= 0)
        return false;
    termios2 line{};
    if (::ioctl(fd, TCGETS2, &line) != 0)
        return false;
    line.c_cflag = (line.c_cflag & ~(CBAUD | (CBAUD << IBSHIFT))) | BOTHER | (BOTHER << IBSHIFT);
    line.c_ispeed = static_cast<speed_t>(bitsPerSecond);
    line.c_ospeed = static_cast<speed_t>(bitsPerSecond);
    return ::ioctl(fd, TCSETS2, &line) == 0;
}

int lineRate(int fd)
{
    termios2 line{};
    if (::ioctl(fd, TCGETS2, &line) != 0)
        return 0;
    return static_cast<int>(line.c_ospeed);
}

} // namespace platform
