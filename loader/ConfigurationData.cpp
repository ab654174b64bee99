// The configuration data step of a bootstrap-family load: the terminal's stored
// guarantee and configuration data are read, the identity fields of the two template
// files are kept, left or assigned as the operator's settings ask, the configuration data
// is signed again when it changed, and both objects go to the terminal as one download.
#include "app/OrvaneDoc.h"
#include "loader/DownloadJob.h"
#include "loader/IdentityFields.h"
#include "loader/IdentityValues.h"
#include "loader/Progress.h"
#include "platform/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <span>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using ByteBuffer = std::vector<std::uint8_t>;

// What the operator's settings ask of a field (settings values 0 to 3).
enum Action : std::int32_t {
    KeepTemplate = 0,     // "To erase unconditionally"
    PreserveOrErase = 1,  // "To preserve or to erase if new"
    PreserveOrAssign = 2, // "To preserve or to assign if new"
    AssignAlways = 3,     // "To assign unconditionally"
};

// Where the terminal's objects are looked for in its answers to command "13".
constexpr std::size_t kGuaranteeSearchStart = 12;
constexpr std::size_t kConfigurationSearchStart = 4;
constexpr std::uint8_t kGuaranteeSelector = 4;
constexpr std::uint8_t kConfigurationSelector = 5;
constexpr std::uint8_t kConfigurationComponent = 0;

// Block numbers travel as 16 bits and 0 closes the download: at most 65535 blocks of at
// most 2045 bytes, so a larger file can never be sent and is not read into memory.
constexpr long long kMostBlocks = 65535;
constexpr long long kLargestDataFile = kMostBlocks * 2045;
constexpr long long kLargestFileSize = 0xFFFFFFFFLL;

enum class FileRead { Done, NotFound, TooLarge, ReadError };

FileRead readDataFile(const std::string& path, ByteBuffer& bytes)
{
    platform::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!file || ::fstat(file.get(), &st) != 0 || S_ISDIR(st.st_mode))
        return FileRead::NotFound;
    if (st.st_size > kLargestFileSize || st.st_size > kLargestDataFile)
        return FileRead::TooLarge;
    bytes.assign(static_cast<std::size_t>(st.st_size), 0);
    std::size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = ::read(file.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return FileRead::ReadError; // failed, or the file ended before its size
        got += static_cast<std::size_t>(n);
    }
    return FileRead::Done;
}

// The terminal's copy of an object: its bytes alone, the object at offset 0.
struct TerminalCopy {
    ByteBuffer bytes;
    std::optional<tlv::Object> object;
};

TerminalCopy copyOf(std::span<const std::uint8_t> payload, const std::optional<tlv::Object>& found)
{
    TerminalCopy copy;
    if (!found)
        return copy;
    copy.bytes.assign(payload.begin() + static_cast<std::ptrdiff_t>(found->start),
                      payload.begin() + static_cast<std::ptrdiff_t>(found->end()));
    tlv::Object object = *found;
    object.valueOffset -= found->start;
    object.start = 0;
    copy.object = object;
    return copy;
}

std::span<std::uint8_t> fieldOf(ByteBuffer& bytes, const identity::FieldSpan& field)
{
    return std::span<std::uint8_t>(bytes).subspan(field.offset, field.length);
}

std::span<const std::uint8_t> fieldOf(const ByteBuffer& bytes, const identity::FieldSpan& field)
{
    return std::span<const std::uint8_t>(bytes).subspan(field.offset, field.length);
}

void writeInto(std::span<std::uint8_t> field, std::span<const std::uint8_t> value)
{
    std::copy_n(value.begin(), std::min(field.size(), value.size()), field.begin());
}

long long blocksFor(std::size_t count, int blockLength)
{
    return (static_cast<long long>(count) + blockLength - 1) / blockLength;
}

} // namespace

class ConfigurationDataStep {
public:
    ConfigurationDataStep(DownloadJob& job, std::string_view guaranteeFile, std::string_view configFile)
        : job_(job), document_(job.document_), guaranteeName_(guaranteeFile), configName_(configFile)
    {
    }

