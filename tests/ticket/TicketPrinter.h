#pragma once
// A ticket printer on a pseudo-terminal for tests, and the bytes a ticket of given
// printed pieces comes out as.
#include "support/PtyPair.h"

#include <poll.h>

#include <initializer_list>
#include <string>

// Every printed piece ends with a carriage return and a line feed.
inline std::string printedBytes(std::initializer_list<std::string> pieces)
{
    std::string bytes;
    for (const std::string& piece : pieces)
        bytes += piece + "\r\n";
    return bytes;
}

// True when nothing waits to be read on the master side (the station wrote nothing).
inline bool nothingPrinted(PtyPair& printer)
{
    pollfd p{printer.master(), POLLIN, 0};
    return ::poll(&p, 1, 0) == 0;
}
