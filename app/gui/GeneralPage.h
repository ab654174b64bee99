#pragma once
// The General page: manufacturer identifier, download ports, terminals and
// applications directories.
#include "app/gui/ConfigurationPage.h"

class QListWidget;
class QPushButton;

class GeneralPage : public ConfigurationPage, public PortUser {
    Q_OBJECT
public:
    explicit GeneralPage(ConfigurationContext& context, QWidget* parent = nullptr);
    ~GeneralPage() override;

    void load() override;
    bool validate() override;
    bool save() override;
    bool usesPort(std::string_view port) const override;

    // The Add and Delete buttons' work.
    void addPort();
    void deletePort();

    QLineEdit* manufacturerEdit() const { return manufacturer_; }
    QComboBox* portBox() const { return portBox_; }
    QListWidget* portList() const { return portList_; }
    QLineEdit* terminalsEdit() const { return terminals_; }
    QLineEdit* applicationsEdit() const { return applications_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    GeneralEntries entries() const;
    void browse(QLineEdit* field, QLineEdit* other, const QString& title);

    QLineEdit* manufacturer_ = nullptr;
    QComboBox* portBox_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QListWidget* portList_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QLineEdit* terminals_ = nullptr;
    QLineEdit* applications_ = nullptr;
};
