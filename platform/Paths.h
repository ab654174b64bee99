#pragma once
// Path rules of the station: '/' between names, a '\' in a stored name counts as a
// separator too, and a directory with or without its final separator joins the same.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The text with every '\' turned into '/'.
std::string withSlashes(std::string_view path);

// dir, one '/', name; the name alone when dir is empty.
std::string joinPath(std::string_view dir, std::string_view name);

// A serial device name as it is opened: a name without '/' lies below /dev/.
std::string devicePath(std::string_view name);

// The settings file: the given file, else $ORVANE_SETTINGS, else
// $XDG_CONFIG_HOME/Marvistelo/orvane.conf, else ~/.config/Marvistelo/orvane.conf.
std::string settingsFilePath(const std::optional<std::string>& givenFile);

} // namespace platform
