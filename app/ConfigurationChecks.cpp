#include "app/ConfigurationChecks.h"

#include "app/PasswordEncoding.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

template <typename Field>
std::optional<PageComplaint<Field>> complaint(const char* message, const char* caption, Field focus)
{
    return PageComplaint<Field>{message, caption, focus};
}

bool isDirectory(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool allOf(const std::string& text, int (*predicate)(int))
{
    return std::all_of(text.begin(), text.end(), [&](char c) { return predicate(static_cast<unsigned char>(c)) != 0; });
}

bool numberInRange(const std::string& text, int low, int high)
{
    int number = 0;
    return readFieldNumber(text, number) && number >= low && number <= high;
}

} // namespace

std::string numberRangeMessage(int low, int high)
{
    return "Enter an integer between " + std::to_string(low) + " and " + std::to_string(high) + ".";
}

std::optional<PageComplaint<GeneralField>> checkGeneral(const GeneralEntries& entries, const std::string& pendingPort)
{
    using F = GeneralField;
    if (trimTrailingBlanks(entries.manufacturer).empty())
        return complaint("Manufacturer identifier field is mandatory.", "Manufacturer identifier field is empty",
                         F::Manufacturer);
    if (!trimTrailingBlanks(pendingPort).empty())
        return complaint("Press Add to add the indicated port or left the field empty.", "Add a port?",
                         F::PortChooser);
    if (entries.ports.empty())
        return complaint("AT least one port is needed.", "Add a port", F::PortChooser);
    const std::string terminals = trimTrailingBlanks(entries.terminalsDirectory);
    if (terminals.empty())
        return complaint("A terminals directory is needed.", "Terminals directory is empty", F::TerminalsDirectory);
    if (!isDirectory(terminals))
        return complaint("Nonexistent file.", "Invalid file", F::TerminalsDirectory);
    const std::string applications = trimTrailingBlanks(entries.applicationsDirectory);
    if (applications.empty())
        return complaint("An applications directory is needed.", "Applications directory is empty",
                         F::ApplicationsDirectory);
    if (!isDirectory(applications))
        return complaint("Nonexistent file.", "Invalid file", F::ApplicationsDirectory);
    return std::nullopt;
}

std::optional<PageComplaint<SerialNumberField>> checkSerialNumber(const SerialNumberEntries& entries)
{
    using F = SerialNumberField;
    if (!numberInRange(entries.step, 1, 99))
        return PageComplaint<F>{numberRangeMessage(1, 99), kApplicationTitle, F::Step};
    if (entries.option != 0 && entries.option != 1)
        return complaint("Select Sequentially or By reading", "Option not selected", F::FirstOption);
    if (entries.option == 0) {
        const std::string next = trimTrailingBlanks(entries.next);
        if (next.size() < 10 || next.size() > 12)
            return complaint("The serial number length must be between 10 or 12 digits.", "Wrong length", F::Next);
        if (!allOf(next, ::isdigit))
            return complaint("The serial number must be numeric.", "Serial Number not numeric", F::Next);
    }
    return std::nullopt;
}

PageComplaint<MacAddressField> incorrectLinkComplaint()
{
    return {"ODBC link or file not found.", "Incorrect link", MacAddressField::DataSource};
}

std::optional<PageComplaint<MacAddressField>> checkMacAddress(
    const MacAddressEntries& entries, const std::function<bool(const std::string&)>& proveDataSource)
{
    using F = MacAddressField;
    if (!numberInRange(entries.step, 1, 99))
        return PageComplaint<F>{numberRangeMessage(1, 99), kApplicationTitle, F::Step};
    switch (entries.option) {
    case 0: {
        const std::string next = trimTrailingBlanks(entries.next);
        if (next.size() != 12)
            return complaint("The MAC field must have 12 hexadecimal digits length.", "Wrong length", F::Next);
        if (!allOf(next, ::isxdigit))
            return complaint("The MAC field must have only hexadecimal digits.", "MAC field not hexadecimal", F::Next);
        return std::nullopt;
    }
    case 1: {
        const std::string dataSource = trimTrailingBlanks(entries.dataSource);
        if (dataSource.empty())
            return complaint("The DSN of the ODBC link is needed.", "DSN not defined", F::DataSource);
        if (!proveDataSource || !proveDataSource(dataSource))
            return incorrectLinkComplaint();
        return std::nullopt;
    }
    case 2:
        return std::nullopt;
    default:
        return complaint("Select Sequentially, DB Query or By reading", "Option not selected", F::FirstOption);
    }
}

