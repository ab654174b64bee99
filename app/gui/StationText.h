#pragma once
// Texts inside the station are CP1252; Qt speaks Unicode. The window converts at its
// boundary with these two.
#include <QString>

#include <string>
#include <string_view>

QString toQtText(std::string_view stationText);
std::string toStationText(const QString& text);
