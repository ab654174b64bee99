#pragma once
// MAC addresses from the range table RangoMAC that stations share through an ODBC data
// source. The connection is opened by the first request and kept; the record set is
// bound to it. Each address is taken by an update whose condition repeats the value
// read, so two stations never hand out the same address.
#include "app/RangoMAC.h"
#include "platform/OdbcConnection.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>

class MacRangeDatabase {
public:
    // Rows selected: the ranges not used up; the first is the lowest oui, then primero.
    static constexpr const char* kUsableRanges = "siguiente >= primero and siguiente <= ultimo";
    static constexpr const char* kRangeOrder = "oui, primero ASC";
    // Times a value another station took between the read and the update is read again.
    static constexpr int kRetriesWhenTaken = 10;

    // Each statement on the database may run for statementTimeLimitSeconds; a request
    // that another session's lock on a range row holds up then fails instead of keeping
    // the station waiting.
    explicit MacRangeDatabase(
        int statementTimeLimitSeconds = platform::OdbcConnection::kDefaultStatementTimeLimitSeconds)
    {
        connection_.setStatementTimeLimit(statementTimeLimitSeconds);
    }
    ~MacRangeDatabase() { close(); }
    MacRangeDatabase(const MacRangeDatabase&) = delete;
    MacRangeDatabase& operator=(const MacRangeDatabase&) = delete;

    // The next address of the first usable range as 12 upper-case hexadecimal digits,
    // once the range's siguiente has been advanced past it. dataSource (a data source
    // name or a connection string) is used only when the connection is not open. False
    // when the database cannot be reached, every range is used up, or other stations kept
    // taking the value read. A database error closes the connection, so that the next
    // request connects afresh; on a connection kept from an earlier request (its server
    // may have restarted since) the request itself tries once more on a new connection.
    bool takeMacAddress(const std::string& dataSource, std::string& address);

    // Closes the record set, then the connection; errors are discarded.
    void close() noexcept;
    bool isOpen() const;

private:
    enum class Take { Taken, TakenByAnother, NoAddress };
    Take takeOnce(const std::string& dataSource, std::string& address);
    void closeLocked() noexcept;

    mutable std::mutex mutex_;
    platform::OdbcConnection connection_;
    std::unique_ptr<RangoMAC> ranges_; // bound to connection_
};

// The update that advances the range past the value read: "update RangoMAC set
// siguiente = siguiente + 1 where oui = ... and primero = ... and ultimo = ... and
// siguiente = ...", each number in decimal.
std::string macRangeUpdateStatement(const MacRange& range);

// The address a range row gives: oui and siguiente as six upper-case hexadecimal digits
// each. Nothing when either lies outside 24 bits or siguiente outside the range, since
// no digits written could then name an address of the range.
std::optional<std::string> macAddressOfRange(const MacRange& range);
