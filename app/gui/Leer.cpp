#include "app/gui/Leer.h"

#include "app/gui/BarCodePicture.h"
#include "app/gui/StationText.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

constexpr char kSerialNumberCaption[] = "Serial Number Bar Code Reader  ";

// From the keyboard the edit takes decimal digits only; a scanned code is put in as read.
QLineEdit* digitsOnlyEdit()
{
    auto* edit = new QLineEdit;
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setMinimumWidth(180);
    return edit;
}

} // namespace

Leer::Leer(BarcodeReader::Reader* reader, const std::string& title, QWidget* owner)
    : Leer(reader, kSerialNumberCaption, title, digitsOnlyEdit(), owner)
{
}

Leer::Leer(BarcodeReader::Reader* reader, const char* caption, const std::string& title, QWidget* entryField,
           QWidget* owner)
    : QDialog(owner), reader_(reader), edit_(qobject_cast<QLineEdit*>(entryField))
{
    setWindowTitle(toQtText(title.empty() ? std::string(caption) : title));
    picture_ = new BarCodePicture;
    okButton_ = new QPushButton(tr("OK"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, [this] { confirm(); });

    auto* entry = new QVBoxLayout;
    entry->addWidget(entryField);
    entry->addWidget(okButton_, 0, Qt::AlignRight);
    auto* row = new QHBoxLayout(this);
    row->addWidget(picture_);
    row->addLayout(entry);
    entryField->setFocus();
    attachToReader();
}

Leer::~Leer()
{
    // No notification reaches the dialog once the reader has let go of it.
    if (reader_)
        reader_->setClient(nullptr);
}

void Leer::attachToReader()
{
    if (reader_)
        reader_->setClient(this);
}

void Leer::readerOpened(BarcodeReader::Reader&)
{
    QMetaObject::invokeMethod(this, [this] { picture_->setReaderReady(true); }, Qt::QueuedConnection);
}

void Leer::readerClosed(BarcodeReader::Reader&)
{
    QMetaObject::invokeMethod(this, [this] { picture_->setReaderReady(false); }, Qt::QueuedConnection);
}

void Leer::codeRead(BarcodeReader::Reader&, const std::string& code)
{
    QMetaObject::invokeMethod(this, [this, code] { takeScannedCode(code); }, Qt::QueuedConnection);
}

void Leer::confirm()
{
    if (edit_)
        text_ = toStationText(edit_->text());
    accept();
}

void Leer::takeScannedCode(const std::string& code)
{
    // A code that arrives once the dialog has been answered changes nothing.
    if (!isVisible())
        return;
    // Taken as read: letters and control bytes that the edit would not take from the
    // keyboard are kept.
    if (edit_)
        edit_->setText(toQtText(code));
    text_ = code;
    accept();
}
