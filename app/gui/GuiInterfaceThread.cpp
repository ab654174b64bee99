#include "app/gui/GuiInterfaceThread.h"

#include "app/OrvaneDoc.h"
#include "app/gui/ChooseModel.h"
#include "app/gui/Leer.h"
#include "app/gui/LeerIP.h"
#include "app/gui/Login.h"
#include "app/gui/StationText.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

GuiInterfaceThread::GuiInterfaceThread(OrvaneDoc& doc) : document_(doc)
{
}

bool GuiInterfaceThread::isInterfaceThread() const
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

void GuiInterfaceThread::postExecuteRequests()
{
    // Any thread; the call runs on this object's thread, the application's.
    QMetaObject::invokeMethod(this, [this] { document_.executeQueuedRequests(); }, Qt::QueuedConnection);
}

void GuiInterfaceThread::updateAllViews()
{
    emit documentChanged();
}

bool GuiInterfaceThread::readText(const std::string& caption, std::string& text, BarcodeReader::Reader* reader)
{
    Leer dialog(reader, caption, mainWindow_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    text = dialog.text();
    return true;
}

bool GuiInterfaceThread::readIpAddress(const std::string& caption, std::uint32_t& address,
                                       BarcodeReader::Reader* reader)
{
    LeerIP dialog(reader, caption, address, mainWindow_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    address = dialog.address();
    return true;
}

bool GuiInterfaceThread::askPassword(const std::string& title, std::string& password)
{
    Login dialog(title, mainWindow_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    password = dialog.password();
    return true;
}

void GuiInterfaceThread::showMessage(const std::string& text, const std::string& caption)
{
    QMessageBox box(QMessageBox::NoIcon, toQtText(caption), toQtText(text), QMessageBox::Ok, mainWindow_);
    box.exec();
}

bool GuiInterfaceThread::chooseModel(const std::vector<TestTree::Model*>& candidates, std::size_t& chosenIndex)
{
    ChooseModel dialog(candidates, mainWindow_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosenIndex = dialog.chosenIndex();
    return true;
}
