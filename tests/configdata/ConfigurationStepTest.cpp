// The configuration data step against a played terminal: each assignment action on each
// field with the terminal's data present, empty or refused; what is signed (in place, by
// the signing tool stand-in) and what is not; the exact bytes of the download; the
// refusals and failures of the step.
#include "configdata/ConfigurationStepFixture.h"
#include "loader/FileHeader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <unistd.h>

namespace {

const Bytes kTemplateInstallation = {0x19, 0x90, 0x01, 0x01};
const Bytes kTerminalInstallation = {0x20, 0x15, 0x05, 0x05};
const Bytes kTemplateManufacturing = {0x19, 0x91, 0x02, 0x02};
const Bytes kTerminalManufacturing = {0x20, 0x14, 0x04, 0x04};
const Bytes kTemplateSerial = textBytes("111111111111");
const Bytes kTerminalSerial = textBytes("555555555555");
const Bytes kNewSerial = textBytes("001234567890"); // ProximoNS 1234567890
const Bytes kTemplateMac = {0xAA, 0x00, 0x00, 0x00, 0x00, 0x01};
const Bytes kTerminalMac = {0x02, 0x00, 0x00, 0x00, 0x00, 0x07};
const Bytes kNewMac = {0x00, 0x11, 0xAA, 0xBB, 0xCC, 0x00}; // ProximoMAC 0011AABBCC
const Bytes kBatteryOne = {0x20, 0x16, 0x06, 0x01};
const Bytes kBatteryTwo = {0x20, 0x17, 0x07, 0x02};

Bytes dateBytes(const PackedDate& date)
{
    return Bytes(date.begin(), date.end());
}

GuaranteeValues templateGuarantee()
{
    GuaranteeValues values;
    values.companion = {0xC1, 0xC2};
    values.installationDate = kTemplateInstallation;
    return values; // five empty battery slots
}

ConfigurationValues templateConfigurationValues()
{
    ConfigurationValues values;
    values.manufacturer = textBytes("OLDMAN");
    values.serialNumber = kTemplateSerial;
    values.manufacturingDate = kTemplateManufacturing;
    values.macAddress = kTemplateMac;
    return values;
}

enum class TerminalData { Holding, Empty, Refused };

std::optional<Bytes> terminalGuarantee(TerminalData data)
{
    GuaranteeValues values;
    if (data == TerminalData::Refused)
        return std::nullopt;
    if (data == TerminalData::Holding) {
        values.companion = {0xD1, 0xD2};
        values.installationDate = kTerminalInstallation;
        values.batteryDates = {kBatteryOne, kBatteryTwo, repeated(4, 0xFF), repeated(4, 0xFF), repeated(4, 0xFF)};
    } else {
        values.companion = {0xFF, 0xFF};
        values.installationDate = repeated(4, 0xFF);
    }
    return guaranteeObject(values);
}

std::optional<Bytes> terminalConfigurationObject(TerminalData data)
{
    if (data == TerminalData::Refused)
        return std::nullopt;
    ConfigurationValues values;
    if (data == TerminalData::Holding) {
        values.manufacturer = textBytes("TRMNAL");
        values.serialNumber = kTerminalSerial;
        values.manufacturingDate = kTerminalManufacturing;
        values.macAddress = kTerminalMac;
    } else {
        values.manufacturer = repeated(6, 0xFF);
        values.serialNumber = repeated(12, 0xFF);
        values.manufacturingDate = repeated(4, 0x00);
        values.macAddress = repeated(6, 0x00);
    }
    return terminalConfiguration(values);
}

TerminalScript scriptFor(TerminalData data)
{
    TerminalScript script;
    script.guarantee = terminalGuarantee(data);
    script.configuration = terminalConfigurationObject(data);
    return script;
}

// The value behind the nth object header (tag and length bytes) in the bytes.
Bytes valueBehind(const Bytes& bytes, const Bytes& header, std::size_t length, std::size_t nth = 0)
{
    std::size_t from = 0;
    for (;;) {
        auto at = std::search(bytes.begin() + static_cast<long>(from), bytes.end(), header.begin(), header.end());
        if (at == bytes.end())
            return {};
        if (nth-- == 0) {
            auto value = at + static_cast<long>(header.size());
            return Bytes(value, value + static_cast<long>(length));
        }
        from = static_cast<std::size_t>(at - bytes.begin()) + 1;
    }
}

// The guarantee object and the configuration data as the terminal received them.
struct Received {
    Bytes guarantee;
    Bytes configuration;
};

Received split(const TerminalRecord& record, std::size_t guaranteeSize)
{
    Bytes data = record.data();
    guaranteeSize = std::min(guaranteeSize, data.size());
    return {Bytes(data.begin(), data.begin() + static_cast<long>(guaranteeSize)),
            Bytes(data.begin() + static_cast<long>(guaranteeSize), data.end())};
}

// --- each action on each single field --------------------------------------------------

enum class Outcome { TemplateValue, TerminalValue, NewValue };

struct FieldUnderTest {
    const char* name;
    const char* key;
    const char* actionSetting;
    // Puts a value into the configuration data; none for a guarantee field. A write into
    // the configuration data changes it, and it is then signed.
    std::function<void(ConfigurationValues&, const Bytes&)> intoConfiguration;
    std::function<Bytes(const Received&)> sent;
    Bytes templateValue;
    Bytes terminalValue;
    std::function<Bytes()> newValue;
};

const std::vector<FieldUnderTest>& fieldsUnderTest()
{
    static const std::vector<FieldUnderTest> fields = {
        {"InstallationDate", "INSTALATION_DATE", "AccionFInstalacion", nullptr,
         [](const Received& r) {
             return join({valueBehind(r.guarantee, {0xDF, 0x80, 0x08, 0x04}, 4),
                          valueBehind(r.guarantee, {0xDF, 0x57, 0x02}, 2)});
         },
         join({kTemplateInstallation, {0xC1, 0xC2}}), join({kTerminalInstallation, {0xD1, 0xD2}}),
         [] {
             return join({dateBytes(todaysDate()), {0xC1, 0xC2}});
         }},
        {"ManufacturingDate", "MANUFACTURING_DATE", "AccionFFabricacion",
         [](ConfigurationValues& values, const Bytes& value) { values.manufacturingDate = value; },
         [](const Received& r) {
             return valueBehind(r.configuration, {0xDF, 0x80, 0x07, 0x04}, 4);
         },
         kTemplateManufacturing, kTerminalManufacturing, [] { return dateBytes(todaysDate()); }},
        {"SerialNumber", "SERIAL_NUMBER", "AccionSerie",
         [](ConfigurationValues& values, const Bytes& value) { values.serialNumber = value; },
         [](const Received& r) {
             return valueBehind(r.configuration, {0xDF, 0x80, 0x05, 0x0C}, 12);
         },
         kTemplateSerial, kTerminalSerial, [] { return kNewSerial; }},
        {"MacAddress", "MAC_ADDRESS", "AccionMAC",
         [](ConfigurationValues& values, const Bytes& value) { values.macAddress = value; },
         [](const Received& r) {
             Bytes holder = valueBehind(r.configuration, {0xDF, 0x80, 0x60, 0x81, 0x20}, 32);
             return holder.size() == 32 ? Bytes(holder.begin() + 23, holder.begin() + 29) : Bytes{};
         },
         kTemplateMac, kTerminalMac, [] { return kNewMac; }},
    };
    return fields;
}

struct ActionCase {
    std::size_t field;
    int action;
    TerminalData terminal;
};

// What the four actions make of a field.
Outcome expectedOutcome(int action, TerminalData terminal)
{
    switch (action) {
    case 1: return terminal == TerminalData::Holding ? Outcome::TerminalValue : Outcome::TemplateValue;
    case 2: return terminal == TerminalData::Holding ? Outcome::TerminalValue : Outcome::NewValue;
    case 3: return Outcome::NewValue;
    default: return Outcome::TemplateValue;
    }
}

class FieldAction : public ConfigurationStepTest, public testing::WithParamInterface<ActionCase> {};

TEST_P(FieldAction, KeepsPreservesOrAssigns)
{
    const ActionCase& c = GetParam();
    const FieldUnderTest& field = fieldsUnderTest()[c.field];
    describeAssignable({std::string(field.key) + "=YES"});
    setting(field.actionSetting, std::to_string(c.action));
    writeTemplates(templateGuarantee(), templateConfigurationValues());
    const PackedDate today = todaysDate();

    TerminalRecord record;
    ASSERT_TRUE(runStep(scriptFor(c.terminal), record));
    if (todaysDate() != today)
        GTEST_SKIP() << "the date changed during the step";

    const Outcome outcome = expectedOutcome(c.action, c.terminal);
    Received received = split(record, guaranteeObject(templateGuarantee()).size());
    Bytes expected = outcome == Outcome::TemplateValue   ? field.templateValue
                     : outcome == Outcome::TerminalValue ? field.terminalValue
                                                         : field.newValue();
    EXPECT_EQ(field.sent(received), expected);

    const bool written = outcome != Outcome::TemplateValue;
    if (written && field.intoConfiguration) {
        // The changed configuration data goes as the tool signed it: same length, the
        // signature over everything before it.
        ConfigurationValues values = templateConfigurationValues();
        field.intoConfiguration(values, expected);
        EXPECT_EQ(signerRuns().size(), 1u);
        EXPECT_EQ(received.configuration, signedByTool(configurationFile(values)));
    } else {
        EXPECT_TRUE(signerRuns().empty());
        EXPECT_EQ(received.configuration, configurationTemplate); // sent exactly as read
    }

    // New serial numbers and MAC addresses are taken from their sequences only when used.
    const bool consumed = outcome == Outcome::NewValue;
    EXPECT_EQ(f.settings.readString("ProximoNS"),
              consumed && field.key == std::string("SERIAL_NUMBER") ? "1234567891" : "1234567890");
    EXPECT_EQ(f.settings.readString("ProximoMAC"),
              consumed && field.key == std::string("MAC_ADDRESS") ? "0011AABBCD" : "0011AABBCC");
}

std::vector<ActionCase> allActionCases()
{
    std::vector<ActionCase> cases;
    for (std::size_t field = 0; field < fieldsUnderTest().size(); ++field)
        for (int action = 0; action <= 3; ++action)
            for (TerminalData terminal : {TerminalData::Holding, TerminalData::Empty, TerminalData::Refused})
                cases.push_back({field, action, terminal});
    return cases;
}

std::string actionCaseName(const testing::TestParamInfo<ActionCase>& info)
{
    const char* terminal[] = {"TerminalHolding", "TerminalEmpty", "TerminalRefusing"};
    return std::string(fieldsUnderTest()[info.param.field].name) + "Action" + std::to_string(info.param.action) +
           terminal[static_cast<int>(info.param.terminal)];
}

INSTANTIATE_TEST_SUITE_P(EveryField, FieldAction, testing::ValuesIn(allActionCases()), actionCaseName);

// --- battery installation dates ---------------------------------------------------------

struct BatteryCase {
    const char* name;
    int action;
    TerminalData terminal;
    std::vector<Bytes> (*slots)(const Bytes& today);
};

const Bytes kEmptySlot = repeated(4, 0xFF);

class BatteryDates : public ConfigurationStepTest, public testing::WithParamInterface<BatteryCase> {};

TEST_P(BatteryDates, TerminalDatesKeptTodayInTheFirstEmptySlot)
{
    const BatteryCase& c = GetParam();
    describeAssignable({"BATTERY_INSTALATION_DATE=YES"});
    setting("AccionFBaterias", std::to_string(c.action));
    writeTemplates(templateGuarantee(), templateConfigurationValues());
    const PackedDate today = todaysDate();

    TerminalRecord record;
    ASSERT_TRUE(runStep(scriptFor(c.terminal), record));
    if (todaysDate() != today)
        GTEST_SKIP() << "the date changed during the step";
    Received received = split(record, guaranteeObject(templateGuarantee()).size());
    std::vector<Bytes> slots;
    for (std::size_t i = 0; i < 5; ++i)
        slots.push_back(valueBehind(received.guarantee, {0xDF, 0x80, 0x09, 0x04}, 4, i));
    EXPECT_EQ(slots, c.slots(dateBytes(today)));
    EXPECT_TRUE(signerRuns().empty()); // guarantee data is never signed
    EXPECT_EQ(received.configuration, configurationTemplate);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, BatteryDates,
    testing::Values(
        BatteryCase{"KeepTemplate", 0, TerminalData::Holding,
                    [](const Bytes&) { return std::vector<Bytes>(5, kEmptySlot); }},
        BatteryCase{"PreserveOrEraseHolding", 1, TerminalData::Holding,
                    [](const Bytes&) {
                        return std::vector<Bytes>{kBatteryOne, kBatteryTwo, kEmptySlot, kEmptySlot, kEmptySlot};
                    }},
        BatteryCase{"PreserveOrEraseEmpty", 1, TerminalData::Empty,
                    [](const Bytes&) { return std::vector<Bytes>(5, kEmptySlot); }},
        BatteryCase{"PreserveOrAssignHolding", 2, TerminalData::Holding,
                    [](const Bytes&) {
                        return std::vector<Bytes>{kBatteryOne, kBatteryTwo, kEmptySlot, kEmptySlot, kEmptySlot};
                    }},
        BatteryCase{"PreserveOrAssignRefused", 2, TerminalData::Refused,
                    [](const Bytes& today) {
                        return std::vector<Bytes>{today, kEmptySlot, kEmptySlot, kEmptySlot, kEmptySlot};
                    }},
        BatteryCase{"AssignHolding", 3, TerminalData::Holding,
                    [](const Bytes& today) {
                        return std::vector<Bytes>{kBatteryOne, kBatteryTwo, today, kEmptySlot, kEmptySlot};
                    }},
        BatteryCase{"AssignEmpty", 3, TerminalData::Empty,
                    [](const Bytes& today) {
                        return std::vector<Bytes>{today, kEmptySlot, kEmptySlot, kEmptySlot, kEmptySlot};
                    }}),
    [](const auto& info) { return info.param.name; });

TEST_F(ConfigurationStepTest, BatterySearchStopsAtTheFirstMissingSlot)
{
    GuaranteeValues values = templateGuarantee();
    values.batteryDates = {kBatteryOne, kBatteryTwo}; // two slots, both taken
    writeTemplates(values, templateConfigurationValues());
    describeAssignable({"BATTERY_INSTALATION_DATE=YES"});
    setting("AccionFBaterias", "3");
    TerminalRecord record;
    ASSERT_TRUE(runStep(scriptFor(TerminalData::Refused), record));
    EXPECT_EQ(split(record, guaranteeObject(values).size()).guarantee, guaranteeObject(values));
}

// --- assignable or not -------------------------------------------------------------------

TEST_F(ConfigurationStepTest, OnlyTheValueYesMakesAFieldAssignable)
{
    setting("AccionSerie", "3");
    struct {
        const char* entry;
        Bytes serial;
    } cases[] = {
        {"SERIAL_NUMBER=yes", kTemplateSerial}, {"SERIAL_NUMBER=Yes", kTemplateSerial},
        {"SERIAL_NUMBER=", kTemplateSerial},    {"OTHER=YES", kTemplateSerial},
        {"serial_number=YES", kNewSerial}, // keys are found whatever their letter case
    };
    for (const auto& c : cases) {
        setting("ProximoNS", "1234567890");
        describeAssignable({c.entry});
        writeTemplates(templateGuarantee(), templateConfigurationValues());
        TerminalRecord record;
        ASSERT_TRUE(runStep(scriptFor(TerminalData::Refused), record)) << c.entry;
        Received received = split(record, guaranteeObject(templateGuarantee()).size());
        EXPECT_EQ(valueBehind(received.configuration, {0xDF, 0x80, 0x05, 0x0C}, 12), c.serial) << c.entry;
    }
}

// --- the whole download, byte for byte ------------------------------------------------------

TEST_F(ConfigurationStepTest, EveryFieldNewWhenTheTerminalRefusesItsData)
{
    describeAssignable({"INSTALATION_DATE=YES", "BATTERY_INSTALATION_DATE=YES", "MANUFACTURER=YES",
                        "MANUFACTURING_DATE=YES", "SERIAL_NUMBER=YES", "MAC_ADDRESS=YES"});
    for (const char* key : {"AccionFInstalacion", "AccionFBaterias", "AccionFFabricacion", "AccionSerie", "AccionMAC"})
        setting(key, "2");
    writeTemplates(templateGuarantee(), templateConfigurationValues());
    const PackedDate today = todaysDate();
    TerminalScript script = scriptFor(TerminalData::Refused);
    script.offeredBlockLength = {0x30, 0x00}; // 48 bytes: both parts take several blocks

    TerminalRecord record;
    ASSERT_TRUE(runStep(script, record));
    if (todaysDate() != today)
        GTEST_SKIP() << "the date changed during the step";

    // What the terminal must have been sent: the templates with the new values, the
    // configuration data signed in place by the signing tool.
    GuaranteeValues guarantee = templateGuarantee();
    guarantee.installationDate = dateBytes(today);
    guarantee.batteryDates[0] = dateBytes(today);
    ConfigurationValues configuration = templateConfigurationValues();
    configuration.manufacturer = textBytes("MAKER1");
    configuration.serialNumber = kNewSerial;
    configuration.manufacturingDate = dateBytes(today);
    configuration.macAddress = kNewMac;
    const Bytes guaranteePart = guaranteeObject(guarantee);
    const Bytes configurationPart = signedByTool(configurationFile(configuration));
    ASSERT_EQ(configurationPart.size(), configurationFile(configuration).size());

    EXPECT_EQ(record.dataRequests, (std::vector<Bytes>{{'1', '3', 4}, {'1', '3', 5}}));
    Bytes start = {'1', '1', 0x00, 0x6A, 'C', 'D', '-'};
    start.insert(start.end(), configurationPart.begin() + 7, configurationPart.begin() + 110);
    start.insert(start.end(), 20, 0x00);
    start.push_back(0xBC);
    start.insert(start.end(), configurationPart.begin() + 153, configurationPart.begin() + 281);
    EXPECT_EQ(record.start, start);

    // Each part is cut into blocks of its own; the numbers run on from one to the other.
    std::vector<Bytes> blocks;
    for (const Bytes* part : {&guaranteePart, &configurationPart})
        for (std::size_t at = 0; at < part->size(); at += 48)
            blocks.emplace_back(part->begin() + static_cast<long>(at),
                                part->begin() + static_cast<long>(std::min(at + 48, part->size())));
    blocks.emplace_back();
    EXPECT_EQ(record.blocks, blocks);
    std::vector<std::uint16_t> numbers;
    for (std::size_t i = 1; i < blocks.size(); ++i)
        numbers.push_back(static_cast<std::uint16_t>(i));
    numbers.push_back(0);
    EXPECT_EQ(record.numbers, numbers);

    EXPECT_EQ(signerRuns().size(), 1u);
    std::vector<std::string> texts = f.texts();
    for (const char* text :
         {"Preparing Configuration data...", "Serial Number 001234567890", "MAC Number:  0011AABBCC",
          "Signing Configuration data...", "Configuration data downloading... (ff5e: g.bin, fd_ff79: c.bin)"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << text;
    // The identity values are milestones of the load: they go on the ticket as such.
    const std::vector<std::string>& ticket = job->ticketLines();
    EXPECT_NE(std::find(ticket.begin(), ticket.end(), "CARGA: Serial Number 001234567890"), ticket.end());
    EXPECT_NE(std::find(ticket.begin(), ticket.end(), "CARGA: MAC Number:  0011AABBCC"), ticket.end());
}

TEST_F(ConfigurationStepTest, OnlyGuaranteeFieldsAssignableSendsTheConfigurationUnsigned)
{
    describeAssignable({"INSTALATION_DATE=YES", "BATTERY_INSTALATION_DATE=YES"});
    setting("AccionFInstalacion", "3");
    setting("AccionFBaterias", "3");
    TerminalScript script = scriptFor(TerminalData::Holding);
    script.offeredBlockLength = {0x00, 0x10}; // 4096, taken as 2045
    TerminalRecord record;
    ASSERT_TRUE(runStep(script, record));
    EXPECT_TRUE(signerRuns().empty());
    ASSERT_EQ(record.blocks.size(), 3u); // the guarantee object, the configuration data, block 0
    EXPECT_EQ(record.blocks[1], configurationTemplate);
    const FileHeader header = buildFileHeader("CD-", configurationTemplate.data());
    EXPECT_EQ(record.start, join({{'1', '1', 0x00}, Bytes(header.begin(), header.end())}));
}

TEST_F(ConfigurationStepTest, GuaranteeFileWithoutGuaranteeDataSendsOnlyTheConfiguration)
{
    f.writeApp("g.bin", "no guarantee data here");
    TerminalRecord record;
    ASSERT_TRUE(runStep(scriptFor(TerminalData::Holding), record));
    ASSERT_EQ(record.blocks.size(), 2u);
    EXPECT_EQ(record.numbers, (std::vector<std::uint16_t>{1, 0}));
    EXPECT_EQ(record.blocks[0], configurationTemplate);
}

// --- manufacturer identifier ------------------------------------------------------------

TEST_F(ConfigurationStepTest, ManufacturerTextFittedToItsField)
{
    describeAssignable({"MANUFACTURER=YES"});
    struct {
        const char* manufacturer;
        const char* field; // as the template holds it
        const char* sent;
        bool signs;
    } cases[] = {
        {"MAKER12345", "OLDMAN", "MAKER1", true},
        {"MK", "OLDMAN", "MK    ", true},
        {"OLDMAN", "OLDMAN", "OLDMAN", false}, // already there: sent unsigned, exactly as read
        {"OLD", "OLD   ", "OLD   ", true},     // same bytes, but not at the text's length
    };
    for (const auto& c : cases) {
        setting("Manufacturer", c.manufacturer);
        ConfigurationValues values = templateConfigurationValues();
        values.manufacturer = textBytes(c.field);
        writeTemplates(templateGuarantee(), values);
        std::size_t runsBefore = signerRuns().size();
        TerminalRecord record;
        ASSERT_TRUE(runStep(scriptFor(TerminalData::Holding), record)) << c.manufacturer;
        Received received = split(record, guaranteeObject(templateGuarantee()).size());
        EXPECT_EQ(valueBehind(received.configuration, {0xDF, 0x80, 0x04, 0x06}, 6), textBytes(c.sent))
            << c.manufacturer;
        EXPECT_EQ(signerRuns().size() - runsBefore, c.signs ? 1u : 0u) << c.manufacturer;
        values.manufacturer = textBytes(c.sent);
        EXPECT_EQ(received.configuration, c.signs ? signedByTool(configurationFile(values)) : configurationTemplate)
            << c.manufacturer;
    }
}

TEST_F(ConfigurationStepTest, PreservedManufacturingDateBringsTheTerminalsManufacturer)
{
    writeTemplates(templateGuarantee(), templateConfigurationValues());
    setting("AccionFFabricacion", "1");
    for (bool manufacturerAssignable : {true, false}) {
        std::vector<std::string> entries = {"MANUFACTURING_DATE=YES"};
        if (manufacturerAssignable)
            entries.push_back("MANUFACTURER=YES");
        describeAssignable(entries);
        TerminalRecord record;
        ASSERT_TRUE(runStep(scriptFor(TerminalData::Holding), record));
        Received received = split(record, guaranteeObject(templateGuarantee()).size());
        EXPECT_EQ(valueBehind(received.configuration, {0xDF, 0x80, 0x07, 0x04}, 4), kTerminalManufacturing);
        EXPECT_EQ(valueBehind(received.configuration, {0xDF, 0x80, 0x04, 0x06}, 6),
                  textBytes(manufacturerAssignable ? "TRMNAL" : "OLDMAN"));
    }
}

// --- serial numbers and MAC addresses ---------------------------------------------------

TEST_F(ConfigurationStepTest, SerialNumbersOfTenToTwelveDigitsOnly)
{
    describeAssignable({"SERIAL_NUMBER=YES"});
    setting("AccionSerie", "3");
    const char* invalid = "Invalid serial number : this field must be numeric only, between 10 and 12 numbers";
    struct {
        const char* next;
        std::optional<std::string> written;
    } cases[] = {
        {"1234567890", "001234567890"}, {"12345678901", "012345678901"}, {"123456789012", "123456789012"},
        {"123456789", std::nullopt},    {"1234567890123", std::nullopt}, {"12345A7890", std::nullopt},
    };
    for (const auto& c : cases) {
        setting("ProximoNS", c.next);
        TerminalScript script = scriptFor(TerminalData::Holding);
        script.download = c.written.has_value();
        TerminalRecord record;
        EXPECT_EQ(runStep(script, record), c.written.has_value()) << c.next;
        if (c.written) {
            Received received = split(record, guaranteeObject(GuaranteeValues{}).size());
            EXPECT_EQ(valueBehind(received.configuration, {0xDF, 0x80, 0x05, 0x0C}, 12), textBytes(*c.written));
            EXPECT_EQ(f.texts().back().rfind("Configuration data downloading...", 0), 0u);
        } else {
            EXPECT_EQ(f.texts().back(), invalid) << c.next;
            EXPECT_TRUE(record.quietAfterwards) << c.next;
        }
    }
}

TEST_F(ConfigurationStepTest, MacAddressTextThatIsNotHexadecimalIsRefused)
{
    describeAssignable({"MAC_ADDRESS=YES"});
    setting("AccionMAC", "3");
    setting("ProximoMAC", "00:11:AA:BB:CC:DD");
    TerminalScript script = scriptFor(TerminalData::Holding);
    script.download = false;
    TerminalRecord record;
    EXPECT_FALSE(runStep(script, record));
    EXPECT_EQ(f.texts().back(), "Invalid MAC address : this field must be hexadecimal only");
    EXPECT_TRUE(record.quietAfterwards);
}

TEST_F(ConfigurationStepTest, NoValueFromTheDocumentEndsTheStepSilently)
{
    for (const char* field : {"SERIAL_NUMBER", "MAC_ADDRESS"}) {
        describeAssignable({std::string(field) + "=YES"});
        setting("AccionSerie", "3");
        setting("AccionMAC", "3");
        setting("NumeroSerieRadio", "7"); // no such source
        setting("DireccionMACRadio", "7");
        TerminalScript script = scriptFor(TerminalData::Holding);
        script.download = false;
        TerminalRecord record;
        std::size_t textsBefore = f.texts().size();
        EXPECT_FALSE(runStep(script, record)) << field;
        EXPECT_TRUE(record.quietAfterwards) << field;
        std::vector<std::string> texts = f.texts();
        EXPECT_EQ(texts.size(), textsBefore + 1) << field; // only "Preparing Configuration data..."
        EXPECT_EQ(texts.back(), "Preparing Configuration data...") << field;
    }
}

TEST_F(ConfigurationStepTest, SerialNumberPreservedOnlyFromATerminalHoldingOne)
{
    describeAssignable({"SERIAL_NUMBER=YES"});
    setting("AccionSerie", "1");
    // A terminal whose serial number is all 0xFF holds none: nothing is asked for.
    ConfigurationValues terminal = templateConfigurationValues();
    terminal.serialNumber = repeated(12, 0xFF);
    TerminalScript script = scriptFor(TerminalData::Holding);
    script.configuration = terminalConfiguration(terminal);
    TerminalRecord record;
    ASSERT_TRUE(runStep(script, record));
    EXPECT_EQ(split(record, guaranteeObject(GuaranteeValues{}).size()).configuration, configurationTemplate);
    EXPECT_EQ(f.settings.readString("ProximoNS"), "1234567890");
    EXPECT_TRUE(signerRuns().empty());
}

// --- the terminal's data -------------------------------------------------------------------

TEST_F(ConfigurationStepTest, MalformedTerminalDataCountsAsNone)
{
    describeAssignable({"SERIAL_NUMBER=YES", "MAC_ADDRESS=YES", "INSTALATION_DATE=YES"});
    setting("AccionSerie", "2");
    setting("AccionMAC", "2");
    setting("AccionFInstalacion", "2");
    writeTemplates(templateGuarantee(), templateConfigurationValues());
    const Bytes whole = *terminalConfigurationObject(TerminalData::Holding);
    const Bytes guarantee = *terminalGuarantee(TerminalData::Holding);
    struct {
        const char* name;
        Bytes guarantee;
        Bytes configuration;
    } cases[] = {
        {"Cut", Bytes(guarantee.begin(), guarantee.end() - 1), Bytes(whole.begin(), whole.end() - 1)},
        {"LengthsRunningPastTheEnd", join({{0xFF, 0x5E, 0x7F}, Bytes(guarantee.begin() + 3, guarantee.end())}),
         join({{0xFF, 0x79, 0x82, 0xFF, 0xFF}, Bytes(whole.begin() + 5, whole.end())})},
        {"WrongLengthForm", join({{0xFF, 0x5E, 0x81}, Bytes(guarantee.begin() + 2, guarantee.end())}),
         join({{0xFF, 0x79, 0x81}, Bytes(whole.begin() + 3, whole.end())})},
    };
    for (const auto& c : cases) {
        setting("ProximoNS", "1234567890");
        TerminalScript script;
        script.guarantee = c.guarantee;
        script.configuration = c.configuration;
        TerminalRecord record;
        ASSERT_TRUE(runStep(script, record)) << c.name;
        Received received = split(record, guaranteeObject(templateGuarantee()).size());
        EXPECT_EQ(valueBehind(received.configuration, {0xDF, 0x80, 0x05, 0x0C}, 12), kNewSerial) << c.name;
    }
}

// --- failures -----------------------------------------------------------------------------

TEST_F(ConfigurationStepTest, MissingOrShortFilesFailWithTheirMessage)
{
    struct {
        const char* name;
        std::function<void()> prepare;
        int dataRequests;
        const char* message;
    } cases[] = {
        {"NoGuaranteeFile", [&] { std::remove(f.dir.file("apps/g.bin").c_str()); }, 1,
         "Guarantee data file not found."},
        {"NoConfigurationFile", [&] { std::remove(f.dir.file("apps/c.bin").c_str()); }, 2,
         "Configuration data file not found."},
        {"GuaranteeFileIsADirectory",
         [&] {
             std::remove(f.dir.file("apps/g.bin").c_str());
             f.dir.mkdir("apps/g.bin");
         },
         1, "Guarantee data file not found."},
        // The download's header needs the configuration data's first 281 bytes.
        {"ConfigurationFileOf280Bytes", [&] { f.writeApp("c.bin", std::string(280, 'x')); }, 2,
         "Configuration data file reading error."},
    };
    for (const auto& c : cases) {
        writeTemplates(templateGuarantee(), templateConfigurationValues());
        c.prepare();
        TerminalScript script = scriptFor(TerminalData::Holding);
        script.dataRequests = c.dataRequests;
        script.download = false;
        TerminalRecord record;
        EXPECT_FALSE(runStep(script, record)) << c.name;
        EXPECT_EQ(f.texts().back(), c.message) << c.name;
        EXPECT_TRUE(record.quietAfterwards) << c.name;
        ::rmdir(f.dir.file("apps/g.bin").c_str());
    }
}

TEST_F(ConfigurationStepTest, ConfigurationFileOf281BytesIsSent)
{
    Bytes file = join({configurationTemplate, repeated(281, 0x00)});
    file.resize(281);
    f.writeApp("c.bin", std::string(file.begin(), file.end()));
    TerminalRecord record;
    ASSERT_TRUE(runStep(scriptFor(TerminalData::Holding), record));
    EXPECT_EQ(split(record, guaranteeObject(GuaranteeValues{}).size()).configuration, file);
}

TEST_F(ConfigurationStepTest, FailedSigningEndsTheStepWithTheToolsText)
{
    describeAssignable({"SERIAL_NUMBER=YES"});
    setting("AccionSerie", "3");
    struct {
        const char* fault; // the signing tool's switch
        const char* value;
        const char* message;
    } cases[] = {
        // Signed data longer than the configuration data does not fit where it was.
        {"ORVANE_SIGNER_GROW", "1", "Temporal file max length exceeded."},
        {"ORVANE_SIGNER_EXIT_SIGN", "4", "Error, executing signing tool utility."},
    };
    for (const auto& c : cases) {
        ScopedEnvironment fault(c.fault, c.value);
        std::size_t runsBefore = signerRuns().size();
        TerminalScript script = scriptFor(TerminalData::Holding);
        script.download = false;
        TerminalRecord record;
        EXPECT_FALSE(runStep(script, record)) << c.fault;
        EXPECT_EQ(signerRuns().size(), runsBefore + 1) << c.fault;
        std::vector<std::string> texts = f.texts();
        ASSERT_GE(texts.size(), 2u);
        EXPECT_EQ(texts[texts.size() - 2], "Signing Configuration data...") << c.fault;
        EXPECT_EQ(texts.back(), c.message) << c.fault;
        EXPECT_TRUE(record.quietAfterwards) << c.fault;
    }
}

TEST_F(ConfigurationStepTest, WrongBlockEchoEndsTheDownload)
{
    TerminalScript script = scriptFor(TerminalData::Holding);
    script.echoOffset = 1;
    TerminalRecord record;
    EXPECT_FALSE(runStep(script, record));
    EXPECT_EQ(f.texts().back(), "Unexpected block number.");
    EXPECT_EQ(record.numbers, (std::vector<std::uint16_t>{1}));
}

TEST_F(ConfigurationStepTest, CancelBeforeTheDownloadSendsNothingMore)
{
    f.progress->cancelOnText = "Configuration data downloading... (ff5e: g.bin, fd_ff79: c.bin)";
    TerminalScript script = scriptFor(TerminalData::Holding);
    script.download = false;
    TerminalRecord record;
    EXPECT_FALSE(runStep(script, record));
    EXPECT_TRUE(record.quietAfterwards);
    EXPECT_EQ(f.texts().back(), f.progress->cancelOnText); // no message of its own
}

} // namespace
