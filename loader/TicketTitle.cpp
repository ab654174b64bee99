#include "loader/TicketTitle.h"

std::string ticketTitle(std::string_view portName)
{
    constexpr long field = 24;
    long name = static_cast<long>(portName.size());
    long left = (field - name - 2) / 2;
    if (left < 0)
        left = 0;
    long right = field - left - name - 2;
    if (right < 0)
        right = 0;
    std::string title(static_cast<std::size_t>(left), '*');
    title += ' ';
    title += portName;
    title += ' ';
    title.append(static_cast<std::size_t>(right), '*');
    return title;
}
