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

constexpr std::uint64_t highestBitRate = 100'000'000;

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

ValueHandler textInto(std::string SimOptions::*field)
{
    return [field](std::string_view text, SimOptions& options) {
        if (text.empty())
            return false;
        options.*field = std::string(text);
        return true;
    };
}

const std::map<std::string_view, ValueHandler>& optionsWithValue()
{
    static const std::map<std::string_view, ValueHandler> table = {
        {"--mode", [](std::string_view text, SimOptions& o) { return parseMode(text, o.mode); }},
        {"--device", textInto(&SimOptions::devicePath)},
        {"--link", textInto(&SimOptions::linkPath)},
        {"--out", textInto(&SimOptions::outPath)},
        {"--log", textInto(&SimOptions::logPath)},
        {"--bitrate", [](std::string_view text, SimOptions& o) { return parseBitRate(text, o.pacing); }},
        {"--vanish-after", countInto(&FaultSettings::vanishAfter)},
        {"--stall-after", countInto(&FaultSettings::stallAfter)},
        {"--noise-every", countInto(&FaultSettings::noiseEvery)},
    };
    return table;
}

const std::map<std::string_view, bool SimOptions::*>& switches()
{
    static const std::map<std::string_view, bool SimOptions::*> table = {
        {"--exit-on-eof", &SimOptions::exitOnEof},
        {"--help", &SimOptions::showHelp},
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
            options.*(sw->second) = true;
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

std::string usageText()
{
    return "usage: orvane-termsim [options]\n"
           "  --mode hexsink        terminal behaviour (default hexsink: take Intel HEX text)\n"
           "  --device PATH         use this serial device instead of a new pseudo-terminal\n"
           "  --link PATH           make PATH a symbolic link to the line while running\n"
           "  --out FILE            write every received byte to FILE\n"
           "  --exit-on-eof         end after the end-of-file record \":00000001FF\" CR LF\n"
           "  --log FILE            append line settings and events to FILE\n"
           "  --bitrate N|line      pace bytes at N bit/s, or at the rate set on the line\n"
           "  --vanish-after N      close the line after N received bytes\n"
           "  --stall-after N       stop reading after N received bytes\n"
           "  --noise-every N       line noise every N bytes (not used by hexsink)\n";
}

} // namespace termsim