    bool run()
    {
        if (cancelled())
            return false;
        job_.reportInfo("Preparing Configuration data...");
        readTerminalGuarantee();
        if (cancelled() || !readGuaranteeTemplate() || cancelled())
            return false;
        today_ = identity::packedLocalDate(std::time(nullptr));
        fillInstallationDate();
        fillBatteryDates();
        if (cancelled())
            return false;
        readTerminalConfiguration();
        if (cancelled() || !readConfigurationTemplate() || cancelled())
            return false;
        fillManufacturer();
        fillManufacturingDate();
        if (!fillSerialNumber() || !fillMacAddress())
            return false;
        if (changed_ && !signConfiguration())
            return false;
        job_.reportInfo("Configuration data downloading... (ff5e: " + guaranteeName_ + ", fd_ff79: " + configName_ +
                        ")");
        return download();
    }

private:
    bool cancelled() { return job_.progress_->cancelled(); }

    bool assignable(std::string_view key) { return document_.currentModelValue("ASSIGNABLE", key) == "YES"; }

    std::int32_t action(std::string_view key) { return document_.readSettingInt(key); }

    // --- the terminal's stored data ---------------------------------------------------

    // A failing command leaves the terminal without data; the link has said why.
    void readTerminalGuarantee()
    {
        TerminalResponse response;
        if (!job_.sendDataRequest(kGuaranteeSelector, response))
            return;
        std::span<const std::uint8_t> payload(response.bytes.data(), response.length);
        terminalGuarantee_ = copyOf(payload, identity::findGuaranteeData(payload, kGuaranteeSearchStart));
        if (terminalGuarantee_.object)
            terminalGuaranteeFields_ =
                identity::locateGuaranteeFields(terminalGuarantee_.bytes, *terminalGuarantee_.object);
    }

    void readTerminalConfiguration()
    {
        TerminalResponse response;
        if (!job_.sendDataRequest(kConfigurationSelector, response))
            return;
        std::span<const std::uint8_t> payload(response.bytes.data(), response.length);
        terminalConfiguration_ = copyOf(payload, identity::findConfigurationData(payload, kConfigurationSearchStart));
        if (terminalConfiguration_.object)
            terminalConfigurationFields_ = identity::locateConfigurationFields(
                terminalConfiguration_.bytes, *terminalConfiguration_.object, identity::Source::Terminal);
    }

    // --- the template files ------------------------------------------------------------

    bool readGuaranteeTemplate()
    {
        switch (readDataFile(job_.applicationPath(guaranteeName_), guarantee_)) {
        case FileRead::NotFound: job_.reportError("Guarantee data file not found."); return false;
        case FileRead::TooLarge: job_.reportError("Guarantee data file max length exceeded."); return false;
        case FileRead::ReadError: job_.reportError("Guarantee data file reading error."); return false;
        case FileRead::Done: break;
        }
        guaranteeObject_ = identity::findGuaranteeData(guarantee_, 0);
        if (guaranteeObject_)
            guaranteeFields_ = identity::locateGuaranteeFields(guarantee_, *guaranteeObject_);
        return true;
    }

    bool readConfigurationTemplate()
    {
        switch (readDataFile(job_.applicationPath(configName_), configuration_)) {
        case FileRead::NotFound: job_.reportError("Configuration data file not found."); return false;
        case FileRead::TooLarge: job_.reportError("Configuration data file max length exceeded."); return false;
        case FileRead::ReadError: job_.reportError("Configuration data file reading error."); return false;
        case FileRead::Done: break;
        }
        // The download's header is built from the configuration data's first 281 bytes.
        if (configuration_.size() < kFileHeaderSourceBytes) {
            job_.reportError("Configuration data file reading error.");
            return false;
        }
        if (std::optional<tlv::Object> data = identity::configurationDataOfFile(configuration_))
            configurationFields_ =
                identity::locateConfigurationFields(configuration_, *data, identity::Source::TemplateFile);
        return true;
    }

