#include "app/gui/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>

QPixmap programIconPixmap(int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 32.0, side / 32.0);

    // The cable, leaving the terminal's foot towards the station.
    QPainterPath cable;
    cable.moveTo(16, 28);
    cable.cubicTo(16, 31, 26, 31, 29, 26);
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);

    // Body, display and keypad.
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(70, 80, 100));
    p.drawRoundedRect(QRectF(7.5, 1.5, 17, 27), 3, 3);
    p.setBrush(QColor(120, 220, 120));
    p.drawRect(QRectF(10.5, 4.5, 11, 7));
    p.setPen(Qt::NoPen);
    const QColor keys[] = {QColor(230, 230, 230), QColor(230, 230, 230), QColor(230, 230, 230)};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            p.setBrush(row == 3 ? (col == 0 ? QColor(220, 40, 40) : col == 1 ? QColor(240, 210, 0)
                                                                               : QColor(40, 180, 40))
                                : keys[col]);
            p.drawRect(QRectF(10.5 + col * 4, 14 + row * 3.3, 3, 2.2));
        }
    // A downward arrow on the display: a download in progress.
    p.setBrush(QColor(0, 90, 0));
    QPainterPath arrow;
    arrow.moveTo(16, 10.5);
    arrow.lineTo(12.5, 7);
    arrow.lineTo(14.8, 7);
    arrow.lineTo(14.8, 5);
    arrow.lineTo(17.2, 5);
    arrow.lineTo(17.2, 7);
    arrow.lineTo(19.5, 7);
    arrow.closeSubpath();
    p.drawPath(arrow);
    return pixmap;
}

QIcon programIcon()
{
    QIcon icon;
    for (int side : {16, 32, 48, 64})
        icon.addPixmap(programIconPixmap(side));
    return icon;
}
