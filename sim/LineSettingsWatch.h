#pragma once
// Notices when the station changes the line settings.
#include "sim/LineSettings.h"

#include <optional>

namespace termsim {

class LineSettingsWatch {
public:
    // The line's current settings when they differ from the ones last seen (or are the
    // first seen); nothing when unchanged or unreadable.
    std::optional<LineSettings> changed(int fd);
    // The settings last seen, if any.
    const std::optional<LineSettings>& current() const { return last_; }

private:
    std::optional<LineSettings> last_;
};

} // namespace termsim