    // --- copies and writes ---------------------------------------------------------------

    // The terminal's field is there and holds a value.
    static bool holdsValue(const TerminalCopy& terminal, const identity::Field& field)
    {
        return field && !identity::isEmptyField(fieldOf(terminal.bytes, *field));
    }

    // Both fields exist with the same length: the terminal's value can take the template's
    // place byte for byte.
    static bool copyable(const identity::Field& into, const identity::Field& from)
    {
        return into && from && into->length == from->length;
    }

    static void copyField(ByteBuffer& into, const identity::FieldSpan& to, const TerminalCopy& terminal,
                          const identity::FieldSpan& from)
    {
        writeInto(fieldOf(into, to), fieldOf(terminal.bytes, from));
    }

    void writeToday(ByteBuffer& into, const identity::FieldSpan& field) { writeInto(fieldOf(into, field), today_); }

    // --- guarantee data: writes here do not make the configuration data change -----------

    void fillInstallationDate()
    {
        if (!assignable("INSTALATION_DATE"))
            return;
        const std::int32_t wanted = action("AccionFInstalacion");
        const identity::GuaranteeFields& templ = guaranteeFields_;
        bool preserved = false;
        if (wanted == PreserveOrErase || wanted == PreserveOrAssign)
            preserved = preserveInstallationDate();
        if (wanted == PreserveOrAssign && !preserved && templ.installationDate && templ.companion)
            writeToday(guarantee_, *templ.installationDate);
        if (wanted == AssignAlways && templ.installationDate)
            writeToday(guarantee_, *templ.installationDate);
    }

    bool preserveInstallationDate()
    {
        const identity::GuaranteeFields& templ = guaranteeFields_;
        const identity::GuaranteeFields& terminal = terminalGuaranteeFields_;
        if (!copyable(templ.installationDate, terminal.installationDate) ||
            !copyable(templ.companion, terminal.companion) ||
            !holdsValue(terminalGuarantee_, terminal.installationDate))
            return false;
        copyField(guarantee_, *templ.installationDate, terminalGuarantee_, *terminal.installationDate);
        copyField(guarantee_, *templ.companion, terminalGuarantee_, *terminal.companion);
        return true;
    }

    void fillBatteryDates()
    {
        if (!assignable("BATTERY_INSTALATION_DATE"))
            return;
        const std::int32_t wanted = action("AccionFBaterias");
        if (wanted != PreserveOrErase && wanted != PreserveOrAssign && wanted != AssignAlways)
            return;
        const identity::GuaranteeFields& templ = guaranteeFields_;
        const identity::GuaranteeFields& terminal = terminalGuaranteeFields_;
        for (std::size_t slot = 0; slot < identity::kBatterySlots; ++slot) {
            if (copyable(templ.batteryDates[slot], terminal.batteryDates[slot]) &&
                holdsValue(terminalGuarantee_, terminal.batteryDates[slot]))
                copyField(guarantee_, *templ.batteryDates[slot], terminalGuarantee_, *terminal.batteryDates[slot]);
        }
        if (wanted == AssignAlways ||
            (wanted == PreserveOrAssign && !holdsValue(terminalGuarantee_, terminal.batteryDates[0])))
            writeTodayInFirstEmptySlot();
    }

    // Slots are searched in order; the search stops at the first missing one.
    void writeTodayInFirstEmptySlot()
    {
        for (const identity::Field& slot : guaranteeFields_.batteryDates) {
            if (!slot)
                return;
            if (identity::isEmptyField(fieldOf(guarantee_, *slot))) {
                writeToday(guarantee_, *slot);
                return;
            }
        }
    }

    // --- configuration data: every write sets the changed flag ---------------------------

    void fillManufacturer()
    {
        const identity::Field& field = configurationFields_.manufacturer;
        if (!assignable("MANUFACTURER") || !field)
            return;
        const std::string text = document_.readSetting("Manufacturer");
        if (identity::holdsText(fieldOf(configuration_, *field), text))
            return;
        const std::string fitted = identity::fittedToWidth(text, field->length);
        std::copy(fitted.begin(), fitted.end(), fieldOf(configuration_, *field).begin());
        changed_ = true;
    }

