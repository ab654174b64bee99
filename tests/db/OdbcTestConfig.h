#pragma once
// The ODBC configuration of the database tests' own: ODBCSYSINI and ODBCINI point at
// files in a directory of this test program, written once before the first use of
// ODBC (the driver manager reads the variables once per process), and inherited by
// every forked worker and child process. The driver list turns the drivers' own logs
// off, so that no test leaves log files in /tmp.
#include <string>

namespace odbctest {

// Sets the configuration up on the first call; later calls do nothing.
void useOwnConfiguration();

// The directory holding odbcinst.ini and odbc.ini (system data sources) and user.ini
// (the user's data sources).
const std::string& configurationDir();

// Data sources of the configuration: SQLite files in the configuration directory, one
// known to the user, one to the system.
constexpr const char* kUserDataSource = "OrvaneRangesUser";
constexpr const char* kSystemDataSource = "OrvaneRangesSystem";
std::string userDataSourceFile();
std::string systemDataSourceFile();

// A connection string for a SQLite file through the SQLite3 ODBC driver.
std::string sqliteConnectionString(const std::string& file);

} // namespace odbctest
