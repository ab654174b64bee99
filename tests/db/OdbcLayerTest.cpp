// The station's ODBC layer on real drivers: connections by data source name and by
// connection string, statements with their row counts, typed column reads, the
// driver's diagnostics in the one exception, and the data sources unixODBC knows.
#include "db/BackendFixture.h"
#include "platform/OdbcConnection.h"
#include "platform/OdbcDataSources.h"
#include "platform/OdbcError.h"
#include "platform/OdbcStatement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

namespace {

using platform::OdbcConnection;
using platform::OdbcError;
using platform::OdbcStatement;

using OdbcLayer = BackendTest;

TEST_P(OdbcLayer, StatementsReportTheRowsTheyChanged)
{
    OdbcConnection connection;
    connection.open(db().dataSource());
    ASSERT_TRUE(connection.isOpen());
    connection.execute("CREATE TABLE t (k INTEGER, v INTEGER)");
    EXPECT_EQ(connection.execute("INSERT INTO t (k, v) VALUES (1, 10), (2, 20), (3, 20)"), 3);
    EXPECT_EQ(connection.execute("UPDATE t SET v = v + 1 WHERE v = 20"), 2);
    EXPECT_EQ(connection.execute("UPDATE t SET v = 0 WHERE k = 99"), 0);
    EXPECT_EQ(connection.execute("DELETE FROM t WHERE k = 1"), 1);
}

TEST_P(OdbcLayer, ColumnsReadAsTheirTypesWithNullAsNothing)
{
    OdbcConnection connection;
    connection.open(db().dataSource());
    connection.execute("CREATE TABLE t (n INTEGER, b BIGINT, s VARCHAR(3000))");
    const std::string longText(2500, 'x');
    connection.execute("INSERT INTO t VALUES (-2147483648, 4294967296, 'ab''c'), (NULL, NULL, NULL), "
                       "(2147483647, -1, '" + longText + "')");
    OdbcStatement statement(connection);
    statement.execute("SELECT n, b, s FROM t ORDER BY n");
    std::vector<std::tuple<std::optional<std::int32_t>, std::optional<std::int64_t>, std::optional<std::string>>> rows;
    while (statement.fetch())
        rows.emplace_back(statement.readInt32(1), statement.readInt64(2), statement.readText(3));
    ASSERT_EQ(rows.size(), 3u);
    // NULL sorts first in SQLite and last in PostgreSQL; find each row by its number.
    auto row = [&](std::optional<std::int32_t> n) {
        return *std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return std::get<0>(r) == n; });
    };
    EXPECT_EQ(row(-2147483647 - 1), std::make_tuple(std::optional<std::int32_t>(-2147483647 - 1),
                                                    std::optional<std::int64_t>(4294967296LL),
                                                    std::optional<std::string>("ab'c")));
    const auto nulls = row(std::nullopt);
    EXPECT_FALSE(std::get<1>(nulls).has_value());
    EXPECT_FALSE(std::get<2>(nulls).has_value());
    EXPECT_EQ(std::get<2>(row(2147483647)), longText) << "a text longer than one piece comes whole";
    EXPECT_EQ(std::get<1>(row(2147483647)), -1);
}

TEST_P(OdbcLayer, FailuresThrowTheDriversDiagnostics)
{
    OdbcConnection connection;
    connection.open(db().dataSource());
    try {
        connection.execute("SELEC 1");
        FAIL() << "a statement the database cannot parse throws";
    } catch (const OdbcError& error) {
        EXPECT_EQ(error.sqlState().size(), 5u) << error.what();
        EXPECT_NE(std::string(error.what()).find("SQLExecDirect: ["), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("syntax error"), std::string::npos) << error.what();
    }
    EXPECT_THROW(connection.execute("UPDATE no_such_table SET x = 1"), OdbcError);
    // The connection survives the statements that failed.
    connection.execute("CREATE TABLE t (n INTEGER)");
    EXPECT_EQ(connection.execute("INSERT INTO t VALUES (1)"), 1);
}