    void fillManufacturingDate()
    {
        if (!assignable("MANUFACTURING_DATE"))
            return;
        const std::int32_t wanted = action("AccionFFabricacion");
        const identity::Field& field = configurationFields_.manufacturingDate;
        if (wanted == PreserveOrErase) {
            preserveManufacturingDate();
        } else if (wanted == PreserveOrAssign && field) {
            if (!preserveManufacturingDate())
                writeTodayInConfiguration(*field);
        } else if (wanted == AssignAlways && field) {
            writeTodayInConfiguration(*field);
        }
    }

    // The terminal's manufacturing date, and with it its manufacturer identifier when that
    // is assignable: the identifier belongs to the maker that made the terminal.
    bool preserveManufacturingDate()
    {
        const identity::ConfigurationFields& templ = configurationFields_;
        const identity::ConfigurationFields& terminal = terminalConfigurationFields_;
        if (!copyable(templ.manufacturingDate, terminal.manufacturingDate) ||
            !holdsValue(terminalConfiguration_, terminal.manufacturingDate))
            return false;
        copyField(configuration_, *templ.manufacturingDate, terminalConfiguration_, *terminal.manufacturingDate);
        changed_ = true;
        if (assignable("MANUFACTURER") && copyable(templ.manufacturer, terminal.manufacturer) &&
            holdsValue(terminalConfiguration_, terminal.manufacturer))
            copyField(configuration_, *templ.manufacturer, terminalConfiguration_, *terminal.manufacturer);
        return true;
    }

    void writeTodayInConfiguration(const identity::FieldSpan& field)
    {
        writeToday(configuration_, field);
        changed_ = true;
    }

    bool fillSerialNumber()
    {
        if (!assignable("SERIAL_NUMBER"))
            return true;
        const std::int32_t wanted = action("AccionSerie");
        const identity::Field& templ = configurationFields_.serialNumber;
        const identity::Field& terminal = terminalConfigurationFields_.serialNumber;
        bool preserved = false;
        if ((wanted == PreserveOrErase || wanted == PreserveOrAssign) && copyable(templ, terminal) &&
            holdsValue(terminalConfiguration_, terminal)) {
            copyField(configuration_, *templ, terminalConfiguration_, *terminal);
            changed_ = true;
            preserved = true;
        }
        if ((wanted == PreserveOrAssign && !preserved) || wanted == AssignAlways)
            return assignSerialNumber();
        return true;
    }

    bool assignSerialNumber()
    {
        const identity::Field& field = configurationFields_.serialNumber;
        if (!field)
            return true;
        std::string text;
        if (!document_.assignSerialNumber(job_.portName(), text))
            return false;
        // Only decimal digits are a serial number: anything else would be written into the
        // terminal as it is.
        std::optional<std::string> serial = identity::twelveDigitSerialNumber(text);
        if (!serial) {
            job_.reportInfo("Invalid serial number : this field must be numeric only, between 10 and 12 numbers");
            return false;
        }
        std::copy(serial->begin(), serial->end(), fieldOf(configuration_, *field).begin());
        changed_ = true;
        job_.reportMilestone("Serial Number " + *serial);
        return true;
    }

    bool fillMacAddress()
    {
        if (!assignable("MAC_ADDRESS"))
            return true;
        const std::int32_t wanted = action("AccionMAC");
        const identity::Field& templ = configurationFields_.macAddress;
        const identity::Field& terminal = terminalConfigurationFields_.macAddress;
        bool preserved = false;
        if ((wanted == PreserveOrErase || wanted == PreserveOrAssign) && copyable(templ, terminal) &&
            !identity::isZeroMac(fieldOf(terminalConfiguration_.bytes, *terminal))) {
            copyField(configuration_, *templ, terminalConfiguration_, *terminal);
            changed_ = true;
            preserved = true;
        }
        if ((wanted == PreserveOrAssign && !preserved) || wanted == AssignAlways)
            return assignMacAddress();
        return true;
    }

