// Locating the identity fields in guarantee and configuration data: the places in
// well-formed templates and terminal copies, objects too short for their field, the
// tags each copy knows, and every truncation and corruption of a whole template.
#include "loader/IdentityFields.h"
#include "configdata/DataObjects.h"

#include <gtest/gtest.h>

namespace {

using identity::Field;
using identity::Source;

Bytes valueAt(const Bytes& bytes, const Field& field)
{
    if (!field)
        return {};
    return Bytes(bytes.begin() + static_cast<long>(field->offset),
                 bytes.begin() + static_cast<long>(field->offset + field->length));
}

const Bytes kMac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
const Bytes kDate = {0x20, 0x07, 0x03, 0x15};

ConfigurationValues distinctValues()
{
    ConfigurationValues values;
    values.manufacturer = textBytes("MAKER1");
    values.serialNumber = textBytes("123456789012");
    values.manufacturingDate = kDate;
    values.macAddress = kMac;
    return values;
}

TEST(ConfigurationFields, FoundInTheTemplateFile)
{
    Bytes file = configurationFile(distinctValues());
    ExactBuffer buffer(file);
    std::optional<tlv::Object> data = identity::configurationDataOfFile(buffer.view());
    ASSERT_TRUE(data);
    EXPECT_EQ(data->start, 254u); // behind the leading FD object
    identity::ConfigurationFields fields =
        identity::locateConfigurationFields(buffer.view(), *data, Source::TemplateFile);
    EXPECT_EQ(valueAt(file, fields.manufacturer), textBytes("MAKER1"));
    EXPECT_EQ(valueAt(file, fields.serialNumber), textBytes("123456789012"));
    EXPECT_EQ(valueAt(file, fields.manufacturingDate), kDate);
    EXPECT_EQ(valueAt(file, fields.macAddress), kMac);
    EXPECT_EQ(fields.macAddress->offset, offsetOf(file, {0xDF, 0x80, 0x60}) + 28);
}

TEST(ConfigurationFields, FoundInTheTerminalsCopy)
{
    Bytes payload = join({textBytes("0013"), terminalConfiguration(distinctValues())});
    ExactBuffer buffer(payload);
    std::optional<tlv::Object> data = identity::findConfigurationData(buffer.view(), 4);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->start, 4u);
    identity::ConfigurationFields fields = identity::locateConfigurationFields(buffer.view(), *data, Source::Terminal);
    EXPECT_EQ(valueAt(payload, fields.serialNumber), textBytes("123456789012"));
    EXPECT_EQ(valueAt(payload, fields.macAddress), kMac);
    EXPECT_EQ(fields.macAddress->offset, offsetOf(payload, {0xDF, 0x80, 0x60}) + 23);
}

TEST(ConfigurationFields, EachCopyIsReadWithItsOwnNetworkTags)
{
    // A template's DF8060 is written with 0x81: read as the terminal's copy its network
    // data ends at DF8042, which the terminal does not know.
    Bytes templ = templateConfiguration(distinctValues());
    ExactBuffer templateBuffer(templ);
    tlv::Object data = *identity::findConfigurationData(templateBuffer.view(), 0);
    EXPECT_FALSE(identity::locateConfigurationFields(templateBuffer.view(), data, Source::Terminal).macAddress);
    EXPECT_TRUE(identity::locateConfigurationFields(templateBuffer.view(), data, Source::Terminal).serialNumber);

    Bytes terminal = terminalConfiguration(distinctValues());
    ExactBuffer terminalBuffer(terminal);
    data = *identity::findConfigurationData(terminalBuffer.view(), 0);
    EXPECT_FALSE(identity::locateConfigurationFields(terminalBuffer.view(), data, Source::TemplateFile).macAddress);
}

