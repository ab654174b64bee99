#pragma once
// A serial device node under termios: opened exclusive and non-blocking, its line set
// to raw (binary) mode with the rate, framing and flow control asked for, its modem
// lines read and set. Every failure is reported as false; the errno of the last one is
// kept for whoever wants to word it.
#include "platform/FileDescriptor.h"
#include "platform/Ticks.h"

#include <atomic>
#include <string>

namespace platform {

// What to set on a line. Every field has a value that leaves the device's own setting.
struct SerialLineSettings {
    enum class Parity { Keep, None, Odd, Even, Mark, Space };
    enum class StopBits { Keep, One, OneAndHalf, Two };
    enum class LineHold { Keep, Off, On };

    int baudRate = 0; // bits per second; 0 keeps the device's rate
    Parity parity = Parity::Keep;
    int dataBits = 0; // 5..8; anything else keeps the device's byte size
    StopBits stopBits = StopBits::Keep;
    bool parityCheck = false;   // check parity of received bytes
    bool ctsOutputFlow = false; // send only while CTS is on
    bool rtsHandshake = false;  // RTS drops while the receiver is full
    bool xonXoffOutput = false; // stop sending on XOFF, go on at XON
    LineHold dtr = LineHold::Keep;
    LineHold rts = LineHold::Keep;
};

class SerialDevice {
public:
    enum class ModemWait { Changed, Interrupted, Unsupported, Failed };

    SerialDevice() = default;
    ~SerialDevice() { close(); }
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens the node for reading and writing, non-blocking, never as the controlling
    // terminal, and marks the line exclusive. False (and closed) when the node is
    // missing or is not a terminal line.
    bool open(const std::string& path);
    // Raw binary line with the given settings; only what the settings name changes.
    // False when the line state cannot be read or written. Holding DTR or RTS is done
    // as far as the device has modem lines (a pseudo-terminal has none).
    bool configure(const SerialLineSettings& settings);
    // Clears the exclusive mark and closes. Nothing happens on a closed device.
    void close();

    bool isOpen() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }

    // The modem lines as TIOCM_* bits.
    bool modemLines(int& lines);
    bool setModemLine(int lineBit, bool on);
    // Blocks until one of CTS, DSR, carrier detect or ring changes. A signal ends the
    // wait with Interrupted; Unsupported when the device has no modem lines.
    ModemWait waitModemChange();

    // Waits until the driver holds no more output, at most boundMs; false when output
    // is still pending then (a stalled line) or the device cannot tell.
    bool drain(Millis boundMs);
    bool purgeInput();
    bool purgeOutput();

    // errno of the last failed operation and its wording.
    int lastError() const { return lastError_; }
    std::string lastErrorText() const;

private:
    bool fail();

    FileDescriptor fd_;
    // Written by whichever thread meets a failure (the port's threads included).
    std::atomic<int> lastError_{0};
};

// Rates without a B constant go to the driver as a custom rate (termios2). These live
// apart because the kernel's termios2 header cannot share a file with <termios.h>.
bool setCustomLineRate(int fd, int bitsPerSecond);
// The line's output rate in bits per second, 0 when it cannot be read.
int lineRate(int fd);

} // namespace platform
