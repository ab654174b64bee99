#pragma once
// The modal sheet "Configuration" with its nine pages, OK, Cancel and Apply. Seven pages
// are created and loaded with the sheet so that they answer the port-conflict query at
// once; Dates and Data Log are created when first shown. Leaving a page and OK validate
// the page shown; OK and Apply then save every page created. Cancel writes nothing.
#include <QDialog>

#include <array>

struct ConfigurationContext;
class ConfigurationPage;
class QPushButton;
class QTabWidget;

class ConfigurationSheet : public QDialog {
    Q_OBJECT
public:
    enum PageIndex {
        General,
        SerialNumber,
        MacAddress,
        IpAddress,
        Dates,
        Reading,
        SigningTool,
        DataLog,
        Security,
        PageCount
    };

    explicit ConfigurationSheet(ConfigurationContext& context, QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    // The page at an index; nothing while it is not created yet.
    ConfigurationPage* page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    template <typename Page>
    Page* pageAs(int index) const { return qobject_cast<Page*>(page(index)); }

    // Shows another page after validating the one shown; false when it refuses.
    bool showPage(int index);
    // Validates the page shown and saves every created page; false when the page
    // refuses or the settings cannot be written.
    bool apply();

    QPushButton* okButton() const { return okButton_; }
    QPushButton* applyButton() const { return applyButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

    void accept() override;

private:
    ConfigurationPage* createPage(int index);
    void pageChanged(int index);
    // Shows a tab without taking it for the operator's change of page.
    void showTabQuietly(int index);
    bool saveAll();
    void updateApply();

    ConfigurationContext& context_;
    QTabWidget* tabs_ = nullptr;
    std::array<ConfigurationPage*, PageCount> pages_{};
    std::array<QWidget*, PageCount> holders_{};
    int shown_ = 0;
    bool switchingQuietly_ = false;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* applyButton_ = nullptr;
};
