#pragma once
// The password prompt: a masked edit of at most 16 characters, OK and Cancel. Serves
// the signer password prompt and the configuration gate. OK with a blank entry is
// refused with a message and the prompt stays open.
#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;

class Login : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxPasswordLength = 16;

    // The caption is replaced by title when title is not empty.
    explicit Login(const std::string& title = {}, QWidget* owner = nullptr);

    // The password as typed, in the station's code page, once confirmed.
    const std::string& password() const { return password_; }

    QLineEdit* edit() const { return edit_; }
    QPushButton* okButton() const { return okButton_; }

private:
    void confirm();

    QLineEdit* edit_ = nullptr;
    QPushButton* okButton_ = nullptr;
    std::string password_;
};
