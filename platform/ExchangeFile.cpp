#include "platform/ExchangeFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::string_view uniquePart = "XXXXXX";
constexpr std::string_view suffix = ".TMP";
// Sizes from 4 GiB on are refused whatever the capacity, as the exchange never carries
// more than a 32-bit length.
constexpr std::uint64_t sizeLimit = std::uint64_t{1} << 32;

bool writeFully(int fd, const std::uint8_t* data, std::size_t length)
{
    while (length > 0) {
        ssize_t written = ::write(fd, data, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

bool readFully(int fd, std::uint8_t* data, std::size_t length)
{
    while (length > 0) {
        ssize_t got = ::read(fd, data, length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        length -= static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace

std::string temporaryFolder()
{
    const char* tmpdir = std::getenv("TMPDIR");
    std::string folder = tmpdir && *tmpdir ? tmpdir : "/tmp";
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

ExchangeFile::~ExchangeFile()
{
    created_.reset();
    if (!path_.empty())
        ::unlink(path_.c_str());
}

bool ExchangeFile::create(std::string_view folder, std::string_view prefix)
{
    std::string pattern(folder);
    if (!pattern.empty() && pattern.back() != '/')
        pattern += '/';
    pattern += prefix;
    pattern += uniquePart;
    pattern += suffix;
    // mkostemps makes the file with mode 0600 whatever the umask allows.
    int fd = ::mkostemps(pattern.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
    if (fd < 0)
        return false;
    created_.reset(fd);
    path_ = std::move(pattern);
    return true;
}

bool ExchangeFile::writeAll(const std::uint8_t* data, std::size_t length)
{
    if (!created_)
        return false;
    bool written = writeFully(created_.get(), data, length);
    bool closed = ::close(created_.release()) == 0;
    return written && closed;
}

ExchangeFile::ReadBack ExchangeFile::readBack(std::uint8_t* data, std::size_t capacity, std::size_t& length) const
{
    // Non-blocking, so that a FIFO left in the file's place cannot hold the station up.
    FileDescriptor file(::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat info{};
    if (!file || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return ReadBack::CannotOpen;
    auto size = static_cast<std::uint64_t>(info.st_size);
    length = static_cast<std::size_t>(size);
    if (size >= sizeLimit || size > capacity)
        return ReadBack::TooLarge;
    return readFully(file.get(), data, length) ? ReadBack::Read : ReadBack::Failed;
}

} // namespace platform
