#include "platform/OdbcConnection.h"

#include "platform/OdbcError.h"
#include "platform/OdbcStatement.h"

#include <sql.h>
#include <sqlext.h>


namespace platform {

namespace {

OdbcHandle makeEnvironment()
{
    OdbcHandle environment(SQL_HANDLE_ENV, nullptr);
    environment.check(SQLSetEnvAttr(environment.get(), SQL_ATTR_ODBC_VERSION,
                                    reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0),
                      "SQLSetEnvAttr");
    return environment;
}

SQLCHAR* sqlText(const std::string& text)
{
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str()));
}

} // namespace

OdbcConnection::~OdbcConnection()
{
    closeQuietly();
}

void OdbcConnection::open(const std::string& dataSource, int loginTimeoutSeconds)
{
    closeQuietly();
    OdbcHandle environment = makeEnvironment();
    OdbcHandle connection(SQL_HANDLE_DBC, &environment);
    connection.check(SQLSetConnectAttr(connection.get(), SQL_ATTR_LOGIN_TIMEOUT,
                                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(loginTimeoutSeconds)), 0),
                     "SQLSetConnectAttr");
    if (dataSource.find('=') != std::string::npos)
        connection.check(SQLDriverConnect(connection.get(), nullptr, sqlText(dataSource), SQL_NTS, nullptr, 0, nullptr,
                                          SQL_DRIVER_NOPROMPT),
                         "SQLDriverConnect");
    else
        connection.check(SQLConnect(connection.get(), sqlText(dataSource), SQL_NTS, nullptr, 0, nullptr, 0),
                         "SQLConnect");
    environment_ = std::move(environment);
    connection_ = std::move(connection);
    connected_ = true;
    // What opened it, not the driver's completion: some drivers complete a connection
    // by driver and file with an empty DSN item and without the driver.
    connectionString_ = dataSource.find('=') != std::string::npos ? dataSource : "DSN=" + dataSource;
    // Each statement is its own transaction, as the data source's default has it; said
    // here so that no driver setting can leave a transaction open between requests.
    connection_.check(SQLSetConnectAttr(connection_.get(), SQL_ATTR_AUTOCOMMIT,
                                        reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_AUTOCOMMIT_ON)), 0),
                      "SQLSetConnectAttr");
}

void OdbcConnection::close()
{
    if (!connected_) {
        closeQuietly();
        return;
    }
    SQLRETURN rc = SQLDisconnect(connection_.get());
    std::string state;
    std::string text;
    if (SQL_SUCCEEDED(rc))
        connected_ = false;
    else
        text = connection_.diagnostics(&state);
    closeQuietly();
    if (!SQL_SUCCEEDED(rc))
        throw OdbcError("SQLDisconnect: " + (text.empty() ? std::string("the driver gave no diagnostics") : text), state);
}

void OdbcConnection::closeQuietly() noexcept
{
    if (connected_ && !SQL_SUCCEEDED(SQLDisconnect(connection_.get()))) {
        // A transaction the driver still holds open keeps the connection from closing:
        // give it up, then disconnect again.
        SQLEndTran(SQL_HANDLE_DBC, connection_.get(), SQL_ROLLBACK);
        SQLDisconnect(connection_.get());
    }
    connected_ = false;
    connectionString_.clear();
    connection_.reset();
    environment_.reset();
}

long long OdbcConnection::execute(std::string_view sql)
{
    OdbcStatement statement(*this);
    statement.execute(sql);
    return statement.affectedRows();
}

const OdbcHandle& OdbcConnection::handle() const
{
    if (!connected_)
        throw OdbcError("the connection is not open", "08003");
    return connection_;
}

} // namespace platform
