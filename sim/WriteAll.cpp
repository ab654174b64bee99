#include "sim/WriteAll.h"

#include <cerrno>
#include <unistd.h>

namespace termsim {

bool writeAll(int fd, const void* data, std::size_t size)
{
    const auto* next = static_cast<const unsigned char*>(data);
    while (size > 0) {
        ssize_t written = ::write(fd, next, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        next += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace termsim
