#include "platform/OdbcHandle.h"

#include "platform/OdbcError.h"

#include <sql.h>
#include <sqlext.h>

namespace platform {

OdbcHandle::OdbcHandle(short type, const OdbcHandle* parent) : type_(type)
{
    SQLHANDLE input = parent ? parent->get() : SQL_NULL_HANDLE;
    SQLHANDLE output = SQL_NULL_HANDLE;
    SQLRETURN rc = SQLAllocHandle(type, input, &output);
    if (!SQL_SUCCEEDED(rc)) {
        if (parent)
            parent->check(SQL_ERROR, "SQLAllocHandle");
        throw OdbcError("SQLAllocHandle: the driver manager allocated no handle", "");
    }
    handle_ = output;
}

OdbcHandle& OdbcHandle::operator=(OdbcHandle&& other) noexcept
{
    if (this != &other) {
        reset();
        type_ = other.type_;
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

void OdbcHandle::reset() noexcept
{
    if (handle_)
        SQLFreeHandle(type_, std::exchange(handle_, nullptr));
}

void OdbcHandle::check(short returnCode, const char* call) const
{
    if (SQL_SUCCEEDED(returnCode) || returnCode == SQL_NO_DATA)
        return;
    std::string state;
    std::string text = diagnostics(&state);
    if (returnCode == SQL_INVALID_HANDLE)
        text = "invalid handle";
    else if (text.empty())
        text = "the driver gave no diagnostics";
    throw OdbcError(std::string(call) + ": " + text, state);
}

std::string OdbcHandle::diagnostics(std::string* firstState) const
{
    std::string text;
    if (!handle_)
        return text;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
        SQLINTEGER nativeError = 0;
        SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {};
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRec(type_, handle_, record, state, &nativeError, message, sizeof message, &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        if (record == 1 && firstState)
            *firstState = reinterpret_cast<const char*>(state);
        if (!text.empty())
            text += '\n';
        text += "[";
        text += reinterpret_cast<const char*>(state);
        text += "] ";
        text += reinterpret_cast<const char*>(message);
    }
    return text;
}

} // namespace platform