TEST(ConfigurationFields, ObjectsTooShortForTheirFieldAreAbsent)
{
    ConfigurationValues values = distinctValues();
    values.serialNumber = textBytes("12345678901"); // 11 bytes
    values.manufacturingDate = {0x20, 0x07, 0x03};
    Bytes bytes = templateConfiguration(values);
    // A DF8060 that ends one byte before the end of the MAC address.
    Bytes network = object82(0xFF7F, object81(0xDF8060, repeated(28, 0x01)));
    Bytes shortHolder = object82(0xFF79, network);
    for (const Bytes& data : {bytes, shortHolder}) {
        ExactBuffer buffer(data);
        tlv::Object object = *identity::findConfigurationData(buffer.view(), 0);
        identity::ConfigurationFields fields =
            identity::locateConfigurationFields(buffer.view(), object, Source::TemplateFile);
        EXPECT_FALSE(fields.serialNumber);
        EXPECT_FALSE(fields.manufacturingDate);
    }
    ExactBuffer buffer(shortHolder);
    tlv::Object object = *identity::findConfigurationData(buffer.view(), 0);
    EXPECT_FALSE(identity::locateConfigurationFields(buffer.view(), object, Source::TemplateFile).macAddress);

    Bytes justLongEnough = object82(0xFF79, object82(0xFF7F, object81(0xDF8060, repeated(29, 0x01))));
    ExactBuffer enough(justLongEnough);
    object = *identity::findConfigurationData(enough.view(), 0);
    EXPECT_TRUE(identity::locateConfigurationFields(enough.view(), object, Source::TemplateFile).macAddress);
}

TEST(ConfigurationFields, LastIdentityObjectAndLastFieldWin)
{
    Bytes first = shortObject(0xFF7A, shortObject(0xDF8005, textBytes("111111111111")));
    Bytes second = shortObject(0xFF7A, join({shortObject(0xDF8005, textBytes("222222222222")),
                                             shortObject(0xDF8005, textBytes("333333333333"))}));
    Bytes data = object82(0xFF79, join({first, second}));
    ExactBuffer buffer(data);
    tlv::Object object = *identity::findConfigurationData(buffer.view(), 0);
    identity::ConfigurationFields fields =
        identity::locateConfigurationFields(buffer.view(), object, Source::TemplateFile);
    EXPECT_EQ(valueAt(data, fields.serialNumber), textBytes("333333333333"));
}

TEST(ConfigurationFile, LastConfigurationObjectWhileMoreThanFiveBytesRemain)
{
    Bytes a = object82(0xFF79, shortObject(0xFF7E, {0x0A}));
    Bytes b = object82(0xFF79, shortObject(0xFF7E, {0x0B}));
    Bytes fd = object82(0xFD, repeated(10, 0x00));
    struct Case {
        const char* name;
        Bytes file;
        std::optional<std::size_t> start;
    } cases[] = {
        {"FdThenTwo", join({fd, a, fd, b}), fd.size() * 2 + a.size()},
        {"UnknownTagEndsTheScan", join({a, shortObject(0xDF57, repeated(4, 0)), b}), 0},
        {"CutLastObjectIsNotTaken", join({a, Bytes(b.begin(), b.end() - 1)}), 0},
        {"FiveBytesLeftAreNotRead", join({a, object82(0xFF79, {})}), 0},
        {"OnlyFd", fd, std::nullopt},
        {"Empty", {}, std::nullopt},
        {"FormOfLengthWrong", object81(0xFF79, repeated(8, 0)), std::nullopt},
    };
    for (const Case& c : cases) {
        ExactBuffer buffer(c.file);
        std::optional<tlv::Object> found = identity::configurationDataOfFile(buffer.view());
        ASSERT_EQ(found.has_value(), c.start.has_value()) << c.name;
        if (found) {
            EXPECT_EQ(found->start, *c.start) << c.name;
        }
    }
}

