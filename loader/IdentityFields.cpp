#include "loader/IdentityFields.h"

namespace identity {

namespace {

using tlv::LengthForm;
using tlv::Object;
using tlv::TagRule;

constexpr std::uint32_t kGuarantee = 0xFF5E;
constexpr std::uint32_t kCompanion = 0xDF57;
constexpr std::uint32_t kInstallationDate = 0xDF8008;
constexpr std::uint32_t kBatteryDate = 0xDF8009;

constexpr std::uint32_t kLeadingObject = 0xFD;
constexpr std::uint32_t kConfiguration = 0xFF79;
constexpr std::uint32_t kIdentity = 0xFF7A;
constexpr std::uint32_t kNetwork = 0xFF7F;
constexpr std::uint32_t kManufacturer = 0xDF8004;
constexpr std::uint32_t kSerialNumber = 0xDF8005;
constexpr std::uint32_t kManufacturingDate = 0xDF8007;
constexpr std::uint32_t kMacHolder = 0xDF8060;

// Distance from the first byte of the DF8060 tag to the MAC address.
constexpr std::size_t kMacDistanceInTemplate = 28;
constexpr std::size_t kMacDistanceInTerminal = 23;

constexpr TagRule kGuaranteeRules[] = {
    {kCompanion, LengthForm::Short},
    {kInstallationDate, LengthForm::Short},
    {kBatteryDate, LengthForm::Short},
};

constexpr TagRule kFileRules[] = {
    {kLeadingObject, LengthForm::TwoBytes},
    {kConfiguration, LengthForm::TwoBytes},
};

constexpr TagRule kConfigurationRules[] = {
    {0xDF800D, LengthForm::Short},    {kIdentity, LengthForm::Short}, {0xFF7B, LengthForm::TwoBytes},
    {0xFF7C, LengthForm::OneByte},    {0xFF7D, LengthForm::Short},    {0xFF7E, LengthForm::Short},
    {kNetwork, LengthForm::TwoBytes},
};

constexpr TagRule kIdentityRules[] = {
    {kManufacturer, LengthForm::Short},
    {kSerialNumber, LengthForm::Short},
    {0xDF8006, LengthForm::Short},
    {kManufacturingDate, LengthForm::Short},
};

constexpr TagRule kTemplateNetworkRules[] = {
    {0xDF8040, LengthForm::Short}, {0xDF8041, LengthForm::Short},     {0xDF8042, LengthForm::AnyDefinite},
    {0xDF8044, LengthForm::Short}, {0xDF8045, LengthForm::Short},     {0xDF8046, LengthForm::Short},
    {0xDF8047, LengthForm::Short}, {0xDF8048, LengthForm::Short},     {0xDF8049, LengthForm::Short},
    {0xDF804A, LengthForm::Short}, {0xDF804B, LengthForm::Short},     {0xDF804C, LengthForm::Short},
    {0xDF8050, LengthForm::Short}, {0xDF8051, LengthForm::OneByte},   {0xDF8052, LengthForm::Short},
    {0xDF8053, LengthForm::Short}, {0xDF8054, LengthForm::Short},     {0xDF8055, LengthForm::Short},
    {0xDF8057, LengthForm::Short}, {kMacHolder, LengthForm::OneByte},
};

// The terminal writes every object of its network data with a short length and knows
// fewer of them.
constexpr TagRule kTerminalNetworkRules[] = {
    {0xDF8040, LengthForm::Short},   {0xDF8048, LengthForm::Short}, {0xDF804A, LengthForm::Short},
    {0xDF804B, LengthForm::Short},   {0xDF804C, LengthForm::Short}, {0xDF8050, LengthForm::Short},
    {0xDF8051, LengthForm::Short},   {0xDF8052, LengthForm::Short}, {0xDF8053, LengthForm::Short},
    {0xDF8054, LengthForm::Short},   {0xDF8055, LengthForm::Short}, {0xDF8057, LengthForm::Short},
    {kMacHolder, LengthForm::Short},
};

// The first length bytes of the object's value, when the value holds that many.
Field leadingBytes(const std::optional<Object>& object, std::size_t length)
{
    if (!object || object->valueLength < length)
        return std::nullopt;
    return FieldSpan{object->valueOffset, length};
}

Field wholeValue(const std::optional<Object>& object)
{
    if (!object)
        return std::nullopt;
    return FieldSpan{object->valueOffset, object->valueLength};
}

Field macAddressIn(const std::optional<Object>& holder, Source source)
{
    if (!holder)
        return std::nullopt;
    std::size_t distance = source == Source::TemplateFile ? kMacDistanceInTemplate : kMacDistanceInTerminal;
    std::size_t offset = holder->start + distance;
    if (offset < holder->valueOffset || offset > holder->end() || holder->end() - offset < kMacLength)
        return std::nullopt;
    return FieldSpan{offset, kMacLength};
}

} // namespace

std::optional<Object> findGuaranteeData(tlv::ByteView bytes, std::size_t from)
{
    return tlv::findObject(bytes, from, {kGuarantee, LengthForm::Short});
}

std::optional<Object> findConfigurationData(tlv::ByteView bytes, std::size_t from)
{
    return tlv::findObject(bytes, from, {kConfiguration, LengthForm::TwoBytes});
}

std::optional<Object> configurationDataOfFile(tlv::ByteView bytes)
{
    std::optional<Object> last;
    std::size_t offset = 0;
    while (bytes.size() - offset > 5) {
        std::optional<Object> object = tlv::readObject(bytes, offset, bytes.size(), kFileRules);
        if (!object)
            break;
        if (object->tag == kConfiguration)
            last = object;
        offset = object->end();
    }
    return last;
}

GuaranteeFields locateGuaranteeFields(tlv::ByteView bytes, const Object& guarantee)
{
    std::vector<Object> objects = tlv::scanContainer(bytes, guarantee, kGuaranteeRules);
    GuaranteeFields fields;
    fields.companion = wholeValue(tlv::lastOccurrence(objects, kCompanion));
    fields.installationDate = leadingBytes(tlv::lastOccurrence(objects, kInstallationDate), kDateLength);
    std::vector<Object> batteries = tlv::firstOccurrences(objects, kBatteryDate, kBatterySlots);
    for (std::size_t slot = 0; slot < batteries.size(); ++slot)
        fields.batteryDates[slot] = leadingBytes(batteries[slot], kDateLength);
    return fields;
}

ConfigurationFields locateConfigurationFields(tlv::ByteView bytes, const Object& configuration, Source source)
{
    std::vector<Object> objects = tlv::scanContainer(bytes, configuration, kConfigurationRules);
    ConfigurationFields fields;
    if (std::optional<Object> identityData = tlv::lastOccurrence(objects, kIdentity)) {
        std::vector<Object> inner = tlv::scanContainer(bytes, *identityData, kIdentityRules);
        fields.manufacturer = wholeValue(tlv::lastOccurrence(inner, kManufacturer));
        fields.serialNumber = leadingBytes(tlv::lastOccurrence(inner, kSerialNumber), kSerialNumberLength);
        fields.manufacturingDate = leadingBytes(tlv::lastOccurrence(inner, kManufacturingDate), kDateLength);
    }
    if (std::optional<Object> network = tlv::lastOccurrence(objects, kNetwork)) {
        tlv::TagRules rules = source == Source::TemplateFile ? tlv::TagRules(kTemplateNetworkRules)
                                                             : tlv::TagRules(kTerminalNetworkRules);
        std::vector<Object> inner = tlv::scanContainer(bytes, *network, rules);
        fields.macAddress = macAddressIn(tlv::lastOccurrence(inner, kMacHolder), source);
    }
    return fields;
}

} // namespace identity
