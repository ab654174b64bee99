#pragma once
// The reading dialog for one line of text: the operator types digits or scans a code
// with the bar-code reader. The picture shows whether the reader is ready; a scanned
// code is taken as if typed and confirmed at once.
#include "comm/BarcodeReader.h"

#include <QDialog>

#include <string>

class BarCodePicture;
class QLineEdit;
class QPushButton;

class Leer : public QDialog, public BarcodeReader::Client {
    Q_OBJECT
public:
    // The caption is replaced by title when title is not empty. With a reader, the
    // dialog attaches itself as its client for as long as it lives.
    Leer(BarcodeReader::Reader* reader, const std::string& title, QWidget* owner = nullptr);
    ~Leer() override;

    // The text confirmed by OK or by a scanned code, in the station's code page.
    const std::string& text() const { return text_; }

    BarCodePicture* picture() const { return picture_; }
    QLineEdit* edit() const { return edit_; }
    QPushButton* okButton() const { return okButton_; }

    // Called on the reader's thread with the reader's lock held: each only posts the
    // work to the dialog's own thread.
    void readerOpened(BarcodeReader::Reader& reader) override;
    void readerClosed(BarcodeReader::Reader& reader) override;
    void codeRead(BarcodeReader::Reader& reader, const std::string& code) override;

protected:
    // For dialogs with another entry field than the text edit (edit() is then null);
    // the field is placed where the edit would be and belongs to the dialog.
    Leer(BarcodeReader::Reader* reader, const char* caption, const std::string& title, QWidget* entryField,
         QWidget* owner);

    // OK pressed: the entry is confirmed.
    virtual void confirm();
    // A code came from the reader: it is shown and confirmed.
    virtual void takeScannedCode(const std::string& code);

private:
    void attachToReader();

    BarcodeReader::Reader* reader_;
    QLineEdit* edit_;
    BarCodePicture* picture_ = nullptr;
    QPushButton* okButton_ = nullptr;
    std::string text_;
};
