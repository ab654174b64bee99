#pragma once
// The terminal's side of the link protocol: it reads the station's frames, answers a
// good frame with ACK and then the framed response, a broken one with NAK, and after
// each response waits for the station's ACK (done) or NAK (the same response again, a
// few times at most). The switched-on link faults are played here.
#include "sim/CommandHandlers.h"
#include "sim/FaultPlan.h"
#include "sim/FrameCodec.h"
#include "sim/Outbox.h"
#include "sim/RunStats.h"
#include "sim/TerminalLog.h"

#include <cstdint>
#include <string>

namespace termsim {

class ProtocolEngine {
public:
    // How often one response is sent again on the station's NAK.
    static constexpr int resendLimit = 3;

    ProtocolEngine(CommandHandlers& commands, FaultPlan& faults, Outbox& line, TerminalLog& log, RunStats& stats);

    void receive(char byte);
    // True once the closing command "14" has been answered.
    bool loadClosed() const { return loadClosed_; }

private:
    void onFrame(const std::string& payload);
    void onBrokenFrame(const char* why);
    void onOutsideByte(char byte);
    void sendResponse();

    CommandHandlers& commands_;
    FaultPlan& faults_;
    Outbox& line_;
    TerminalLog& log_;
    RunStats& stats_;
    FrameReader reader_;
    std::uint64_t frames_ = 0;
    // The last response as it should have gone out, for sending again on a NAK.
    std::string response_;
    bool awaitingAck_ = false;
    int resends_ = 0;
    bool loadClosed_ = false;
};

} // namespace termsim
