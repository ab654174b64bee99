#pragma once
// The simulator's event log: one line per event ("line 9600,N,8,1", "eof-record",
// "vanish", "stall"), appended and written through so tests can read it at any time.
#include "platform/FileDescriptor.h"

#include <string>
#include <string_view>

namespace termsim {

class EventLog {
public:
    // Without a path nothing is logged and every record() succeeds.
    EventLog() = default;
    // Opens path for appending (created when missing); false with errno set on failure.
    bool open(const std::string& path);
    // Appends the event and a line feed in one write; false with errno set on failure.
    bool record(std::string_view event);

private:
    platform::FileDescriptor file_;
};

} // namespace termsim
