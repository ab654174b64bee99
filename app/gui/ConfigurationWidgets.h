#pragma once
// Controls several configuration pages share: the assignment action drop-down, the
// editable serial port drop-down, numeric fields and option groups.
#include <QString>

#include <string>
#include <vector>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QWidget;

// The four assignment actions by their stored index.
QComboBox* makeActionBox(QWidget* parent);
// Shows a stored action; a value outside 0..3 shows no choice.
void showAction(QComboBox* box, int stored);
// The chosen action, or the stored one when nothing is chosen.
int chosenAction(const QComboBox* box, int stored);

// An editable drop-down listing the given serial devices.
QComboBox* makePortBox(QWidget* parent, const std::vector<std::string>& devices);

// A field that takes only a decimal integer; its range is checked by the page.
QLineEdit* makeNumberField(QWidget* parent, int maxLength);

// The id of the checked option of a group, -1 when none.
int checkedOption(const QButtonGroup* group);
void checkOption(QButtonGroup* group, int id);

// Station text of a field, and back.
std::string fieldText(const QLineEdit* edit);
std::string fieldText(const QComboBox* box);
void setFieldText(QLineEdit* edit, const std::string& text);
void setFieldText(QComboBox* box, const std::string& text);
