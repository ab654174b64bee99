#include "platform/OdbcDataSources.h"

#include "platform/OdbcError.h"
#include "platform/OdbcHandle.h"

#include <sql.h>
#include <sqlext.h>

#include <cctype>

namespace platform {

namespace {

void appendDataSources(const OdbcHandle& environment, SQLUSMALLINT first, bool system,
                       std::vector<OdbcDataSource>& sources)
{
    SQLUSMALLINT direction = first;
    for (;;) {
        SQLCHAR name[SQL_MAX_DSN_LENGTH + 1] = {};
        SQLCHAR description[1024] = {};
        SQLSMALLINT nameLength = 0, descriptionLength = 0;
        SQLRETURN rc = SQLDataSources(environment.get(), direction, name, sizeof name, &nameLength, description,
                                      sizeof description, &descriptionLength);
        if (rc == SQL_NO_DATA)
            return;
        environment.check(rc, "SQLDataSources");
        sources.push_back({reinterpret_cast<const char*>(name), reinterpret_cast<const char*>(description), system});
        direction = SQL_FETCH_NEXT;
    }
}

bool startsWithKeyword(std::string_view item, std::string_view keyword)
{
    if (item.size() < keyword.size())
        return false;
    for (std::size_t i = 0; i < keyword.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(item[i])) != keyword[i])
            return false;
    return true;
}

} // namespace

std::vector<OdbcDataSource> listOdbcDataSources()
{
    OdbcHandle environment(SQL_HANDLE_ENV, nullptr);
    environment.check(SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION,
                                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0),
                      "SQLSetEnvAttr");
    std::vector<OdbcDataSource> sources;
    appendDataSources(environment, SQL_FETCH_FIRST_USER, false, sources);
    appendDataSources(environment, SQL_FETCH_FIRST_SYSTEM, true, sources);
    return sources;
}

std::string dataSourceOfConnectionString(std::string_view connectionString)
{
    constexpr std::string_view keyword = "DSN=";
    std::size_t start = 0;
    while (start <= connectionString.size()) {
        std::size_t end = connectionString.find(';', start);
        if (end == std::string_view::npos)
            end = connectionString.size();
        std::string_view item = connectionString.substr(start, end - start);
        if (startsWithKeyword(item, keyword) && item.size() > keyword.size())
            return std::string(item.substr(keyword.size()));
        start = end + 1;
    }
    return std::string(connectionString);
}

} // namespace platform
