#pragma once
// The one exception of the ODBC layer: a call the driver manager or the driver refused,
// carrying the driver's diagnostic records as text.
#include <stdexcept>
#include <string>

namespace platform {

class OdbcError : public std::runtime_error {
public:
    // what() holds every diagnostic record as "[SQLSTATE] message", one per line, after
    // the name of the call that failed.
    OdbcError(const std::string& text, std::string sqlState)
        : std::runtime_error(text), sqlState_(std::move(sqlState))
    {
    }

    // The first record's five-character SQLSTATE; empty when the driver gave none.
    const std::string& sqlState() const { return sqlState_; }

private:
    std::string sqlState_;
};

} // namespace platform
