#include "app/gui/IpAddressPage.h"

#include "app/gui/ConfigurationWidgets.h"
#include "app/gui/Ipv4AddressField.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

IpAddressPage::IpAddressPage(ConfigurationContext& context, QWidget* parent)
    : ConfigurationPage(context, QStringLiteral("IP Address"), parent)
{
    action_ = makeActionBox(this);
    options_ = new QButtonGroup(this);
    sequential_ = new QRadioButton(QStringLiteral("Sequentially:"), this);
    auto* reading = new QRadioButton(QStringLiteral("By reading"), this);
    options_->addButton(sequential_, 0);
    options_->addButton(reading, 1);
    next_ = new Ipv4AddressField(this);
    step_ = makeNumberField(this, 3);
    mask_ = new Ipv4AddressField(this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Action (if allowed):"), this), 0, 0);
    grid->addWidget(action_, 0, 1, 1, 2);
    grid->addWidget(sequential_, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Next:"), this), 1, 1);
    grid->addWidget(next_, 1, 2, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("Step:"), this), 2, 1);
    grid->addWidget(step_, 2, 2, Qt::AlignLeft);
    grid->addWidget(reading, 3, 0);
    grid->addWidget(new QLabel(QStringLiteral("IP Mask:"), this), 4, 0);
    grid->addWidget(mask_, 4, 2, Qt::AlignLeft);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(2, 1);

    watch(action_);
    watch(step_);
    for (int box = 0; box < 4; ++box) {
        watch(next_->box(box));
        watch(mask_->box(box));
    }
    watchOptions(options_, [this] { applyEnabling(); });
}

void IpAddressPage::load()
{
    const IpAddressEntries stored = loadIpAddressEntries(context_.store);
    storedAction_ = stored.action;
    showAction(action_, stored.action);
    checkOption(options_, stored.option);
    next_->setAddress(stored.next);
    setFieldText(step_, stored.step);
    mask_->setAddress(stored.mask);
    applyEnabling();
    setModified(false);
}

void IpAddressPage::applyEnabling()
{
    const bool sequential = checkedOption(options_) == 0;
    next_->setEnabled(sequential);
    step_->setEnabled(sequential);
}

IpAddressEntries IpAddressPage::entries() const
{
    // A blank field holds the address 0, which the checks refuse like an all-zero one.
    return {chosenAction(action_, storedAction_), checkedOption(options_), next_->isBlank() ? 0 : next_->address(),
            fieldText(step_), mask_->isBlank() ? 0 : mask_->address()};
}

bool IpAddressPage::validate()
{
    const auto complaint = checkIpAddress(entries());
    if (!complaint)
        return true;
    switch (complaint->focus) {
    case IpAddressField::FirstOption: return refuse(*complaint, sequential_);
    case IpAddressField::Next: return refuse(*complaint, next_->box(0));
    case IpAddressField::Step: return refuse(*complaint, step_);
    case IpAddressField::Mask: return refuse(*complaint, mask_->box(0));
    }
    return false;
}

bool IpAddressPage::save()
{
    return saveIpAddressEntries(context_.store, entries());
}
