#pragma once
// One page of the configuration sheet. The sheet loads a page when it creates it,
// validates it when the operator leaves it or presses OK on it, and saves every page it
// created on OK and Apply. Any edit or option click marks the page modified, which
// enables the sheet's Apply button.
#include "app/ConfigurationChecks.h"
#include "app/gui/ConfigurationContext.h"

#include <QWidget>

#include <functional>
#include <string>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QLineEdit;

class ConfigurationPage : public QWidget {
    Q_OBJECT
public:
    ConfigurationPage(ConfigurationContext& context, const QString& title, QWidget* parent = nullptr);

    const QString& title() const { return title_; }

    // Reads the page's keys and sets its controls and enabling rules.
    virtual void load() = 0;
    // Runs the page's checks in order; the first failing one speaks to the operator,
    // puts the focus on its field and makes the result false.
    virtual bool validate() = 0;
    // Writes every key of the page; false when the store could not be written.
    virtual bool save() = 0;

    bool modified() const { return modified_; }
    void setModified(bool modified);

    // The control the last failed check put the focus on.
    QWidget* lastFocused() const { return lastFocused_; }

signals:
    void modifiedChanged(bool modified);

protected:
    ConfigurationMessages& messages() const;
    void tell(const std::string& text, const std::string& caption);
    bool ask(const std::string& text, const std::string& caption);
    void focusField(QWidget* field);

    template <typename Field>
    bool refuse(const PageComplaint<Field>& complaint, QWidget* field)
    {
        tell(complaint.message, complaint.caption);
        focusField(field);
        return false;
    }

    // Runs the serial-port check with its questions; true when the port is taken.
    bool acceptSerialPort(const std::string& port);
    // The port of a page's own serial device: refused when another page uses it, then
    // the serial-port check; a refusal puts the focus on the port field.
    bool acceptOwnPort(const PortUser& self, const std::string& port, QWidget* portField);

    // Edits, drop-downs and option buttons that mark the page modified.
    void watch(QLineEdit* edit);
    void watch(QComboBox* box);
    void watch(QAbstractButton* button);
    // The buttons of an option group mark the page modified; a click on one re-applies
    // the page's enabling rules.
    void watchOptions(QButtonGroup* options, std::function<void()> applyEnabling);

    ConfigurationContext& context_;

private:
    QString title_;
    bool modified_ = false;
    QWidget* lastFocused_ = nullptr;
};
