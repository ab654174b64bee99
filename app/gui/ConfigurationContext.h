#pragma once
// What the pages of one configuration sheet share: the settings store, the way to speak
// to the operator, the port-conflict query between pages, and the checks that reach
// beyond the station (serial devices, the reader network server, the MAC range
// database). Tests replace the checks that need servers or databases.
#include "app/PortConflict.h"
#include "app/SerialPortCheck.h"
#include "comm/ReaderNetworkTest.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class SettingsStore;
}
class ConfigurationMessages;

struct ConfigurationContext {
    // Every check takes the station's own implementation.
    ConfigurationContext(platform::SettingsStore& store, ConfigurationMessages& messages);

    platform::SettingsStore& store;
    ConfigurationMessages& messages;
    PortConflictQuery ports;

    // The serial devices offered in the port drop-downs.
    std::function<std::vector<std::string>()> serialDevices;
    std::function<SerialPortVerdict(std::string_view port)> checkPort;
    std::function<BarcodeReader::ReaderNetworkVerdict(const std::string& server, int readerNumber)> testReaderNetwork;
    // Opens the MAC range table of a data source given by name; false on any failure.
    std::function<bool(const std::string& dataSource)> proveDataSource;
    // The data source the operator picks in the chooser (empty for none) and, on
    // success, the name to keep for it; false when it does not prove.
    std::function<bool(const std::string& chosen, std::string& name)> proveChosenDataSource;
};
