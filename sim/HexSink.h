#pragma once
// The plain Intel HEX sink: a terminal that takes Intel HEX text and never answers.
// Every received byte is written through to an output file; complete lines are
// watched for the end-of-file record.
#include "platform/FileDescriptor.h"
#include "sim/EventLog.h"
#include "sim/TerminalMode.h"

#include <string>

namespace termsim {

struct HexSinkSettings {
    std::string outPath;    // empty: bytes are not kept
    bool endAtEofRecord = false;
};

class HexSink : public TerminalMode {
public:
    HexSink(HexSinkSettings settings, EventLog& log);

    // Creates or truncates the output file. False with failure() set.
    bool open();

    bool receive(std::span<const char> bytes) override;
    bool finished() const override { return settings_.endAtEofRecord && sawEofRecord_; }
    std::string failure() const override { return failure_; }

private:
    bool keep(std::span<const char> bytes);
    bool takeLineByte(char byte);

    HexSinkSettings settings_;
    EventLog& log_;
    platform::FileDescriptor out_;
    // The current line up to its line feed; only as long as an end record can be.
    std::string line_;
    bool lineTooLong_ = false;
    bool sawEofRecord_ = false;
    std::string failure_;
};

} // namespace termsim
