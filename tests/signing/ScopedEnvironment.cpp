#include "signing/ScopedEnvironment.h"

#include <cstdlib>

namespace {

void put(const std::string& name, const std::optional<std::string>& value)
{
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
}

} // namespace

ScopedEnvironment::ScopedEnvironment(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name))
{
    if (const char* old = std::getenv(name_.c_str()))
        old_ = old;
    put(name_, value);
}

ScopedEnvironment::~ScopedEnvironment()
{
    put(name_, old_);
}
