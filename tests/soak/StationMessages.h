#pragma once
// Every text a download job may show on its port, as the operator reads it: fixed
// messages and those that carry a file name or an identity after a fixed beginning.
#include <string>

// True when the text is one of the station's own download messages.
bool isStationMessage(const std::string& text);

inline const std::string kCancelledMessage = "CANCELLED Process.  The equipment has not been loaded.";
