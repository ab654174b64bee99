#include "sim/CommandHandlers.h"

#include <cstdio>

namespace termsim {

namespace {

namespace status {
const std::string success = "00";
const std::string invalidLength = "50";
const std::string invalidParameter = "51";
const std::string blockTooLong = "53";
const std::string wrongBlockNumber = "54";
const std::string notAvailable = "55";
const std::string flashError = "56";
const std::string notAllowed = "?>";
const std::string unknownCommand = "??";
const std::string badStructure = "12";
} // namespace status

constexpr std::size_t headerSize = 256;

std::string le16(std::uint16_t value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::uint16_t readLe16(std::string_view bytes)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                      (static_cast<unsigned char>(bytes[1]) << 8));
}

std::uint32_t readLe32(std::string_view bytes)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    return value;
}

// Printable text of a few bytes for the log: letters and digits as they are, others
// as \xNN.
std::string printable(std::string_view bytes)
{
    std::string text;
    for (char byte : bytes) {
        auto value = static_cast<unsigned char>(byte);
        if (value > 0x20 && value < 0x7F) {
            text += byte;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", value);
            text += escaped;
        }
    }
    return text;
}

// The command characters an answer echoes when the echo is to be wrong.
std::string otherCommand(std::string_view code)
{
    return code == "11" ? "12" : "11";
}

} // namespace

CommandHandlers::CommandHandlers(const TerminalSettings& settings, const StoredData& stored, ComponentStore& store,
                                 FaultPlan& faults, TerminalLog& log)
    : settings_(settings), stored_(stored), store_(store), faults_(faults), log_(log)
{
}

CommandAnswer CommandHandlers::answer(std::string_view command)
{
    if (command.size() < 2) {
        log_.note("command too short: " + printable(command));
        std::string echo(command);
        echo.resize(2, '?');
        return {status::badStructure + echo};
    }
    std::string code(command.substr(0, 2));
    std::string_view parameters = command.substr(2);

    Outcome outcome;
    if (auto forced = faults_.forcedStatus(code)) {
        log_.note("command " + printable(code) + " refused with forced status " + printable(*forced));
        outcome.status = *forced;
    } else {
        outcome = carryOut(code, parameters);
    }
    if (outcome.status != status::success)
        log_.note("answer " + printable(code) + " status " + printable(outcome.status));

    std::string echo = faults_.play(LinkFault::EchoCmd) ? otherCommand(code) : code;
    return {outcome.status + echo + outcome.data, outcome.closesLoad};
}

CommandHandlers::Outcome CommandHandlers::carryOut(std::string_view code, std::string_view parameters)
{
    if (code == "10")
        return probe(parameters);
    if (code == "11")
        return openComponent(parameters);
    if (code == "12")
        return takeBlock(parameters);
    if (code == "13")
        return readStored(parameters);
    if (code == "14")
        return closeLoad(parameters);
    if (code == "15")
        return openApplication(parameters);
    if (code == "16" || code == "17" || code == "18" || code == "19")
        return recordValues(code, parameters);
    log_.note("command " + printable(code) + " unknown");
    return {status::unknownCommand};
}

CommandHandlers::Outcome CommandHandlers::probe(std::string_view parameters)
{
    log_.note("command 10");
    if (!parameters.empty())
        return {status::invalidLength};
    return {status::success};
}

CommandHandlers::Outcome CommandHandlers::openComponent(std::string_view parameters)
{
    if (parameters.size() != 1 + headerSize) {
        log_.note("command 11 len " + std::to_string(parameters.size()));
        return {status::invalidLength};
    }
    auto kind = static_cast<unsigned char>(parameters[0]);
    log_.note("command 11 kind " + std::to_string(kind));
    if (kind > 2)
        return {status::invalidParameter};
    static constexpr ComponentKind kinds[] = {ComponentKind::Config, ComponentKind::Prekernel, ComponentKind::Kernel};
    return startDownload(kinds[kind], parameters.substr(1));
}

CommandHandlers::Outcome CommandHandlers::openApplication(std::string_view parameters)
{
    log_.note("command 15");
    if (parameters.size() != headerSize)
        return {status::invalidLength};
    return startDownload(ComponentKind::App, parameters);
}

