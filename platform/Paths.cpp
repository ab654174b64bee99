#include "platform/Paths.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace platform {

std::string withSlashes(std::string_view path)
{
    std::string out(path);
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}

std::string joinPath(std::string_view dir, std::string_view name)
{
    std::string joined = withSlashes(dir);
    if (!joined.empty() && joined.back() != '/')
        joined += '/';
    joined += withSlashes(name);
    return joined;
}

std::string devicePath(std::string_view name)
{
    if (name.find('/') != std::string_view::npos)
        return std::string(name);
    return "/dev/" + std::string(name);
}

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string homeDirectory()
{
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return ".";
}

} // namespace

std::string settingsFilePath(const std::optional<std::string>& givenFile)
{
    if (givenFile && !givenFile->empty())
        return *givenFile;
    if (std::string env = environment("ORVANE_SETTINGS"); !env.empty())
        return env;
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty())
        config = joinPath(homeDirectory(), ".config");
    return joinPath(joinPath(config, "Marvistelo"), "orvane.conf");
}

} // namespace platform
