#pragma once
// A hidden option for documentation and demos, read from the environment:
//   ORVANE_SCREENSHOT=FILE.png          save a picture of the window, then close it
//   ORVANE_SCREENSHOT_AFTER_MS=N        that many milliseconds after start (default 4000)
//   ORVANE_SCREENSHOT_DOWNLOAD=1        press Download on every panel at start
// The picture shows the window's caption above its contents, as a window manager
// would draw it.
#include <QImage>
#include <QString>

class MainFrame;

QImage windowPicture(MainFrame& frame);
// Arms the option when the environment asks for it; does nothing otherwise.
void armScreenshotOption(MainFrame& frame);
