#pragma once
// What each configuration page shows and edits, read from and written to the settings
// store. Loading applies the pages' loading rules (options from their stored numbers,
// steps put back in range where the page asks it); saving writes every key of the page,
// changed or not. Numbers typed into fields are kept as text until saved, so that the
// page can refuse text that is not a number in range.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class SettingsStore;
}

// An assignment action as stored: 0..3 is the drop-down's index; another stored value
// shows no choice and is written back unchanged unless the operator picks one.
using AssignmentAction = int;
inline constexpr int kNoOption = -1; // no option of a page's group is chosen

struct GeneralEntries {
    std::string manufacturer;
    std::vector<std::string> ports;
    std::string terminalsDirectory;
    std::string applicationsDirectory;
};

struct SerialNumberEntries {
    AssignmentAction action = 0;
    int option = 0; // 0 sequentially, 1 by reading
    std::string next;
    std::string step;
};

struct MacAddressEntries {
    AssignmentAction action = 0;
    int option = 0; // 0 sequentially, 1 database query, 2 by reading
    std::string next;
    std::string step;
    std::string dataSource;
};

struct IpAddressEntries {
    AssignmentAction action = 0;
    int option = 0; // 0 sequentially, 1 by reading
    std::uint32_t next = 0; // first dotted field in the most significant byte
    std::string step;
    std::uint32_t mask = 0;
};

struct DatesEntries {
    AssignmentAction installation = 0;
    AssignmentAction batteries = 0;
    AssignmentAction manufacturing = 0;
};

struct ReadingEntries {
    int option = 0; // 0 keyboard only, 1 keyboard and serial reader, 2 keyboard and RS485 reader
    std::string port;
    std::string server;
    std::string readerNumber;
};

struct SigningToolEntries {
    int option = 0; // 0 not available, 1 on serial port, 2 by file
    std::string port;
    std::string keyFile;
    std::string keyNumber;
};

struct DataLogEntries {
    int option = 0; // 0 disabled, 1 enabled
    std::string path;
    int level = 0; // 0 errors only .. 4 operations and all data
};

struct SecurityEntries {
    bool enabled = false;
    std::string password;
    std::string repeated;
};

// The download ports of a Puertos value: pieces between commas without their trailing
// blanks, empty pieces skipped; leading blanks stay.
std::vector<std::string> splitPortList(std::string_view setting);
// The Puertos value of a port list: entries without trailing blanks, empties skipped,
// joined with "," and nothing else.
std::string joinPortList(const std::vector<std::string>& ports);

// The number a numeric field holds; false when its text is not a decimal integer
// (blanks around it are allowed).
bool readFieldNumber(std::string_view text, int& number);

GeneralEntries loadGeneralEntries(platform::SettingsStore& store);
SerialNumberEntries loadSerialNumberEntries(platform::SettingsStore& store);
MacAddressEntries loadMacAddressEntries(platform::SettingsStore& store);
IpAddressEntries loadIpAddressEntries(platform::SettingsStore& store);
DatesEntries loadDatesEntries(platform::SettingsStore& store);
ReadingEntries loadReadingEntries(platform::SettingsStore& store);
SigningToolEntries loadSigningToolEntries(platform::SettingsStore& store);
DataLogEntries loadDataLogEntries(platform::SettingsStore& store);
SecurityEntries loadSecurityEntries(platform::SettingsStore& store);

// Each is false when a key could not be written; the keys before it are written.
bool saveGeneralEntries(platform::SettingsStore& store, const GeneralEntries& entries);
bool saveSerialNumberEntries(platform::SettingsStore& store, const SerialNumberEntries& entries);
bool saveMacAddressEntries(platform::SettingsStore& store, const MacAddressEntries& entries);
bool saveIpAddressEntries(platform::SettingsStore& store, const IpAddressEntries& entries);
bool saveDatesEntries(platform::SettingsStore& store, const DatesEntries& entries);
bool saveReadingEntries(platform::SettingsStore& store, const ReadingEntries& entries);
bool saveSigningToolEntries(platform::SettingsStore& store, const SigningToolEntries& entries);
bool saveDataLogEntries(platform::SettingsStore& store, const DataLogEntries& entries);
bool saveSecurityEntries(platform::SettingsStore& store, const SecurityEntries& entries);
