#pragma once
// The check a configuration page makes before it accepts a serial port: the port must
// open exclusively and be an RS-232 line. The verdict carries the message and caption
// to show, so that the caller shows them in its own time:
// - Accept: take the port, nothing to show;
// - AskAccept: show the message with OK and Cancel; OK takes the port;
// - Refuse: show the message with OK; the port is not taken.
// The port is opened without changing its line settings and closed again in every case.
#include <string>
#include <string_view>

struct SerialPortVerdict {
    enum class Outcome { Accept, AskAccept, Refuse };
    Outcome outcome = Outcome::Refuse;
    std::string message;
    std::string caption;
};

// What kind of line a device is, as far as the check tells them apart.
enum class SerialProviderKind {
    Unspecified = 0,
    Rs232 = 1,
    Modem = 6, // a USB modem-class line (ttyACM)
    PseudoTerminal = 0x200,
};

// The name shown for a kind in "Specified port is a %s. ...", quotes included.
std::string serialProviderName(int kind);

// Checks the named port (a name without '/' lies below /dev/).
SerialPortVerdict checkSerialPort(std::string_view port);
