#include "sim/TerminalLog.h"

#include "platform/SystemError.h"

#include <cerrno>

namespace termsim {

void TerminalLog::note(std::string_view event)
{
    if (failed())
        return;
    if (!log_.record(event))
        failure_ = "cannot write the event log: " + platform::systemErrorText(errno);
}

} // namespace termsim
