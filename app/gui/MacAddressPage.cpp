#include "app/gui/MacAddressPage.h"

#include "app/gui/ConfigurationWidgets.h"
#include "app/gui/StationText.h"
#include "platform/OdbcDataSources.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <exception>

namespace {

// Shows the wait cursor while a data source is proved.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

MacAddressPage::MacAddressPage(ConfigurationContext& context, QWidget* parent)
    : ConfigurationPage(context, QStringLiteral("MAC Address"), parent)
{
    action_ = makeActionBox(this);
    options_ = new QButtonGroup(this);
    sequential_ = new QRadioButton(QStringLiteral("Sequentially:"), this);
    auto* query = new QRadioButton(QStringLiteral("DB Query:"), this);
    auto* reading = new QRadioButton(QStringLiteral("By reading"), this);
    options_->addButton(sequential_, 0);
    options_->addButton(query, 1);
    options_->addButton(reading, 2);
    next_ = new QLineEdit(this);
    step_ = makeNumberField(this, 3);
    dataSource_ = new QLineEdit(this);
    browse_ = new QPushButton(QStringLiteral("Browse"), this);
    browse_->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Action (if allowed):"), this), 0, 0);
    grid->addWidget(action_, 0, 1, 1, 3);
    grid->addWidget(sequential_, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Next:"), this), 1, 1);
    grid->addWidget(next_, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Step:"), this), 2, 1);
    grid->addWidget(step_, 2, 2);
    grid->addWidget(query, 3, 0);
    grid->addWidget(new QLabel(QStringLiteral("ODBC DSN:"), this), 3, 1);
    grid->addWidget(dataSource_, 3, 2);
    grid->addWidget(browse_, 3, 3);
    grid->addWidget(reading, 4, 0);
    grid->setRowStretch(5, 1);

    watch(action_);
    watch(next_);
    watch(step_);
    watch(dataSource_);
    watchOptions(options_, [this] { applyEnabling(); });
    connect(browse_, &QPushButton::clicked, this, &MacAddressPage::browse);
}

void MacAddressPage::load()
{
    const MacAddressEntries stored = loadMacAddressEntries(context_.store);
    storedAction_ = stored.action;
    showAction(action_, stored.action);
    checkOption(options_, stored.option);
    setFieldText(next_, stored.next);
    setFieldText(step_, stored.step);
    setFieldText(dataSource_, stored.dataSource);
    applyEnabling();
    setModified(false);
}

void MacAddressPage::applyEnabling()
{
    const int option = checkedOption(options_);
    next_->setEnabled(option == 0);
    step_->setEnabled(option == 0);
    dataSource_->setEnabled(option == 1);
    browse_->setEnabled(option == 1);
}

MacAddressEntries MacAddressPage::entries() const
{
    return {chosenAction(action_, storedAction_), checkedOption(options_), fieldText(next_), fieldText(step_),
            fieldText(dataSource_)};
}

bool MacAddressPage::validate()
{
    auto prove = [this](const std::string& dataSource) {
        WaitCursor wait;
        return context_.proveDataSource(dataSource);
    };
    const auto complaint = checkMacAddress(entries(), prove);
    if (!complaint)
        return true;
    switch (complaint->focus) {
    case MacAddressField::FirstOption: return refuse(*complaint, sequential_);
    case MacAddressField::Next: return refuse(*complaint, next_);
    case MacAddressField::Step: return refuse(*complaint, step_);
    case MacAddressField::DataSource: return refuse(*complaint, dataSource_);
    }
    return false;
}

bool MacAddressPage::save()
{
    return saveMacAddressEntries(context_.store, entries());
}

bool MacAddressPage::takeChosenDataSource(const std::string& chosen)
{
    std::string name;
    bool proved = false;
    {
        WaitCursor wait;
        proved = !chosen.empty() && context_.proveChosenDataSource(chosen, name);
    }
    if (!proved)
        return refuse(incorrectLinkComplaint(), dataSource_);
    setFieldText(dataSource_, name);
    setModified(true);
    return true;
}

void MacAddressPage::browse()
{
    // The chooser lists the data sources the driver manager knows; a connection string
    // may be typed instead of a name.
    QStringList names;
    try {
        for (const auto& source : platform::listOdbcDataSources())
            names << toQtText(source.name);
    } catch (const std::exception&) {
        // No driver manager to ask: the operator may still type a name.
    }
    bool chosen = false;
    const QString choice = QInputDialog::getItem(this, QStringLiteral("Select Data Source"),
                                                 QStringLiteral("Data Source Name:"), names, 0, true, &chosen);
    if (!chosen)
        return;
    takeChosenDataSource(toStationText(choice));
}
