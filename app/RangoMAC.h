#pragma once
// The record set of the MAC range table RangoMAC on a database connection: each row is
// one range of addresses of one organisationally unique identifier (oui, the upper 24
// bits) whose lower 24 bits run from primero to ultimo; siguiente is the next lower
// value to hand out. The table is named without a schema, so the same statements run on
// every database that holds it. Failing calls throw platform::OdbcError.
#include "platform/OdbcStatement.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform {
class OdbcConnection;
}

struct MacRange {
    std::int32_t oui = 0;
    std::int32_t primero = 0;
    std::int32_t ultimo = 0;
    std::int32_t siguiente = 0;
};

class RangoMAC {
public:
    // The table's definition as the station expects it; every database named here
    // accepts this text.
    static constexpr const char* kCreateTable =
        "CREATE TABLE RangoMAC (oui INTEGER NOT NULL, primero INTEGER NOT NULL, ultimo INTEGER NOT NULL, "
        "siguiente INTEGER NOT NULL, PRIMARY KEY (oui, primero))";

    // Bound to the connection, which must stay open while the record set is open.
    explicit RangoMAC(platform::OdbcConnection& connection) : connection_(connection) {}

    // Condition and order of the rows, as SQL text; empty for none. They take effect at
    // the next open or requery.
    void setFilter(std::string filter) { filter_ = std::move(filter); }
    void setSort(std::string sort) { sort_ = std::move(sort); }

    // Runs the record set's query and moves to its first row. Only that row is read:
    // the cursor is closed at once, so the database holds no lock between requests.
    void open();
    // Runs the query again with the present filter and sort; opens a closed record set.
    void requery();
    bool isOpen() const { return statement_.has_value(); }
    void close() { statement_.reset(); current_.reset(); }

    // No current row: the query selected none.
    bool isEOF() const { return !current_.has_value(); }
    // The current row; only while !isEOF().
    const MacRange& current() const { return *current_; }

    // The query the record set runs: its columns, the table, the filter and the sort.
    std::string sql() const;

private:
    void readFirstRow();

    platform::OdbcConnection& connection_;
    std::string filter_;
    std::string sort_;
    std::optional<platform::OdbcStatement> statement_;
    std::optional<MacRange> current_;
};
