// Kept apart from every file that includes <termios.h>: the kernel's termbits header
// defines a struct termios of its own.
#include "sim/KernelLineState.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace termsim {

std::optional<KernelLineState> readKernelLineState(int fd)
{
#ifdef TCGETS2
    termios2 settings{};
    if (::ioctl(fd, TCGETS2, &settings) != 0)
        return std::nullopt;
    return KernelLineState{static_cast<unsigned>(settings.c_cflag), static_cast<unsigned>(settings.c_ospeed)};
#else
    (void)fd;
    return std::nullopt;
#endif
}

} // namespace termsim