TEST(GuaranteeFields, DatesAndTheFirstFiveBatterySlots)
{
    GuaranteeValues values;
    values.installationDate = kDate;
    values.batteryDates.clear();
    for (std::uint8_t i = 1; i <= 6; ++i)
        values.batteryDates.push_back({0x20, 0x10, 0x01, i});
    Bytes file = guaranteeFile(values);
    ExactBuffer buffer(file);
    std::optional<tlv::Object> data = identity::findGuaranteeData(buffer.view(), 0);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->start, 4u);
    identity::GuaranteeFields fields = identity::locateGuaranteeFields(buffer.view(), *data);
    EXPECT_EQ(valueAt(file, fields.companion), (Bytes{0x11, 0x22}));
    EXPECT_EQ(valueAt(file, fields.installationDate), kDate);
    for (std::uint8_t i = 0; i < 5; ++i)
        EXPECT_EQ(valueAt(file, fields.batteryDates[i]), (Bytes{0x20, 0x10, 0x01, static_cast<std::uint8_t>(i + 1)}));
}

TEST(GuaranteeFields, MissingAndShortSlots)
{
    GuaranteeValues values;
    values.companion.clear();
    values.batteryDates = {kDate, {0x20, 0x07}, kDate};
    Bytes data = guaranteeObject(values);
    ExactBuffer buffer(data);
    identity::GuaranteeFields fields =
        identity::locateGuaranteeFields(buffer.view(), *identity::findGuaranteeData(buffer.view(), 0));
    EXPECT_FALSE(fields.companion);
    EXPECT_TRUE(fields.batteryDates[0]);
    EXPECT_FALSE(fields.batteryDates[1]);
    EXPECT_TRUE(fields.batteryDates[2]);
    EXPECT_FALSE(fields.batteryDates[3]);
}

bool inside(const Field& field, std::size_t size)
{
    return !field || (field->offset <= size && field->length <= size - field->offset);
}

// Every field located in bytes lies within them; the sanitizer watches the reads.
void locateEverything(const Bytes& bytes)
{
    ExactBuffer buffer(bytes);
    if (std::optional<tlv::Object> data = identity::configurationDataOfFile(buffer.view())) {
        auto fields = identity::locateConfigurationFields(buffer.view(), *data, Source::TemplateFile);
        for (const Field& f : {fields.manufacturer, fields.serialNumber, fields.manufacturingDate, fields.macAddress})
            EXPECT_TRUE(inside(f, bytes.size()));
    }
    if (std::optional<tlv::Object> data = identity::findConfigurationData(buffer.view(), 0)) {
        auto fields = identity::locateConfigurationFields(buffer.view(), *data, Source::Terminal);
        for (const Field& f : {fields.manufacturer, fields.serialNumber, fields.manufacturingDate, fields.macAddress})
            EXPECT_TRUE(inside(f, bytes.size()));
    }
    if (std::optional<tlv::Object> data = identity::findGuaranteeData(buffer.view(), 0)) {
        auto fields = identity::locateGuaranteeFields(buffer.view(), *data);
        EXPECT_TRUE(inside(fields.companion, bytes.size()));
        EXPECT_TRUE(inside(fields.installationDate, bytes.size()));
        for (const Field& f : fields.batteryDates)
            EXPECT_TRUE(inside(f, bytes.size()));
    }
}

TEST(MalformedData, EveryTruncationStaysInBounds)
{
    for (const Bytes& whole : {configurationFile(distinctValues()), terminalConfiguration(distinctValues()),
                               guaranteeFile(GuaranteeValues{})}) {
        for (std::size_t size = 0; size <= whole.size(); ++size)
            locateEverything(Bytes(whole.begin(), whole.begin() + static_cast<long>(size)));
    }
}

TEST(MalformedData, EveryCorruptedByteStaysInBounds)
{
    const std::uint8_t corruptions[] = {0x00, 0x7F, 0x80, 0x81, 0x82, 0xDF, 0xFF};
    for (const Bytes& whole : {configurationFile(distinctValues()), terminalConfiguration(distinctValues()),
                               guaranteeFile(GuaranteeValues{})}) {
        for (std::size_t at = 0; at < whole.size(); ++at) {
            for (std::uint8_t corruption : corruptions) {
                Bytes bytes = whole;
                bytes[at] = corruption;
                locateEverything(bytes);
                // The same corruption with the data cut right behind it.
                locateEverything(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(at) + 1));
            }
        }
    }
}

} // namespace
