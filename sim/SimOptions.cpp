#include "sim/SimOptions.h"

#include <charconv>
#include <functional>
#include <map>
#include <string_view>

namespace termsim {

namespace {

// Decimal digits only: no sign, no blanks, no overflow.
std::optional<std::uint64_t> parseCount(std::string_view text)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

// One byte: a single character as it is, or 0xNN.
std::optional<char> parseByte(std::string_view text)
{
    if (text.size() == 1)
        return text[0];
    if (text.size() != 4 || !(text.starts_with("0x") || text.starts_with("0X")))
        return std::nullopt;
    unsigned value = 0;
    auto digits = text.substr(2);
    auto [stop, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (ec != std::errc() || stop != digits.data() + digits.size())
        return std::nullopt;
    return static_cast<char>(value);
}

// "CMD=SS": two command characters, then a status of two characters or of two bytes
// written as 0xNN,0xNN.
bool parseForcedStatus(std::string_view text, LinkFaults& faults)
{
    auto equals = text.find('=');
    if (equals != 2)
        return false;
    std::string command(text.substr(0, 2));
    std::string_view status = text.substr(3);
    if (status.size() == 2) {
        faults.statusFor[command] = std::string(status);
        return true;
    }
    auto comma = status.find(',');
    if (comma == std::string_view::npos)
        return false;
    auto high = parseByte(status.substr(0, comma));
    auto low = parseByte(status.substr(comma + 1));
    if (!high || !low || status.substr(0, comma).size() != 4 || status.substr(comma + 1).size() != 4)
        return false;
    faults.statusFor[command] = std::string{*high, *low};
    return true;
}

constexpr std::uint64_t highestBitRate = 100'000'000;
// Longer waits than a day are surely a slip of the keyboard.
constexpr std::uint64_t longestWaitMs = 86'400'000;

bool parseBitRate(std::string_view text, PacingOption& pacing)
{
    if (text == "line") {
        pacing = {PacingOption::Kind::FollowLine, 0};
        return true;
    }
    auto rate = parseCount(text);
    if (!rate || *rate == 0 || *rate > highestBitRate)
        return false;
    pacing = {PacingOption::Kind::Fixed, static_cast<unsigned>(*rate)};
    return true;
}

bool parseMode(std::string_view text, ModeKind& mode)
{
    if (text == "hexsink") {
        mode = ModeKind::HexSink;
        return true;
    }
    if (text == "terminal") {
        mode = ModeKind::Terminal;
        return true;
    }
    return false;
}

using ValueHandler = std::function<bool(std::string_view, SimOptions&)>;

ValueHandler countInto(std::optional<std::uint64_t> FaultSettings::*field)
{
    return [field](std::string_view text, SimOptions& options) {
        auto count = parseCount(text);
        if (!count)
            return false;
        options.faults.*field = *count;
        return true;
    };
}

ValueHandler linkFaultCount(std::uint64_t LinkFaults::*field)
{
    return [field](std::string_view text, SimOptions& options) {
        auto count = parseCount(text);
        if (!count)
            return false;
        options.terminal.faults.*field = *count;
        return true;
    };
}

ValueHandler linkFaultLimit(std::optional<std::uint64_t> LinkFaults::*field, std::uint64_t least)
{
    return [field, least](std::string_view text, SimOptions& options) {
        auto count = parseCount(text);
        if (!count || *count < least)
            return false;
        options.terminal.faults.*field = *count;
        return true;
    };
}

ValueHandler textInto(std::string SimOptions::*field)
{
    return [field](std::string_view text, SimOptions& options) {
        if (text.empty())
            return false;
        options.*field = std::string(text);
        return true;
    };
}

ValueHandler terminalText(std::string TerminalSettings::*field)
{
    return [field](std::string_view text, SimOptions& options) {
        if (text.empty())
            return false;
        options.terminal.*field = std::string(text);
        return true;
    };
}

ValueHandler terminalMillis(platform::Millis TerminalSettings::*field)
{
    return [field](std::string_view text, SimOptions& options) {
        auto ms = parseCount(text);
        if (!ms || *ms > longestWaitMs)
            return false;
        options.terminal.*field = static_cast<platform::Millis>(*ms);
        return true;
    };
}

ValueHandler terminalByte(char TerminalSettings::*field)
{
    return [field](std::string_view text, SimOptions& options) {
        auto byte = parseByte(text);
        if (!byte)
            return false;
        options.terminal.*field = *byte;
        return true;
    };
}

ValueHandler terminalLine(LineSettings TerminalSettings::*field)
{
    return [field](std::string_view text, SimOptions& options) {
        auto settings = parseLineSettings(text);
        if (!settings)
            return false;
        options.terminal.*field = *settings;
        return true;
    };
}

bool parseBlockLength(std::string_view text, SimOptions& options)
{
    auto length = parseCount(text);
    if (!length || *length > 0xFFFF)
        return false;
    options.terminal.blockLength = static_cast<std::uint16_t>(*length);
    return true;
}

const std::map<std::string_view, ValueHandler>& optionsWithValue()
{
    static const std::map<std::string_view, ValueHandler> table = {
        {"--mode", [](std::string_view text, SimOptions& o) { return parseMode(text, o.mode); }},
        {"--device", textInto(&SimOptions::devicePath)},
        {"--link", textInto(&SimOptions::linkPath)},
        {"--out", textInto(&SimOptions::outPath)},
        {"--log", textInto(&SimOptions::logPath)},
        {"--stats", textInto(&SimOptions::statsPath)},
        {"--bitrate", [](std::string_view text, SimOptions& o) { return parseBitRate(text, o.pacing); }},
        {"--vanish-after", countInto(&FaultSettings::vanishAfter)},
        {"--stall-after", countInto(&FaultSettings::stallAfter)},
        {"--files", terminalText(&TerminalSettings::filesDirectory)},
        {"--boot-delay", terminalMillis(&TerminalSettings::bootDelayMs)},
        {"--ramboot-line", terminalLine(&TerminalSettings::rambootLine)},
        {"--block-length", parseBlockLength},
        {"--guarantee", terminalText(&TerminalSettings::guaranteePath)},
        {"--config-data", terminalText(&TerminalSettings::configDataPath)},
        {"--restart-ms", terminalMillis(&TerminalSettings::restartMs)},
        {"--clock-line", terminalLine(&TerminalSettings::clockLine)},
        {"--wake-char", terminalByte(&TerminalSettings::wakeChar)},
        {"--wake-every", terminalMillis(&TerminalSettings::wakeEveryMs)},
        {"--wake-limit", terminalMillis(&TerminalSettings::wakeLimitMs)},
        {"--ready-char", terminalByte(&TerminalSettings::readyChar)},
        {"--clock-answer", terminalByte(&TerminalSettings::clockAnswer)},
        {"--nak-frames", linkFaultCount(&LinkFaults::nakFrames)},
        {"--bad-lcr", linkFaultCount(&LinkFaults::badLcr)},
        {"--lose-acks", linkFaultCount(&LinkFaults::loseAcks)},
        {"--dle-for-ack", linkFaultCount(&LinkFaults::dleForAck)},
        {"--truncate", linkFaultCount(&LinkFaults::truncate)},
        {"--wrong-echo", linkFaultCount(&LinkFaults::wrongEcho)},
        {"--echo-cmd", linkFaultCount(&LinkFaults::echoCmd)},
        {"--silent-after", linkFaultLimit(&LinkFaults::silentAfter, 0)},
        {"--noise-every", linkFaultLimit(&LinkFaults::noiseEvery, 1)},
        {"--status", [](std::string_view text, SimOptions& o) { return parseForcedStatus(text, o.terminal.faults); }},
    };
    return table;
}

using SwitchHandler = std::function<void(SimOptions&)>;

const std::map<std::string_view, SwitchHandler>& switches()
{
    static const std::map<std::string_view, SwitchHandler> table = {
        {"--exit-on-eof", [](SimOptions& o) { o.exitOnEof = true; }},
        {"--help", [](SimOptions& o) { o.showHelp = true; }},
        {"--bios-idle", [](SimOptions& o) { o.terminal.biosLoading = false; }},
        {"--bootstrap-running", [](SimOptions& o) { o.terminal.start = TerminalSettings::Start::Bootstrap; }},
        {"--protocol-running", [](SimOptions& o) { o.terminal.start = TerminalSettings::Start::Protocol; }},
        {"--short-open", [](SimOptions& o) { o.terminal.faults.shortOpen = true; }},
    };
    return table;
}

} // namespace

bool parseOptions(const std::vector<std::string>& arguments, SimOptions& options, std::string& error)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        std::string_view name = argument;
        std::optional<std::string_view> attached;
        if (auto equals = argument.find('='); argument.starts_with("--") && equals != std::string_view::npos) {
            name = argument.substr(0, equals);
            attached = argument.substr(equals + 1);
        }

        if (auto sw = switches().find(name); sw != switches().end()) {
            if (attached) {
                error = "option " + std::string(name) + " takes no value";
                return false;
            }
            sw->second(options);
            continue;
        }
        auto withValue = optionsWithValue().find(name);
        if (withValue == optionsWithValue().end()) {
            error = "unknown option " + std::string(argument);
            return false;
        }
        if (!attached && i + 1 >= arguments.size()) {
            error = "option " + std::string(name) + " needs a value";
            return false;
        }
        std::string_view value = attached ? *attached : std::string_view(arguments[++i]);
        if (!withValue->second(value, options)) {
            error = "bad value '" + std::string(value) + "' for " + std::string(name);
            return false;
        }
    }
    return true;
}

} // namespace termsim
