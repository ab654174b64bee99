#pragma once
// The Dates page: the assignment actions of the installation, battery installation and
// manufacturing dates. Nothing to check.
#include "app/gui/ConfigurationPage.h"

class DatesPage : public ConfigurationPage {
    Q_OBJECT
public:
    explicit DatesPage(ConfigurationContext& context, QWidget* parent = nullptr);

    void load() override;
    bool validate() override { return true; }
    bool save() override;

    QComboBox* installationBox() const { return installation_; }
    QComboBox* batteriesBox() const { return batteries_; }
    QComboBox* manufacturingBox() const { return manufacturing_; }

private:
    QComboBox* installation_ = nullptr;
    QComboBox* batteries_ = nullptr;
    QComboBox* manufacturing_ = nullptr;
    DatesEntries stored_;
};
