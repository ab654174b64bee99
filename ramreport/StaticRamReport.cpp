#include "ramreport/StaticRamReport.h"

#include "ramreport/DirectoryWalk.h"
#include "ramreport/FamilyReport.h"

namespace ramreport {

int reportAllFamilies(const std::string& filesDirectory, std::FILE* console)
{
    const auto families = listFamilies(filesDirectory);
    if (!families) {
        std::fputs("No sub-directory in \\files directory!\n", console);
        return 1;
    }
    for (const std::string& family : *families)
        reportFamily(filesDirectory, family, console);
    return 0;
}

} // namespace ramreport
