#pragma once
// The IP Address page: assignment action, source (sequence or reading), next address,
// step and network mask.
#include "app/gui/ConfigurationPage.h"

class Ipv4AddressField;
class QButtonGroup;
class QRadioButton;

class IpAddressPage : public ConfigurationPage {
    Q_OBJECT
public:
    explicit IpAddressPage(ConfigurationContext& context, QWidget* parent = nullptr);

    void load() override;
    bool validate() override;
    bool save() override;

    QComboBox* actionBox() const { return action_; }
    QButtonGroup* options() const { return options_; }
    Ipv4AddressField* nextField() const { return next_; }
    QLineEdit* stepEdit() const { return step_; }
    Ipv4AddressField* maskField() const { return mask_; }

private:
    IpAddressEntries entries() const;
    void applyEnabling();

    QComboBox* action_ = nullptr;
    QButtonGroup* options_ = nullptr;
    QRadioButton* sequential_ = nullptr;
    Ipv4AddressField* next_ = nullptr;
    QLineEdit* step_ = nullptr;
    Ipv4AddressField* mask_ = nullptr;
    int storedAction_ = 0;
};
