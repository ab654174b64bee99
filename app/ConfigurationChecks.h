#pragma once
// The checks a configuration page runs when it is left or when OK is pressed, as far
// as they need no window: the first failing check gives the message box to show (text
// and caption, OK button) and the field that takes the focus. The checks that talk to
// devices, other pages or servers (the serial-port check, the port-conflict query, the
// reader network test) are run by the pages after these.
#include "app/ConfigurationEntries.h"

#include <functional>
#include <optional>
#include <string>

template <typename Field>
struct PageComplaint {
    std::string message;
    std::string caption;
    Field focus;
    bool operator==(const PageComplaint&) const = default;
};

// The title the framework gives a box that names no caption of its own.
inline constexpr const char* kApplicationTitle = "orvane";

// What a numeric field says when its text is not an integer in its range, with the
// application's title as caption.
std::string numberRangeMessage(int low, int high);

enum class GeneralField { Manufacturer, PortChooser, TerminalsDirectory, ApplicationsDirectory };
// pendingPort is the text left in the port drop-down.
std::optional<PageComplaint<GeneralField>> checkGeneral(const GeneralEntries& entries, const std::string& pendingPort);

enum class SerialNumberField { FirstOption, Next, Step };
std::optional<PageComplaint<SerialNumberField>> checkSerialNumber(const SerialNumberEntries& entries);

enum class MacAddressField { FirstOption, Next, Step, DataSource };
// proveDataSource opens the named data source and the MAC range table; false on
// failure or on a database error.
std::optional<PageComplaint<MacAddressField>> checkMacAddress(
    const MacAddressEntries& entries, const std::function<bool(const std::string&)>& proveDataSource);
// The complaint of a data source that does not prove, from Browse or from the check.
PageComplaint<MacAddressField> incorrectLinkComplaint();

enum class IpAddressField { FirstOption, Next, Step, Mask };
std::optional<PageComplaint<IpAddressField>> checkIpAddress(const IpAddressEntries& entries);

enum class ReadingField { FirstOption, Port, Server, ReaderNumber };
std::optional<PageComplaint<ReadingField>> checkReading(const ReadingEntries& entries);

enum class SigningToolField { FirstOption, Port, KeyFile, KeyNumber };
// The by-file checks are complete here; on serial port the page runs the port-conflict
// query and the serial-port check afterwards.
std::optional<PageComplaint<SigningToolField>> checkSigningTool(const SigningToolEntries& entries);

enum class DataLogField { FirstOption, Path, Level };
// Opening the log for appending creates it when it is missing.
std::optional<PageComplaint<DataLogField>> checkDataLog(const DataLogEntries& entries);

enum class SecurityField { Password };
struct SecurityComplaint : PageComplaint<SecurityField> {
    bool clearEntries = false; // both password edits are emptied
};
std::optional<SecurityComplaint> checkSecurity(const SecurityEntries& entries);

// The complaint shown when another page uses the port.
inline constexpr const char* kPortInUseMessage = "The communications port is also used in other configuration section.";
inline constexpr const char* kPortInUseCaption = "Port in use";
