// The scanners of the guarantee and configuration data, over any bytes as a template
// file and as the terminal's stored data: every object and field found lies whole
// inside what was scanned, and a terminal's object copied out on its own gives the
// same fields as in the response it came in.
#include "FuzzCheck.h"
#include "loader/IdentityFields.h"
#include "loader/TlvScanner.h"

#include <vector>

namespace {

using tlv::ByteView;
using tlv::Object;

void checkObjectInside(const Object& object, std::size_t from, std::size_t limit)
{
    FUZZ_CHECK(object.start >= from);
    FUZZ_CHECK(object.valueOffset > object.start && object.valueOffset <= limit);
    FUZZ_CHECK(object.valueLength <= limit - object.valueOffset);
}

void checkFieldInside(const identity::Field& field, const Object& container, std::size_t length = 0)
{
    if (!field)
        return;
    FUZZ_CHECK(field->offset >= container.valueOffset);
    FUZZ_CHECK(field->offset <= container.end() && field->length <= container.end() - field->offset);
    if (length != 0)
        FUZZ_CHECK(field->length == length);
}

bool sameField(const identity::Field& a, const identity::Field& b, std::size_t shift)
{
    if (!a || !b)
        return !a && !b;
    return a->offset == b->offset + shift && a->length == b->length;
}

void checkGuarantee(ByteView bytes, const Object& guarantee, const identity::GuaranteeFields& fields)
{
    checkFieldInside(fields.companion, guarantee);
    checkFieldInside(fields.installationDate, guarantee, identity::kDateLength);
    for (const identity::Field& battery : fields.batteryDates)
        checkFieldInside(battery, guarantee, identity::kDateLength);
    FUZZ_CHECK(guarantee.end() <= bytes.size());
}

void checkConfiguration(ByteView bytes, const Object& configuration, const identity::ConfigurationFields& fields)
{
    checkFieldInside(fields.manufacturer, configuration);
    checkFieldInside(fields.serialNumber, configuration, identity::kSerialNumberLength);
    checkFieldInside(fields.manufacturingDate, configuration, identity::kDateLength);
    checkFieldInside(fields.macAddress, configuration, identity::kMacLength);
    FUZZ_CHECK(configuration.end() <= bytes.size());
}

// The terminal's object on its own, as the configuration step keeps it.
std::vector<std::uint8_t> copyOut(ByteView bytes, const Object& object, Object& copied)
{
    copied = object;
    copied.start = 0;
    copied.valueOffset = object.valueOffset - object.start;
    return {bytes.begin() + static_cast<std::ptrdiff_t>(object.start),
            bytes.begin() + static_cast<std::ptrdiff_t>(object.end())};
}

void terminalGuarantee(ByteView bytes, std::size_t from)
{
    std::optional<Object> found = identity::findGuaranteeData(bytes, from);
    if (!found)
        return;
    checkObjectInside(*found, from, bytes.size());
    FUZZ_CHECK(found->tag == 0xFF5E);
    const identity::GuaranteeFields inResponse = identity::locateGuaranteeFields(bytes, *found);
    checkGuarantee(bytes, *found, inResponse);
    Object copied;
    const std::vector<std::uint8_t> alone = copyOut(bytes, *found, copied);
    const identity::GuaranteeFields fields = identity::locateGuaranteeFields(alone, copied);
    checkGuarantee(alone, copied, fields);
    FUZZ_CHECK(sameField(inResponse.companion, fields.companion, found->start));
    FUZZ_CHECK(sameField(inResponse.installationDate, fields.installationDate, found->start));
    for (std::size_t slot = 0; slot < identity::kBatterySlots; ++slot)
        FUZZ_CHECK(sameField(inResponse.batteryDates[slot], fields.batteryDates[slot], found->start));
}

void terminalConfiguration(ByteView bytes, std::size_t from)
{
    std::optional<Object> found = identity::findConfigurationData(bytes, from);
    if (!found)
        return;
    checkObjectInside(*found, from, bytes.size());
    FUZZ_CHECK(found->tag == 0xFF79);
    const auto inResponse = identity::locateConfigurationFields(bytes, *found, identity::Source::Terminal);
    checkConfiguration(bytes, *found, inResponse);
    Object copied;
    const std::vector<std::uint8_t> alone = copyOut(bytes, *found, copied);
    const auto fields = identity::locateConfigurationFields(alone, copied, identity::Source::Terminal);
    checkConfiguration(alone, copied, fields);
    FUZZ_CHECK(sameField(inResponse.manufacturer, fields.manufacturer, found->start));
    FUZZ_CHECK(sameField(inResponse.serialNumber, fields.serialNumber, found->start));
    FUZZ_CHECK(sameField(inResponse.manufacturingDate, fields.manufacturingDate, found->start));
    FUZZ_CHECK(sameField(inResponse.macAddress, fields.macAddress, found->start));
}

void templateFiles(ByteView bytes)
{
    if (std::optional<Object> guarantee = identity::findGuaranteeData(bytes, 0))
        checkGuarantee(bytes, *guarantee, identity::locateGuaranteeFields(bytes, *guarantee));
    if (std::optional<Object> configuration = identity::configurationDataOfFile(bytes)) {
        checkObjectInside(*configuration, 0, bytes.size());
        FUZZ_CHECK(configuration->tag == 0xFF79);
        checkConfiguration(bytes, *configuration,
                           identity::locateConfigurationFields(bytes, *configuration, identity::Source::TemplateFile));
    }
}

// The scanner itself, with every length form: objects follow each other without gaps
// from the first byte of the value, each whole inside it.
void scanner(ByteView bytes, std::uint8_t knobs)
{
    static constexpr tlv::TagRule rules[][3] = {
        {{0x5A, tlv::LengthForm::Short}, {0xDF8005, tlv::LengthForm::Short}, {0xFF7F, tlv::LengthForm::TwoBytes}},
        {{0x01, tlv::LengthForm::AnyDefinite}, {0x9F, tlv::LengthForm::OneByte}, {0xDF8060, tlv::LengthForm::OneByte}},
    };
    const tlv::TagRules chosen(rules[knobs & 1]);
    Object container;
    container.valueOffset = (knobs >> 1) % 8;
    if (container.valueOffset > bytes.size())
        return;
    container.valueLength = bytes.size() - container.valueOffset;
    std::size_t expectedStart = container.valueOffset;
    for (const Object& object : tlv::scanContainer(bytes, container, chosen)) {
        FUZZ_CHECK(object.start == expectedStart);
        checkObjectInside(object, container.valueOffset, bytes.size());
        expectedStart = object.end();
    }
    // A tag the rules do not list is never read as an object.
    if (std::optional<tlv::Tag> tag = tlv::readTag(bytes, 0, bytes.size())) {
        FUZZ_CHECK(tag->size >= 1 && tag->size <= 3);
        bool listed = false;
        for (const tlv::TagRule& rule : chosen)
            listed = listed || rule.tag == tag->value;
        if (!listed)
            FUZZ_CHECK(!tlv::readObject(bytes, 0, bytes.size(), chosen));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::FuzzInput input(data, size);
    const std::uint8_t knobs = input.byte();
    const ByteView bytes = input.rest();
    terminalGuarantee(bytes, knobs % 16);
    terminalConfiguration(bytes, knobs % 8);
    templateFiles(bytes);
    scanner(bytes, knobs);
    return 0;
}
