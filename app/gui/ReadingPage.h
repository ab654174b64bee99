#pragma once
// The Reading page: where bar codes come from (keyboard only, a serial reader, or a
// reader of the RS485 reader network) with the reader's port or server and number.
#include "app/gui/ConfigurationPage.h"

class QButtonGroup;
class QRadioButton;

class ReadingPage : public ConfigurationPage, public PortUser {
    Q_OBJECT
public:
    explicit ReadingPage(ConfigurationContext& context, QWidget* parent = nullptr);
    ~ReadingPage() override;

    void load() override;
    bool validate() override;
    bool save() override;
    bool usesPort(std::string_view port) const override;

    QButtonGroup* options() const { return options_; }
    QComboBox* portBox() const { return port_; }
    QLineEdit* serverEdit() const { return server_; }
    QLineEdit* readerNumberEdit() const { return readerNumber_; }

private:
    ReadingEntries entries() const;
    void applyEnabling();
    bool acceptReaderNetwork(const ReadingEntries& entries);

    QButtonGroup* options_ = nullptr;
    QRadioButton* keyboardOnly_ = nullptr;
    QComboBox* port_ = nullptr;
    QLineEdit* server_ = nullptr;
    QLineEdit* readerNumber_ = nullptr;
};
