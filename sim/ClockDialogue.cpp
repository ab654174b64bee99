#include "sim/ClockDialogue.h"

#include <algorithm>

namespace termsim {

namespace {

constexpr std::size_t clockDigits = 14;

} // namespace

ClockDialogue::ClockDialogue(const TerminalSettings& settings, Outbox& line, TerminalLog& log)
    : settings_(settings), line_(line), log_(log)
{
}

void ClockDialogue::start(platform::Millis now)
{
    stage_ = Stage::Waking;
    nextWake_ = now;
    wakeEnd_ = now + settings_.wakeLimitMs;
    log_.note("clock dialogue waking");
    tick(now);
}

std::optional<platform::Millis> ClockDialogue::nextDueMs() const
{
    if (stage_ != Stage::Waking)
        return std::nullopt;
    return nextWake_;
}

void ClockDialogue::tick(platform::Millis now)
{
    if (stage_ != Stage::Waking || now < nextWake_)
        return;
    if (now >= wakeEnd_) {
        stage_ = Stage::GaveUp;
        log_.note("clock dialogue not asked for");
        return;
    }
    line_.send(std::string(1, settings_.wakeChar));
    // On the schedule, not from now: a late tick does not stretch the interval.
    nextWake_ += std::max<platform::Millis>(settings_.wakeEveryMs, 1);
    if (nextWake_ <= now)
        nextWake_ = now + std::max<platform::Millis>(settings_.wakeEveryMs, 1);
}

void ClockDialogue::receive(char byte)
{
    switch (stage_) {
    case Stage::Off:
    case Stage::Done:
    case Stage::GaveUp:
        return;
    case Stage::Waking:
    case Stage::Ready:
        if (byte == '?') {
            line_.send(std::string(1, settings_.readyChar));
            if (stage_ == Stage::Waking)
                log_.note("clock ready");
            stage_ = Stage::Ready;
        } else if (byte == 'D' && stage_ == Stage::Ready) {
            line_.send("D");
            digits_.clear();
            stage_ = Stage::Digits;
        }
        return;
    case Stage::Digits:
        if (byte < '0' || byte > '9') {
            log_.note("clock refused after " + std::to_string(digits_.size()) + " digits");
            stage_ = Stage::Ready;
            return;
        }
        digits_ += byte;
        if (digits_.size() < clockDigits)
            return;
        log_.note("clock " + digits_);
        line_.send(std::string(1, settings_.clockAnswer));
        stage_ = Stage::Done;
        return;
    }
}

} // namespace termsim
