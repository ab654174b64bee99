#pragma once
// The simulator's main loop: waits on the line, the stop event and the behaviour's own
// timer with poll(), takes the station's bytes at the paced rate, hands them to the
// terminal behaviour, sends its answers, logs changes of the line settings, plays the
// switched-on faults and counts what crossed the line.
#include "platform/WakeEvent.h"
#include "sim/BytePacer.h"
#include "sim/EventLog.h"
#include "sim/FaultInjector.h"
#include "sim/LineSettingsWatch.h"
#include "sim/Outbox.h"
#include "sim/RunStats.h"
#include "sim/SimOptions.h"
#include "sim/TerminalLine.h"
#include "sim/TerminalMode.h"

#include <cstdint>
#include <string>

namespace termsim {

enum class SessionEnd {
    Stopped,   // a stop signal came
    Finished,  // the terminal behaviour completed
    Vanished,  // the device went away as a fault asked
    Failed,    // the output or the log could not be written (failure() says why)
};

class Session {
public:
    Session(TerminalLine& line, TerminalMode& mode, Outbox& outbox, EventLog& log, const platform::WakeEvent& stop,
            PacingOption pacing, FaultSettings faults);

    // Logs the line settings as they are before the station does anything; false with
    // failure() set when the log cannot be written.
    bool noteInitialSettings();
    // Counts bytes both ways and times the station's turnarounds into stats, which must
    // outlive the session.
    void measureInto(RunStats& stats) { stats_ = &stats; }
    SessionEnd run();
    const std::string& failure() const { return failure_; }

private:
    enum class Step { Continue, End };

    Step receiveFromLine();
    Step sendToLine();
    Step runDueTimer();
    int pollTimeout() const;
    Step afterBehaviour(bool went);
    void noteBytesSent(std::size_t count);
    void noteBytesReceived(std::size_t count);
    Step playDueFault();
    Step noteLineSettings();
    Step logEvent(std::string_view event);
    Step fail(std::string text);
    void pauseAfterLineError();
    void waitForStop();

    TerminalLine& line_;
    TerminalMode& mode_;
    Outbox& outbox_;
    EventLog& log_;
    const platform::WakeEvent& stop_;
    PacingOption pacing_;
    FaultInjector faults_;
    BytePacer receivePacer_;
    BytePacer sendPacer_;
    LineSettingsWatch settingsWatch_;
    RunStats* stats_ = nullptr;
    // Set when the terminal's last byte went out: the station's next byte ends a turnaround.
    bool turnaroundRunning_ = false;
    std::int64_t lastByteSentNanos_ = 0;
    bool stalled_ = false;
    SessionEnd end_ = SessionEnd::Stopped;
    std::string failure_;
};

} // namespace termsim
