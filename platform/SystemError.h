#pragma once
// The one place where the system's error numbers become text.
#include <string>

namespace platform {

// The system's own wording of an error number (strerror), for messages that show it.
std::string systemErrorText(int errorNumber);

} // namespace platform
