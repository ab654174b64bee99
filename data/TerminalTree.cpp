#include "data/TerminalTree.h"

#include "platform/Paths.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace TestTree {

namespace {

// Families nested deeper than this are not listed: no directory layout (bind mounts
// included) can make the scan recurse without end.
constexpr std::size_t kMaxFamilyDepth = 64;

constexpr std::string_view kModelExtension = ".app";

// Owner of an open directory listing.
class DirectoryListing {
public:
    explicit DirectoryListing(const std::string& path)
        : dir_(::opendir(path.empty() ? "." : path.c_str()))
    {
    }
    ~DirectoryListing()
    {
        if (dir_)
            ::closedir(dir_);
    }
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;

    bool valid() const { return dir_ != nullptr; }
    const dirent* next() { return ::readdir(dir_); }
    int fd() const { return ::dirfd(dir_); }

private:
    DIR* dir_;
};

enum class EntryKind { Directory, RegularFile, Other };

// A symlink to a directory is not a directory here (following it could loop); a
// symlink to a regular file is a regular file.
EntryKind kindOf(const DirectoryListing& listing, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_DIR:
        return EntryKind::Directory;
    case DT_REG:
        return EntryKind::RegularFile;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    struct stat info {};
    if (::fstatat(listing.fd(), entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Other;
    if (S_ISDIR(info.st_mode))
        return EntryKind::Directory;
    if (S_ISREG(info.st_mode))
        return EntryKind::RegularFile;
    if (S_ISLNK(info.st_mode) && ::fstatat(listing.fd(), entry.d_name, &info, 0) == 0
        && S_ISREG(info.st_mode))
        return EntryKind::RegularFile;
    return EntryKind::Other;
}

// A family's name has no extension; a name starting with '.' is hidden.
bool isFamilyName(std::string_view name)
{
    return !name.empty() && name.find('.') == std::string_view::npos;
}

bool hasModelExtension(std::string_view fileName)
{
    return fileName.size() >= kModelExtension.size()
        && equalsIgnoringCase(fileName.substr(fileName.size() - kModelExtension.size()),
                              kModelExtension);
}

// The relative directory in stored form: '/' between names and after the last one.
std::string normalisedRelativeDir(std::string_view relativeDir)
{
    std::string dir = platform::withSlashes(relativeDir);
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

std::size_t depthOf(std::string_view relativeDir)
{
    return static_cast<std::size_t>(std::count(relativeDir.begin(), relativeDir.end(), '/'));
}

std::string listedDirectory(const std::string& terminalsDir, const std::string& relativeDir)
{
    return relativeDir.empty() ? terminalsDir : platform::joinPath(terminalsDir, relativeDir);
}

std::vector<std::string> familyNamesIn(const std::string& directory)
{
    std::vector<std::string> names;
    DirectoryListing listing(directory);
    if (!listing.valid())
        return names;
    while (const dirent* entry = listing.next())
        if (isFamilyName(entry->d_name) && kindOf(listing, *entry) == EntryKind::Directory)
            names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end()); // byte order: char_traits<char> compares unsigned
    return names;
}

std::vector<std::string> modelFileNamesIn(const std::string& directory)
{
    std::vector<std::string> names;
    DirectoryListing listing(directory);
    if (!listing.valid())
        return names;
    while (const dirent* entry = listing.next()) {
        const std::string_view fileName = entry->d_name;
        // A file named just ".app" would give a model without a name, which no
        // stored path could select.
        if (fileName.size() > kModelExtension.size() && hasModelExtension(fileName)
            && kindOf(listing, *entry) == EntryKind::RegularFile)
            names.emplace_back(fileName);
    }
    return names;
}

std::unique_ptr<Model> makeModel(const std::string& terminalsDir, const std::string& relativeDir,
                                 const std::string& fileName)
{
    auto model = std::make_unique<Model>();
    model->profile.setPath(platform::joinPath(terminalsDir, relativeDir + fileName));
    model->fileName = fileName;
    model->name = fileName.substr(0, fileName.rfind('.'));
    model->caption = model->name;
    model->relativeDir = relativeDir;
    return model;
}

bool nodePathInto(const NodeList& nodes, const TreeNode* node, std::string& path)
{
    for (const auto& candidate : nodes) {
        const std::size_t before = path.size();
        if (!path.empty())
            path += '\\';
        path += candidate->name;
        if (candidate.get() == node)
            return true;
        if (const auto* family = dynamic_cast<const Family*>(candidate.get());
            family && nodePathInto(family->children, node, path))
            return true;
        path.resize(before);
    }
    return false;
}

} // namespace

void scanFamilies(const std::string& terminalsDir, const std::string& relativeDir, NodeList& out)
{
    const std::string relative = normalisedRelativeDir(relativeDir);
    if (depthOf(relative) >= kMaxFamilyDepth)
        return;
    for (const std::string& name : familyNamesIn(listedDirectory(terminalsDir, relative))) {
        auto family = std::make_unique<Family>();
        family->name = name;
        family->caption = name;
        const std::string childDir = relative + name + '/';
        scanFamilies(terminalsDir, childDir, family->children);
        scanModels(terminalsDir, childDir, family->children);
        out.push_back(std::move(family));
    }
}

void scanModels(const std::string& terminalsDir, const std::string& relativeDir, NodeList& out)
{
    const std::string relative = normalisedRelativeDir(relativeDir);
    std::vector<std::unique_ptr<Model>> models;
    for (const std::string& fileName : modelFileNamesIn(listedDirectory(terminalsDir, relative)))
        models.push_back(makeModel(terminalsDir, relative, fileName));
    // By name in byte order; two files differing only in the extension's letter case
    // keep a fixed order by their full file name.
    std::sort(models.begin(), models.end(), [](const auto& a, const auto& b) {
        return a->name != b->name ? a->name < b->name : a->fileName < b->fileName;
    });
    for (auto& model : models)
        out.push_back(std::move(model));
}

NodeList buildTree(const std::string& terminalsDir)
{
    NodeList top;
    scanFamilies(terminalsDir, std::string(), top);
    scanModels(terminalsDir, std::string(), top);
    return top;
}

std::string nodePath(const NodeList& top, const TreeNode* node)
{
    std::string path;
    if (!node || !nodePathInto(top, node, path))
        return std::string();
    return path;
}

TreeNode* findByPath(const NodeList& top, std::string_view path)
{
    const NodeList* nodes = &top;
    for (;;) {
        const std::size_t separator = path.find_first_of("\\/");
        const std::string_view name = path.substr(0, separator);
        const auto match = std::find_if(nodes->begin(), nodes->end(),
                                        [&](const auto& node) { return node->name == name; });
        if (match == nodes->end())
            return nullptr;
        if (separator == std::string_view::npos)
            return match->get();
        const auto* family = dynamic_cast<const Family*>(match->get());
        if (!family)
            return nullptr;
        nodes = &family->children;
        path.remove_prefix(separator + 1);
    }
}

std::string nodeTitle(TreeNode* node)
{
    if (!node)
        return "Terminal_types";
    auto* model = dynamic_cast<Model*>(node);
    if (!model)
        return node->caption;
    const std::string& code = model->profile.value("MODEL", "CODE");
    std::string title = code.empty() ? model->caption : code;
    if (const std::string& desc = model->profile.value("MODEL", "DESC"); !desc.empty())
        title += " (" + desc + ")";
    return title;
}

} // namespace TestTree
