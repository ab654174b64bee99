#pragma once
// Rates without a B constant, set the way the station sets them: termios2 with BOTHER.

namespace simtest {

// Sets the output and input speed of the terminal fd to bitsPerSecond; false on failure.
bool setCustomRate(int fd, unsigned bitsPerSecond);

} // namespace simtest
