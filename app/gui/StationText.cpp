#include "app/gui/StationText.h"

#include "platform/CodePage.h"

QString toQtText(std::string_view stationText)
{
    return QString::fromStdString(platform::cp1252ToUtf8(stationText));
}

std::string toStationText(const QString& text)
{
    return platform::toCp1252FromUtf8IfValid(text.toStdString());
}
