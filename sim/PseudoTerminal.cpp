#include "sim/PseudoTerminal.h"

#include "platform/SystemError.h"
#include "sim/RawMode.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace termsim {

namespace {

std::string failure(const char* step)
{
    return std::string(step) + ": " + platform::systemErrorText(errno);
}

} // namespace

std::optional<TerminalLine> openPseudoTerminal(std::string& error)
{
    platform::FileDescriptor master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master) {
        error = failure("cannot open a pseudo-terminal");
        return std::nullopt;
    }
    if (::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0) {
        error = failure("cannot unlock the pseudo-terminal");
        return std::nullopt;
    }
    char name[PATH_MAX];
    if (::ptsname_r(master.get(), name, sizeof name) != 0) {
        error = failure("cannot name the pseudo-terminal slave");
        return std::nullopt;
    }
    platform::FileDescriptor slave(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave) {
        error = failure("cannot open the pseudo-terminal slave");
        return std::nullopt;
    }
    if (!setRawMode(slave.get())) {
        error = failure("cannot set the slave to raw mode");
        return std::nullopt;
    }
    int flags = ::fcntl(master.get(), F_GETFL);
    if (flags < 0 || ::fcntl(master.get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        error = failure("cannot make the master non-blocking");
        return std::nullopt;
    }
    return TerminalLine(std::move(master), std::move(slave), name);
}

} // namespace termsim
