#include "sim/signer/SignerLog.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace signer {

namespace {

std::string currentDirectory()
{
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string("?");
}

} // namespace

void SignerLog::run(const std::string& program, const std::vector<std::string>& arguments) const
{
    std::vector<std::string> fields{"run", std::to_string(::getpid()), currentDirectory(), program};
    fields.insert(fields.end(), arguments.begin(), arguments.end());
    append(std::move(fields));
}

void SignerLog::input(unsigned mode, long long size) const
{
    char octal[16];
    std::snprintf(octal, sizeof octal, "%03o", mode);
    append({"input", std::to_string(::getpid()), octal, std::to_string(size)});
}

void SignerLog::refusal(const std::string& reason) const
{
    append({"refuse", std::to_string(::getpid()), reason});
}

void SignerLog::exit(int code) const
{
    append({"exit", std::to_string(::getpid()), std::to_string(code)});
}

void SignerLog::append(std::vector<std::string> fields) const
{
    if (path_.empty())
        return;
    std::string line;
    for (const std::string& field : fields) {
        if (!line.empty())
            line += '\t';
        line += field;
    }
    line += '\n';
    int fd = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    [[maybe_unused]] ssize_t written = ::write(fd, line.data(), line.size());
    ::close(fd);
}

} // namespace signer
