#include "configdata/DataObjects.h"
#include "sim/signer/SignatureTrailer.h"

#include <algorithm>
#include <stdexcept>

Bytes tagBytes(std::uint32_t tag)
{
    Bytes bytes;
    for (int shift = 16; shift >= 0; shift -= 8) {
        auto b = static_cast<std::uint8_t>(tag >> shift);
        if (b != 0 || !bytes.empty() || shift == 0)
            bytes.push_back(b);
    }
    return bytes;
}

Bytes shortObject(std::uint32_t tag, const Bytes& value)
{
    if (value.size() >= 0x80)
        throw std::length_error("short length");
    Bytes bytes = tagBytes(tag);
    bytes.push_back(static_cast<std::uint8_t>(value.size()));
    bytes.insert(bytes.end(), value.begin(), value.end());
    return bytes;
}

Bytes object81(std::uint32_t tag, const Bytes& value)
{
    if (value.size() > 0xFF)
        throw std::length_error("one length byte");
    Bytes bytes = tagBytes(tag);
    bytes.push_back(0x81);
    bytes.push_back(static_cast<std::uint8_t>(value.size()));
    bytes.insert(bytes.end(), value.begin(), value.end());
    return bytes;
}

Bytes object82(std::uint32_t tag, const Bytes& value)
{
    Bytes bytes = tagBytes(tag);
    bytes.push_back(0x82);
    bytes.push_back(static_cast<std::uint8_t>(value.size() >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value.size()));
    bytes.insert(bytes.end(), value.begin(), value.end());
    return bytes;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes bytes;
    for (const Bytes& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

Bytes textBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

Bytes repeated(std::size_t count, std::uint8_t value)
{
    return Bytes(count, value);
}

namespace {

Bytes optionalObject(std::uint32_t tag, const Bytes& value)
{
    return value.empty() ? Bytes{} : shortObject(tag, value);
}

Bytes counting(std::size_t count, std::uint8_t first)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

Bytes identityObject(const ConfigurationValues& values)
{
    return shortObject(
        0xFF7A, join({optionalObject(0xDF8004, values.manufacturer), optionalObject(0xDF8005, values.serialNumber),
                      shortObject(0xDF8006, {0x07}), optionalObject(0xDF8007, values.manufacturingDate)}));
}

} // namespace

Bytes guaranteeObject(const GuaranteeValues& values)
{
    Bytes inner = join({optionalObject(0xDF57, values.companion), optionalObject(0xDF8008, values.installationDate)});
    for (const Bytes& date : values.batteryDates) {
        Bytes slot = optionalObject(0xDF8009, date);
        inner.insert(inner.end(), slot.begin(), slot.end());
    }
    return shortObject(0xFF5E, inner);
}

Bytes guaranteeFile(const GuaranteeValues& values)
{
    return join({textBytes("GD01"), guaranteeObject(values), {0x00, 0x00}});
}

Bytes templateConfiguration(const ConfigurationValues& values)
{
    // The MAC address is 28 bytes after the DF8060 tag: 5 header bytes and 23 before it.
    Bytes macHolder = join({counting(23, 0x30), values.macAddress, counting(3, 0x60)});
    Bytes network = object82(
        0xFF7F, join({shortObject(0xDF8040, {0x01}), shortObject(0xDF8041, {0x02}),
                      object81(0xDF8042, {0xAA, 0xBB, 0xCC}), shortObject(0xDF8044, {0x00}), object81(0xDF8051, {0x09}),
                      object81(0xDF8060, macHolder), shortObject(0xDF8057, {0x00})}));
    return object82(0xFF79,
                    join({shortObject(0xDF800D, {0x00}), identityObject(values), object82(0xFF7B, {0x01, 0x02, 0x03}),
                          object81(0xFF7C, {0x04, 0x05}), shortObject(0xFF7D, {0x06}),
                          values.withNetwork ? network : Bytes{}, shortObject(0xFF7E, {0x08})}));
}

Bytes terminalConfiguration(const ConfigurationValues& values)
{
    // The terminal writes DF8060 with a short length: the MAC is 23 bytes after its tag.
    Bytes macHolder = join({counting(19, 0x30), values.macAddress, counting(3, 0x60)});
    Bytes network = object82(0xFF7F, join({shortObject(0xDF8040, {0x01}), shortObject(0xDF8048, {0x02}),
                                           shortObject(0xDF8051, {0x09}), shortObject(0xDF8060, macHolder)}));
    return object82(
        0xFF79, join({shortObject(0xDF800D, {0x00}), identityObject(values), values.withNetwork ? network : Bytes{}}));
}

Bytes configurationFile(const ConfigurationValues& values)
{
    return join(
        {object82(0xFD, counting(250, 0x00)), templateConfiguration(values), repeated(signer::trailerSize, 0x00)});
}

std::size_t offsetOf(const Bytes& haystack, const Bytes& needle)
{
    auto at = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end());
    if (at == haystack.end())
        throw std::out_of_range("bytes not found");
    return static_cast<std::size_t>(at - haystack.begin());
}

ExactBuffer::ExactBuffer(const Bytes& bytes)
    : data_(std::make_unique<std::uint8_t[]>(bytes.size())), size_(bytes.size())
{
    std::copy(bytes.begin(), bytes.end(), data_.get());
}
