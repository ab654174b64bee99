// A settings file of any content: what a key reads is the value of one of its lines,
// and a write of one key changes that key alone: every other line of the file, other
// sections and comments included, stays as it was, and every other key reads as before.
#include "FuzzCheck.h"
#include "ReferenceText.h"
#include "platform/SettingsStore.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using fuzzing::trimBlanks;

bool equalsNoCase(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// The file's lines as the store sees them: split at LF, a CR before the LF dropped.
std::vector<std::string> linesOf(std::string_view content)
{
    std::vector<std::string> lines;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == std::string_view::npos)
            break;
        content.remove_prefix(end + 1);
    }
    return lines;
}

// The keys the lines could name: the text before a line's first '=', without blanks.
std::vector<std::string> candidateKeys(const std::vector<std::string>& lines)
{
    std::vector<std::string> keys;
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && keys.size() < 24)
            keys.emplace_back(trimBlanks(std::string_view(line).substr(0, equals)));
    }
    return keys;
}

std::string contentOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A directory of its own, on memory when the machine offers one (every write syncs),
// removed with what the store left in it when the run ends.
class WorkDirectory {
public:
    WorkDirectory()
    {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
        path_ = std::string(base ? base : "/tmp") + "/orvane-settings-fuzz.XXXXXX";
        FUZZ_CHECK(::mkdtemp(path_.data()) != nullptr);
    }
    ~WorkDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    WorkDirectory(const WorkDirectory&) = delete;
    WorkDirectory& operator=(const WorkDirectory&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The value of a key is the text after the first '=' of one of the lines whose key it is.
void checkRead(const std::optional<std::string>& value, std::string_view key, const std::vector<std::string>& lines)
{
    if (!value)
        return;
    bool fromALine = false;
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && equalsNoCase(trimBlanks(std::string_view(line).substr(0, equals)), key) &&
            line.substr(equals + 1) == *value)
            fromALine = true;
    }
    FUZZ_CHECK(fromALine);
}

// The new lines are the old ones with the key's line replaced, or one line added, or a
// new [Settings] section with the key added at the end.
void checkRewrite(const std::vector<std::string>& before, const std::vector<std::string>& after,
                  const std::string& entry)
{
    if (after.size() == before.size()) {
        std::size_t differing = 0;
        for (std::size_t i = 0; i < before.size(); ++i)
            if (before[i] != after[i]) {
                ++differing;
                FUZZ_CHECK(after[i] == entry);
            }
        FUZZ_CHECK(differing <= 1);
        return;
    }
    if (after.size() == before.size() + 1) {
        std::size_t i = 0;
        while (i < before.size() && before[i] == after[i])
            ++i;
        FUZZ_CHECK(after[i] == entry);
        FUZZ_CHECK(std::equal(before.begin() + static_cast<std::ptrdiff_t>(i), before.end(),
                              after.begin() + static_cast<std::ptrdiff_t>(i) + 1));
        return;
    }
    FUZZ_CHECK(after.size() == before.size() + 2);
    FUZZ_CHECK(std::equal(before.begin(), before.end(), after.begin()));
    FUZZ_CHECK(after[before.size()] == "[Settings]" && after[before.size() + 1] == entry);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::FuzzInput input(data, size);
    const std::uint8_t knobs = input.byte();
    const std::int32_t number = static_cast<std::int32_t>(input.word() | static_cast<std::uint32_t>(input.word()) << 16);
    const std::string_view content = input.restText();

    static const WorkDirectory directory;
    const std::string path = directory.file("orvane.conf");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        FUZZ_CHECK(out.good());
    }
    const std::vector<std::string> lines = linesOf(content);
    std::vector<std::string> keys = candidateKeys(lines);
    platform::SettingsStore store(path);
    std::vector<std::optional<std::string>> values;
    for (const std::string& key : keys) {
        values.push_back(store.read(key));
        checkRead(values.back(), key, lines);
        if (values.back()) {
            const std::optional<std::int32_t> parsed = platform::SettingsStore::parseInt(*values.back());
            FUZZ_CHECK(store.readInt(key, 12345) == parsed.value_or(12345));
        }
    }

    // One key rewritten: a key of the file when the knobs pick one that can be written,
    // else a new one.
    std::string key = "ProximoNS";
    if (!keys.empty() && knobs % 2 == 0)
        key = keys[knobs / 2 % keys.size()];
    const std::string value = std::to_string(number);
    if (!store.writeInt(key, number))
        return 0; // a key no "key=value" line can hold is refused
    FUZZ_CHECK(store.readInt(key, number ^ 1) == number);
    FUZZ_CHECK(store.read(key) == value);

    struct stat st;
    FUZZ_CHECK(::stat(path.c_str(), &st) == 0 && (st.st_mode & 0777) == 0600);
    checkRewrite(lines, linesOf(contentOf(path)), key + '=' + value);
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (!equalsNoCase(keys[i], key))
            FUZZ_CHECK(store.read(keys[i]) == values[i]);
    // A fresh store over the rewritten file reads the same.
    platform::SettingsStore reread(path);
    FUZZ_CHECK(reread.read(key) == value);
    return 0;
}
