#pragma once
// The terminal's resident BIOS on its console: a CR alone is answered with its banner,
// which in loading state carries the mark 'F' 8 bytes before its end; lines of Intel
// HEX text are the RAM bootstrap being uploaded; the end-of-file record ":00000001FF"
// completes the upload, and the BIOS then starts the bootstrap. The BIOS has no
// prompt: a '?' gets no answer.
#include "platform/FileDescriptor.h"
#include "sim/Outbox.h"
#include "sim/TerminalLog.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace termsim {

class BiosConsole {
public:
    // storePath: where the uploaded lines are kept (empty: not kept).
    BiosConsole(bool loadingState, std::string storePath, Outbox& line, TerminalLog& log);

    void receive(char byte);
    // True once the end-of-file record has come: the RAM bootstrap is to start.
    bool uploadComplete() const { return uploadComplete_; }

    // The banners, for the help text and the log.
    static std::string_view loadingBanner();
    static std::string_view idleBanner();

private:
    void endLine();
    void storeLine();

    bool loading_;
    std::string storePath_;
    Outbox& line_;
    TerminalLog& log_;
    platform::FileDescriptor store_;
    // The text of the current line, without its CR.
    std::string text_;
    bool lineTooLong_ = false;
    bool afterCr_ = false;
    std::uint64_t linesStored_ = 0;
    bool uploadComplete_ = false;
};

} // namespace termsim
