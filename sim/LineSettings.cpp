#include "sim/LineSettings.h"

#include "sim/KernelLineState.h"

#include <charconv>
#include <termios.h>
#include <utility>

namespace termsim {

namespace {

LineSettings decodeControlFlags(tcflag_t flags, unsigned speed)
{
    LineSettings settings;
    settings.speed = speed;
    if (!(flags & PARENB))
        settings.parity = 'N';
    else if (flags & CMSPAR)
        settings.parity = (flags & PARODD) ? 'M' : 'S';
    else
        settings.parity = (flags & PARODD) ? 'O' : 'E';
    switch (flags & CSIZE) {
    case CS5: settings.dataBits = 5; break;
    case CS6: settings.dataBits = 6; break;
    case CS7: settings.dataBits = 7; break;
    default: settings.dataBits = 8; break;
    }
    settings.stopBits = (flags & CSTOPB) ? 2 : 1;
    return settings;
}

// Speeds of the classic B constants; a code not listed gives 0 (unknown).
unsigned speedOfCode(speed_t code)
{
    static const std::pair<speed_t, unsigned> table[] = {
        {B50, 50}, {B75, 75}, {B110, 110}, {B134, 134}, {B150, 150}, {B200, 200}, {B300, 300},
        {B600, 600}, {B1200, 1200}, {B1800, 1800}, {B2400, 2400}, {B4800, 4800}, {B9600, 9600},
        {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
        {B460800, 460800}, {B500000, 500000}, {B576000, 576000}, {B921600, 921600},
        {B1000000, 1000000}, {B1152000, 1152000}, {B1500000, 1500000}, {B2000000, 2000000},
        {B2500000, 2500000}, {B3000000, 3000000}, {B3500000, 3500000}, {B4000000, 4000000},
    };
    for (auto [constant, speed] : table)
        if (constant == code)
            return speed;
    return 0;
}

std::optional<unsigned> parseNumber(std::string_view text)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::optional<char> parseParity(std::string_view text)
{
    if (text.size() != 1)
        return std::nullopt;
    char letter = text[0] >= 'a' && text[0] <= 'z' ? static_cast<char>(text[0] - 'a' + 'A') : text[0];
    for (char known : {'N', 'E', 'O', 'M', 'S'})
        if (letter == known)
            return letter;
    return std::nullopt;
}

} // namespace

std::optional<LineSettings> parseLineSettings(std::string_view text)
{
    std::string_view fields[4];
    for (int i = 0; i < 4; ++i) {
        auto comma = text.find(',');
        if ((comma == std::string_view::npos) != (i == 3))
            return std::nullopt;
        fields[i] = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    auto speed = parseNumber(fields[0]);
    auto parity = parseParity(fields[1]);
    auto dataBits = parseNumber(fields[2]);
    auto stopBits = parseNumber(fields[3]);
    if (!speed || *speed == 0 || !parity || !dataBits || *dataBits < 5 || *dataBits > 8 || !stopBits ||
        (*stopBits != 1 && *stopBits != 2))
        return std::nullopt;
    return LineSettings{*speed, *parity, static_cast<int>(*dataBits), static_cast<int>(*stopBits)};
}

bool sameLineSpeed(const LineSettings& station, const LineSettings& terminal)
{
    return station.speed == terminal.speed && station.stopBits == terminal.stopBits;
}

std::string LineSettings::text() const
{
    return std::to_string(speed) + ',' + parity + ',' + std::to_string(dataBits) + ',' + std::to_string(stopBits);
}

std::optional<LineSettings> readLineSettings(int fd)
{
    if (auto state = readKernelLineState(fd))
        return decodeControlFlags(state->controlFlags, state->outputSpeed);
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return std::nullopt;
    return decodeControlFlags(settings.c_cflag, speedOfCode(::cfgetospeed(&settings)));
}

} // namespace termsim
