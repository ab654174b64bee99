#include "app/SerialDeviceList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace fs = std::filesystem;

namespace {

// Names ending in a number sort by that number after their common beginning.
bool naturalLess(const std::string& a, const std::string& b)
{
    auto split = [](const std::string& s) {
        std::size_t digits = s.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1])))
            --digits;
        return digits;
    };
    const std::size_t da = split(a), db = split(b);
    const std::string_view stemA(a.data(), da), stemB(b.data(), db);
    if (stemA != stemB || da == a.size() || db == b.size())
        return a < b;
    const std::string_view numA = std::string_view(a).substr(da), numB = std::string_view(b).substr(db);
    if (numA.size() != numB.size())
        return numA.size() < numB.size();
    return numA < numB;
}

std::vector<std::string> entriesWithPrefix(const fs::path& dir, std::string_view prefix)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), naturalLess);
    return names;
}

bool uartAbsent(const std::string& sysRoot, const std::string& name)
{
    std::ifstream type(fs::path(sysRoot) / "class" / "tty" / name / "type");
    int value = -1;
    return type && (type >> value) && value == 0;
}

} // namespace

std::vector<std::string> presentSerialDevices(const std::string& devRoot, const std::string& sysRoot)
{
    std::vector<std::string> devices;
    const fs::path root(devRoot);
    for (const auto& name : entriesWithPrefix(root / "serial" / "by-id", ""))
        devices.push_back((root / "serial" / "by-id" / name).string());
    for (std::string_view prefix : {"ttyS", "ttyUSB", "ttyACM"}) {
        for (const auto& name : entriesWithPrefix(root, prefix)) {
            if (prefix == "ttyS" && uartAbsent(sysRoot, name))
                continue;
            devices.push_back((root / name).string());
        }
    }
    return devices;
}
