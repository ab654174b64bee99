#pragma once
// The Data Log page: whether downloads append to the load log, its file and its level
// of detail, with buttons to pick, clear and view the file.
#include "app/gui/ConfigurationPage.h"

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QLabel;
class QRadioButton;

class DataLogPage : public ConfigurationPage {
    Q_OBJECT
public:
    explicit DataLogPage(ConfigurationContext& context, QWidget* parent = nullptr);

    void load() override;
    bool validate() override;
    bool save() override;

    // Truncates the log file; a file that cannot be opened is reported.
    void clearLog();
    // Opens the log file in the desktop's viewer, without waiting for it.
    void viewLog();

    QButtonGroup* options() const { return options_; }
    QLineEdit* pathEdit() const { return path_; }
    QButtonGroup* levels() const { return levels_; }
    QPushButton* browseButton() const { return browse_; }
    QPushButton* clearButton() const { return clear_; }
    QPushButton* viewButton() const { return view_; }

private:
    DataLogEntries entries() const;
    void applyEnabling();
    void browse();

    QButtonGroup* options_ = nullptr;
    QRadioButton* disable_ = nullptr;
    QLineEdit* path_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* view_ = nullptr;
    QGroupBox* levelGroup_ = nullptr;
    QButtonGroup* levels_ = nullptr;
    QLabel* pathLabel_ = nullptr;
};
