#pragma once
// The configuration password gate: the sheet opens at once when the stored password is
// the "no password" marker; otherwise the operator must enter the stored password, and
// may retry after a wrong one.
#include <functional>
#include <optional>
#include <string>

namespace platform {
class SettingsStore;
}

struct ConfigurationGatePrompts {
    // Asks for the password; nothing when the operator cancels.
    std::function<std::optional<std::string>()> askPassword;
    // Tells the operator the password was wrong; true to try again.
    std::function<bool()> askRetry;
};

// The password the gate compares with: the stored value without trailing blanks,
// decoded; empty when absent or not decodable.
std::string storedConfigurationPassword(platform::SettingsStore& store);

// True when the configuration sheet may open. An entry matches when, without its
// trailing blanks, it equals the stored password exactly; an empty stored password is
// never matched.
bool passConfigurationGate(platform::SettingsStore& store, const ConfigurationGatePrompts& prompts);