TEST_P(OdbcLayer, ClosedConnectionRefusesWorkAndOpensAgain)
{
    OdbcConnection connection;
    EXPECT_FALSE(connection.isOpen());
    EXPECT_THROW(connection.execute("SELECT 1"), OdbcError);
    connection.open(db().dataSource());
    connection.execute("CREATE TABLE t (n INTEGER)");
    connection.close();
    EXPECT_FALSE(connection.isOpen());
    EXPECT_TRUE(connection.connectionString().empty());
    EXPECT_THROW(connection.execute("INSERT INTO t VALUES (1)"), OdbcError);
    EXPECT_THROW(OdbcStatement statement(connection), OdbcError);
    connection.close(); // closing a closed connection does nothing
    connection.open(db().dataSource());
    EXPECT_EQ(connection.execute("INSERT INTO t VALUES (1)"), 1) << "the table outlived the first connection";
}

INSTANTIATE_ON_EVERY_BACKEND(OdbcLayer);

TEST(OdbcConnection, OpensByDataSourceNameOrByConnectionString)
{
    odbctest::useOwnConfiguration();
    struct Case {
        std::string dataSource;
        std::string file; // the SQLite file the data source names
        std::string connectionStringStart;
    };
    const Case cases[] = {
        {odbctest::kUserDataSource, odbctest::userDataSourceFile(), std::string("DSN=") + odbctest::kUserDataSource},
        {odbctest::kSystemDataSource, odbctest::systemDataSourceFile(),
         std::string("DSN=") + odbctest::kSystemDataSource},
        {odbctest::sqliteConnectionString(odbctest::configurationDir() + "/direct.db"),
         odbctest::configurationDir() + "/direct.db", "Driver=SQLite3;Database="},
    };
    for (const Case& c : cases) {
        OdbcConnection connection;
        connection.open(c.dataSource);
        EXPECT_EQ(connection.connectionString().rfind(c.connectionStringStart, 0), 0u)
            << c.dataSource << ": " << connection.connectionString();
        connection.execute("CREATE TABLE IF NOT EXISTS marker (n INTEGER)");
        connection.close();
        EXPECT_TRUE(std::filesystem::exists(c.file)) << c.dataSource;
    }
}

TEST(OdbcConnection, UnknownDataSourcesThrowTheDriverManagersDiagnostics)
{
    odbctest::useOwnConfiguration();
    const struct {
        std::string dataSource;
        const char* state;
    } cases[] = {
        {"NoSuchRanges", "IM002"},                          // no such data source name
        {"Driver=NoSuchDriver;Database=/tmp/x.db", "01000"}, // the driver cannot be loaded
    };
    for (const auto& c : cases) {
        OdbcConnection connection;
        try {
            connection.open(c.dataSource);
            ADD_FAILURE() << c.dataSource << " opened";
        } catch (const OdbcError& error) {
            EXPECT_NE(std::string(error.what()).find(c.state), std::string::npos) << error.what();
        }
        EXPECT_FALSE(connection.isOpen());
    }
}

TEST(OdbcDataSources, ListsTheUsersAndTheSystemsDataSources)
{
    odbctest::useOwnConfiguration();
    std::vector<platform::OdbcDataSource> sources = platform::listOdbcDataSources();
    auto find = [&](const std::string& name) {
        return std::find_if(sources.begin(), sources.end(), [&](const auto& s) { return s.name == name; });
    };
    auto user = find(odbctest::kUserDataSource);
    auto system = find(odbctest::kSystemDataSource);
    ASSERT_NE(user, sources.end());
    ASSERT_NE(system, sources.end());
    EXPECT_FALSE(user->system);
    EXPECT_TRUE(system->system);
    EXPECT_LT(user - sources.begin(), system - sources.begin()) << "the user's come first";
    EXPECT_EQ(sources.size(), 2u) << "nothing from the machine's own configuration";
}

TEST(OdbcDataSources, DataSourceOfAConnectionStringIsItsDsnItem)
{
    const struct {
        const char* connectionString;
        const char* dataSource;
    } cases[] = {
        {"DSN=Ranges;UID=station;PWD=x", "Ranges"},
        {"UID=station;DSN=Shared Ranges;", "Shared Ranges"},
        {"dsn=lower;", "lower"},
        {"DSN=;Database=/tmp/r.db", "DSN=;Database=/tmp/r.db"}, // an empty item names nothing
        {"Driver=SQLite3;Database=/var/lib/orvane/macranges.db",
         "Driver=SQLite3;Database=/var/lib/orvane/macranges.db"}, // no DSN item: the whole text
        {"ODSN=x;Driver=y", "ODSN=x;Driver=y"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::dataSourceOfConnectionString(c.connectionString), c.dataSource) << c.connectionString;
}

} // namespace
