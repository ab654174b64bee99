#pragma once
// What a station workspace for a bootstrap-family terminal needs besides its model,
// its loaded files and its settings: the RAM bootstrap, the guarantee and
// configuration data of the demo data and the signing key file under apps/, the
// signing tool stand-in on PATH, and the simulated terminal that takes the download.
#include "support/TempDir.h"
#include "support/TermSim.h"

#include <string>

// apps/ramboot.hex, apps/guarantee.bin, apps/config.bin and apps/key.bin.
void writeBootstrapFiles(const TempDir& dir);
// Puts the directory of the signing tool stand-in built with the test first on PATH,
// where the station looks for the signing tool.
void putSignerOnPath();
// A terminal simulator that keeps what it receives under dir/name and logs to
// dir/name.log; it is ready again 50 ms after a download.
TermSim bootstrapTerminal(const TempDir& dir, const std::string& name);
