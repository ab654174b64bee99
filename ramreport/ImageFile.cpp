#include "ramreport/ImageFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ramreport {

ImageFile::~ImageFile()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

bool ImageFile::open(const std::string& path)
{
    // Non-blocking, so that a named pipe carrying an image's name cannot hold the open.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return false;
    }
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = descriptor;
    size_ = static_cast<std::uint64_t>(status.st_size);
    position_ = 0;
    bufferStart_ = 0;
    bufferLength_ = 0;
    return true;
}

bool ImageFile::readByte(std::uint8_t& byte)
{
    if (position_ < bufferStart_ || position_ >= bufferStart_ + bufferLength_) {
        if (!fillBufferAt(position_))
            return false;
    }
    byte = buffer_[static_cast<std::size_t>(position_ - bufferStart_)];
    ++position_;
    return true;
}

bool ImageFile::fillBufferAt(std::uint64_t position)
{
    bufferStart_ = position;
    bufferLength_ = 0;
    if (descriptor_ < 0 || position >= size_)
        return false;
    ssize_t got;
    do {
        got = ::pread(descriptor_, buffer_.data(), buffer_.size(), static_cast<off_t>(position));
    } while (got < 0 && errno == EINTR);
    if (got <= 0)
        return false;
    bufferLength_ = static_cast<std::size_t>(got);
    return true;
}

} // namespace ramreport
