#pragma once
#include <string>
#include <string_view>

// The ticket's first line: the port name between blanks, centred in a field of 24 '*'.
// A name too long for the field keeps its blanks and gets no stars.
std::string ticketTitle(std::string_view portName);
