#pragma once
#include <string>
#include <string_view>

// The ticket's first line: the port name between blanks, centred in a field of 24 '*'.
// A name longer than 22 characters cannot fit between stars and blanks; it is then the
// whole title, uncut.
std::string ticketTitle(std::string_view portName);
