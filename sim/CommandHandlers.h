#pragma once
// What the terminal does with each command of the link and what it answers: the
// response payload is the two status characters, the command's two characters and the
// command's data. Every command is noted in the event log.
#include "sim/ComponentStore.h"
#include "sim/FaultPlan.h"
#include "sim/StoredData.h"
#include "sim/TerminalLog.h"
#include "sim/TerminalSettings.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace termsim {

struct CommandAnswer {
    std::string payload;
    bool closesLoad = false; // "14" answered: the terminal restarts
};

class CommandHandlers {
public:
    CommandHandlers(const TerminalSettings& settings, const StoredData& stored, ComponentStore& store,
                    FaultPlan& faults, TerminalLog& log);

    // command: the payload of a frame from the station.
    CommandAnswer answer(std::string_view command);

private:
    // The status, the data after the command's characters, and whether the load ends.
    struct Outcome {
        std::string status = {};
        std::string data = {};
        bool closesLoad = false;
    };

    Outcome carryOut(std::string_view code, std::string_view parameters);
    Outcome probe(std::string_view parameters);
    Outcome openComponent(std::string_view parameters);
    Outcome openApplication(std::string_view parameters);
    Outcome startDownload(ComponentKind kind, std::string_view header);
    Outcome takeBlock(std::string_view parameters);
    Outcome closeComponent();
    Outcome readStored(std::string_view parameters);
    Outcome closeLoad(std::string_view parameters);
    Outcome recordValues(std::string_view code, std::string_view parameters);
    std::string blockEcho(std::uint16_t number);

    const TerminalSettings& settings_;
    const StoredData& stored_;
    ComponentStore& store_;
    FaultPlan& faults_;
    TerminalLog& log_;

    // The block download of the open component: the number due next, and the last
    // block taken, so that a block the station sends again (its answer was lost) is
    // answered again rather than taken twice.
    std::uint32_t nextBlock_ = 1;
    std::uint16_t lastBlock_ = 0;
    std::string lastBlockData_;
    // The component just closed, so that a repeated closing block is answered again.
    bool justClosed_ = false;
};

} // namespace termsim
