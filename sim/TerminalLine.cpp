#include "sim/TerminalLine.h"

namespace termsim {

TerminalLine::TerminalLine(platform::FileDescriptor io, platform::FileDescriptor keptSlave, std::string path)
    : io_(std::move(io)), keptSlave_(std::move(keptSlave)), path_(std::move(path))
{
}

void TerminalLine::close()
{
    io_.reset();
    keptSlave_.reset();
}

} // namespace termsim
