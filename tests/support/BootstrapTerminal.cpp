#include "support/BootstrapTerminal.h"

#include <cstdlib>
#include <filesystem>

void writeBootstrapFiles(const TempDir& dir)
{
    dir.write("apps/ramboot.hex", ":0400000001020304F2\r\n:00000001FF\r\n");
    std::filesystem::copy_file(ORVANE_DEMO_DATA "/guarantee.bin", dir.file("apps/guarantee.bin"));
    std::filesystem::copy_file(ORVANE_DEMO_DATA "/config.bin", dir.file("apps/config.bin"));
    dir.write("apps/key.bin", "demo signing key");
}

void putSignerOnPath()
{
    std::string path = std::filesystem::path(ORVANE_SIGNER).parent_path().string();
    const char* old = std::getenv("PATH");
    ::setenv("PATH", (path + ":" + (old ? old : "/usr/bin:/bin")).c_str(), 1);
}

TermSim bootstrapTerminal(const TempDir& dir, const std::string& name)
{
    return TermSim({"--mode", "terminal", "--files", dir.file(name), "--log", dir.file(name + ".log"), "--restart-ms",
                    "50"});
}
