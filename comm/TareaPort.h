#pragma once
// The port interface that every protocol of the station talks to. The protocols never
// touch a device; they see only these operations, so the same code runs on a serial
// line, a pseudo-terminal or a test double.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Tarea {

class Port {
public:
    virtual ~Port() = default;
    virtual const std::string& name() const = 0;
    virtual bool reopen() = 0;
    virtual bool close() = 0; // with flushing
    virtual void setRtsFollowsCts(bool on) = 0;
    virtual void setRts(bool on) = 0;
    // Time limits in milliseconds; 0 means no limit.
    virtual bool write(const std::uint8_t* bytes, std::size_t count, std::uint32_t limitMs) = 0;
    virtual bool writeByte(std::uint8_t byte, std::uint32_t limitMs) = 0;
    virtual void discardInput() = 0;
    virtual std::size_t available() = 0;
    virtual std::size_t read(std::uint8_t* buffer, std::size_t count, std::uint32_t limitMs) = 0;
    // The byte, or 0 when none arrived in time (a received 0 looks the same).
    virtual std::uint8_t readByte(std::uint32_t limitMs) = 0;
    virtual void putBack(const std::uint8_t* bytes, std::size_t count) = 0;
    virtual void putBackByte(std::uint8_t byte) = 0;
    // Wakes every read and write waiting at this moment; later waits are not affected.
    virtual void abortWaits() = 0;
};

} // namespace Tarea
