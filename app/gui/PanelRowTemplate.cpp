#include "app/gui/PanelRowTemplate.h"

#include <QFontMetrics>

namespace {

struct DialogUnits {
    int baseX;
    int baseY;

    int x(int units) const { return (units * baseX + 2) / 4; }
    int y(int units) const { return (units * baseY + 4) / 8; }
    // A rectangle given as left, top, width, height in dialog units; its edges are
    // converted one by one, so neighbouring controls meet exactly.
    QRect rect(int left, int top, int width, int height) const
    {
        int l = x(left), t = y(top), r = x(left + width), b = y(top + height);
        return QRect(l, t, r - l, b - t);
    }
};

DialogUnits unitsOf(const QFont& font)
{
    QFontMetrics metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int averageWidth = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    return DialogUnits{averageWidth > 0 ? averageWidth : 6, metrics.height() > 0 ? metrics.height() : 13};
}

} // namespace

PanelRowTemplate PanelRowTemplate::forFont(const QFont& font)
{
    DialogUnits units = unitsOf(font);
    PanelRowTemplate row;
    row.label = units.rect(8, 4, 48, 24);
    row.progress = units.rect(64, 4, 128, 12);
    row.status = units.rect(64, 16, 128, 12);
    row.button = units.rect(200, 4, 48, 24);
    QRect marker = units.rect(247, 25, 9, 8);
    row.row = QSize(marker.x() + marker.width(), marker.y() + marker.height());
    return row;
}
