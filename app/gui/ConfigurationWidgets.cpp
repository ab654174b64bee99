#include "app/gui/ConfigurationWidgets.h"

#include "app/gui/StationText.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>

QComboBox* makeActionBox(QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItems({QStringLiteral("To erase unconditionally"), QStringLiteral("To preserve or to erase if new"),
                   QStringLiteral("To preserve or to assign if new"), QStringLiteral("To assign unconditionally")});
    return box;
}

void showAction(QComboBox* box, int stored)
{
    box->setCurrentIndex(stored >= 0 && stored < box->count() ? stored : -1);
}

int chosenAction(const QComboBox* box, int stored)
{
    return box->currentIndex() >= 0 ? box->currentIndex() : stored;
}

QComboBox* makePortBox(QWidget* parent, const std::vector<std::string>& devices)
{
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (const auto& device : devices)
        box->addItem(toQtText(device));
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    return box;
}

QLineEdit* makeNumberField(QWidget* parent, int maxLength)
{
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(maxLength);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*")), edit));
    return edit;
}

int checkedOption(const QButtonGroup* group)
{
    return group->checkedId();
}

void checkOption(QButtonGroup* group, int id)
{
    if (QAbstractButton* button = group->button(id))
        button->setChecked(true);
}

std::string fieldText(const QLineEdit* edit)
{
    return toStationText(edit->text());
}

std::string fieldText(const QComboBox* box)
{
    return toStationText(box->currentText());
}

void setFieldText(QLineEdit* edit, const std::string& text)
{
    edit->setText(toQtText(text));
}

void setFieldText(QComboBox* box, const std::string& text)
{
    box->setEditText(toQtText(text));
}
