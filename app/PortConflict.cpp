#include "app/PortConflict.h"

#include "app/PasswordEncoding.h"

#include <algorithm>
#include <cctype>

namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

bool portListUses(const std::vector<std::string>& ports, std::string_view port)
{
    return std::any_of(ports.begin(), ports.end(), [&](const std::string& p) { return equalIgnoringCase(p, port); });
}

bool serialOptionUses(bool serialOptionChosen, std::string_view portField, std::string_view port)
{
    return serialOptionChosen && trimTrailingBlanks(portField) == port;
}

void PortConflictQuery::add(const PortUser* page)
{
    if (std::find(pages_.begin(), pages_.end(), page) == pages_.end())
        pages_.push_back(page);
}

void PortConflictQuery::remove(const PortUser* page)
{
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
}

bool PortConflictQuery::usedByOtherPage(const PortUser* asking, std::string_view port) const
{
    return std::any_of(pages_.begin(), pages_.end(),
                       [&](const PortUser* page) { return page != asking && page->usesPort(port); });
}
