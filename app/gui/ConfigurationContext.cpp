#include "app/gui/ConfigurationContext.h"

#include "app/MacRangeDataSourceCheck.h"
#include "app/ReaderNetworkPort.h"
#include "app/SerialDeviceList.h"
#include "platform/OdbcDataSources.h"

ConfigurationContext::ConfigurationContext(platform::SettingsStore& settings, ConfigurationMessages& speaker)
    : store(settings), messages(speaker)
{
    serialDevices = [] { return presentSerialDevices(); };
    checkPort = [](std::string_view port) { return checkSerialPort(port); };
    testReaderNetwork = [](const std::string& server, int readerNumber) {
        return BarcodeReader::testReaderNetwork(server, readerNumber, readerNetworkTcpPort());
    };
    proveDataSource = [](const std::string& dataSource) { return proveMacRangeDataSource(dataSource); };
    proveChosenDataSource = [](const std::string& chosen, std::string& name) {
        std::string connection;
        if (!proveMacRangeDataSource(chosen, &connection))
            return false;
        name = platform::dataSourceOfConnectionString(connection.empty() ? chosen : connection);
        return true;
    };
}
