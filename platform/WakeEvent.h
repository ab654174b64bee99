#pragma once
// A wake descriptor (eventfd) that any thread can set to end poll() waits at once,
// and the abortable waits built on it.
#include "platform/FileDescriptor.h"
#include "platform/Ticks.h"

namespace platform {

class WakeEvent {
public:
    WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    int fd() const { return fd_.get(); }
    // Makes the descriptor readable until reset(): every wait on it ends.
    void set();
    void reset();
    bool isSet() const;

private:
    FileDescriptor fd_;
};

enum class WaitResult { Ready, Woken, TimedOut, Failed };

// Waits until fd is readable (or writable), the wake event is set, or the deadline
// passes. A readiness that comes with an error or hang-up also counts as Ready so
// that the caller's own read or write meets the error.
WaitResult waitReadable(int fd, const WakeEvent& wake, const Deadline& deadline);
WaitResult waitWritable(int fd, const WakeEvent& wake, const Deadline& deadline);

// Sleeps for the given time unless the wake event is set first; true when the whole
// time passed, false when woken.
bool sleepUnlessWoken(Millis ms, const WakeEvent& wake);

} // namespace platform
