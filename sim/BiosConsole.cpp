#include "sim/BiosConsole.h"

#include "platform/SystemError.h"
#include "sim/WriteAll.h"

#include <cerrno>
#include <fcntl.h>

namespace termsim {

namespace {

// The station tells a BIOS waiting for a load by the byte 8 places (or 7) before the
// end of its answer to CR: here "F" followed by " LOAD" CR LF.
constexpr std::string_view bannerInLoadingState = "\r\nPAYMENT TERMINAL BIOS 1.0\r\nMODE F LOAD\r\n";
constexpr std::string_view bannerIdle = "\r\nPAYMENT TERMINAL BIOS 1.0\r\nMODE I IDLE\r\n";
constexpr std::string_view endOfFileRecord = ":00000001FF";
// The longest Intel HEX record (255 data bytes) is 521 characters; anything longer is
// not a record.
constexpr std::size_t longestRecord = 600;

} // namespace

std::string_view BiosConsole::loadingBanner()
{
    return bannerInLoadingState;
}

std::string_view BiosConsole::idleBanner()
{
    return bannerIdle;
}

BiosConsole::BiosConsole(bool loadingState, std::string storePath, Outbox& line, TerminalLog& log)
    : loading_(loadingState), storePath_(std::move(storePath)), line_(line), log_(log)
{
}

void BiosConsole::receive(char byte)
{
    if (uploadComplete_)
        return; // the bootstrap is starting: the BIOS no longer listens
    if (afterCr_) {
        afterCr_ = false;
        if (byte == '\n')
            return; // the line feed of a record's CR LF
    }
    if (byte == '\r') {
        afterCr_ = true;
        endLine();
        return;
    }
    if (byte == '\n')
        return;
    if (byte == '?' && text_.empty())
        return; // no prompt in the BIOS: the question goes unanswered
    if (text_.size() < longestRecord)
        text_ += byte;
    else
        lineTooLong_ = true;
}

void BiosConsole::endLine()
{
    if (text_.empty()) {
        line_.send(loading_ ? bannerInLoadingState : bannerIdle);
        log_.note(loading_ ? "bios banner loading" : "bios banner idle");
        return;
    }
    bool record = text_.front() == ':' && !lineTooLong_;
    if (record)
        storeLine();
    else
        log_.note("bios ignored a line of " + std::to_string(text_.size()) + " bytes");
    bool endRecord = record && text_ == endOfFileRecord;
    text_.clear();
    lineTooLong_ = false;
    if (endRecord) {
        uploadComplete_ = true;
        log_.note("ramboot received " + std::to_string(linesStored_) + " lines");
    }
}

void BiosConsole::storeLine()
{
    ++linesStored_;
    if (storePath_.empty() || log_.failed())
        return;
    if (!store_) {
        store_.reset(::open(storePath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (!store_) {
            log_.note("cannot create " + storePath_ + ": " + platform::systemErrorText(errno));
            storePath_.clear();
            return;
        }
    }
    std::string line = text_ + "\r\n";
    if (!writeAll(store_.get(), line.data(), line.size())) {
        log_.note("cannot write " + storePath_ + ": " + platform::systemErrorText(errno));
        storePath_.clear();
        store_.reset();
    }
}

} // namespace termsim
