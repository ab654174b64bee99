#include "platform/OdbcStatement.h"

#include "platform/OdbcConnection.h"

#include <sql.h>
#include <sqlext.h>

#include <string>

namespace platform {

OdbcStatement::OdbcStatement(const OdbcConnection& connection) : statement_(SQL_HANDLE_STMT, &connection.handle())
{
    // Without a limit a statement waits for as long as another session holds the rows it
    // needs. A driver that cannot bound statements refuses the attribute; its statements
    // then run as before, so the refusal is not an error here.
    if (int seconds = connection.statementTimeLimit(); seconds > 0)
        SQLSetStmtAttr(statement_.get(), SQL_ATTR_QUERY_TIMEOUT,
                       reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds)), 0);
}

void OdbcStatement::execute(std::string_view sql)
{
    closeCursor();
    std::string text(sql);
    SQLRETURN rc = SQLExecDirect(statement_.get(), reinterpret_cast<SQLCHAR*>(text.data()),
                                 static_cast<SQLINTEGER>(text.size()));
    statement_.check(rc, "SQLExecDirect");
}

long long OdbcStatement::affectedRows() const
{
    SQLLEN rows = -1;
    statement_.check(SQLRowCount(statement_.get(), &rows), "SQLRowCount");
    return rows;
}

bool OdbcStatement::fetch()
{
    SQLRETURN rc = SQLFetch(statement_.get());
    statement_.check(rc, "SQLFetch");
    return rc != SQL_NO_DATA;
}

std::optional<std::int32_t> OdbcStatement::readInt32(int column)
{
    SQLINTEGER value = 0;
    SQLLEN indicator = 0;
    statement_.check(SQLGetData(statement_.get(), static_cast<SQLUSMALLINT>(column), SQL_C_SLONG, &value, 0, &indicator),
                     "SQLGetData");
    if (indicator == SQL_NULL_DATA)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::optional<std::int64_t> OdbcStatement::readInt64(int column)
{
    SQLBIGINT value = 0;
    SQLLEN indicator = 0;
    statement_.check(
        SQLGetData(statement_.get(), static_cast<SQLUSMALLINT>(column), SQL_C_SBIGINT, &value, 0, &indicator),
        "SQLGetData");
    if (indicator == SQL_NULL_DATA)
        return std::nullopt;
    return static_cast<std::int64_t>(value);
}

std::optional<std::string> OdbcStatement::readText(int column)
{
    // Long values come in pieces: each call fills the buffer and says what is left.
    std::string text;
    char buffer[1024];
    for (;;) {
        SQLLEN indicator = 0;
        SQLRETURN rc = SQLGetData(statement_.get(), static_cast<SQLUSMALLINT>(column), SQL_C_CHAR, buffer,
                                  sizeof buffer, &indicator);
        if (rc == SQL_NO_DATA)
            break;
        statement_.check(rc, "SQLGetData");
        if (indicator == SQL_NULL_DATA)
            return std::nullopt;
        if (rc == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer))) {
            text.append(buffer, sizeof buffer - 1); // the piece ends with its terminator
            continue;
        }
        text.append(buffer, static_cast<std::size_t>(indicator));
        break;
    }
    return text;
}

void OdbcStatement::closeCursor()
{
    // SQL_CLOSE on a statement without a cursor is harmless, unlike SQLCloseCursor.
    statement_.check(SQLFreeStmt(statement_.get(), SQL_CLOSE), "SQLFreeStmt");
}

} // namespace platform
