#pragma once
// The Security page: whether a password guards the configuration, and the password
// entered twice.
#include "app/gui/ConfigurationPage.h"

class QButtonGroup;

class SecurityPage : public ConfigurationPage {
    Q_OBJECT
public:
    explicit SecurityPage(ConfigurationContext& context, QWidget* parent = nullptr);

    void load() override;
    bool validate() override;
    bool save() override;

    QButtonGroup* options() const { return options_; }
    QLineEdit* passwordEdit() const { return password_; }
    QLineEdit* repeatEdit() const { return repeat_; }

private:
    SecurityEntries entries() const;
    void applyEnabling();

    QButtonGroup* options_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* repeat_ = nullptr;
};
