#pragma once
// The MAC Address page's proof of a data source for the MAC range database: the data
// source opens and holds the table RangoMAC with its four columns.
#include <string>

// Opens the data source (a name, or a connection string when it holds '=') and the
// RangoMAC record set with a filter that selects no row. True when both open; the
// connection's connection string goes to connectionString when given (see
// platform::dataSourceOfConnectionString for the name to keep). Database errors count
// as failure.
bool proveMacRangeDataSource(const std::string& dataSource, std::string* connectionString = nullptr);
