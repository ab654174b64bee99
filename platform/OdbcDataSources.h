#pragma once
// The ODBC data sources unixODBC knows, for the operator's chooser of the MAC range
// database, and the data source named by a connection string.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct OdbcDataSource {
    std::string name;
    std::string description; // the driver's description as configured
    bool system = false;     // from the system's configuration, else the user's
};

// The user's data sources, then the system's, each in the driver manager's order.
// Throws OdbcError when the driver manager cannot be asked.
std::vector<OdbcDataSource> listOdbcDataSources();

// The value of the "DSN=" item among the ';'-separated items of a connection string
// (the keyword in any letter case); the whole connection string when it has no such
// item or the item is empty, as for a connection made by driver and file alone.
std::string dataSourceOfConnectionString(std::string_view connectionString);

} // namespace platform
