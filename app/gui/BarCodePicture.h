#pragma once
// The reading dialogs' picture of a bar code: black while the bar-code reader's device
// or link is up, grey at the start and while it is down.
#include <QWidget>

class BarCodePicture : public QWidget {
    Q_OBJECT
public:
    explicit BarCodePicture(QWidget* parent = nullptr);

    void setReaderReady(bool ready);
    bool readerReady() const { return ready_; }
    // The colour the bars are drawn in now.
    QColor barColour() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool ready_ = false;
};