    bool assignMacAddress()
    {
        const identity::Field& field = configurationFields_.macAddress;
        if (!field)
            return true;
        std::string text;
        if (!document_.assignMacAddress(job_.portName(), text))
            return false;
        std::optional<identity::MacAddress> mac = identity::macAddressOfText(text);
        if (!mac) {
            job_.reportInfo("Invalid MAC address : this field must be hexadecimal only");
            return false;
        }
        writeInto(fieldOf(configuration_, *field), *mac);
        changed_ = true;
        job_.reportMilestone("MAC Number:  " + text);
        return true;
    }

    // --- signing and download ------------------------------------------------------------

    // The signed data takes the place of the file's content; it may not grow.
    bool signConfiguration()
    {
        job_.reportInfo("Signing Configuration data...");
        std::size_t length = configuration_.size();
        std::string errorText;
        if (!document_.signConfiguration(configuration_.data(), length, configuration_.size(), errorText)) {
            if (!errorText.empty())
                job_.reportError(errorText);
            return false;
        }
        configuration_.resize(std::min(length, configuration_.size()));
        if (configuration_.size() < kFileHeaderSourceBytes) {
            job_.reportError("Configuration data file reading error.");
            return false;
        }
        return true;
    }

    // The guarantee object (when the template held one) and then the whole configuration
    // data, each cut into blocks of the offered length, the block numbers running on from
    // the first into the second; the empty block 0 closes the download.
    bool download()
    {
        const FileHeader header = buildFileHeader("CD-", configuration_.data());
        if (cancelled())
            return false;
        TerminalResponse response;
        if (!job_.sendComponentStart(kConfigurationComponent, header, response))
            return false;
        const int blockLength = job_.offeredBlockLength(response);
        if (blockLength == 0)
            return false;
        std::span<const std::uint8_t> guaranteePart;
        if (guaranteeObject_)
            guaranteePart = std::span<const std::uint8_t>(guarantee_)
                                .subspan(guaranteeObject_->start, guaranteeObject_->end() - guaranteeObject_->start);
        if (blocksFor(guaranteePart.size(), blockLength) + blocksFor(configuration_.size(), blockLength) >
            kMostBlocks) {
            job_.reportError("Configuration data file max length exceeded.");
            return false;
        }
        std::uint16_t number = 1;
        if (!sendPart(guaranteePart, blockLength, number) || !sendPart(configuration_, blockLength, number))
            return false;
        if (cancelled())
            return false;
        return job_.sendBlock(0, nullptr, 0);
    }

    bool sendPart(std::span<const std::uint8_t> part, int blockLength, std::uint16_t& number)
    {
        for (std::size_t at = 0; at < part.size();) {
            const std::size_t count = std::min(part.size() - at, static_cast<std::size_t>(blockLength));
            if (cancelled() || !job_.sendBlock(number, part.data() + at, count))
                return false;
            job_.progress_->step(static_cast<int>(count));
            ++number;
            at += count;
        }
        return true;
    }

    DownloadJob& job_;
    OrvaneDoc& document_;
    const std::string guaranteeName_;
    const std::string configName_;

    TerminalCopy terminalGuarantee_;
    identity::GuaranteeFields terminalGuaranteeFields_;
    TerminalCopy terminalConfiguration_;
    identity::ConfigurationFields terminalConfigurationFields_;

    ByteBuffer guarantee_; // the guarantee template file
    std::optional<tlv::Object> guaranteeObject_;
    identity::GuaranteeFields guaranteeFields_;
    ByteBuffer configuration_; // the configuration template file, the data sent
    identity::ConfigurationFields configurationFields_;

    identity::PackedDate today_{};
    bool changed_ = false;
};

bool DownloadJob::prepareConfigurationData(std::string_view guaranteeFile, std::string_view configFile)
{
    return ConfigurationDataStep(*this, guaranteeFile, configFile).run();
}
