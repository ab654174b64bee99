#pragma once
// A serial line with its own reader thread (device to receive queue) and modem-line
// event thread. Reads take bytes from the receive queue with a time limit; every wait
// can be ended by abortWaits.
#include "comm/PortSettings.h"
#include "comm/TareaPort.h"

#include <memory>
#include <string>
#include <string_view>

namespace CommPort {

class Port final : public Tarea::Port {
public:
    Port();
    ~Port() override; // closes with flushing
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

    // Opens the device (a name without '/' lies below /dev/) with these settings and
    // starts the two threads. Called only on a closed port.
    bool open(std::string_view deviceName, const PortSettings& settings);
    bool close(bool flush);
    bool isOpen() const;

    const std::string& name() const override;
    bool reopen() override;
    bool close() override;
    void setRtsFollowsCts(bool on) override;
    void setRts(bool on) override;
    bool write(const std::uint8_t* bytes, std::size_t count, std::uint32_t limitMs) override;
    bool writeByte(std::uint8_t byte, std::uint32_t limitMs) override;
    void discardInput() override;
    std::size_t available() override;
    std::size_t read(std::uint8_t* buffer, std::size_t count, std::uint32_t limitMs) override;
    std::uint8_t readByte(std::uint32_t limitMs) override;
    void putBack(const std::uint8_t* bytes, std::size_t count) override;
    void putBackByte(std::uint8_t byte) override;
    void abortWaits() override;

private:
    struct State;
    // Opens the stored device with the stored settings; the caller holds the
    // lifecycle lock and the port is closed.
    bool openStored();

    std::string name_;
    PortSettings settings_;
    std::unique_ptr<State> state_;
};

} // namespace CommPort
