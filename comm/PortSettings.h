#pragma once
// Serial line settings and their text form baud,parity,data,stop (115200,N,8,1).
#include <cstdint>
#include <string_view>

namespace CommPort {

struct PortSettings {
    int baudIndex = 8;   // 0..14: 110 300 600 1200 2400 4800 9600 14400 19200 38400 56000 57600 115200 128000 256000
    int parityIndex = 2; // 0 odd, 1 even, 2 none, 3 mark, 4 space
    int dataBits = 8;    // 5..8
    int stopBitIndex = 0; // 0 one, 1 one and a half, 2 two
    int dtrMode = 1;     // 0 held off, 1 held on, 2 handshake
    int rtsMode = 1;     // 0 held off, 1 held on, 2 toggle, 3 handshake
    std::uint8_t parityCheck = 0;
    std::uint8_t ctsOutputFlow = 0;
    std::uint8_t dsrOutputFlow = 0;
    std::uint8_t xonXoffOutput = 0;
    std::uint8_t dsrSensitivity = 0;
};

// Bits per second of a baud index, 0 for an index outside 0..14.
int baudRateOfIndex(int baudIndex);

// Applies a settings text to the given settings; an empty field leaves its setting as
// it was. False when a field holds anything else than the accepted texts (the settings
// may then be partly changed).
bool parseLineSettings(std::string_view text, PortSettings& settings);

} // namespace CommPort
