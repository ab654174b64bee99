#include "sim/SymbolicLink.h"

#include "platform/SystemError.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace termsim {

namespace {

std::optional<std::string> linkTarget(const std::string& linkPath)
{
    char buffer[PATH_MAX];
    ssize_t length = ::readlink(linkPath.c_str(), buffer, sizeof buffer);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer)
        return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(length));
}

} // namespace

std::optional<SymbolicLink> SymbolicLink::create(const std::string& linkPath, const std::string& target,
                                                 std::string& error)
{
    struct stat existing {};
    if (::lstat(linkPath.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            error = linkPath + " exists and is not a symbolic link";
            return std::nullopt;
        }
        if (::unlink(linkPath.c_str()) != 0 && errno != ENOENT) {
            error = "cannot replace " + linkPath + ": " + platform::systemErrorText(errno);
            return std::nullopt;
        }
    }
    if (::symlink(target.c_str(), linkPath.c_str()) != 0) {
        error = "cannot create " + linkPath + ": " + platform::systemErrorText(errno);
        return std::nullopt;
    }
    return SymbolicLink(linkPath, target);
}

SymbolicLink::SymbolicLink(std::string linkPath, std::string target)
    : linkPath_(std::move(linkPath)), target_(std::move(target))
{
}

SymbolicLink::SymbolicLink(SymbolicLink&& other) noexcept
    : linkPath_(std::exchange(other.linkPath_, {})), target_(std::exchange(other.target_, {}))
{
}

SymbolicLink& SymbolicLink::operator=(SymbolicLink&& other) noexcept
{
    if (this != &other) {
        remove();
        linkPath_ = std::exchange(other.linkPath_, {});
        target_ = std::exchange(other.target_, {});
    }
    return *this;
}

void SymbolicLink::remove()
{
    if (linkPath_.empty())
        return;
    if (linkTarget(linkPath_) == target_)
        ::unlink(linkPath_.c_str());
    linkPath_.clear();
}

} // namespace termsim
