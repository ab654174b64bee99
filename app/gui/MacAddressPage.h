#pragma once
// The MAC Address page: assignment action, source (sequence, MAC range database or
// reading), next address and step, and the ODBC data source of the range database.
#include "app/gui/ConfigurationPage.h"

class QButtonGroup;
class QPushButton;
class QRadioButton;

class MacAddressPage : public ConfigurationPage {
    Q_OBJECT
public:
    explicit MacAddressPage(ConfigurationContext& context, QWidget* parent = nullptr);

    void load() override;
    bool validate() override;
    bool save() override;

    // Proves the data source the operator chose and keeps its name; a data source that
    // does not prove is refused with the focus on the DSN field.
    bool takeChosenDataSource(const std::string& chosen);

    QComboBox* actionBox() const { return action_; }
    QButtonGroup* options() const { return options_; }
    QLineEdit* nextEdit() const { return next_; }
    QLineEdit* stepEdit() const { return step_; }
    QLineEdit* dataSourceEdit() const { return dataSource_; }
    QPushButton* browseButton() const { return browse_; }

private:
    MacAddressEntries entries() const;
    void applyEnabling();
    void browse();

    QComboBox* action_ = nullptr;
    QButtonGroup* options_ = nullptr;
    QRadioButton* sequential_ = nullptr;
    QLineEdit* next_ = nullptr;
    QLineEdit* step_ = nullptr;
    QLineEdit* dataSource_ = nullptr;
    QPushButton* browse_ = nullptr;
    int storedAction_ = 0;
};
