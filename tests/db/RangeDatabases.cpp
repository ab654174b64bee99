#include "db/RangeDatabases.h"

#include "db/OdbcTestConfig.h"
#include "platform/OdbcConnection.h"
#include "platform/OdbcStatement.h"

#include <atomic>

std::string backendName(Backend backend)
{
    return backend == Backend::SQLite ? "SQLite" : "PostgreSQL";
}

void executeAll(const std::string& dataSource, const std::vector<std::string>& statements)
{
    platform::OdbcConnection connection;
    connection.open(dataSource);
    for (const std::string& statement : statements)
        connection.execute(statement);
}

std::vector<MacRange> readRangeTable(const std::string& dataSource)
{
    platform::OdbcConnection connection;
    connection.open(dataSource);
    platform::OdbcStatement statement(connection);
    statement.execute("SELECT oui, primero, ultimo, siguiente FROM RangoMAC ORDER BY oui, primero");
    std::vector<MacRange> rows;
    while (statement.fetch())
        rows.push_back({statement.readInt32(1).value(), statement.readInt32(2).value(), statement.readInt32(3).value(),
                        statement.readInt32(4).value()});
    return rows;
}

void RangeDatabase::create(const std::vector<MacRange>& rows) const
{
    std::vector<std::string> statements = {RangoMAC::kCreateTable};
    for (const MacRange& r : rows)
        statements.push_back("INSERT INTO RangoMAC (oui, primero, ultimo, siguiente) VALUES (" + std::to_string(r.oui) +
                             ", " + std::to_string(r.primero) + ", " + std::to_string(r.ultimo) + ", " +
                             std::to_string(r.siguiente) + ")");
    executeAll(dataSource(), statements);
}

std::string SqliteRangeDatabase::dataSource() const
{
    odbctest::useOwnConfiguration();
    return odbctest::sqliteConnectionString(file_);
}

std::vector<std::string> SqliteRangeDatabase::otherStationTakesFirst(int times) const
{
    // Recursive triggers are off, so the trigger's own update does not fire it again;
    // RAISE(IGNORE) then drops the station's update of that row.
    return {"CREATE TABLE takes (n INTEGER)", "INSERT INTO takes VALUES (" + std::to_string(times) + ")",
            "CREATE TRIGGER other_station BEFORE UPDATE ON RangoMAC WHEN (SELECT n FROM takes) > 0 BEGIN "
            "UPDATE takes SET n = n - 1; "
            "UPDATE RangoMAC SET siguiente = siguiente + 1 WHERE oui = OLD.oui AND primero = OLD.primero; "
            "SELECT RAISE(IGNORE); END"};
}

PostgresRangeDatabase::PostgresRangeDatabase(const PostgresServer& server) : server_(server)
{
    static std::atomic<int> count{0};
    database_ = "ranges" + std::to_string(++count);
    executeAll(server_.connectionString(), {"CREATE DATABASE " + database_});
}

std::string PostgresRangeDatabase::dataSource() const
{
    return server_.connectionString(database_);
}

std::vector<std::string> PostgresRangeDatabase::otherStationTakesFirst(int times) const
{
    // The trigger's own update runs one level deeper and goes through; the station's
    // update of the row is skipped (the trigger answers NULL).
    return {"CREATE TABLE takes (n INTEGER)", "INSERT INTO takes VALUES (" + std::to_string(times) + ")",
            "CREATE OR REPLACE FUNCTION other_station() RETURNS trigger AS $$ BEGIN "
            "IF pg_trigger_depth() = 1 AND (SELECT n FROM takes) > 0 THEN "
            "UPDATE takes SET n = n - 1; "
            "UPDATE RangoMAC SET siguiente = siguiente + 1 WHERE oui = OLD.oui AND primero = OLD.primero; "
            "RETURN NULL; END IF; RETURN NEW; END $$ LANGUAGE plpgsql",
            "CREATE TRIGGER other_station BEFORE UPDATE ON RangoMAC FOR EACH ROW EXECUTE FUNCTION other_station()"};
}

const PostgresServer* sharedPostgresServer(std::string& whyNot)
{
    odbctest::useOwnConfiguration();
    static std::unique_ptr<PostgresServer> server;
    static std::string failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (!PostgresServer::programDir()) {
            failure = "no PostgreSQL server installed below /usr/lib/postgresql";
        } else {
            server = std::make_unique<PostgresServer>();
            if (!server->start()) {
                failure = server->failure();
                server.reset();
            }
        }
    }
    whyNot = failure;
    return server.get();
}
