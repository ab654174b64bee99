#pragma once
// The kernel's own view of a line's settings (termios2): it holds the real output speed
// in bit/s, also for rates without a B constant, where the classic termios has none.
#include <optional>

namespace termsim {

struct KernelLineState {
    unsigned controlFlags = 0; // c_cflag
    unsigned outputSpeed = 0;  // c_ospeed, bit/s
};

// TCGETS2 on fd; nothing when the request is not available or fails.
std::optional<KernelLineState> readKernelLineState(int fd);

} // namespace termsim
