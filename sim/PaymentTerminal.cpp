#include "sim/PaymentTerminal.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace termsim {

namespace {

// What the station reads of a byte the terminal sent at another rate.
constexpr char garbledByte = static_cast<char>(0xFF);

const char* phaseName(TerminalSettings::Start start)
{
    switch (start) {
    case TerminalSettings::Start::Bios: return "bios";
    case TerminalSettings::Start::Bootstrap: return "bootstrap";
    case TerminalSettings::Start::Protocol: return "protocol";
    }
    return "bios";
}

std::string filesPath(const std::string& directory, const char* name)
{
    return directory.empty() ? std::string() : directory + '/' + name;
}

} // namespace

PaymentTerminal::PaymentTerminal(TerminalSettings settings, StoredData stored, Outbox& line, EventLog& log,
                                 RunStats& stats)
    : settings_(std::move(settings)),
      stored_(std::move(stored)),
      line_(line),
      log_(log),
      faults_(settings_.faults, log_),
      store_(settings_.filesDirectory),
      commands_(settings_, stored_, store_, faults_, log_),
      bios_(settings_.biosLoading, filesPath(settings_.filesDirectory, "ramboot.hex"), said_, log_),
      bootstrap_(said_, log_),
      protocol_(commands_, faults_, said_, log_, stats),
      clock_(settings_, said_, log_)
{
    switch (settings_.start) {
    case TerminalSettings::Start::Bios: phase_ = Phase::Bios; break;
    case TerminalSettings::Start::Bootstrap: phase_ = Phase::Bootstrap; break;
    case TerminalSettings::Start::Protocol: phase_ = Phase::Protocol; break;
    }
    log_.note(std::string("terminal starts in ") + phaseName(settings_.start));
}

bool PaymentTerminal::receive(std::span<const char> bytes)
{
    std::vector<char> arrived(bytes.begin(), bytes.end());
    faults_.addNoise(arrived);
    std::uint64_t ignored = 0;
    for (char byte : arrived) {
        if (std::exchange(lineFeedOfEndRecord_, false) && byte == '\n')
            continue; // the line feed of the end-of-file record reached the BIOS in time
        if (hears()) {
            noteIgnored(ignored);
            ignored = 0;
            take(byte);
        } else {
            ++ignored;
        }
    }
    noteIgnored(ignored);
    deliver();
    return !log_.failed();
}

void PaymentTerminal::take(char byte)
{
    switch (phase_) {
    case Phase::Bios:
        bios_.receive(byte);
        if (bios_.uploadComplete()) {
            lineFeedOfEndRecord_ = true;
            enter(Phase::Booting, platform::tickMs());
        }
        return;
    case Phase::Bootstrap:
        bootstrap_.receive(byte);
        if (bootstrap_.switchedToProtocol())
            enter(Phase::Protocol, platform::tickMs());
        return;
    case Phase::Protocol:
        protocol_.receive(byte);
        if (protocol_.loadClosed() && !restartDue_) {
            // The link still takes the station's ACK or NAK of the closing answer
            // until the terminal restarts.
            restartDue_ = platform::tickMs() + settings_.restartMs;
        }
        return;
    case Phase::Clock:
        clock_.receive(byte);
        return;
    case Phase::Booting:
        return;
    }
}

void PaymentTerminal::enter(Phase phase, platform::Millis now)
{
    phase_ = phase;
    switch (phase) {
    case Phase::Booting:
        phaseDue_ = now + settings_.bootDelayMs;
        return;
    case Phase::Bootstrap:
        log_.note("ramboot running at " + settings_.rambootLine.text());
        return;
    case Phase::Clock:
        log_.note("restarted");
        clock_.start(now);
        return;
    case Phase::Bios:
    case Phase::Protocol:
        return;
    }
}

std::optional<platform::Millis> PaymentTerminal::nextDueMs() const
{
    switch (phase_) {
    case Phase::Booting:
        return phaseDue_;
    case Phase::Protocol:
        return restartDue_;
    case Phase::Clock:
        return clock_.nextDueMs();
    case Phase::Bios:
    case Phase::Bootstrap:
        break;
    }
    return std::nullopt;
}

bool PaymentTerminal::tick(platform::Millis now)
{
    if (phase_ == Phase::Booting && now >= phaseDue_)
        enter(Phase::Bootstrap, now);
    else if (phase_ == Phase::Protocol && restartDue_ && now >= *restartDue_)
        enter(Phase::Clock, now);
    else if (phase_ == Phase::Clock)
        clock_.tick(now);
    deliver();
    return !log_.failed();
}

const LineSettings* PaymentTerminal::ownLine() const
{
    switch (phase_) {
    case Phase::Bootstrap:
    case Phase::Protocol:
        return &settings_.rambootLine;
    case Phase::Clock:
        return &settings_.clockLine;
    case Phase::Bios:
    case Phase::Booting:
        break;
    }
    return nullptr;
}

bool PaymentTerminal::lineDiffers() const
{
    const LineSettings* own = ownLine();
    return own && stationLine_ && !sameLineSpeed(*stationLine_, *own);
}

bool PaymentTerminal::hears() const
{
    return phase_ != Phase::Booting && !lineDiffers();
}

void PaymentTerminal::noteIgnored(std::uint64_t count)
{
    if (count == 0)
        return;
    std::string what = "ignored " + std::to_string(count) + " bytes";
    if (phase_ == Phase::Booting)
        log_.note(what + " while the ramboot starts");
    else
        log_.note(what + " from line " + stationLine_->text() + " (terminal at " + ownLine()->text() + ')');
}

void PaymentTerminal::deliver()
{
    if (said_.empty())
        return;
    auto bytes = said_.front(SIZE_MAX);
    bool differs = lineDiffers();
    if (differs && !garbling_)
        log_.note("sending garbled to line " + stationLine_->text() + " (terminal at " + ownLine()->text() + ')');
    garbling_ = differs;
    line_.send(differs ? std::string(bytes.size(), garbledByte) : std::string(bytes.data(), bytes.size()));
    said_.sent(bytes.size());
}

} // namespace termsim
