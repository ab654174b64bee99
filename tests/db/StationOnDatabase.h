#pragma once
// A station whose MAC addresses come from a range database: its settings file names
// the data source, an interface thread answers its requests, and loader threads ask.
#include "app/OrvaneDoc.h"
#include "support/ScriptedInterfaceThread.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <string>
#include <thread>

struct StationOnDatabase {
    explicit StationOnDatabase(const std::string& dataSource)
        : settingsPath(dir.write("orvane.conf", "[Settings]\nDireccionMACRadio=1\nDSN=" + dataSource + "\n"))
    {
    }

    // One MAC address request from a loader thread of its own, as a download job makes.
    bool macAddress(std::string& value)
    {
        bool ok = false;
        std::thread loader([&] { ok = doc.assignMacAddress("/dev/ttyUSB0", value); });
        loader.join();
        return ok;
    }

    TempDir dir;
    std::string settingsPath;
    platform::SettingsStore settings{settingsPath};
    OrvaneDoc doc{settings};
    ScriptedInterfaceThread ui{doc};
};
