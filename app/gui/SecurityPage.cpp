#include "app/gui/SecurityPage.h"

#include "app/gui/ConfigurationWidgets.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

constexpr int kMaxPasswordLength = 16;

} // namespace

SecurityPage::SecurityPage(ConfigurationContext& context, QWidget* parent)
    : ConfigurationPage(context, QStringLiteral("Security"), parent)
{
    options_ = new QButtonGroup(this);
    auto* disable = new QRadioButton(QStringLiteral("Disable"), this);
    auto* enable = new QRadioButton(QStringLiteral("Enable"), this);
    options_->addButton(disable, 0);
    options_->addButton(enable, 1);
    password_ = new QLineEdit(this);
    repeat_ = new QLineEdit(this);
    for (QLineEdit* edit : {password_, repeat_}) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setMaxLength(kMaxPasswordLength);
        watch(edit);
    }

    auto* grid = new QGridLayout(this);
    grid->addWidget(disable, 0, 0);
    grid->addWidget(enable, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Password:"), this), 2, 0);
    grid->addWidget(password_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Repeat Password:"), this), 3, 0);
    grid->addWidget(repeat_, 3, 1);
    grid->setRowStretch(4, 1);

    watch(disable);
    watch(enable);
    connect(options_, &QButtonGroup::idClicked, this, [this](int id) {
        applyEnabling();
        if (id == 1)
            password_->setFocus();
    });
}

void SecurityPage::load()
{
    const SecurityEntries stored = loadSecurityEntries(context_.store);
    checkOption(options_, stored.enabled ? 1 : 0);
    setFieldText(password_, stored.password);
    setFieldText(repeat_, stored.repeated);
    applyEnabling();
    setModified(false);
}

void SecurityPage::applyEnabling()
{
    const bool enabled = checkedOption(options_) == 1;
    password_->setEnabled(enabled);
    repeat_->setEnabled(enabled);
}

SecurityEntries SecurityPage::entries() const
{
    return {checkedOption(options_) == 1, fieldText(password_), fieldText(repeat_)};
}

bool SecurityPage::validate()
{
    const auto complaint = checkSecurity(entries());
    if (!complaint)
        return true;
    tell(complaint->message, complaint->caption);
    if (complaint->clearEntries) {
        password_->clear();
        repeat_->clear();
    }
    focusField(password_);
    return false;
}

bool SecurityPage::save()
{
    return saveSecurityEntries(context_.store, entries());
}
