#include "app/MacRangeDataSourceCheck.h"

#include "app/RangoMAC.h"
#include "platform/OdbcConnection.h"
#include "platform/OdbcError.h"

bool proveMacRangeDataSource(const std::string& dataSource, std::string* connectionString)
{
    if (dataSource.empty())
        return false;
    try {
        platform::OdbcConnection connection;
        connection.open(dataSource);
        {
            RangoMAC ranges(connection);
            ranges.setFilter("0 <> 0");
            ranges.open();
        }
        if (connectionString)
            *connectionString = connection.connectionString();
        return true;
    } catch (const platform::OdbcError&) {
        return false;
    }
}
