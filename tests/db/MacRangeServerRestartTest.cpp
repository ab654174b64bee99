// A shared range database on a PostgreSQL server that goes away while the station
// runs: the request at that moment fails, and once the server is back the next request
// succeeds on a connection the document opens by itself; a restart between two requests
// costs none. Closing the document closes its connection.
#include "db/OdbcTestConfig.h"
#include "db/PostgresServer.h"
#include "db/RangeDatabases.h"
#include "db/StationOnDatabase.h"
#include "platform/OdbcConnection.h"
#include "platform/OdbcStatement.h"

#include <gtest/gtest.h>

namespace {

// The sessions of the station's user on the server other than the one asking.
int otherSessions(const PostgresServer& server)
{
    platform::OdbcConnection connection;
    connection.open(server.connectionString());
    platform::OdbcStatement statement(connection);
    statement.execute("SELECT count(*) FROM pg_stat_activity WHERE datname = 'ranges_restart' AND "
                      "pid <> pg_backend_pid()");
    return statement.fetch() ? static_cast<int>(statement.readInt64(1).value_or(-1)) : -1;
}

class MacRangeServerRestart : public ::testing::Test {
protected:
    void SetUp() override
    {
        odbctest::useOwnConfiguration();
        if (!PostgresServer::programDir())
            GTEST_SKIP() << "no PostgreSQL server installed below /usr/lib/postgresql";
        ASSERT_TRUE(server.ok() && server.start()) << server.failure();
        executeAll(server.connectionString(), {"CREATE DATABASE ranges_restart"});
        dataSource = server.connectionString("ranges_restart");
        executeAll(dataSource, {RangoMAC::kCreateTable, "INSERT INTO RangoMAC VALUES (672, 0, 1000, 0)"});
    }

    PostgresServer server;
    std::string dataSource;
};

TEST_F(MacRangeServerRestart, RequestWhileTheServerIsDownFailsAndTheNextOneAfterItSucceeds)
{
    StationOnDatabase s(dataSource);
    std::string mac;
    ASSERT_TRUE(s.macAddress(mac));
    EXPECT_EQ(mac, "0002A0000000");

    server.kill();
    mac = "untouched";
    EXPECT_FALSE(s.macAddress(mac)) << "the server is gone";
    EXPECT_EQ(mac, "untouched");
    EXPECT_FALSE(s.macAddress(mac)) << "still gone";

    ASSERT_TRUE(server.start()) << server.failure();
    ASSERT_TRUE(s.macAddress(mac)) << "the document reconnects by itself";
    EXPECT_EQ(mac, "0002A0000001");
    ASSERT_TRUE(s.macAddress(mac));
    EXPECT_EQ(mac, "0002A0000002");
    EXPECT_EQ(readRangeTable(dataSource)[0].siguiente, 3);
}

TEST_F(MacRangeServerRestart, ServerRestartedBetweenRequestsCostsNoRequest)
{
    StationOnDatabase s(dataSource);
    std::string mac;
    ASSERT_TRUE(s.macAddress(mac));
    server.kill();
    ASSERT_TRUE(server.start()) << server.failure();
    // The kept connection died with the server; the request continues on a new one.
    ASSERT_TRUE(s.macAddress(mac));
    EXPECT_EQ(mac, "0002A0000001");
    EXPECT_EQ(readRangeTable(dataSource)[0].siguiente, 2);
}

TEST_F(MacRangeServerRestart, ClosingTheDocumentClosesItsConnection)
{
    StationOnDatabase s(dataSource);
    EXPECT_EQ(otherSessions(server), 0) << "no connection before the first request";
    std::string mac;
    ASSERT_TRUE(s.macAddress(mac));
    ASSERT_TRUE(s.macAddress(mac));
    EXPECT_EQ(otherSessions(server), 1) << "one connection, kept between requests";
    s.doc.close(false);
    // The server ends the session a moment after the client leaves.
    int sessions = 1;
    for (int i = 0; i < 100 && sessions != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        sessions = otherSessions(server);
    }
    EXPECT_EQ(sessions, 0);
}

} // namespace
