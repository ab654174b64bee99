#pragma once
// A panel's Download/Cancel button, drawn by the station: yellow while its download
// runs, red when the last one failed, green otherwise, with a raised or sunken double
// border, the text moved when pressed and a dotted focus rectangle.
#include <QColor>
#include <QPushButton>

#include <cstddef>

class OrvaneView;

class PanelButton : public QPushButton {
    Q_OBJECT
public:
    PanelButton(OrvaneView& view, std::size_t panel, const QString& text, QWidget* parent);

    std::size_t panel() const { return panel_; }

    static QColor faceColour(bool running, bool failed);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    OrvaneView& view_;
    std::size_t panel_;
};
