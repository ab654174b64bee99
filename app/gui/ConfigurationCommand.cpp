#include "app/gui/ConfigurationCommand.h"

#include "app/gui/ConfigurationContext.h"
#include "app/gui/ConfigurationMessages.h"
#include "app/gui/ConfigurationSheet.h"
#include "app/gui/Login.h"

#include <QMessageBox>

ConfigurationGatePrompts loginPrompts(QWidget* owner)
{
    ConfigurationGatePrompts prompts;
    prompts.askPassword = [owner]() -> std::optional<std::string> {
        Login login({}, owner);
        if (login.exec() != QDialog::Accepted)
            return std::nullopt;
        return login.password();
    };
    prompts.askRetry = [] {
        // Task-modal and without owner, as the platform's own error box.
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Password erroneous"),
                        QStringLiteral("Configuration password erroneous."),
                        QMessageBox::Retry | QMessageBox::Cancel);
        box.setWindowModality(Qt::ApplicationModal);
        return box.exec() == QMessageBox::Retry;
    };
    return prompts;
}

bool runConfigurationCommand(platform::SettingsStore& store, QWidget* owner)
{
    if (!passConfigurationGate(store, loginPrompts(owner)))
        return false;
    BoxMessages messages;
    ConfigurationContext context(store, messages);
    ConfigurationSheet sheet(context, owner);
    sheet.exec();
    return true;
}
