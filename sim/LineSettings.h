#pragma once
// The line settings the station chose: speed, parity, data bits and stop bits.
#include <optional>
#include <string>
#include <string_view>

namespace termsim {

struct LineSettings {
    unsigned speed = 0;   // bit/s
    char parity = 'N';    // N, E, O, M (mark) or S (space)
    int dataBits = 8;     // 5 to 8
    int stopBits = 1;     // 1 or 2

    bool operator==(const LineSettings&) const = default;

    // "9600,N,8,1"
    std::string text() const;
};

// "baud,parity,data,stop" as in "115200,N,8,1": parity N, E, O, M or S (either
// case), 5 to 8 data bits, 1 or 2 stop bits. Nothing when the text is not of that form.
std::optional<LineSettings> parseLineSettings(std::string_view text);

// Whether a UART set to the terminal's settings makes sense of bytes sent with the
// station's. Only the speed and the stop bits are compared: a pseudo-terminal shows
// nothing else of what the station asked for (see readLineSettings).
bool sameLineSpeed(const LineSettings& station, const LineSettings& terminal);

// The settings of the line behind fd. On a pseudo-terminal master these are the
// slave's settings, as the station set them, with one reservation: the kernel's
// pseudo-terminal driver forces eight data bits and no parity on every change, so on
// a pseudo-terminal only the speed and the stop bits tell what the station asked for;
// a real device shows all. Nothing when fd is no terminal.
std::optional<LineSettings> readLineSettings(int fd);

} // namespace termsim
