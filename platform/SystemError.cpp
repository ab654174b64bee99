#include "platform/SystemError.h"

#include <cstring>

namespace platform {

std::string systemErrorText(int errorNumber)
{
    char buffer[256];
    // GNU strerror_r may return a static string instead of filling the buffer.
    const char* text = strerror_r(errorNumber, buffer, sizeof buffer);
    return text ? std::string(text) : std::string("Unknown error");
}

} // namespace platform
