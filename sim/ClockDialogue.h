#pragma once
// The restarted terminal's clock dialogue: it announces itself with the wake character
// ('T') at a steady interval until the station asks '?', answers the ready character
// ('K'), echoes 'D', reads the fourteen digits YYYYMMDDhhmmss, notes them and confirms
// with the clock answer ('Y'). Without a '?' it stops announcing after the wake limit.
#include "platform/Ticks.h"
#include "sim/Outbox.h"
#include "sim/TerminalLog.h"
#include "sim/TerminalSettings.h"

#include <optional>
#include <string>

namespace termsim {

class ClockDialogue {
public:
    ClockDialogue(const TerminalSettings& settings, Outbox& line, TerminalLog& log);

    // The terminal has restarted: the first wake character goes out now.
    void start(platform::Millis now);
    void receive(char byte);
    // When the next wake character is due; nothing once no more are sent.
    std::optional<platform::Millis> nextDueMs() const;
    void tick(platform::Millis now);

private:
    enum class Stage { Off, Waking, Ready, Digits, Done, GaveUp };

    const TerminalSettings& settings_;
    Outbox& line_;
    TerminalLog& log_;
    Stage stage_ = Stage::Off;
    platform::Millis nextWake_ = 0;
    platform::Millis wakeEnd_ = 0;
    std::string digits_;
};

} // namespace termsim
