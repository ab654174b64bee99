#pragma once
// Reads and changes a terminal line's state the way the kernel holds it (termios2),
// independently of the code under test.
namespace commtest {

struct LineState {
    unsigned inputFlags = 0;
    unsigned outputFlags = 0;
    unsigned controlFlags = 0;
    unsigned localFlags = 0;
    unsigned inputRate = 0;
    unsigned outputRate = 0;
    unsigned char minimumBytes = 0; // VMIN
    unsigned char readTimer = 0;    // VTIME
};

// False when the line state cannot be read or written.
bool readLineState(int fd, LineState& state);
// Writes the flags and control characters; the rates are left alone.
bool writeLineState(int fd, const LineState& state);
// Sets both rates to any bit rate (a custom rate where needed).
bool setLineRate(int fd, unsigned bitsPerSecond);

} // namespace commtest
