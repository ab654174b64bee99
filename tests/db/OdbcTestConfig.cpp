#include "db/OdbcTestConfig.h"

#include "support/TempDir.h"

#include <cstdlib>
#include <dlfcn.h>
#include <memory>
#include <mutex>

namespace odbctest {

namespace {

std::unique_ptr<TempDir>& directory()
{
    static std::unique_ptr<TempDir> dir;
    return dir;
}

void writeConfiguration(const TempDir& dir)
{
    // The drivers by the names the system's list gives them; the driver manager finds
    // them in its own library directory.
    dir.write("odbcinst.ini", "[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=libsqlite3odbc.so\n\n"
                              "[PostgreSQL]\nDescription=PostgreSQL ODBC driver\nDriver=psqlodbcw.so\n"
                              "Debug=0\nCommLog=0\n");
    dir.write("odbc.ini", std::string("[") + kSystemDataSource + "]\nDescription=ranges known to the system\n" +
                              "Driver=SQLite3\nDatabase=" + dir.file("system-ranges.db") + "\n");
    dir.write("user.ini", std::string("[") + kUserDataSource + "]\nDescription=ranges known to the user\n" +
                              "Driver=SQLite3\nDatabase=" + dir.file("user-ranges.db") + "\n");
}

} // namespace

void useOwnConfiguration()
{
    static std::once_flag once;
    std::call_once(once, [] {
        directory() = std::make_unique<TempDir>();
        writeConfiguration(*directory());
        ::setenv("ODBCSYSINI", directory()->path().c_str(), 1);
        ::setenv("ODBCINI", directory()->file("user.ini").c_str(), 1);
        // The driver manager loads its configuration library for a data source looked up
        // by name and unloads it afterwards, leaving the library's lasting cache of the
        // configuration files unreachable: a leak checker reports it. Kept loaded for the
        // whole test program, the cache stays in reach.
        ::dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_NODELETE);
    });
}

const std::string& configurationDir()
{
    useOwnConfiguration();
    return directory()->path();
}

std::string userDataSourceFile()
{
    return configurationDir() + "/user-ranges.db";
}

std::string systemDataSourceFile()
{
    return configurationDir() + "/system-ranges.db";
}

std::string sqliteConnectionString(const std::string& file)
{
    return "Driver=SQLite3;Database=" + file;
}

} // namespace odbctest
