#pragma once
// A payment terminal of the bootstrap family as the station meets it on its serial
// line: the BIOS console taking the RAM bootstrap as Intel HEX text, the bootstrap's
// console on its own line settings, the link protocol with its commands, the restart
// after the closing command and the clock dialogue on the clock's line settings.
//
// Bytes the station sends while its line settings differ from the ones the terminal
// listens at (speed and stop bits) are lost, as a UART at another rate would garble
// them; bytes the terminal sends then reach the station as 0xFF.
#include "sim/BiosConsole.h"
#include "sim/BootstrapConsole.h"
#include "sim/ClockDialogue.h"
#include "sim/CommandHandlers.h"
#include "sim/ComponentStore.h"
#include "sim/EventLog.h"
#include "sim/FaultPlan.h"
#include "sim/Outbox.h"
#include "sim/ProtocolEngine.h"
#include "sim/RunStats.h"
#include "sim/StoredData.h"
#include "sim/TerminalLog.h"
#include "sim/TerminalMode.h"
#include "sim/TerminalSettings.h"

#include <cstdint>
#include <optional>

namespace termsim {

class PaymentTerminal : public TerminalMode {
public:
    PaymentTerminal(TerminalSettings settings, StoredData stored, Outbox& line, EventLog& log, RunStats& stats);

    bool receive(std::span<const char> bytes) override;
    bool finished() const override { return false; }
    std::string failure() const override { return log_.failure(); }
    std::optional<platform::Millis> nextDueMs() const override;
    bool tick(platform::Millis now) override;
    void lineSettingsChanged(const LineSettings& settings) override { stationLine_ = settings; }
    bool timesTurnarounds() const override { return phase_ == Phase::Protocol; }

private:
    enum class Phase { Bios, Booting, Bootstrap, Protocol, Clock };

    void take(char byte);
    void enter(Phase phase, platform::Millis now);
    // The line settings the terminal listens and speaks at now; nothing: any (the BIOS
    // follows the station), or it does not listen at all (see hears()).
    const LineSettings* ownLine() const;
    bool hears() const;
    bool lineDiffers() const;
    void noteIgnored(std::uint64_t count);
    // Moves what the terminal's parts said onto the line.
    void deliver();

    TerminalSettings settings_;
    StoredData stored_;
    Outbox& line_;
    TerminalLog log_;
    Outbox said_;
    FaultPlan faults_;
    ComponentStore store_;
    CommandHandlers commands_;
    BiosConsole bios_;
    BootstrapConsole bootstrap_;
    ProtocolEngine protocol_;
    ClockDialogue clock_;
    Phase phase_ = Phase::Bios;
    platform::Millis phaseDue_ = 0;
    // Set once the closing command has been answered: when the terminal restarts.
    std::optional<platform::Millis> restartDue_;
    std::optional<LineSettings> stationLine_;
    bool garbling_ = false;
    // The end-of-file record's CR started the bootstrap; its LF is still the BIOS's.
    bool lineFeedOfEndRecord_ = false;
};

} // namespace termsim