CommandHandlers::Outcome CommandHandlers::startDownload(ComponentKind kind, std::string_view header)
{
    if (store_.isOpen())
        log_.note("component " + std::string(kindName(store_.kind())) + " abandoned after " +
                  std::to_string(store_.size()) + " bytes");
    store_.open(kind, std::string(header));
    nextBlock_ = 1;
    lastBlock_ = 0;
    lastBlockData_.clear();
    justClosed_ = false;
    log_.note("header " + std::string(kindName(kind)) + " tag " + printable(header.substr(1, 3)));
    if (faults_.shortOpen()) {
        log_.note("fault short-open");
        return {status::success};
    }
    return {status::success, le16(settings_.blockLength)};
}

std::string CommandHandlers::blockEcho(std::uint16_t number)
{
    if (faults_.play(LinkFault::WrongEcho))
        return le16(static_cast<std::uint16_t>(number + 1));
    return le16(number);
}

CommandHandlers::Outcome CommandHandlers::takeBlock(std::string_view parameters)
{
    if (parameters.size() < 2) {
        log_.note("command 12 len " + std::to_string(parameters.size()));
        return {status::invalidLength};
    }
    std::uint16_t number = readLe16(parameters);
    std::string_view data = parameters.substr(2);
    log_.note("command 12 block " + std::to_string(number) + " len " + std::to_string(data.size()));

    bool closing = number == 0 && data.empty();
    if (!store_.isOpen()) {
        if (closing && justClosed_) {
            log_.note("block 0 repeated");
            return {status::success, blockEcho(0)};
        }
        return {status::notAllowed};
    }
    if (closing)
        return closeComponent();
    if (number != 0 && number == lastBlock_ && data == lastBlockData_) {
        log_.note("block " + std::to_string(number) + " repeated");
        return {status::success, blockEcho(number)};
    }
    if (number != nextBlock_)
        return {status::wrongBlockNumber};
    if (data.size() > settings_.blockLength)
        return {status::blockTooLong};
    store_.append(data);
    lastBlock_ = number;
    lastBlockData_.assign(data);
    ++nextBlock_;
    return {status::success, blockEcho(number)};
}

CommandHandlers::Outcome CommandHandlers::closeComponent()
{
    auto closed = store_.close();
    lastBlockData_.clear();
    if (!closed.written) {
        log_.note("component " + closed.name + " not written: " + closed.failure);
        return {status::flashError};
    }
    log_.note("component " + closed.name + " " + std::to_string(closed.size) + " bytes");
    justClosed_ = true;
    return {status::success, blockEcho(0)};
}

CommandHandlers::Outcome CommandHandlers::readStored(std::string_view parameters)
{
    if (parameters.size() != 1) {
        log_.note("command 13 len " + std::to_string(parameters.size()));
        return {status::invalidLength};
    }
    auto selector = static_cast<unsigned char>(parameters[0]);
    log_.note("command 13 selector " + std::to_string(selector));
    if (selector == 4) {
        if (!stored_.guarantee)
            return {status::notAvailable};
        return {status::success, std::string(guaranteeFillerSize, '\0') + *stored_.guarantee};
    }
    if (selector == 5) {
        if (!stored_.configuration)
            return {status::notAvailable};
        return {status::success, *stored_.configuration};
    }
    return {status::invalidParameter};
}

CommandHandlers::Outcome CommandHandlers::closeLoad(std::string_view parameters)
{
    log_.note("command 14");
    if (!parameters.empty())
        return {status::invalidLength};
    if (store_.isOpen()) {
        log_.note("component " + std::string(kindName(store_.kind())) + " abandoned after " +
                  std::to_string(store_.size()) + " bytes");
        store_.abandon();
    }
    return {status::success, {}, true};
}

CommandHandlers::Outcome CommandHandlers::recordValues(std::string_view code, std::string_view parameters)
{
    std::string line = "command " + std::string(code);
    bool lengthRight = false;
    if (code == "16" || code == "18") {
        lengthRight = parameters.size() == 4;
        if (lengthRight)
            line += " value " + std::to_string(readLe32(parameters));
    } else if (code == "17") {
        lengthRight = parameters.size() >= 2;
        if (lengthRight)
            line += " value " + std::to_string(readLe16(parameters)) + " len " +
                    std::to_string(parameters.size() - 2);
    } else {
        lengthRight = parameters.size() == 9;
        if (lengthRight)
            line += " values " + std::to_string(readLe32(parameters)) + ' ' +
                    std::to_string(readLe32(parameters.substr(4))) + ' ' +
                    std::to_string(static_cast<unsigned char>(parameters[8]));
    }
    if (!lengthRight)
        line += " len " + std::to_string(parameters.size());
    log_.note(line);
    return {lengthRight ? status::success : status::invalidLength};
}

} // namespace termsim
