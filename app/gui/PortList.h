#pragma once
// The download ports named by the Puertos setting.
#include <string>
#include <string_view>
#include <vector>

struct PortList {
    std::vector<std::string> ports;
    // True when the text's first piece is a port (its panel's button is the default).
    bool firstPieceIsPort = false;
};

// Pieces between commas, each without trailing blanks, tabs and line ends; empty pieces
// are skipped. Leading blanks stay: they are part of the name as written.
PortList parsePortList(std::string_view setting);
