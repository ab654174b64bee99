#pragma once
// A profile file: bracketed section headers and key=value lines. Every download
// description (*.app) is one. Loaded lazily on the first lookup; a file that cannot be
// opened is tried again at the next lookup.
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Letter case of ASCII letters ignored; bytes compared as unsigned; a prefix sorts first.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

struct LessIgnoringCase {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

using ProfileEntry = std::pair<std::string, std::string>; // key, value

// The entries of one section in file order; a key may occur more than once.
class ProfileSection {
public:
    std::vector<ProfileEntry> entries;
    // The value of the first entry whose key equals key (letter case ignored), or null.
    const std::string* find(std::string_view key) const;
};

class ProfileFile {
public:
    void setPath(std::string path);
    const std::string& path() const { return path_; }
    bool loaded() const { return loaded_; }

    // Null when the section does not exist (or the file cannot be read).
    const ProfileSection* section(std::string_view name);
    // The shared empty text when the section or the key does not exist.
    const std::string& value(std::string_view sectionName, std::string_view key);

    static const std::string& emptyText();

private:
    void loadIfNeeded();
    void parse(std::string_view content);

    std::map<std::string, ProfileSection, LessIgnoringCase> sections_;
    std::string path_;
    bool loaded_ = false;
};
