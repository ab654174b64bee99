#pragma once
// Sets (or removes) an environment variable for the life of the owner and puts the old
// value back afterwards. Set before starting threads that read the environment.
#include <optional>
#include <string>

class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};
