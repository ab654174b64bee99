#include "sim/LineSettingsWatch.h"

namespace termsim {

std::optional<LineSettings> LineSettingsWatch::changed(int fd)
{
    auto now = readLineSettings(fd);
    if (!now || now == last_)
        return std::nullopt;
    last_ = now;
    return now;
}

} // namespace termsim
