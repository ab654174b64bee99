// A terminal's identity values: a loader thread asks from any thread, the interface
// thread produces the value from the source the settings choose (a sequence kept in the
// settings file, the shared MAC range database, or the operator's reading), one request
// at a time.
#include "app/IdentitySteps.h"
#include "app/InterfaceThread.h"
#include "app/NuevoRPC.h"
#include "app/OrvaneDoc.h"
#include "platform/SettingsStore.h"

#include <mutex>

namespace {

// Source settings: NumeroSerieRadio, DireccionMACRadio, DireccionIPRadio.
constexpr std::int32_t kSerialFromSequence = 0;
constexpr std::int32_t kSerialFromReading = 1;
constexpr std::int32_t kMacFromSequence = 0;
constexpr std::int32_t kMacFromRangeDatabase = 1;
constexpr std::int32_t kMacFromReading = 2;
constexpr std::int32_t kIpFromSequence = 0;
constexpr std::int32_t kIpFromReading = 1;

// A sequence whose step is missing from the settings advances by the sheet's default.
constexpr std::int32_t kDefaultStep = 1;

using StepAdder = bool (*)(std::string&, std::int32_t);

// Hands out the stored next value of a text sequence once the value after it is in the
// settings file. The document lock keeps out the station's other threads, the sequence
// lock other stations sharing the file; the next value is read afresh under both. A
// value whose successor cannot be computed or written is not handed out.
bool takeFromTextSequence(OrvaneDoc& document, std::string_view nextKey, std::string_view stepKey, StepAdder addStep,
                          std::string& value)
{
    std::scoped_lock lock(document.documentLock());
    platform::SettingsStore& settings = document.settings();
    std::string handedOut;
    bool taken = settings.withSequenceLock([&] {
        std::int32_t step = settings.readInt(stepKey, kDefaultStep);
        std::string next = settings.readString(nextKey);
        std::string following = next;
        if (!addStep(following, step) || !settings.write(nextKey, following))
            return false;
        handedOut = std::move(next);
        return true;
    });
    if (taken)
        value = std::move(handedOut);
    return taken;
}

// The same for the IPv4 address sequence: a 32-bit number advanced by 32-bit addition,
// so a carry from the last dotted field runs into the ones before it.
bool takeFromAddressSequence(OrvaneDoc& document, std::uint32_t& value)
{
    std::scoped_lock lock(document.documentLock());
    platform::SettingsStore& settings = document.settings();
    std::uint32_t handedOut = 0;
    bool taken = settings.withSequenceLock([&] {
        auto next = static_cast<std::uint32_t>(settings.readInt("ProximoIP", 0));
        auto step = static_cast<std::uint32_t>(settings.readInt("SaltoIP", kDefaultStep));
        // Written unsigned, as an address reads best; either form reads back the same.
        if (!settings.write("ProximoIP", std::to_string(next + step)))
            return false;
        handedOut = next;
        return true;
    });
    if (taken)
        value = handedOut;
    return taken;
}

} // namespace

bool OrvaneDoc::assignSerialNumber(std::string_view label, std::string& value)
{
    NuevoRPC request(*this, NuevoRPC::Kind::SerialNumber, value, label);
    runOnInterfaceThread(request);
    return request.succeeded();
}

bool OrvaneDoc::assignMacAddress(std::string_view label, std::string& value)
{
    NuevoRPC request(*this, NuevoRPC::Kind::MacAddress, value, label);
    runOnInterfaceThread(request);
    return request.succeeded();
}

bool OrvaneDoc::assignIpAddress(std::string_view label, std::uint32_t& value)
{
    NuevoRPC request(*this, NuevoRPC::Kind::IpAddress, value, label);
    runOnInterfaceThread(request);
    return request.succeeded();
}

bool OrvaneDoc::serialNumberFromSource(const std::string& label, std::string& value)
{
    switch (readSettingInt("NumeroSerieRadio")) {
    case kSerialFromSequence:
        return takeFromTextSequence(*this, "ProximoNS", "SaltoNS", addDecimalStep, value);
    case kSerialFromReading:
        return readText("Serial Number " + label, value);
    default:
        return false;
    }
}

bool OrvaneDoc::macAddressFromSource(const std::string& label, std::string& value)
{
    switch (readSettingInt("DireccionMACRadio")) {
    case kMacFromSequence:
        return takeFromTextSequence(*this, "ProximoMAC", "SaltoMAC", addHexStep, value);
    case kMacFromRangeDatabase:
        return macRanges_.takeMacAddress(readSetting("DSN"), value);
    case kMacFromReading:
        return readText("MAC Number  " + label, value);
    default:
        return false;
    }
}

bool OrvaneDoc::ipAddressFromSource(const std::string& label, std::uint32_t& value)
{
    switch (readSettingInt("DireccionIPRadio")) {
    case kIpFromSequence:
        return takeFromAddressSequence(*this, value);
    case kIpFromReading:
        return readIpAddress(label, value);
    default:
        return false;
    }
}

namespace {
// Reading is enabled on the bar-code reader for as long as one reading dialog is open.
class ReadingEnabled {
public:
    explicit ReadingEnabled(BarcodeReader::Reader* reader) : reader_(reader)
    {
        if (reader_)
            reader_->enable();
    }
    ~ReadingEnabled()
    {
        if (reader_)
            reader_->disable();
    }
    ReadingEnabled(const ReadingEnabled&) = delete;
    ReadingEnabled& operator=(const ReadingEnabled&) = delete;

private:
    BarcodeReader::Reader* reader_;
};
} // namespace

bool OrvaneDoc::readText(const std::string& caption, std::string& text)
{
    // The operator's answer is handed back as typed or scanned: no trimming, no checks.
    if (!interfaceThread_)
        return false;
    std::string answer;
    {
        ReadingEnabled reading(reader_.get());
        if (!interfaceThread_->readText(caption, answer, reader_.get()))
            return false;
    }
    text = std::move(answer);
    return true;
}

bool OrvaneDoc::readIpAddress(const std::string& caption, std::uint32_t& address)
{
    // A blank address (0.0.0.0) confirms the reading as cancelled.
    if (!interfaceThread_)
        return false;
    std::uint32_t answer = 0;
    {
        ReadingEnabled reading(reader_.get());
        if (!interfaceThread_->readIpAddress(caption, answer, reader_.get()) || answer == 0)
            return false;
    }
    address = answer;
    return true;
}
