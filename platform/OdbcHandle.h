#pragma once
// Owner of one ODBC handle (environment, connection or statement): freed when the
// owner goes. The handle's type and value are kept as the C API's plain integers and
// pointers, so that users of the layer need not see the ODBC headers.
#include <string>
#include <utility>

namespace platform {

class OdbcHandle {
public:
    OdbcHandle() = default;
    // Allocates a handle of the type (SQL_HANDLE_ENV, _DBC or _STMT) below parent (none
    // for an environment); throws OdbcError when the driver manager refuses.
    OdbcHandle(short type, const OdbcHandle* parent);
    ~OdbcHandle() { reset(); }
    OdbcHandle(OdbcHandle&& other) noexcept
        : type_(other.type_), handle_(std::exchange(other.handle_, nullptr))
    {
    }
    OdbcHandle& operator=(OdbcHandle&& other) noexcept;
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;

    void* get() const { return handle_; }
    short type() const { return type_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Frees the handle now; a connection must be disconnected first.
    void reset() noexcept;

    // Throws OdbcError with this handle's diagnostics when the return code of the named
    // call is an error (anything but success, success with information and no data).
    void check(short returnCode, const char* call) const;
    // The handle's diagnostic records as "[SQLSTATE] message" lines; the first state.
    std::string diagnostics(std::string* firstState = nullptr) const;

private:
    short type_ = 0;
    void* handle_ = nullptr;
};

} // namespace platform
