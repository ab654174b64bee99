#include "app/gui/ConfigurationMessages.h"

#include <QApplication>
#include <QMessageBox>

void BoxMessages::tell(QWidget* page, const QString& text, const QString& caption)
{
    QMessageBox::warning(page, caption, text, QMessageBox::Ok);
}

bool BoxMessages::ask(QWidget* page, const QString& text, const QString& caption)
{
    return QMessageBox::question(page, caption, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
        == QMessageBox::Ok;
}

void BoxMessages::beep()
{
    QApplication::beep();
}
