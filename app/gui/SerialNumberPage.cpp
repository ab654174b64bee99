#include "app/gui/SerialNumberPage.h"

#include "app/gui/ConfigurationWidgets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

SerialNumberPage::SerialNumberPage(ConfigurationContext& context, QWidget* parent)
    : ConfigurationPage(context, QStringLiteral("Serial Number"), parent)
{
    action_ = makeActionBox(this);
    options_ = new QButtonGroup(this);
    sequential_ = new QRadioButton(QStringLiteral("Sequentially:"), this);
    auto* reading = new QRadioButton(QStringLiteral("By reading"), this);
    options_->addButton(sequential_, 0);
    options_->addButton(reading, 1);
    next_ = new QLineEdit(this);
    step_ = makeNumberField(this, 3);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Action (if allowed):"), this), 0, 0);
    grid->addWidget(action_, 0, 1, 1, 3);
    grid->addWidget(sequential_, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Next:"), this), 1, 1);
    grid->addWidget(next_, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Step:"), this), 2, 1);
    grid->addWidget(step_, 2, 2);
    grid->addWidget(reading, 3, 0);
    grid->setRowStretch(4, 1);

    watch(action_);
    watch(next_);
    watch(step_);
    watchOptions(options_, [this] { applyEnabling(); });
}

void SerialNumberPage::load()
{
    const SerialNumberEntries stored = loadSerialNumberEntries(context_.store);
    storedAction_ = stored.action;
    showAction(action_, stored.action);
    checkOption(options_, stored.option);
    setFieldText(next_, stored.next);
    setFieldText(step_, stored.step);
    applyEnabling();
    setModified(false);
}

void SerialNumberPage::applyEnabling()
{
    const bool sequential = checkedOption(options_) == 0;
    next_->setEnabled(sequential);
    step_->setEnabled(sequential);
}

SerialNumberEntries SerialNumberPage::entries() const
{
    return {chosenAction(action_, storedAction_), checkedOption(options_), fieldText(next_), fieldText(step_)};
}

bool SerialNumberPage::validate()
{
    const auto complaint = checkSerialNumber(entries());
    if (!complaint)
        return true;
    switch (complaint->focus) {
    case SerialNumberField::FirstOption: return refuse(*complaint, sequential_);
    case SerialNumberField::Next: return refuse(*complaint, next_);
    case SerialNumberField::Step: return refuse(*complaint, step_);
    }
    return false;
}

bool SerialNumberPage::save()
{
    return saveSerialNumberEntries(context_.store, entries());
}
