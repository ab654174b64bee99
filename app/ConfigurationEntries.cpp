#include "app/ConfigurationEntries.h"

#include "app/PasswordEncoding.h"
#include "platform/SettingsStore.h"

#include <charconv>

namespace {

bool inStepRange(int step) { return step >= 1 && step <= 99; }

// A step field's text; out of range it becomes 1 when the step field is not in use.
std::string stepText(std::int32_t stored, bool stepInUse)
{
    return std::to_string(!stepInUse && !inStepRange(stored) ? 1 : stored);
}

// Writes a numeric field when it holds a number; text that is none was refused before.
bool writeFieldNumber(platform::SettingsStore& store, std::string_view key, std::string_view text)
{
    int number = 0;
    return !readFieldNumber(text, number) || store.writeInt(key, number);
}

// The stored choice of a group of options numbered from 0; a value naming none of them
// is the first.
int readChoice(platform::SettingsStore& store, std::string_view key, int choices)
{
    const int stored = store.readInt(key);
    return stored >= 0 && stored < choices ? stored : 0;
}

} // namespace

std::vector<std::string> splitPortList(std::string_view setting)
{
    std::vector<std::string> ports;
    std::size_t start = 0;
    while (start <= setting.size()) {
        const auto comma = setting.find(',', start);
        const auto end = comma == std::string_view::npos ? setting.size() : comma;
        std::string piece = trimTrailingBlanks(setting.substr(start, end - start));
        if (!piece.empty())
            ports.push_back(std::move(piece));
        start = end + 1;
    }
    return ports;
}

std::string joinPortList(const std::vector<std::string>& ports)
{
    std::string joined;
    for (const auto& port : ports) {
        const std::string piece = trimTrailingBlanks(port);
        if (piece.empty())
            continue;
        if (!joined.empty())
            joined += ',';
        joined += piece;
    }
    return joined;
}

