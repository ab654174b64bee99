#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace platform {
namespace {

TEST(Paths, JoinPathWithOrWithoutFinalSeparator)
{
    struct Case {
        const char* dir;
        const char* name;
        const char* joined;
    };
    const Case cases[] = {
        {"/srv/apps", "load.dsc", "/srv/apps/load.dsc"},
        {"/srv/apps/", "load.dsc", "/srv/apps/load.dsc"},
        {"/srv/apps\\", "load.dsc", "/srv/apps/load.dsc"},
        {"/srv\\apps", "sub\\load.dsc", "/srv/apps/sub/load.dsc"},
        {"relative", "a/b", "relative/a/b"},
        {"", "load.dsc", "load.dsc"},
        {"", "sub\\load.dsc", "sub/load.dsc"},
        {"/", "etc", "/etc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dir) + " + " + c.name);
        EXPECT_EQ(joinPath(c.dir, c.name), c.joined);
    }
    EXPECT_EQ(withSlashes("T100\\Bios\\bios.hex"), "T100/Bios/bios.hex");
}

TEST(Paths, DevicePathPutsBareNamesBelowDev)
{
    EXPECT_EQ(devicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(devicePath("/dev/pts/3"), "/dev/pts/3");
    EXPECT_EQ(devicePath("./tty-link"), "./tty-link");
}

// Sets or clears environment variables for one test and restores them afterwards.
class Environment {
public:
    ~Environment()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    void set(const std::string& name, const char* value)
    {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            ::setenv(name.c_str(), value, 1);
        else
            ::unsetenv(name.c_str());
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST(Paths, SettingsFileFollowsItsPrecedence)
{
    Environment env;
    env.set("ORVANE_SETTINGS", "/etc/orvane/shared.conf");
    env.set("XDG_CONFIG_HOME", "/xdg");
    env.set("HOME", "/home/operator");

    EXPECT_EQ(settingsFilePath(std::string("/tmp/given.conf")), "/tmp/given.conf");
    EXPECT_EQ(settingsFilePath(std::nullopt), "/etc/orvane/shared.conf");
    EXPECT_EQ(settingsFilePath(std::string()), "/etc/orvane/shared.conf");

    env.set("ORVANE_SETTINGS", "");
    EXPECT_EQ(settingsFilePath(std::nullopt), "/xdg/Marvistelo/orvane.conf");
    env.set("ORVANE_SETTINGS", nullptr);
    env.set("XDG_CONFIG_HOME", "/xdg/");
    EXPECT_EQ(settingsFilePath(std::nullopt), "/xdg/Marvistelo/orvane.conf");

    env.set("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(settingsFilePath(std::nullopt), "/home/operator/.config/Marvistelo/orvane.conf");
    env.set("XDG_CONFIG_HOME", "");
    env.set("HOME", "/home/operator/");
    EXPECT_EQ(settingsFilePath(std::nullopt), "/home/operator/.config/Marvistelo/orvane.conf");
}

} // namespace
} // namespace platform
