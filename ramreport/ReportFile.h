#pragma once
// A family's report file: the table of static RAM use, written in text form with every
// line ending in CR LF, so reports made here equal those made on the workstations.
#include "ramreport/RamTotals.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace ramreport {

class ReportFile {
public:
    // Creates the file or empties an existing one; false when that is not possible.
    bool create(const std::string& path);

    // The title with the family's name, the column headings, and the rows of the
    // configuration RAM and of the external SRAM.
    void writeHeading(std::string_view family, std::uint32_t externalSram);
    // The row of an image whose RW and ZI sizes were found.
    void writeImageRow(std::string_view name, std::uint32_t codeLength, std::uint32_t rwData,
                       std::uint32_t ziData, std::uint32_t staticRam);
    // The row of an image whose data sizes are unknown.
    void writeUnknownRow(std::string_view name, std::uint32_t codeLength);
    // The TOTAL line and the table's closing rule.
    void writeTotals(const RamTotals& totals);

    // Closes the file; false when any of it could not be written.
    bool close();

private:
    void writeText(const std::string& text);

    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    bool failed_ = false;
};

} // namespace ramreport
