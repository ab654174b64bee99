// Apart from every file that includes <termios.h>: the kernel's termbits header
// defines a struct termios of its own.
#include "sim/CustomRate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace simtest {

bool setCustomRate(int fd, unsigned bitsPerSecond)
{
    termios2 settings{};
    if (::ioctl(fd, TCGETS2, &settings) != 0)
        return false;
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    settings.c_ospeed = bitsPerSecond;
    settings.c_ispeed = bitsPerSecond;
    return ::ioctl(fd, TCSETS2, &settings) == 0;
}

} // namespace simtest
