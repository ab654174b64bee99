#pragma once
// The station's workspace for the soak: a bootstrap-family model and an Intel HEX model
// with their files, the settings file with the serial number and MAC sequences and the
// key-file signer, a private temporary folder for the station's exchange files, and
// the bytes a terminal must end up with after a good load.
#include "support/TempDir.h"

#include <map>
#include <string>

class SoakWorkspace {
public:
    SoakWorkspace();

    std::string settingsPath() const { return dir.file("orvane.conf"); }
    std::string stationTemp() const { return dir.file("station-tmp"); }
    // The environment entries orvane-load runs with (PATH with the signer, TMPDIR).
    std::string pathEntry() const;

    // The settings file's lines other than the sequences, which must never change, and
    // the two sequences as numbers (-1 when a line is missing or is not a number).
    std::string fixedSettings() const;
    long long nextSerial() const;
    long long nextMac() const;

    TempDir dir;
    std::string ramboot, prekernel, kernel, application; // bootstrap-family files
    std::string hexStream;                                // what an Intel HEX terminal receives
    long long firstSerial = 1000;
    long long firstMac = 0x0012AB000010;

private:
    std::string settingValue(const std::string& key) const;
};
