#pragma once
// The console of the running RAM bootstrap: '?' is answered with the prompt '>', 'q' is
// echoed and switches the bootstrap into protocol mode; a CR and anything else are
// ignored.
#include "sim/Outbox.h"
#include "sim/TerminalLog.h"

namespace termsim {

class BootstrapConsole {
public:
    BootstrapConsole(Outbox& line, TerminalLog& log) : line_(line), log_(log) {}

    void receive(char byte);
    bool switchedToProtocol() const { return switched_; }

private:
    Outbox& line_;
    TerminalLog& log_;
    bool switched_ = false;
};

} // namespace termsim
