#pragma once
// One connection to an ODBC data source through unixODBC. Closed at construction;
// every failing call throws OdbcError with the driver's diagnostics. Statements made
// on it (OdbcStatement) must go before the connection closes or goes.
#include "platform/OdbcHandle.h"

#include <string>
#include <string_view>

namespace platform {

class OdbcConnection {
public:
    // How long opening a connection may take before the driver gives up, in seconds.
    static constexpr int kDefaultLoginTimeoutSeconds = 15;
    // How long one statement may run (waiting for a lock another session holds
    // included) before the driver gives it up with an error, in seconds.
    static constexpr int kDefaultStatementTimeLimitSeconds = 10;

    OdbcConnection() = default;
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    // Connects to a data source name (looked up in the user's and the system's ODBC
    // configuration) or, when the text holds '=', to a full connection string such as
    // "Driver=SQLite3;Database=/var/lib/orvane/macranges.db". The connection commits
    // every statement by itself. A connection that is open is closed first.
    void open(const std::string& dataSource, int loginTimeoutSeconds = kDefaultLoginTimeoutSeconds);
    bool isOpen() const { return connected_; }
    // Disconnects and frees the handles. Always ends closed; throws OdbcError afterwards
    // when the driver reported an error while disconnecting.
    void close();

    // Runs one statement that returns no rows; the number of rows it changed (-1 when
    // the driver cannot tell).
    long long execute(std::string_view sql);

    // The time limit of the statements made on this connection from now on, in seconds;
    // 0 leaves them without one. Drivers that cannot bound a statement ignore it.
    void setStatementTimeLimit(int seconds) { statementTimeLimitSeconds_ = seconds; }
    int statementTimeLimit() const { return statementTimeLimitSeconds_; }

    // The connection string of the open connection: "DSN=name" for a data source opened
    // by name, else the connection string as given; empty while closed.
    const std::string& connectionString() const { return connectionString_; }

    // For OdbcStatement: the connection handle; throws OdbcError while closed.
    const OdbcHandle& handle() const;

private:
    void closeQuietly() noexcept;

    OdbcHandle environment_;
    OdbcHandle connection_;
    bool connected_ = false;
    std::string connectionString_;
    int statementTimeLimitSeconds_ = kDefaultStatementTimeLimitSeconds;
};

} // namespace platform
