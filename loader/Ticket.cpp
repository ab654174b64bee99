// The ticket lines a download collects while it runs.
#include "app/OrvaneDoc.h"
#include "loader/DownloadJob.h"
#include "loader/TicketTitle.h"

void DownloadJob::addTicketLine(std::string_view line)
{
    if (ticketOn_)
        ticketLines_.emplace_back(line);
}

void DownloadJob::addTicketHeading()
{
    addTicketLine(ticketTitle(portName_));
    addTicketLine(document_.currentModelValue("MODEL", "CODE"));
    addTicketLine(document_.currentModelValue("MODEL", "DESC"));
    addTicketLine(std::string(24, '*'));
}

void DownloadJob::addTicketTrailer(bool success)
{
    addTicketLine(success ? std::string(24, '*') : std::string("!+!+!+!+!+!+!+!+!+!+!+!+"));
    for (int i = 0; i < 4; ++i)
        addTicketLine(std::string());
}
