#include "app/gui/ConfigurationSheet.h"

#include "app/gui/ConfigurationContext.h"
#include "app/gui/ConfigurationMessages.h"
#include "app/gui/DataLogPage.h"
#include "app/gui/DatesPage.h"
#include "app/gui/GeneralPage.h"
#include "app/gui/IpAddressPage.h"
#include "app/gui/MacAddressPage.h"
#include "app/gui/ReadingPage.h"
#include "app/gui/SecurityPage.h"
#include "app/gui/SerialNumberPage.h"
#include "app/gui/SigningToolPage.h"
#include "app/gui/StationText.h"
#include "platform/SettingsStore.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char* const kPageTitles[] = {"General", "Serial Number", "MAC Address", "IP Address", "Dates",
                                   "Reading", "Signing Tool",  "Data Log",    "Security"};

bool createdWithTheSheet(int index)
{
    return index != ConfigurationSheet::Dates && index != ConfigurationSheet::DataLog;
}

} // namespace

ConfigurationSheet::ConfigurationSheet(ConfigurationContext& context, QWidget* parent)
    : QDialog(parent), context_(context)
{
    setWindowTitle(QStringLiteral("Configuration"));
    setModal(true);
    tabs_ = new QTabWidget(this);
    for (int index = 0; index < PageCount; ++index) {
        auto* holder = new QWidget(tabs_);
        new QVBoxLayout(holder);
        holders_[static_cast<std::size_t>(index)] = holder;
        tabs_->addTab(holder, QString::fromLatin1(kPageTitles[index]));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    cancelButton_ = buttons->button(QDialogButtonBox::Cancel);
    applyButton_ = buttons->button(QDialogButtonBox::Apply);
    okButton_->setDefault(true);
    applyButton_->setAutoDefault(false);
    connect(okButton_, &QPushButton::clicked, this, &ConfigurationSheet::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &ConfigurationSheet::reject);
    connect(applyButton_, &QPushButton::clicked, this, &ConfigurationSheet::apply);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    // Every page's tab stays in sight.
    setMinimumWidth(tabs_->tabBar()->sizeHint().width() + 2 * layout->contentsMargins().left() + 8);

    for (int index = 0; index < PageCount; ++index)
        if (createdWithTheSheet(index))
            createPage(index);
    connect(tabs_, &QTabWidget::currentChanged, this, &ConfigurationSheet::pageChanged);
    updateApply();
}

ConfigurationPage* ConfigurationSheet::createPage(int index)
{
    auto*& page = pages_.at(static_cast<std::size_t>(index));
    if (page != nullptr)
        return page;
    QWidget* holder = holders_.at(static_cast<std::size_t>(index));
    switch (index) {
    case General: page = new GeneralPage(context_, holder); break;
    case SerialNumber: page = new SerialNumberPage(context_, holder); break;
    case MacAddress: page = new MacAddressPage(context_, holder); break;
    case IpAddress: page = new IpAddressPage(context_, holder); break;
    case Dates: page = new DatesPage(context_, holder); break;
    case Reading: page = new ReadingPage(context_, holder); break;
    case SigningTool: page = new SigningToolPage(context_, holder); break;
    case DataLog: page = new DataLogPage(context_, holder); break;
    case Security: page = new SecurityPage(context_, holder); break;
    default: return nullptr;
    }
    holder->layout()->addWidget(page);
    page->load();
    connect(page, &ConfigurationPage::modifiedChanged, this, &ConfigurationSheet::updateApply);
    return page;
}

bool ConfigurationSheet::showPage(int index)
{
    tabs_->setCurrentIndex(index);
    return tabs_->currentIndex() == index;
}

void ConfigurationSheet::pageChanged(int index)
{
    if (switchingQuietly_ || index == shown_)
        return;
    // The tab has already changed when this is told; the page being left comes back
    // while it checks its fields, so that its complaint shows over it and the focus
    // lands on its offending field.
    if (ConfigurationPage* leaving = page(shown_)) {
        showTabQuietly(shown_);
        if (!leaving->validate())
            return;
        showTabQuietly(index);
    }
    shown_ = index;
    createPage(index);
}

void ConfigurationSheet::showTabQuietly(int index)
{
    switchingQuietly_ = true;
    tabs_->setCurrentIndex(index);
    switchingQuietly_ = false;
}

bool ConfigurationSheet::saveAll()
{
    for (ConfigurationPage* page : pages_) {
        if (page == nullptr)
            continue;
        if (!page->save()) {
            // Nothing may look saved that is not: the operator learns it and the sheet
            // stays open.
            context_.messages.tell(this,
                                   QStringLiteral("The settings could not be written to %1.")
                                       .arg(toQtText(context_.store.path())),
                                   QStringLiteral("Configuration"));
            return false;
        }
    }
    for (ConfigurationPage* page : pages_)
        if (page != nullptr)
            page->setModified(false);
    return true;
}

bool ConfigurationSheet::apply()
{
    ConfigurationPage* current = page(shown_);
    if (current != nullptr && !current->validate())
        return false;
    return saveAll();
}

void ConfigurationSheet::accept()
{
    if (apply())
        QDialog::accept();
}

void ConfigurationSheet::updateApply()
{
    bool anyModified = false;
    for (ConfigurationPage* page : pages_)
        anyModified = anyModified || (page != nullptr && page->modified());
    applyButton_->setEnabled(anyModified);
}
