#include "sim/HexSink.h"

#include "platform/SystemError.h"
#include "sim/WriteAll.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>

namespace termsim {

namespace {

// The end-of-file record with its line end as it crosses the line, up to the line feed.
constexpr std::string_view eofRecordLine = ":00000001FF\r";

} // namespace

HexSink::HexSink(HexSinkSettings settings, EventLog& log) : settings_(std::move(settings)), log_(log)
{
}

bool HexSink::open()
{
    if (settings_.outPath.empty())
        return true;
    out_.reset(::open(settings_.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!out_) {
        failure_ = "cannot create " + settings_.outPath + ": " + platform::systemErrorText(errno);
        return false;
    }
    return true;
}

bool HexSink::receive(std::span<const char> bytes)
{
    if (!keep(bytes))
        return false;
    for (char byte : bytes)
        if (!takeLineByte(byte))
            return false;
    return true;
}

bool HexSink::keep(std::span<const char> bytes)
{
    if (out_ && !writeAll(out_.get(), bytes.data(), bytes.size())) {
        failure_ = "cannot write " + settings_.outPath + ": " + platform::systemErrorText(errno);
        return false;
    }
    return true;
}

bool HexSink::takeLineByte(char byte)
{
    if (byte != '\n') {
        if (line_.size() < eofRecordLine.size())
            line_ += byte;
        else
            lineTooLong_ = true;
        return true;
    }
    bool eofRecord = !lineTooLong_ && line_ == eofRecordLine;
    line_.clear();
    lineTooLong_ = false;
    if (!eofRecord)
        return true;
    sawEofRecord_ = true;
    if (!log_.record("eof-record")) {
        failure_ = "cannot write the event log: " + platform::systemErrorText(errno);
        return false;
    }
    return true;
}

} // namespace termsim
