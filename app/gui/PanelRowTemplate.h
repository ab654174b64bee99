#pragma once
// The row of one download panel: port name, progress bar, status text and button, laid
// out in dialog units (a quarter of the font's average character width across, an
// eighth of its height down) and turned into pixels for the view's font.
#include <QFont>
#include <QRect>
#include <QSize>

struct PanelRowTemplate {
    QRect label;
    QRect progress;
    QRect status;
    QRect button;
    QSize row; // the hidden marker's right and bottom edges

    static PanelRowTemplate forFont(const QFont& font);
};
