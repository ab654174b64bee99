#pragma once
// How the configuration sheet speaks to the operator: message boxes with OK, questions
// with OK and Cancel, and the beep of a refused action. The sheet's tests answer in
// place of the operator through their own implementation.
#include <QString>

class QWidget;

class ConfigurationMessages {
public:
    virtual ~ConfigurationMessages() = default;
    // A box with the text, the caption and an OK button.
    virtual void tell(QWidget* page, const QString& text, const QString& caption) = 0;
    // A box with OK and Cancel; true for OK.
    virtual bool ask(QWidget* page, const QString& text, const QString& caption) = 0;
    virtual void beep() = 0;
};

// Message boxes of the platform.
class BoxMessages : public ConfigurationMessages {
public:
    void tell(QWidget* page, const QString& text, const QString& caption) override;
    bool ask(QWidget* page, const QString& text, const QString& caption) override;
    void beep() override;
};
