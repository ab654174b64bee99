#include "app/gui/BarCodePicture.h"

#include <QPainter>

#include <array>

namespace {

// Widths of the bars and the gaps between them, alternating, bar first, in modules.
constexpr std::array<int, 39> kPattern = {2, 1, 1, 1, 3, 2, 1, 1, 2, 3, 1, 1, 1, 2, 3, 1, 2, 1, 1, 1,
                                          3, 1, 2, 2, 1, 1, 3, 1, 1, 2, 2, 1, 1, 3, 1, 1, 2, 1, 2};
constexpr int kQuietModules = 4;
constexpr int kModulePixels = 2;
constexpr int kBarHeight = 48;

constexpr int patternModules()
{
    int total = 0;
    for (int width : kPattern)
        total += width;
    return total;
}

} // namespace

BarCodePicture::BarCodePicture(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void BarCodePicture::setReaderReady(bool ready)
{
    if (ready == ready_)
        return;
    ready_ = ready;
    update();
}

QColor BarCodePicture::barColour() const
{
    return ready_ ? QColor(Qt::black) : QColor(160, 160, 160);
}

QSize BarCodePicture::sizeHint() const
{
    return {(patternModules() + 2 * kQuietModules) * kModulePixels, kBarHeight + 2 * kQuietModules};
}

void BarCodePicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const int barTop = kQuietModules;
    const int barHeight = height() - 2 * kQuietModules;
    int x = (width() - patternModules() * kModulePixels) / 2;
    bool bar = true;
    for (int modules : kPattern) {
        const int pixels = modules * kModulePixels;
        if (bar)
            painter.fillRect(x, barTop, pixels, barHeight, barColour());
        x += pixels;
        bar = !bar;
    }
}
