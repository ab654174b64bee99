#pragma once
// The Serial Number page: assignment action, source (sequence or reading), next serial
// number and step.
#include "app/gui/ConfigurationPage.h"

class QButtonGroup;
class QRadioButton;

class SerialNumberPage : public ConfigurationPage {
    Q_OBJECT
public:
    explicit SerialNumberPage(ConfigurationContext& context, QWidget* parent = nullptr);

    void load() override;
    bool validate() override;
    bool save() override;

    QComboBox* actionBox() const { return action_; }
    QButtonGroup* options() const { return options_; }
    QLineEdit* nextEdit() const { return next_; }
    QLineEdit* stepEdit() const { return step_; }

private:
    SerialNumberEntries entries() const;
    void applyEnabling();

    QComboBox* action_ = nullptr;
    QButtonGroup* options_ = nullptr;
    QRadioButton* sequential_ = nullptr;
    QLineEdit* next_ = nullptr;
    QLineEdit* step_ = nullptr;
    int storedAction_ = 0;
};
