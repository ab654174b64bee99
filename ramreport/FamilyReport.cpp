#include "ramreport/FamilyReport.h"

#include "ramreport/DirectoryWalk.h"
#include "ramreport/ImageFile.h"
#include "ramreport/RamTotals.h"
#include "ramreport/ReportFile.h"
#include "ramreport/TagSearch.h"

namespace ramreport {

namespace {

// File type values that mark an application image.
constexpr std::uint8_t kApplicationType = 3;
constexpr std::uint8_t kApplicationTypeAlternative = 19;

enum class ImageKind { AnyImage, ApplicationsOnly };

// The external SRAM size the configuration table declares; 0 without the table or tag.
std::uint32_t externalSramOf(const std::string& familyDirectory)
{
    ImageFile table;
    if (!table.open(familyDirectory + "Conftab/Fd_ff79.bin"))
        return 0;
    const auto length = findTag(table, kExternalSramTag);
    if (!length)
        return 0;
    return readNumber(table, *length).value_or(0);
}

bool isApplication(const std::string& path)
{
    ImageFile image;
    if (!image.open(path))
        return false;
    const auto length = findTag(image, kFileTypeTag);
    std::uint8_t type = 0;
    if (!length || *length == 0 || !image.readByte(type))
        return false;
    return type == kApplicationType || type == kApplicationTypeAlternative;
}

struct DataSizes {
    bool complete = false;
    std::uint32_t rwData = 0;
    std::uint32_t ziData = 0;
};

// RW then ZI, the second searched from where the first one's value ends. The RW size
// counts in the family's total as soon as it is found, even when ZI is missing.
DataSizes dataSizesOf(ImageFile& image, RamTotals& totals)
{
    DataSizes sizes;
    const auto rwLength = findTag(image, kRwDataTag);
    if (!rwLength)
        return sizes;
    const auto rwData = readNumber(image, *rwLength);
    if (!rwData)
        return sizes;
    sizes.rwData = *rwData;
    totals.rwData += sizes.rwData;
    const auto ziLength = findTag(image, kZiDataTag);
    if (!ziLength)
        return sizes;
    const auto ziData = readNumber(image, *ziLength);
    if (!ziData)
        return sizes;
    sizes.ziData = *ziData;
    sizes.complete = true;
    return sizes;
}

void writeImageRow(const std::string& directory, const ListedFile& file, ReportFile& report,
                   RamTotals& totals, std::FILE* console)
{
    const std::string path = directory + file.name;
    const std::uint32_t codeLength = roundUpToPage(file.size);
    totals.code += codeLength;

    ImageFile image;
    if (!image.open(path)) {
        std::fprintf(console, "\n%s not found\n", path.c_str());
        report.writeUnknownRow(file.name, codeLength);
        return;
    }
    const DataSizes sizes = dataSizesOf(image, totals);
    if (!sizes.complete) {
        std::fputs("\ntag search error\n", console);
        report.writeUnknownRow(file.name, codeLength);
        return;
    }
    totals.ziData += sizes.ziData;
    const std::uint32_t staticRam = roundUpToPage(sizes.rwData + sizes.ziData);
    totals.staticRam += staticRam;
    report.writeImageRow(file.name, codeLength, sizes.rwData, sizes.ziData, staticRam);
}

void writeImageRows(const std::string& directory, ImageKind kind, ReportFile& report,
                    RamTotals& totals, std::FILE* console)
{
    for (const ListedFile& file : listBinFiles(directory)) {
        if (kind == ImageKind::ApplicationsOnly && !isApplication(directory + file.name))
            continue;
        writeImageRow(directory, file, report, totals, console);
    }
}

} // namespace

void reportFamily(const std::string& filesDirectory, const std::string& family,
                  std::FILE* console)
{
    const std::string familyDirectory = filesDirectory + family + "/";
    RamTotals totals;
    const std::uint32_t externalSram = externalSramOf(familyDirectory);
    totals.staticRam += externalSram;

    const std::string reportPath = familyDirectory + family + ".txt";
    ReportFile report;
    if (!report.create(reportPath)) {
        std::fprintf(console, "\n%s file is protect from writing\n", reportPath.c_str());
        return;
    }
    report.writeHeading(family, externalSram);
    writeImageRows(familyDirectory + "KernPre/", ImageKind::AnyImage, report, totals, console);
    writeImageRows(familyDirectory + "Kern/", ImageKind::AnyImage, report, totals, console);
    writeImageRows(familyDirectory + "ProgramFiles/", ImageKind::ApplicationsOnly, report, totals,
                   console);
    report.writeTotals(totals);
    // A report cut short (a full disk) is as useless as one never created.
    if (!report.close())
        std::fprintf(console, "\n%s file is protect from writing\n", reportPath.c_str());
}

} // namespace ramreport
