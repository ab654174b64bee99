#include "sim/BootstrapConsole.h"

namespace termsim {

void BootstrapConsole::receive(char byte)
{
    if (switched_)
        return;
    if (byte == '?') {
        line_.send(">");
        log_.note("bootstrap prompt");
    } else if (byte == 'q') {
        line_.send("q");
        switched_ = true;
        log_.note("protocol mode");
    }
}

} // namespace termsim
