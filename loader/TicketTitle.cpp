#include "loader/TicketTitle.h"

std::string ticketTitle(std::string_view portName)
{
    constexpr std::size_t field = 24;
    if (portName.size() + 2 > field)
        return std::string(portName);
    std::size_t left = (field - portName.size() - 2) / 2;
    std::size_t right = field - left - portName.size() - 2;
    std::string title(left, '*');
    title += ' ';
    title += portName;
    title += ' ';
    title.append(right, '*');
    return title;
}
