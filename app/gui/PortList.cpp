#include "app/gui/PortList.h"

namespace {

std::string_view trimTrailing(std::string_view text)
{
    std::size_t end = text.find_last_not_of(" \t\r\n");
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

} // namespace

PortList parsePortList(std::string_view setting)
{
    PortList list;
    std::string_view rest = trimTrailing(setting);
    bool first = true;
    while (!rest.empty()) {
        std::size_t comma = rest.find(',');
        std::string_view piece = trimTrailing(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        if (!piece.empty()) {
            if (first)
                list.firstPieceIsPort = true;
            list.ports.emplace_back(piece);
        }
        first = false;
    }
    return list;
}
