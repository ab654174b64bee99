// A download description of any content, loaded from a file: every section and entry
// the syntax gives is found, in file order, by name in any letter case, and the first
// entry of a key is the one a lookup answers. The syntax is followed here line by line
// as the station's description states it, independently of the parser.
#include "FuzzCheck.h"
#include "ReferenceText.h"
#include "data/ProfileFile.h"
#include "platform/CodePage.h"
#include "platform/FileDescriptor.h"

#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

struct Section {
    std::string name;
    std::vector<ProfileEntry> entries;
};

using fuzzing::trimBlanks;
using fuzzing::upper;

// The sections the description's syntax gives, in order of first appearance.
std::vector<Section> expectedSections(std::string_view content)
{
    std::vector<Section> sections;
    Section* current = nullptr;
    std::size_t at = 0;
    while (at < content.size()) {
        std::size_t end = content.find('\n', at);
        const bool lineEnded = end != std::string_view::npos;
        if (!lineEnded)
            end = content.size();
        std::string_view line = content.substr(at, end - at);
        at = end + 1;
        if (lineEnded && !line.empty() && line.back() == '\r')
            line.remove_suffix(1); // text mode reads CR LF as LF
        line = trimBlanks(line.substr(0, line.find(';')));
        if (line.empty())
            continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = trimBlanks(line.substr(1, line.size() - 2));
            if (name.empty())
                continue;
            current = nullptr;
            for (Section& s : sections)
                if (equalsIgnoringCase(s.name, name))
                    current = &s;
            if (!current)
                current = &sections.emplace_back(Section{std::string(name), {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos)
            continue;
        const std::string_view key = trimBlanks(line.substr(0, equals));
        if (!key.empty())
            current->entries.emplace_back(std::string(key), std::string(trimBlanks(line.substr(equals + 1))));
    }
    return sections;
}

// The content as the station reads a description: UTF-8 is taken to CP1252, without a
// byte-order mark.
std::string asLoaded(std::string_view content)
{
    if (content.starts_with("\xEF\xBB\xBF") && platform::isValidUtf8(content))
        content.remove_prefix(3);
    return platform::toCp1252FromUtf8IfValid(content);
}

// A file in memory with a path, rewritten for every input.
class MemoryFile {
public:
    MemoryFile() : fd_(::memfd_create("description.app", MFD_CLOEXEC)) {}
    std::string path() const { return "/proc/self/fd/" + std::to_string(fd_.get()); }
    bool hold(std::string_view content)
    {
        return ::ftruncate(fd_.get(), 0) == 0 &&
               ::pwrite(fd_.get(), content.data(), content.size(), 0) == static_cast<ssize_t>(content.size());
    }

private:
    platform::FileDescriptor fd_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryFile file;
    const std::string_view content = fuzzing::textOf(data, size);
    FUZZ_CHECK(file.hold(content));
    ProfileFile profile;
    profile.setPath(file.path());

    const std::vector<Section> expected = expectedSections(asLoaded(content));
    for (const Section& want : expected) {
        const ProfileSection* found = profile.section(want.name);
        FUZZ_CHECK(found != nullptr);
        FUZZ_CHECK(found->entries == want.entries);
        FUZZ_CHECK(profile.section(upper(want.name)) == found);
        for (const ProfileEntry& entry : want.entries) {
            const std::string& value = profile.value(upper(want.name), entry.first);
            FUZZ_CHECK(&value == found->find(entry.first));
            FUZZ_CHECK(value.find(';') == std::string::npos && value.find('\n') == std::string::npos);
        }
        FUZZ_CHECK(&profile.value(want.name, "") == &ProfileFile::emptyText());
    }
    // A name no header gives is no section.
    const std::string absent = "absent section " + std::to_string(size);
    bool named = false;
    for (const Section& want : expected)
        named = named || equalsIgnoringCase(want.name, absent);
    if (!named)
        FUZZ_CHECK(profile.section(absent) == nullptr);
    FUZZ_CHECK(profile.loaded());
    return 0;
}
