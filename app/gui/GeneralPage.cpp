#include "app/gui/GeneralPage.h"

#include "app/PasswordEncoding.h"
#include "app/gui/ConfigurationMessages.h"
#include "app/gui/ConfigurationWidgets.h"
#include "app/gui/StationText.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

GeneralPage::GeneralPage(ConfigurationContext& context, QWidget* parent)
    : ConfigurationPage(context, QStringLiteral("General"), parent)
{
    manufacturer_ = new QLineEdit(this);
    manufacturer_->setMaxLength(6);
    portBox_ = makePortBox(this, context.serialDevices());
    addButton_ = new QPushButton(QStringLiteral("Add"), this);
    portList_ = new QListWidget(this);
    deleteButton_ = new QPushButton(QStringLiteral("Delete"), this);
    terminals_ = new QLineEdit(this);
    auto* browseTerminals = new QPushButton(QStringLiteral("Browse"), this);
    applications_ = new QLineEdit(this);
    auto* browseApplications = new QPushButton(QStringLiteral("Browse"), this);
    for (QPushButton* button : {addButton_, deleteButton_, browseTerminals, browseApplications})
        button->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Manufacturer identifier:"), this), 0, 0);
    grid->addWidget(manufacturer_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Comm Ports:"), this), 1, 0);
    grid->addWidget(portBox_, 1, 1);
    grid->addWidget(addButton_, 1, 2);
    grid->addWidget(portList_, 2, 1);
    grid->addWidget(deleteButton_, 2, 2, Qt::AlignTop);
    grid->addWidget(new QLabel(QStringLiteral("Terminals directory:"), this), 3, 0);
    grid->addWidget(terminals_, 3, 1);
    grid->addWidget(browseTerminals, 3, 2);
    grid->addWidget(new QLabel(QStringLiteral("Applications directory:"), this), 4, 0);
    grid->addWidget(applications_, 4, 1);
    grid->addWidget(browseApplications, 4, 2);

    watch(manufacturer_);
    watch(terminals_);
    watch(applications_);
    connect(addButton_, &QPushButton::clicked, this, &GeneralPage::addPort);
    connect(deleteButton_, &QPushButton::clicked, this, &GeneralPage::deletePort);
    connect(browseTerminals, &QPushButton::clicked, this, [this] {
        browse(terminals_, applications_, QStringLiteral("Enter terminal's root directory."));
    });
    connect(browseApplications, &QPushButton::clicked, this, [this] {
        browse(applications_, terminals_, QStringLiteral("Enter application's root directory"));
    });
    // Enter adds from the drop-down, deletes from the list and does nothing in the
    // directory edits; elsewhere it presses the sheet's default button.
    // The editable drop-down keeps the keyboard focus itself and hands keys on to its
    // edit, so both are watched.
    portBox_->installEventFilter(this);
    portBox_->lineEdit()->installEventFilter(this);
    portList_->installEventFilter(this);
    terminals_->installEventFilter(this);
    applications_->installEventFilter(this);
    context.ports.add(this);
}

GeneralPage::~GeneralPage()
{
    context_.ports.remove(this);
}

void GeneralPage::load()
{
    const GeneralEntries stored = loadGeneralEntries(context_.store);
    setFieldText(manufacturer_, stored.manufacturer);
    portList_->clear();
    for (const auto& port : stored.ports)
        portList_->addItem(toQtText(port));
    if (portList_->count() > 0)
        portList_->setCurrentRow(0);
    setFieldText(applications_, stored.applicationsDirectory);
    setFieldText(terminals_, stored.terminalsDirectory);
    portBox_->setFocus();
    setModified(false);
}

GeneralEntries GeneralPage::entries() const
{
    GeneralEntries entries;
    entries.manufacturer = fieldText(manufacturer_);
    for (int row = 0; row < portList_->count(); ++row)
        entries.ports.push_back(toStationText(portList_->item(row)->text()));
    entries.terminalsDirectory = fieldText(terminals_);
    entries.applicationsDirectory = fieldText(applications_);
    return entries;
}

bool GeneralPage::validate()
{
    const auto complaint = checkGeneral(entries(), fieldText(portBox_));
    if (!complaint)
        return true;
    switch (complaint->focus) {
    case GeneralField::Manufacturer: return refuse(*complaint, manufacturer_);
    case GeneralField::PortChooser: return refuse(*complaint, portBox_);
    case GeneralField::TerminalsDirectory: return refuse(*complaint, terminals_);
    case GeneralField::ApplicationsDirectory: return refuse(*complaint, applications_);
    }
    return false;
}

bool GeneralPage::save()
{
    return saveGeneralEntries(context_.store, entries());
}

bool GeneralPage::usesPort(std::string_view port) const
{
    return portListUses(entries().ports, port);
}

void GeneralPage::addPort()
{
    const std::string port = trimTrailingBlanks(fieldText(portBox_));
    if (port.empty())
        return;
    if (usesPort(port)) {
        messages().beep();
        return;
    }
    if (context_.ports.usedByOtherPage(this, port)) {
        tell(kPortInUseMessage, kPortInUseCaption);
        return;
    }
    if (!acceptSerialPort(port)) {
        focusField(portBox_);
        return;
    }
    portList_->addItem(toQtText(port));
    portList_->setCurrentRow(portList_->count() - 1);
    portBox_->setEditText(QString());
    setModified(true);
}

void GeneralPage::deletePort()
{
    const int row = portList_->currentRow();
    if (row < 0 || portList_->selectedItems().isEmpty()) {
        messages().beep();
        return;
    }
    delete portList_->takeItem(row);
    if (portList_->count() > 0)
        portList_->setCurrentRow(std::min(row, portList_->count() - 1));
    setModified(true);
}

void GeneralPage::browse(QLineEdit* field, QLineEdit* other, const QString& title)
{
    const QString start = field->text().isEmpty() ? other->text() : field->text();
    const QString chosen = QFileDialog::getExistingDirectory(this, title, start);
    if (chosen.isEmpty())
        return;
    field->setText(chosen);
    setModified(true);
}

bool GeneralPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == portBox_ || watched == portBox_->lineEdit())
                addPort();
            else if (watched == portList_)
                deletePort();
            return true;
        }
    }
    return ConfigurationPage::eventFilter(watched, event);
}