std::optional<PageComplaint<IpAddressField>> checkIpAddress(const IpAddressEntries& entries)
{
    using F = IpAddressField;
    if (!numberInRange(entries.step, 1, 99))
        return PageComplaint<F>{numberRangeMessage(1, 99), kApplicationTitle, F::Step};
    if (entries.option != 0 && entries.option != 1)
        return complaint("Select Sequentially or By reading", "Option not selected", F::FirstOption);
    if (entries.option == 0 && entries.next == 0)
        return complaint("The IP address is mandatory", "IP address not entered", F::Next);
    if (entries.mask == 0)
        return complaint("IP Mask is mandatory.", "IP Mask not entered", F::Mask);
    return std::nullopt;
}

std::optional<PageComplaint<ReadingField>> checkReading(const ReadingEntries& entries)
{
    using F = ReadingField;
    if (!numberInRange(entries.readerNumber, 0, 254))
        return PageComplaint<F>{numberRangeMessage(0, 254), kApplicationTitle, F::ReaderNumber};
    switch (entries.option) {
    case 0:
        return std::nullopt;
    case 1:
        if (trimTrailingBlanks(entries.port).empty())
            return complaint("A port is needed for the Serial or RS485 reader.", "Port field is empty", F::Port);
        return std::nullopt;
    case 2:
        if (trimTrailingBlanks(entries.server).empty())
            return complaint("The name of the server for the RS485 readers network must be entered",
                             "Server field is empty", F::Server);
        return std::nullopt;
    default:
        return complaint("Select Keyboard only, Keyboard & Serial reader or Keyboard & RS485 reader",
                         "Option not selected", F::FirstOption);
    }
}

std::optional<PageComplaint<SigningToolField>> checkSigningTool(const SigningToolEntries& entries)
{
    using F = SigningToolField;
    switch (entries.option) {
    case 0:
        return std::nullopt;
    case 1:
        if (trimTrailingBlanks(entries.port).empty())
            return complaint("A port is mandatory for On serial port selection", "Port field is empty", F::Port);
        return std::nullopt;
    case 2: {
        const std::string keyFile = trimTrailingBlanks(entries.keyFile);
        if (keyFile.empty() || ::access(keyFile.c_str(), R_OK) != 0 || isDirectory(keyFile))
            return complaint("File not found or no reading access rights.", "File not found", F::KeyFile);
        if (trimTrailingBlanks(entries.keyNumber).empty())
            return complaint("A Key N\xBA is mandatory.", "Empty Key", F::KeyNumber);
        return std::nullopt;
    }
    default:
        return complaint("Select Not available, On serial port or By file", "Option not selected", F::FirstOption);
    }
}

std::optional<PageComplaint<DataLogField>> checkDataLog(const DataLogEntries& entries)
{
    using F = DataLogField;
    if (entries.option != 0 && entries.option != 1)
        return complaint("Select Enable or Disable", "Option not selected", F::FirstOption);
    if (entries.option == 0)
        return std::nullopt;
    const std::string path = trimTrailingBlanks(entries.path);
    if (path.empty())
        return complaint("A Log file is needed.", "Log file field is empty", F::Path);
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), R_OK | W_OK) != 0)
        return complaint("No R/W access rigths over the specified file.", "Access refused", F::Path);
    std::FILE* log = std::fopen(path.c_str(), "a");
    if (log == nullptr)
        return complaint("Error in the file log creation", "Error in the file creation", F::Path);
    std::fclose(log);
    if (entries.level < 0 || entries.level > 4)
        return complaint("Select a Logging level.", "Option not selected", F::Level);
    return std::nullopt;
}

std::optional<SecurityComplaint> checkSecurity(const SecurityEntries& entries)
{
    if (!entries.enabled)
        return std::nullopt;
    // The password is stored without its trailing blanks; one made of blanks alone would
    // be stored empty and no entry could ever open the configuration again.
    if (trimTrailingBlanks(entries.password).empty())
        return SecurityComplaint{{"Password entry is mandatory.", "Empty password", SecurityField::Password}, false};
    if (entries.password != entries.repeated)
        return SecurityComplaint{{"Error in the password entry.", "Passwords don't match", SecurityField::Password},
                                 true};
    return std::nullopt;
}
