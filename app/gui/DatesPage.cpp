#include "app/gui/DatesPage.h"

#include "app/gui/ConfigurationWidgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

DatesPage::DatesPage(ConfigurationContext& context, QWidget* parent)
    : ConfigurationPage(context, QStringLiteral("Dates"), parent)
{
    installation_ = makeActionBox(this);
    batteries_ = makeActionBox(this);
    manufacturing_ = makeActionBox(this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Installation date:"), this), 0, 0);
    grid->addWidget(installation_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Battery installation date:"), this), 1, 0);
    grid->addWidget(batteries_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Manufacturing date:"), this), 2, 0);
    grid->addWidget(manufacturing_, 2, 1);
    grid->setRowStretch(3, 1);
    for (QComboBox* box : {installation_, batteries_, manufacturing_})
        watch(box);
}

void DatesPage::load()
{
    stored_ = loadDatesEntries(context_.store);
    showAction(installation_, stored_.installation);
    showAction(batteries_, stored_.batteries);
    showAction(manufacturing_, stored_.manufacturing);
    setModified(false);
}

bool DatesPage::save()
{
    return saveDatesEntries(context_.store, {chosenAction(installation_, stored_.installation),
                                             chosenAction(batteries_, stored_.batteries),
                                             chosenAction(manufacturing_, stored_.manufacturing)});
}
