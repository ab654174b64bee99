#include "sim/StopSignals.h"

#include <csignal>
#include <cstdint>
#include <unistd.h>

namespace termsim {

namespace {

volatile std::sig_atomic_t stopRequested = 0;
volatile std::sig_atomic_t stopFd = -1;
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

extern "C" void onStopSignal(int)
{
    stopRequested = 1;
    int fd = stopFd;
    if (fd >= 0) {
        std::uint64_t one = 1;
        [[maybe_unused]] auto n = ::write(fd, &one, sizeof one);
    }
}

} // namespace

StopSignals::StopSignals(platform::WakeEvent& stop)
{
    stopFd = stop.fd();
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: a sleep or wait ends with EINTR at once
    ::sigaction(SIGINT, &action, &previousInterrupt);
    ::sigaction(SIGTERM, &action, &previousTerminate);
}

StopSignals::~StopSignals()
{
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
    stopFd = -1;
}

bool StopSignals::requested()
{
    return stopRequested != 0;
}

} // namespace termsim
