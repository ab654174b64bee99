#pragma once
// The line settings the station chose: speed, parity, data bits and stop bits.
#include <optional>
#include <string>

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

// The settings of the line behind fd. On a pseudo-terminal master these are the
// slave's settings, as the station set them, with one reservation: the kernel's
// pseudo-terminal driver forces eight data bits and no parity on every change, so on
// a pseudo-terminal only the speed and the stop bits tell what the station asked for;
// a real device shows all. Nothing when fd is no terminal.
std::optional<LineSettings> readLineSettings(int fd);

} // namespace termsim
