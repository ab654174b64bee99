// memtabler: writes the static RAM report of every terminal family found below
// ../files/. It takes no arguments and asks nothing.
#include "ramreport/StaticRamReport.h"

#include <cstdio>

int main()
{
    const int status = ramreport::reportAllFamilies(ramreport::kFilesDirectory, stdout);
    if (std::fflush(stdout) != 0)
        return 1;
    return status;
}
