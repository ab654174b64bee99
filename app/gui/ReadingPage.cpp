#include "app/gui/ReadingPage.h"

#include "app/PasswordEncoding.h"
#include "app/gui/ConfigurationWidgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

ReadingPage::ReadingPage(ConfigurationContext& context, QWidget* parent)
    : ConfigurationPage(context, QStringLiteral("Reading"), parent)
{
    options_ = new QButtonGroup(this);
    keyboardOnly_ = new QRadioButton(QStringLiteral("Keyboard only"), this);
    auto* serial = new QRadioButton(QStringLiteral("Keyboard + Serial reader"), this);
    auto* network = new QRadioButton(QStringLiteral("Keyboard + RS485 reader"), this);
    options_->addButton(keyboardOnly_, 0);
    options_->addButton(serial, 1);
    options_->addButton(network, 2);
    port_ = makePortBox(this, context.serialDevices());
    server_ = new QLineEdit(this);
    readerNumber_ = makeNumberField(this, 4);

    auto* grid = new QGridLayout(this);
    grid->addWidget(keyboardOnly_, 0, 0);
    grid->addWidget(serial, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Port:"), this), 1, 1);
    grid->addWidget(port_, 1, 2);
    grid->addWidget(network, 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("Server:"), this), 2, 1);
    grid->addWidget(server_, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Reader N\u00BA:"), this), 3, 1);
    grid->addWidget(readerNumber_, 3, 2);
    grid->setRowStretch(4, 1);

    watch(port_);
    watch(server_);
    watch(readerNumber_);
    watchOptions(options_, [this] { applyEnabling(); });
    context.ports.add(this);
}

ReadingPage::~ReadingPage()
{
    context_.ports.remove(this);
}

void ReadingPage::load()
{
    const ReadingEntries stored = loadReadingEntries(context_.store);
    checkOption(options_, stored.option);
    setFieldText(port_, stored.port);
    setFieldText(server_, stored.server);
    setFieldText(readerNumber_, stored.readerNumber);
    applyEnabling();
    if (QAbstractButton* selected = options_->checkedButton())
        selected->setFocus();
    setModified(false);
}

void ReadingPage::applyEnabling()
{
    const int option = checkedOption(options_);
    port_->setEnabled(option == 1);
    server_->setEnabled(option == 2);
    readerNumber_->setEnabled(option == 2);
}

ReadingEntries ReadingPage::entries() const
{
    return {checkedOption(options_), fieldText(port_), fieldText(server_), fieldText(readerNumber_)};
}

bool ReadingPage::usesPort(std::string_view port) const
{
    return serialOptionUses(checkedOption(options_) == 1, fieldText(port_), port);
}

bool ReadingPage::validate()
{
    const ReadingEntries current = entries();
    if (const auto complaint = checkReading(current)) {
        switch (complaint->focus) {
        case ReadingField::FirstOption: return refuse(*complaint, keyboardOnly_);
        case ReadingField::Port: return refuse(*complaint, port_);
        case ReadingField::Server: return refuse(*complaint, server_);
        case ReadingField::ReaderNumber: return refuse(*complaint, readerNumber_);
        }
    }
    if (current.option == 1 && !acceptOwnPort(*this, trimTrailingBlanks(current.port), port_))
        return false;
    if (current.option == 2)
        return acceptReaderNetwork(current);
    return true;
}

bool ReadingPage::acceptReaderNetwork(const ReadingEntries& current)
{
    using Verdict = BarcodeReader::ReaderNetworkVerdict;
    int readerNumber = 0;
    readFieldNumber(current.readerNumber, readerNumber);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Verdict verdict = context_.testReaderNetwork(trimTrailingBlanks(current.server), readerNumber);
    QApplication::restoreOverrideCursor();
    switch (verdict.outcome) {
    case Verdict::Outcome::Passed:
        return true;
    case Verdict::Outcome::AskAcceptAbsent:
        if (ask(verdict.message, verdict.caption))
            return true;
        focusField(readerNumber_);
        return false;
    case Verdict::Outcome::Failed:
        break;
    }
    if (!verdict.message.empty())
        tell(verdict.message, verdict.caption);
    focusField(verdict.focus == Verdict::Field::ReaderNumber ? readerNumber_ : server_);
    return false;
}

bool ReadingPage::save()
{
    return saveReadingEntries(context_.store, entries());
}
