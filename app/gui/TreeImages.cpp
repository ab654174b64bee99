#include "app/gui/TreeImages.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kSide = 16;

const QColor kOutline(96, 64, 0);
const QColor kFolderBack(224, 176, 64);
const QColor kFolderFront(255, 216, 96);

void drawClosedFamily(QPainter& p)
{
    p.setPen(kOutline);
    p.setBrush(kFolderBack);
    p.drawRect(1, 3, 6, 2); // the tab
    p.setBrush(kFolderFront);
    p.drawRect(1, 4, 13, 9);
}

void drawOpenFamily(QPainter& p)
{
    p.setPen(kOutline);
    p.setBrush(kFolderBack);
    p.drawRect(1, 3, 6, 2);
    p.drawRect(1, 4, 12, 9);
    // The front flap, tilted open.
    QPainterPath flap;
    flap.moveTo(1, 13);
    flap.lineTo(4, 7);
    flap.lineTo(15, 7);
    flap.lineTo(13, 13);
    flap.closeSubpath();
    p.setBrush(kFolderFront);
    p.drawPath(flap);
}

// A payment terminal seen from the front: body, display and keypad.
void drawTerminal(QPainter& p, const QColor& display)
{
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(3.5, 0.5, 9, 15), 2, 2);
    p.setBrush(display);
    p.drawRect(5, 2, 6, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            p.drawRect(5 + col * 2, 8 + row * 2, 1, 1);
}

void drawModel(QPainter& p)
{
    drawTerminal(p, QColor(120, 160, 200));
}

void drawSelectedModel(QPainter& p)
{
    drawTerminal(p, QColor(80, 220, 80));
    // A tick on the display: this is the model the station loads.
    p.setPen(QPen(QColor(0, 90, 0), 1.2));
    p.drawLine(QPointF(5.5, 4.0), QPointF(7.2, 5.5));
    p.drawLine(QPointF(7.2, 5.5), QPointF(10.5, 2.3));
}

// Three terminals side by side on a bench: the whole range of terminal types.
void drawRoot(QPainter& p)
{
    p.setPen(QColor(0, 40, 110));
    p.setBrush(QColor(40, 90, 190));
    p.drawRect(0, 11, 15, 4);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(QColor(160, 160, 170));
        p.setPen(QColor(40, 40, 40));
        p.drawRect(1 + i * 5, 2, 3, 8);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 160, 200));
        p.drawRect(2 + i * 5, 3, 2, 2);
    }
}

} // namespace

QPixmap treeImage(TreeImage image)
{
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    switch (image) {
    case TreeImage::ClosedFamily:
        drawClosedFamily(painter);
        break;
    case TreeImage::OpenFamily:
        drawOpenFamily(painter);
        break;
    case TreeImage::Model:
        drawModel(painter);
        break;
    case TreeImage::Root:
        drawRoot(painter);
        break;
    case TreeImage::SelectedModel:
        drawSelectedModel(painter);
        break;
    }
    return pixmap;
}

QIcon treeIcon(TreeImage normal, TreeImage selected)
{
    QIcon icon;
    icon.addPixmap(treeImage(normal), QIcon::Normal);
    icon.addPixmap(treeImage(selected), QIcon::Selected);
    return icon;
}
