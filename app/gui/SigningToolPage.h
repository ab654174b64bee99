#pragma once
// The Signing Tool page: whether the signing tool is available, on a serial port or
// with a key file, and the key number.
#include "app/gui/ConfigurationPage.h"

class QButtonGroup;
class QPushButton;
class QRadioButton;

class SigningToolPage : public ConfigurationPage, public PortUser {
    Q_OBJECT
public:
    explicit SigningToolPage(ConfigurationContext& context, QWidget* parent = nullptr);
    ~SigningToolPage() override;

    void load() override;
    bool validate() override;
    bool save() override;
    bool usesPort(std::string_view port) const override;

    QButtonGroup* options() const { return options_; }
    QComboBox* portBox() const { return port_; }
    QLineEdit* keyFileEdit() const { return keyFile_; }
    QPushButton* browseButton() const { return browse_; }
    QLineEdit* keyNumberEdit() const { return keyNumber_; }

private:
    SigningToolEntries entries() const;
    void applyEnabling();
    void browse();

    QButtonGroup* options_ = nullptr;
    QRadioButton* notAvailable_ = nullptr;
    QComboBox* port_ = nullptr;
    QLineEdit* keyFile_ = nullptr;
    QPushButton* browse_ = nullptr;
    QLineEdit* keyNumber_ = nullptr;
};
