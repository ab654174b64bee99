#pragma once
// A port whose received bytes are a fixed sequence in memory. A read takes what is
// left at once and never waits: an exhausted input looks like a silent line. Bytes
// given back return to the front; a byte given back that was not the last one taken
// is a fault of the caller and is counted.
#include "comm/TareaPort.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class MemoryPort final : public Tarea::Port {
public:
    explicit MemoryPort(std::span<const std::uint8_t> input) : input_(input) {}

    // Bytes taken and not given back, in order.
    std::span<const std::uint8_t> consumed() const { return input_.first(position_); }
    std::span<const std::uint8_t> remaining() const { return input_.subspan(position_); }
    int foreignPutBacks() const { return foreignPutBacks_; }
    const std::vector<std::uint8_t>& written() const { return written_; }

    const std::string& name() const override { return name_; }
    bool reopen() override { return true; }
    bool close() override { return true; }
    void setRtsFollowsCts(bool) override {}
    void setRts(bool) override {}
    bool write(const std::uint8_t* bytes, std::size_t count, std::uint32_t) override
    {
        written_.insert(written_.end(), bytes, bytes + count);
        return true;
    }
    bool writeByte(std::uint8_t byte, std::uint32_t) override { return write(&byte, 1, 0); }
    void discardInput() override { position_ = input_.size(); }
    std::size_t available() override { return input_.size() - position_; }
    std::size_t read(std::uint8_t* buffer, std::size_t count, std::uint32_t) override
    {
        std::size_t n = 0;
        while (n < count && position_ < input_.size())
            buffer[n++] = input_[position_++];
        return n;
    }
    std::uint8_t readByte(std::uint32_t limitMs) override
    {
        std::uint8_t b = 0;
        read(&b, 1, limitMs);
        return b;
    }
    void putBack(const std::uint8_t* bytes, std::size_t count) override
    {
        for (std::size_t i = count; i-- > 0;)
            putBackByte(bytes[i]);
    }
    void putBackByte(std::uint8_t byte) override
    {
        if (position_ == 0 || input_[position_ - 1] != byte) {
            ++foreignPutBacks_;
            return;
        }
        --position_;
    }
    void abortWaits() override {}

private:
    std::span<const std::uint8_t> input_;
    std::size_t position_ = 0;
    int foreignPutBacks_ = 0;
    std::vector<std::uint8_t> written_;
    std::string name_ = "memory";
};
