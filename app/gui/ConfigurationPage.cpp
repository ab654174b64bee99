#include "app/gui/ConfigurationPage.h"

#include "app/gui/ConfigurationMessages.h"
#include "app/gui/StationText.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>

ConfigurationPage::ConfigurationPage(ConfigurationContext& context, const QString& title, QWidget* parent)
    : QWidget(parent), context_(context), title_(title)
{
}

void ConfigurationPage::setModified(bool modified)
{
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

ConfigurationMessages& ConfigurationPage::messages() const
{
    return context_.messages;
}

void ConfigurationPage::tell(const std::string& text, const std::string& caption)
{
    messages().tell(this, toQtText(text), toQtText(caption));
}

bool ConfigurationPage::ask(const std::string& text, const std::string& caption)
{
    return messages().ask(this, toQtText(text), toQtText(caption));
}

void ConfigurationPage::focusField(QWidget* field)
{
    lastFocused_ = field;
    if (field != nullptr)
        field->setFocus(Qt::OtherFocusReason);
}

bool ConfigurationPage::acceptSerialPort(const std::string& port)
{
    const SerialPortVerdict verdict = context_.checkPort(port);
    switch (verdict.outcome) {
    case SerialPortVerdict::Outcome::Accept:
        return true;
    case SerialPortVerdict::Outcome::AskAccept:
        return ask(verdict.message, verdict.caption);
    case SerialPortVerdict::Outcome::Refuse:
        break;
    }
    tell(verdict.message, verdict.caption);
    return false;
}

bool ConfigurationPage::acceptOwnPort(const PortUser& self, const std::string& port, QWidget* portField)
{
    if (context_.ports.usedByOtherPage(&self, port)) {
        tell(kPortInUseMessage, kPortInUseCaption);
        focusField(portField);
        return false;
    }
    if (!acceptSerialPort(port)) {
        focusField(portField);
        return false;
    }
    return true;
}

void ConfigurationPage::watch(QLineEdit* edit)
{
    connect(edit, &QLineEdit::textEdited, this, [this] { setModified(true); });
}

void ConfigurationPage::watch(QComboBox* box)
{
    connect(box, &QComboBox::activated, this, [this] { setModified(true); });
    if (box->isEditable())
        connect(box, &QComboBox::editTextChanged, this, [this, box] {
            if (box->hasFocus())
                setModified(true);
        });
}

void ConfigurationPage::watch(QAbstractButton* button)
{
    connect(button, &QAbstractButton::clicked, this, [this] { setModified(true); });
}

void ConfigurationPage::watchOptions(QButtonGroup* options, std::function<void()> applyEnabling)
{
    for (QAbstractButton* option : options->buttons())
        watch(option);
    connect(options, &QButtonGroup::idClicked, this, [applyEnabling = std::move(applyEnabling)] { applyEnabling(); });
}
