#pragma once
// Test data: BER-TLV objects put together byte by byte, the guarantee and configuration
// data templates as the station's files hold them, the terminal's copies as it answers
// command "13", and buffers of exactly their size so that the sanitizer sees every read
// past an end.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The tag's one to three bytes (0xDF8008 gives DF 80 08).
Bytes tagBytes(std::uint32_t tag);
// An object with a short length, or with 0x81 or 0x82 and the length behind it.
Bytes shortObject(std::uint32_t tag, const Bytes& value);
Bytes object81(std::uint32_t tag, const Bytes& value);
Bytes object82(std::uint32_t tag, const Bytes& value);
Bytes join(std::initializer_list<Bytes> parts);
Bytes textBytes(const std::string& text);
Bytes repeated(std::size_t count, std::uint8_t value);

// The values of a template or of a terminal's copy. An empty value leaves the object out.
struct GuaranteeValues {
    Bytes companion = {0x11, 0x22};
    Bytes installationDate = repeated(4, 0x00);
    std::vector<Bytes> batteryDates = std::vector<Bytes>(5, repeated(4, 0xFF));
};

struct ConfigurationValues {
    Bytes manufacturer = textBytes("OLDMAN");
    Bytes serialNumber = textBytes("000000000000");
    Bytes manufacturingDate = repeated(4, 0x00);
    Bytes macAddress = repeated(6, 0x00); // inside DF8060
    bool withNetwork = true;
};

// FF5E holding DF57, DF8008 and the DF8009 slots.
Bytes guaranteeObject(const GuaranteeValues& values);
// A guarantee template file: some bytes before FF5E and after it.
Bytes guaranteeFile(const GuaranteeValues& values);

// FF79 as a template file writes it (DF8060 with 0x81, the MAC 28 bytes after its tag)
// or as a terminal answers it (DF8060 short, the MAC 23 bytes after its tag).
Bytes templateConfiguration(const ConfigurationValues& values);
Bytes terminalConfiguration(const ConfigurationValues& values);
// A configuration template file: a leading FD object, FF79, and at its end the room the
// signing tool writes its signature into (its last signer::trailerSize bytes, zeros
// until signed); over 281 bytes.
Bytes configurationFile(const ConfigurationValues& values);

// Where a value sits in a buffer: the offset of the first occurrence of the bytes.
std::size_t offsetOf(const Bytes& haystack, const Bytes& needle);

// A heap copy of exactly the bytes' size: a read one past its end is caught.
class ExactBuffer {
public:
    explicit ExactBuffer(const Bytes& bytes);
    std::span<const std::uint8_t> view() const { return {data_.get(), size_}; }

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t size_;
};
