#include "app/gui/SigningToolPage.h"

#include "app/PasswordEncoding.h"
#include "app/gui/ConfigurationWidgets.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

SigningToolPage::SigningToolPage(ConfigurationContext& context, QWidget* parent)
    : ConfigurationPage(context, QStringLiteral("Signing Tool"), parent)
{
    options_ = new QButtonGroup(this);
    notAvailable_ = new QRadioButton(QStringLiteral("Not available"), this);
    auto* serial = new QRadioButton(QStringLiteral("On serial port"), this);
    auto* byFile = new QRadioButton(QStringLiteral("By file (insecure)"), this);
    options_->addButton(notAvailable_, 0);
    options_->addButton(serial, 1);
    options_->addButton(byFile, 2);
    port_ = makePortBox(this, context.serialDevices());
    keyFile_ = new QLineEdit(this);
    browse_ = new QPushButton(QStringLiteral("Browse"), this);
    browse_->setAutoDefault(false);
    keyNumber_ = new QLineEdit(this);
    keyNumber_->setMaxLength(2);

    auto* grid = new QGridLayout(this);
    grid->addWidget(notAvailable_, 0, 0);
    grid->addWidget(serial, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Port:"), this), 1, 1);
    grid->addWidget(port_, 1, 2);
    grid->addWidget(byFile, 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("File:"), this), 2, 1);
    grid->addWidget(keyFile_, 2, 2);
    grid->addWidget(browse_, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("Key N\u00BA:"), this), 3, 1);
    grid->addWidget(keyNumber_, 3, 2);
    grid->setRowStretch(4, 1);

    watch(port_);
    watch(keyFile_);
    watch(keyNumber_);
    watchOptions(options_, [this] { applyEnabling(); });
    connect(browse_, &QPushButton::clicked, this, &SigningToolPage::browse);
    context.ports.add(this);
}

SigningToolPage::~SigningToolPage()
{
    context_.ports.remove(this);
}

void SigningToolPage::load()
{
    const SigningToolEntries stored = loadSigningToolEntries(context_.store);
    checkOption(options_, stored.option);
    setFieldText(port_, stored.port);
    setFieldText(keyFile_, stored.keyFile);
    setFieldText(keyNumber_, stored.keyNumber);
    applyEnabling();
    if (QAbstractButton* selected = options_->checkedButton())
        selected->setFocus();
    setModified(false);
}

void SigningToolPage::applyEnabling()
{
    const int option = checkedOption(options_);
    port_->setEnabled(option == 1);
    keyFile_->setEnabled(option == 2);
    browse_->setEnabled(option == 2);
    keyNumber_->setEnabled(option == 2);
}

SigningToolEntries SigningToolPage::entries() const
{
    return {checkedOption(options_), fieldText(port_), fieldText(keyFile_), fieldText(keyNumber_)};
}

bool SigningToolPage::usesPort(std::string_view port) const
{
    return serialOptionUses(checkedOption(options_) == 1, fieldText(port_), port);
}

bool SigningToolPage::validate()
{
    const SigningToolEntries current = entries();
    if (const auto complaint = checkSigningTool(current)) {
        switch (complaint->focus) {
        case SigningToolField::FirstOption: return refuse(*complaint, notAvailable_);
        case SigningToolField::Port: return refuse(*complaint, port_);
        case SigningToolField::KeyFile: return refuse(*complaint, keyFile_);
        case SigningToolField::KeyNumber: return refuse(*complaint, keyNumber_);
        }
    }
    if (current.option != 1)
        return true;
    return acceptOwnPort(*this, trimTrailingBlanks(current.port), port_);
}

bool SigningToolPage::save()
{
    return saveSigningToolEntries(context_.store, entries());
}

void SigningToolPage::browse()
{
    QFileDialog dialog(this, QString(), keyFile_->text(), QStringLiteral("Key files (*.key);;All the files (*)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("key"));
    if (!keyFile_->text().isEmpty())
        dialog.selectFile(keyFile_->text());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    keyFile_->setText(dialog.selectedFiles().constFirst());
    setModified(true);
}
