#pragma once
// The terminal's notes in the event log ("command 12 block 3 len 2045", "clock ...").
// The terminal's parts note events as they go; the first write that fails is kept and
// ends the terminal at the next check, so no part has to pass errors up by hand.
#include "sim/EventLog.h"

#include <string>
#include <string_view>

namespace termsim {

class TerminalLog {
public:
    explicit TerminalLog(EventLog& log) : log_(log) {}

    void note(std::string_view event);
    bool failed() const { return !failure_.empty(); }
    const std::string& failure() const { return failure_; }

private:
    EventLog& log_;
    std::string failure_;
};

} // namespace termsim
