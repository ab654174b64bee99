#include "app/gui/Login.h"

#include "app/gui/StationText.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr char kCaption[] = "Enter configuration password";

// Blank once its trailing blanks, tabs and line ends are removed.
bool isBlankEntry(const std::string& text)
{
    return text.find_last_not_of(" \t\r\n") == std::string::npos;
}

} // namespace

Login::Login(const std::string& title, QWidget* owner) : QDialog(owner)
{
    setWindowTitle(toQtText(title.empty() ? std::string(kCaption) : title));
    edit_ = new QLineEdit;
    edit_->setEchoMode(QLineEdit::Password);
    edit_->setMaxLength(kMaxPasswordLength);
    edit_->setMinimumWidth(200);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &Login::confirm);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(tr("Password:")));
    column->addWidget(edit_);
    column->addWidget(buttons);
    edit_->setFocus();
}

void Login::confirm()
{
    std::string typed = toStationText(edit_->text());
    if (isBlankEntry(typed)) {
        QMessageBox box(QMessageBox::NoIcon, toQtText("Empty password"), toQtText("Password entry is mandatory."),
                        QMessageBox::Ok, this);
        box.exec();
        edit_->setFocus();
        return;
    }
    password_ = std::move(typed);
    accept();
}
