#pragma once
// The "&Configuration" command: the password gate, then the modal configuration sheet.
// The caller posts the document's reload when the sheet has closed, whatever closed it.
#include "app/ConfigurationGate.h"

class QWidget;

namespace platform {
class SettingsStore;
}

// The gate's questions as the operator sees them: the Login prompt, and the box
// "Configuration password erroneous." with Retry and Cancel.
ConfigurationGatePrompts loginPrompts(QWidget* owner);

// True when the sheet was shown; it has closed when this returns.
bool runConfigurationCommand(platform::SettingsStore& store, QWidget* owner);
