// The MAC Address page's proof of a data source: it opens, and it holds the range table
// with its four columns; the name to keep comes from the connection string.
#include "app/MacRangeDataSourceCheck.h"
#include "db/BackendFixture.h"
#include "platform/OdbcDataSources.h"

#include <gtest/gtest.h>

namespace {

using MacRangeDataSourceCheck = BackendTest;

TEST_P(MacRangeDataSourceCheck, DataSourceHoldingTheRangeTablePasses)
{
    db().create({{672, 0, 10, 11}}); // a used-up range is still a range table
    std::string connectionString;
    EXPECT_TRUE(proveMacRangeDataSource(db().dataSource(), &connectionString));
    EXPECT_FALSE(connectionString.empty());
    EXPECT_EQ(db().rows()[0].siguiente, 11) << "proving reads nothing and changes nothing";
}

TEST_P(MacRangeDataSourceCheck, DataSourceWithoutAProperRangeTableFails)
{
    const std::vector<std::string> tables[] = {
        {},                                                                               // no table at all
        {"CREATE TABLE RangoMAC (oui INTEGER, primero INTEGER, ultimo INTEGER)"},        // a column missing
        {"CREATE TABLE RangosMAC (oui INTEGER, primero INTEGER, ultimo INTEGER, siguiente INTEGER)"}, // other name
    };
    for (const auto& statements : tables) {
        executeAll(db().dataSource(), {"DROP TABLE IF EXISTS RangoMAC", "DROP TABLE IF EXISTS RangosMAC"});
        executeAll(db().dataSource(), statements);
        EXPECT_FALSE(proveMacRangeDataSource(db().dataSource())) << (statements.empty() ? "none" : statements[0]);
    }
}

INSTANTIATE_ON_EVERY_BACKEND(MacRangeDataSourceCheck);

TEST(MacRangeDataSourceCheckByName, NameToKeepComesFromTheConnectionString)
{
    odbctest::useOwnConfiguration();
    SqliteRangeDatabase direct;
    direct.create({{672, 0, 10, 0}});
    executeAll(odbctest::kUserDataSource, {"DROP TABLE IF EXISTS RangoMAC", RangoMAC::kCreateTable});

    const struct {
        std::string dataSource;
        bool ok;
        std::string kept; // what the page puts into its DSN field
    } cases[] = {
        {odbctest::kUserDataSource, true, odbctest::kUserDataSource},
        {direct.dataSource(), true, direct.dataSource()},
        {"NoSuchRanges", false, ""},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        std::string connectionString;
        EXPECT_EQ(proveMacRangeDataSource(c.dataSource, &connectionString), c.ok) << c.dataSource;
        if (c.ok) {
            EXPECT_EQ(platform::dataSourceOfConnectionString(connectionString), c.kept) << connectionString;
        }
    }
}

} // namespace
