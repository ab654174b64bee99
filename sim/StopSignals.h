#pragma once
// SIGINT and SIGTERM ask the simulator to end cleanly: they set a wake event that the
// main loop waits on, and cut short any sleep in progress.
#include "platform/WakeEvent.h"

namespace termsim {

class StopSignals {
public:
    // Installs the handlers (one instance at a time); the event must outlive this.
    explicit StopSignals(platform::WakeEvent& stop);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    static bool requested();
};

} // namespace termsim
