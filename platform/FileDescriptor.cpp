#include "platform/FileDescriptor.h"

#include <unistd.h>

namespace platform {

void FileDescriptor::reset(int fd)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

} // namespace platform
