#include "ramreport/ReportFile.h"

#include <cstdarg>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ramreport {

namespace {

// Sizes are shown as signed 32-bit numbers, as the terminals' tools show them.
long shown(std::uint32_t value)
{
    return static_cast<long>(static_cast<std::int32_t>(value));
}

__attribute__((format(printf, 1, 2))) std::string formatted(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    va_list sizing;
    va_copy(sizing, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, sizing);
    va_end(sizing);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
        text.assign(buffer.data(), static_cast<std::size_t>(length));
    }
    va_end(arguments);
    return text;
}

// Owner of a descriptor until a stream takes it.
struct Descriptor {
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int fd;
};

const char* const kRule = "\t -------------------------------------------------------------\n";
const char* const kSeparator = "\t|-------------|-------------|---------|---------|-------------|\n";
const char* const kColumnHeadings[] = {
    "\t|    Name     | Code length | RW data | ZI data | Static Ram  |\n",
    "\t|             | modulus 4KB |         |         | (RW + ZI)   |\n",
    "\t|             |             |         |         | modulus 4KB |\n",
};

} // namespace

bool ReportFile::create(const std::string& path)
{
    file_.reset();
    failed_ = false;
    // Non-blocking, so that a named pipe in the report's place cannot hold the open;
    // only a regular file takes a report.
    Descriptor descriptor{
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666)};
    struct stat status {};
    if (descriptor.fd < 0 || ::fstat(descriptor.fd, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    const int flags = ::fcntl(descriptor.fd, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor.fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return false;
    file_.reset(::fdopen(descriptor.fd, "wb"));
    if (!file_)
        return false;
    descriptor.fd = -1; // the stream owns it now
    return true;
}

void ReportFile::writeHeading(std::string_view family, std::uint32_t externalSram)
{
    const std::string name(family);
    writeText(formatted("\n\t     STATIC RAM USED IN THE %s FAMILY :\n\n", name.c_str()));
    writeText(kRule);
    for (const char* heading : kColumnHeadings)
        writeText(heading);
    writeText(kSeparator);
    writeText("\t| Ram for Cfg |      -      |    -    |    -    |     16384   |\n");
    writeText(formatted("\t|   Ext. SRam |      -      |    -    |    -    | %9ld   |\n",
                        shown(externalSram)));
}

void ReportFile::writeImageRow(std::string_view name, std::uint32_t codeLength,
                               std::uint32_t rwData, std::uint32_t ziData, std::uint32_t staticRam)
{
    const std::string fileName(name);
    writeText(formatted("\t|%12s | %8ld    |%8ld |%8ld | %9ld   |\n", fileName.c_str(),
                        shown(codeLength), shown(rwData), shown(ziData), shown(staticRam)));
}

void ReportFile::writeUnknownRow(std::string_view name, std::uint32_t codeLength)
{
    const std::string fileName(name);
    writeText(formatted("\t| %s   | %8ld    |    ?    |    ?    |      ?      |\n",
                        fileName.c_str(), shown(codeLength)));
}

void ReportFile::writeTotals(const RamTotals& totals)
{
    writeText(kSeparator);
    writeText(formatted("\t|   TOTAL     | %8ld    |%8ld |%8ld | %9ld   |\n", shown(totals.code),
                        shown(totals.rwData), shown(totals.ziData), shown(totals.staticRam)));
    writeText(kRule);
}

bool ReportFile::close()
{
    if (!file_)
        return false;
    const bool closed = std::fclose(file_.release()) == 0;
    return closed && !failed_;
}

// Text form: every line feed is stored as CR LF, also one inside a name.
void ReportFile::writeText(const std::string& text)
{
    if (!file_)
        return;
    std::string stored;
    stored.reserve(text.size() + 16);
    for (const char c : text) {
        if (c == '\n')
            stored += '\r';
        stored += c;
    }
    if (std::fwrite(stored.data(), 1, stored.size(), file_.get()) != stored.size())
        failed_ = true;
}

} // namespace ramreport
