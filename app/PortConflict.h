#pragma once
// The port-conflict query of the configuration pages: a page about to accept a serial
// port asks every other page whether it uses that port already.
#include <string>
#include <string_view>
#include <vector>

// A configuration page that may hold serial ports.
class PortUser {
public:
    virtual ~PortUser() = default;
    virtual bool usesPort(std::string_view port) const = 0;
};

// The download port list uses a port written in any letter case.
bool portListUses(const std::vector<std::string>& ports, std::string_view port);

// A reader or signing device uses its port field, compared exactly, and only while its
// serial option is chosen. Trailing blanks of the field do not count.
bool serialOptionUses(bool serialOptionChosen, std::string_view portField, std::string_view port);

// Every page of one configuration sheet that holds ports; pages register themselves
// when they are created and are not owned.
class PortConflictQuery {
public:
    void add(const PortUser* page);
    void remove(const PortUser* page);
    // True when a page other than the asking one uses the port.
    bool usedByOtherPage(const PortUser* asking, std::string_view port) const;

private:
    std::vector<const PortUser*> pages_;
};
