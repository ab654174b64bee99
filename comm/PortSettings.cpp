#include "comm/PortSettings.h"

#include <array>
#include <cstddef>

namespace CommPort {

namespace {

constexpr std::array<int, 15> baudRates{110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200,
                                        38400, 56000, 57600, 115200, 128000, 256000};
constexpr std::array<std::string_view, 15> baudTexts{"110", "300", "600", "1200", "2400",
                                                     "4800", "9600", "14400", "19200", "38400",
                                                     "56000", "57600", "115200", "128000", "256000"};
constexpr std::string_view parityLetters = "OENMS"; // index order: odd even none mark space

constexpr std::size_t fieldCount = 4;

std::string_view withoutTrailingBlanks(std::string_view field)
{
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t' || field.back() == '\n'))
        field.remove_suffix(1);
    return field;
}

// The first four comma-separated fields; missing ones stay empty, later ones are dropped.
std::array<std::string_view, fieldCount> splitFields(std::string_view text)
{
    std::array<std::string_view, fieldCount> fields{};
    for (std::size_t i = 0; i < fieldCount; ++i) {
        const auto comma = text.find(',');
        fields[i] = withoutTrailingBlanks(text.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return fields;
}

bool applyBaud(std::string_view field, PortSettings& settings)
{
    for (std::size_t i = 0; i < baudTexts.size(); ++i) {
        if (field == baudTexts[i]) {
            settings.baudIndex = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

bool applyParity(std::string_view field, PortSettings& settings)
{
    if (field.size() != 1)
        return false;
    const auto index = parityLetters.find(field.front());
    if (index == std::string_view::npos)
        return false;
    settings.parityIndex = static_cast<int>(index);
    return true;
}

bool applyDataBits(std::string_view field, PortSettings& settings)
{
    if (field.size() != 1 || field.front() < '5' || field.front() > '8')
        return false;
    settings.dataBits = field.front() - '0';
    return true;
}

bool applyStopBits(std::string_view field, PortSettings& settings)
{
    if (field == "1")
        settings.stopBitIndex = 0;
    else if (field == "1.5" || field == "1'5" || field == "15" || field == "5")
        settings.stopBitIndex = 1;
    else if (field == "2")
        settings.stopBitIndex = 2;
    else
        return false;
    return true;
}

} // namespace

int baudRateOfIndex(int baudIndex)
{
    if (baudIndex < 0 || baudIndex >= static_cast<int>(baudRates.size()))
        return 0;
    return baudRates[static_cast<std::size_t>(baudIndex)];
}

bool parseLineSettings(std::string_view text, PortSettings& settings)
{
    using Apply = bool (*)(std::string_view, PortSettings&);
    constexpr std::array<Apply, fieldCount> appliers{applyBaud, applyParity, applyDataBits, applyStopBits};

    const auto fields = splitFields(text);
    for (std::size_t i = 0; i < fieldCount; ++i) {
        if (!fields[i].empty() && !appliers[i](fields[i], settings))
            return false;
    }
    return true;
}

} // namespace CommPort
