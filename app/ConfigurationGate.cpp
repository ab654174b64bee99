#include "app/ConfigurationGate.h"

#include "app/PasswordEncoding.h"
#include "platform/SettingsStore.h"

std::string storedConfigurationPassword(platform::SettingsStore& store)
{
    return decodePassword(trimTrailingBlanks(store.readString("Password")));
}

bool passConfigurationGate(platform::SettingsStore& store, const ConfigurationGatePrompts& prompts)
{
    const std::string password = storedConfigurationPassword(store);
    if (password == kSecurityDisabledMarker)
        return true;
    for (;;) {
        const std::optional<std::string> entry = prompts.askPassword();
        if (!entry)
            return false;
        // An undecodable stored value is empty; no entry opens the sheet then.
        if (!password.empty() && trimTrailingBlanks(*entry) == password)
            return true;
        if (!prompts.askRetry())
            return false;
    }
}