bool readFieldNumber(std::string_view text, int& number)
{
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return false;
    text = text.substr(first, last - first + 1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return false;
    number = value;
    return true;
}

GeneralEntries loadGeneralEntries(platform::SettingsStore& store)
{
    return {store.readString("Manufacturer"), splitPortList(store.readString("Puertos")), store.readString("DirEqui"),
            store.readString("DirAplic")};
}

bool saveGeneralEntries(platform::SettingsStore& store, const GeneralEntries& entries)
{
    return store.write("Manufacturer", entries.manufacturer) && store.write("Puertos", joinPortList(entries.ports))
        && store.write("DirEqui", entries.terminalsDirectory) && store.write("DirAplic", entries.applicationsDirectory);
}

SerialNumberEntries loadSerialNumberEntries(platform::SettingsStore& store)
{
    SerialNumberEntries entries;
    entries.action = store.readInt("AccionSerie");
    entries.option = readChoice(store, "NumeroSerieRadio", 2);
    entries.next = store.readString("ProximoNS");
    entries.step = stepText(store.readInt("SaltoNS", 1), entries.option == 0);
    return entries;
}

bool saveSerialNumberEntries(platform::SettingsStore& store, const SerialNumberEntries& entries)
{
    return store.writeInt("AccionSerie", entries.action) && store.writeInt("NumeroSerieRadio", entries.option)
        && store.write("ProximoNS", entries.next) && writeFieldNumber(store, "SaltoNS", entries.step);
}

MacAddressEntries loadMacAddressEntries(platform::SettingsStore& store)
{
    MacAddressEntries entries;
    entries.action = store.readInt("AccionMAC");
    entries.option = readChoice(store, "DireccionMACRadio", 3);
    entries.next = store.readString("ProximoMAC");
    entries.step = stepText(store.readInt("SaltoMAC", 1), entries.option == 0);
    entries.dataSource = store.readString("DSN");
    return entries;
}

bool saveMacAddressEntries(platform::SettingsStore& store, const MacAddressEntries& entries)
{
    return store.writeInt("AccionMAC", entries.action) && store.writeInt("DireccionMACRadio", entries.option)
        && store.write("ProximoMAC", entries.next) && writeFieldNumber(store, "SaltoMAC", entries.step)
        && store.write("DSN", entries.dataSource);
}

IpAddressEntries loadIpAddressEntries(platform::SettingsStore& store)
{
    IpAddressEntries entries;
    entries.action = store.readInt("AccionIP");
    entries.option = readChoice(store, "DireccionIPRadio", 2);
    entries.next = static_cast<std::uint32_t>(store.readInt("ProximoIP"));
    entries.step = stepText(store.readInt("SaltoIP", 1), entries.option == 0);
    entries.mask = static_cast<std::uint32_t>(store.readInt("NetMask"));
    return entries;
}

bool saveIpAddressEntries(platform::SettingsStore& store, const IpAddressEntries& entries)
{
    // Addresses are written unsigned, as they read in dotted form; the store takes
    // them modulo 2^32.
    return store.writeInt("AccionIP", entries.action) && store.writeInt("DireccionIPRadio", entries.option)
        && store.write("ProximoIP", std::to_string(entries.next)) && writeFieldNumber(store, "SaltoIP", entries.step)
        && store.write("NetMask", std::to_string(entries.mask));
}

DatesEntries loadDatesEntries(platform::SettingsStore& store)
{
    return {store.readInt("AccionFInstalacion"), store.readInt("AccionFBaterias"), store.readInt("AccionFFabricacion")};
}

bool saveDatesEntries(platform::SettingsStore& store, const DatesEntries& entries)
{
    return store.writeInt("AccionFInstalacion", entries.installation)
        && store.writeInt("AccionFBaterias", entries.batteries)
        && store.writeInt("AccionFFabricacion", entries.manufacturing);
}

ReadingEntries loadReadingEntries(platform::SettingsStore& store)
{
    ReadingEntries entries;
    entries.option = readChoice(store, "LecturaRadio", 3);
    entries.port = store.readString("LecturaPuerto");
    entries.server = store.readString("LecturaServidor");
    entries.readerNumber = std::to_string(store.readInt("LecturaNumLector"));
    return entries;
}

bool saveReadingEntries(platform::SettingsStore& store, const ReadingEntries& entries)
{
    return store.writeInt("LecturaRadio", entries.option) && store.write("LecturaPuerto", entries.port)
        && store.write("LecturaServidor", entries.server)
        && writeFieldNumber(store, "LecturaNumLector", entries.readerNumber);
}

SigningToolEntries loadSigningToolEntries(platform::SettingsStore& store)
{
    SigningToolEntries entries;
    entries.option = readChoice(store, "FirmadorRadio", 3);
    entries.port = store.readString("FirmadorPuerto");
    entries.keyFile = store.readString("FirmadorArchivo");
    entries.keyNumber = store.readString("FirmadorClave");
    return entries;
}

bool saveSigningToolEntries(platform::SettingsStore& store, const SigningToolEntries& entries)
{
    return store.writeInt("FirmadorRadio", entries.option) && store.write("FirmadorPuerto", entries.port)
        && store.write("FirmadorArchivo", entries.keyFile) && store.write("FirmadorClave", entries.keyNumber);
}

DataLogEntries loadDataLogEntries(platform::SettingsStore& store)
{
    DataLogEntries entries;
    entries.option = readChoice(store, "RegistroRadio", 2);
    entries.path = store.readString("Registro");
    entries.level = readChoice(store, "RegistroNivel", 5);
    return entries;
}

bool saveDataLogEntries(platform::SettingsStore& store, const DataLogEntries& entries)
{
    return store.writeInt("RegistroRadio", entries.option) && store.write("Registro", entries.path)
        && store.writeInt("RegistroNivel", entries.level);
}

SecurityEntries loadSecurityEntries(platform::SettingsStore& store)
{
    const std::string password = decodePassword(trimTrailingBlanks(store.readString("Password")));
    if (password == kSecurityDisabledMarker)
        return {false, {}, {}};
    return {true, password, password};
}

bool saveSecurityEntries(platform::SettingsStore& store, const SecurityEntries& entries)
{
    const std::string password =
        entries.enabled ? trimTrailingBlanks(entries.password) : std::string(kSecurityDisabledMarker);
    return store.write("Password", encodePassword(password));
}
