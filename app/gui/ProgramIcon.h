#pragma once
// The station's icon, drawn by the station: a payment terminal on its download cable.
#include <QIcon>
#include <QPixmap>

QPixmap programIconPixmap(int side);
QIcon programIcon();
