#pragma once
// One statement on an open OdbcConnection: runs SQL, then hands out the result rows one
// by one with typed reads of their columns. Every failing call throws OdbcError with
// the driver's diagnostics. The statement must go before its connection closes.
#include "platform/OdbcHandle.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class OdbcConnection;

class OdbcStatement {
public:
    // Bounded by the connection's statement time limit. Throws OdbcError when the
    // connection is not open.
    explicit OdbcStatement(const OdbcConnection& connection);
    ~OdbcStatement() = default;
    OdbcStatement(OdbcStatement&&) noexcept = default;
    OdbcStatement& operator=(OdbcStatement&&) noexcept = default;
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    // Runs the SQL text; a result set left open by an earlier run is closed first.
    void execute(std::string_view sql);
    // Rows changed by the last statement run (-1 when the driver cannot tell).
    long long affectedRows() const;

    // Moves to the next row of the result; false when there is none.
    bool fetch();
    // The current row's column (counted from 1) as a number or as text; nothing for NULL.
    // A value that does not fit the type, or text that is not a number, throws.
    std::optional<std::int32_t> readInt32(int column);
    std::optional<std::int64_t> readInt64(int column);
    std::optional<std::string> readText(int column);
    // Ends the result early, so that the data source holds no cursor between runs.
    void closeCursor();

private:
    OdbcHandle statement_;
};

} // namespace platform
