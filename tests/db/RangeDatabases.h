#pragma once
// The databases the MAC range tests run on: a SQLite file through the SQLite3 ODBC
// driver, and a database on a PostgreSQL server of the test program's own. Each test
// gets an empty database of its own holding the range table with the rows it gives.
#include "app/RangoMAC.h"
#include "db/PostgresServer.h"
#include "support/TempDir.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

enum class Backend { SQLite, PostgreSQL };
std::string backendName(Backend backend);
// How the test framework shows a backend in test names and messages.
inline void PrintTo(Backend backend, std::ostream* out)
{
    *out << backendName(backend);
}

// Runs each statement on a connection of its own to the data source.
void executeAll(const std::string& dataSource, const std::vector<std::string>& statements);
// The rows of the range table, ordered by oui and primero.
std::vector<MacRange> readRangeTable(const std::string& dataSource);

class RangeDatabase {
public:
    virtual ~RangeDatabase() = default;
    // A data source text for the station's DSN setting.
    virtual std::string dataSource() const = 0;
    // Statements that make the next `times` updates of a range row fail as if another
    // station had taken the value first: the row's siguiente is advanced, the station's
    // update changes no row.
    virtual std::vector<std::string> otherStationTakesFirst(int times) const = 0;

    // Creates the range table with the rows.
    void create(const std::vector<MacRange>& rows) const;
    std::vector<MacRange> rows() const { return readRangeTable(dataSource()); }
};

class SqliteRangeDatabase final : public RangeDatabase {
public:
    std::string dataSource() const override;
    std::vector<std::string> otherStationTakesFirst(int times) const override;
    const std::string& file() const { return file_; }

private:
    TempDir dir_;
    std::string file_ = dir_.file("ranges.db");
};

// A fresh database on the server.
class PostgresRangeDatabase final : public RangeDatabase {
public:
    explicit PostgresRangeDatabase(const PostgresServer& server);
    std::string dataSource() const override;
    std::vector<std::string> otherStationTakesFirst(int times) const override;

private:
    const PostgresServer& server_;
    std::string database_;
};

// The PostgreSQL server shared by the tests of one program, started on first use;
// nothing (with the reason) when it cannot run here.
const PostgresServer* sharedPostgresServer(std::string& whyNot);
