#pragma once
// Where the identity fields lie in a terminal's guarantee data (FF5E) and configuration
// data (FF79), in a template file and in the terminal's own copies. Every field is given
// by its place in the buffer that was scanned, so that it can be changed in place.
//
// A field is the first bytes of its object's value: 4 for a date, 12 for the serial
// number; the MAC address is 6 bytes at a fixed distance from the DF8060 tag. An object
// too short to hold its field counts as absent. The manufacturer identifier and the
// companion value DF57 are the object's whole value.
#include "loader/TlvScanner.h"

#include <array>
#include <cstddef>
#include <optional>

namespace identity {

struct FieldSpan {
    std::size_t offset = 0;
    std::size_t length = 0;
};
using Field = std::optional<FieldSpan>;

constexpr std::size_t kDateLength = 4;
constexpr std::size_t kSerialNumberLength = 12;
constexpr std::size_t kMacLength = 6;
constexpr std::size_t kBatterySlots = 5;

// The two places the data is read from: their FF7F objects are written differently.
enum class Source { TemplateFile, Terminal };

struct GuaranteeFields {
    Field companion;                               // DF57, copied together with the installation date
    Field installationDate;                        // DF8008
    std::array<Field, kBatterySlots> batteryDates; // the first five DF8009, in order
};

struct ConfigurationFields {
    Field manufacturer;      // DF8004
    Field serialNumber;      // DF8005
    Field manufacturingDate; // DF8007
    Field macAddress;        // inside DF8060
};

// The first FF5E from offset on, when it is whole within the bytes.
std::optional<tlv::Object> findGuaranteeData(tlv::ByteView bytes, std::size_t from);
// The first FF79 from offset on, when it is whole within the bytes.
std::optional<tlv::Object> findConfigurationData(tlv::ByteView bytes, std::size_t from);
// A configuration data file read from its start: FD and FF79 objects stepped over while
// more than 5 bytes remain, any other tag ending the scan; the last FF79 met.
std::optional<tlv::Object> configurationDataOfFile(tlv::ByteView bytes);

GuaranteeFields locateGuaranteeFields(tlv::ByteView bytes, const tlv::Object& guarantee);
ConfigurationFields locateConfigurationFields(tlv::ByteView bytes, const tlv::Object& configuration, Source source);

} // namespace identity
