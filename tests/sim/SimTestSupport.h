#pragma once
// What the simulator's tests share: the station's side of the line (a raw terminal
// descriptor on the slave) and bounded waits.
#include "platform/FileDescriptor.h"
#include "platform/Ticks.h"

#include <functional>
#include <string>
#include <termios.h>

namespace simtest {

// Opens the line as the station does: read-write, raw, blocking unless asked otherwise.
platform::FileDescriptor openStationSide(const std::string& path, bool nonBlocking = false);

// Sets speed (a B constant) and the control flags for parity, size and stop bits.
bool setLine(int fd, speed_t speed, tcflag_t parityAndSize);

// Writes everything (blocking descriptor); false on an error, errno kept.
bool writeText(int fd, const std::string& text);

// Checks the condition every 10 ms until it holds or limitMs passes.
bool waitUntil(const std::function<bool()>& condition, platform::Millis limitMs = 5000);

// True when the process has used less CPU time than share of the wall time in the
// given period (for telling a waiting process from a spinning one).
bool staysIdle(int pid, platform::Millis periodMs, double share);

} // namespace simtest
