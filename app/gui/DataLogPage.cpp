#include "app/gui/DataLogPage.h"

#include "app/PasswordEncoding.h"
#include "app/gui/ConfigurationWidgets.h"
#include "app/gui/StationText.h"

#include <QButtonGroup>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>

DataLogPage::DataLogPage(ConfigurationContext& context, QWidget* parent)
    : ConfigurationPage(context, QStringLiteral("Data Log"), parent)
{
    options_ = new QButtonGroup(this);
    disable_ = new QRadioButton(QStringLiteral("Disable"), this);
    auto* enable = new QRadioButton(QStringLiteral("Enable"), this);
    options_->addButton(disable_, 0);
    options_->addButton(enable, 1);
    pathLabel_ = new QLabel(QStringLiteral("Log File:"), this);
    path_ = new QLineEdit(this);
    browse_ = new QPushButton(QStringLiteral("Browse"), this);
    clear_ = new QPushButton(QStringLiteral("Clear"), this);
    view_ = new QPushButton(QStringLiteral("View file "), this);
    for (QPushButton* button : {browse_, clear_, view_})
        button->setAutoDefault(false);

    levelGroup_ = new QGroupBox(QStringLiteral("Logging level"), this);
    levels_ = new QButtonGroup(this);
    auto* levelLayout = new QVBoxLayout(levelGroup_);
    const QString levelNames[] = {QStringLiteral("Errors only"), QStringLiteral("All the Operations"),
                                  QStringLiteral("Operations + data sent"), QStringLiteral("Operations + data received"),
                                  QStringLiteral("Operations + all data")};
    for (int level = 0; level < 5; ++level) {
        auto* button = new QRadioButton(levelNames[level], levelGroup_);
        levels_->addButton(button, level);
        levelLayout->addWidget(button);
        watch(button);
    }

    auto* grid = new QGridLayout(this);
    grid->addWidget(disable_, 0, 0);
    grid->addWidget(enable, 1, 0);
    grid->addWidget(pathLabel_, 2, 0);
    grid->addWidget(path_, 2, 1, 1, 3);
    grid->addWidget(browse_, 3, 1);
    grid->addWidget(clear_, 3, 2);
    grid->addWidget(view_, 3, 3);
    grid->addWidget(levelGroup_, 4, 0, 1, 4);
    grid->setRowStretch(5, 1);

    watch(path_);
    watchOptions(options_, [this] { applyEnabling(); });
    connect(browse_, &QPushButton::clicked, this, &DataLogPage::browse);
    connect(clear_, &QPushButton::clicked, this, &DataLogPage::clearLog);
    connect(view_, &QPushButton::clicked, this, &DataLogPage::viewLog);
}

void DataLogPage::load()
{
    const DataLogEntries stored = loadDataLogEntries(context_.store);
    checkOption(options_, stored.option);
    setFieldText(path_, stored.path);
    checkOption(levels_, stored.level);
    applyEnabling();
    if (QAbstractButton* level = levels_->checkedButton())
        level->setFocus();
    setModified(false);
}

void DataLogPage::applyEnabling()
{
    const bool enabled = checkedOption(options_) == 1;
    for (QWidget* control : std::initializer_list<QWidget*>{pathLabel_, path_, browse_, clear_, view_, levelGroup_})
        control->setEnabled(enabled);
}

DataLogEntries DataLogPage::entries() const
{
    return {checkedOption(options_), fieldText(path_), checkedOption(levels_)};
}

bool DataLogPage::validate()
{
    const auto complaint = checkDataLog(entries());
    if (!complaint)
        return true;
    switch (complaint->focus) {
    case DataLogField::FirstOption: return refuse(*complaint, disable_);
    case DataLogField::Path: return refuse(*complaint, path_);
    case DataLogField::Level: return refuse(*complaint, levels_->button(0));
    }
    return false;
}

bool DataLogPage::save()
{
    DataLogEntries current = entries();
    if (current.level < 0)
        current.level = 0;
    return saveDataLogEntries(context_.store, current);
}

void DataLogPage::clearLog()
{
    const std::string path = trimTrailingBlanks(fieldText(path_));
    std::FILE* log = path.empty() ? nullptr : std::fopen(path.c_str(), "w");
    if (log == nullptr) {
        tell("Error when clearing log file.", "Error when clearing file");
        return;
    }
    std::fclose(log);
}

void DataLogPage::viewLog()
{
    const std::string path = trimTrailingBlanks(fieldText(path_));
    if (!path.empty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(toQtText(path)));
}

void DataLogPage::browse()
{
    QFileDialog dialog(this, QString(), path_->text(), QStringLiteral("Log files (*.log);;All the files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("log"));
    if (!path_->text().isEmpty())
        dialog.selectFile(path_->text());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    path_->setText(dialog.selectedFiles().constFirst());
    setModified(true);
}
