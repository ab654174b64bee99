#pragma once
// A PostgreSQL server of a test's own: a new cluster made by initdb in a temporary
// directory, listening only on a free TCP port of 127.0.0.1, trusted superuser
// "orvane". As root (initdb refuses root) the cluster belongs to, and the server runs
// as, an unprivileged user (postgres, else nobody). The server is stopped and the
// directory removed when the owner goes.
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <memory>
#include <optional>
#include <string>

class PostgresServer {
public:
    // The directory of the newest installed server's programs; nothing when none is
    // installed.
    static std::optional<std::string> programDir();

    // Makes the cluster (it does not start the server); see ok() and failure().
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool ok() const { return failure_.empty(); }
    // What went wrong, with the server's log when there is one.
    std::string failure() const;

    // Starts the server and waits until it accepts connections (bounded); false on
    // failure (see failure()). A server killed a moment ago may still be releasing its
    // shared memory: the start is retried until the bound.
    bool start();
    // Kills the server at once (SIGKILL), as a crash would, and waits for it to end.
    void kill();
    // Stops the server with a fast shutdown and waits for it to end.
    void stop();

    int port() const { return port_; }
    // A connection string to the database through the PostgreSQL ODBC driver.
    std::string connectionString(const std::string& database = "postgres") const;

private:
    bool run(const std::vector<std::string>& command, const std::string& logName);
    std::vector<std::string> asServerUser(std::vector<std::string> command) const;
    bool acceptsConnections();

    TempDir dir_;
    std::string programs_;
    std::string user_; // empty: run as ourselves
    int port_ = 0;
    std::unique_ptr<ChildProcess> server_;
    std::string failure_;
};
