// orvane: the download station's window.
#include "app/gui/OrvaneApp.h"
#include "platform/Paths.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvane"));
    // The station does not read its command line; the settings file is found the same
    // way as the headless station finds it without --settings.
    OrvaneApp station(platform::settingsFilePath(std::nullopt));
    station.start();
    return station.run(application);
}
