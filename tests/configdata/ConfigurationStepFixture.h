#pragma once
// The configuration data step run by a job on a temporary workspace against a terminal
// played on a pseudo-terminal: the terminal answers command "13" with its stored data
// (or refuses with status "55"), takes the download and records every byte of it. The
// workspace's identity values come from the settings sequences; the signing tool is the
// station's stand-in, sign.exe in the temporary folder the station hands the exchange
// file to, signing by key file with its fault switches off.
#include "configdata/DataObjects.h"
#include "engine/JobFixture.h"
#include "engine/ScriptedTerminal.h"
#include "signing/ScopedEnvironment.h"
#include "signing/ToolRuns.h"
#include "support/PtyPair.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the played terminal answers and how far the station is expected to get.
struct TerminalScript {
    std::optional<Bytes> guarantee;     // the object after selector 4; nothing: status "55"
    std::optional<Bytes> configuration; // the object after selector 5; nothing: status "55"
    int dataRequests = 2;               // "13" commands the station sends before it stops or goes on
    bool download = true;               // the station goes on to the download
    Bytes offeredBlockLength = {0xFD, 0x07};
    int echoOffset = 0; // added to every echoed block number
};

// What the terminal saw.
struct TerminalRecord {
    std::vector<Bytes> dataRequests; // the payloads of the "13" commands
    Bytes start;                     // the payload of the "11" command
    std::vector<std::uint16_t> numbers;
    std::vector<Bytes> blocks; // the data of each block, the closing one included
    bool quietAfterwards = true;

    // The data of every block but the closing one, joined.
    Bytes data() const;
};

using PackedDate = std::array<std::uint8_t, 4>;

// Today's local date in packed BCD.
PackedDate todaysDate();

class ConfigurationStepTest : public testing::Test {
protected:
    ConfigurationStepTest();
    ~ConfigurationStepTest() override;

    // The current model's ASSIGNABLE section: each entry as key=value.
    void describeAssignable(const std::vector<std::string>& entries);
    void setting(const std::string& key, const std::string& value) { f.set(key, value); }
    void writeTemplates(const GuaranteeValues& guarantee, const ConfigurationValues& configuration);

    // Runs the step; the result and what the terminal saw.
    bool runStep(const TerminalScript& script, TerminalRecord& record);

    // Sets an environment variable (a fault switch of the signing tool) for the test.
    void switchOn(const std::string& name, const std::string& value);
    // The signing tool's runs, in order.
    std::vector<ToolRun> signerRuns() const;
    // The data as the signing tool signs it with the workspace's key file and key number.
    static Bytes signedByTool(const Bytes& data);

    static inline const std::string kKeyFileBytes = "the key";
    static inline const std::string kKeyNumber = "7";

    JobFixture f;
    PtyPair pty;
    std::unique_ptr<DownloadJob> job;
    TempDir tools;
    Bytes guaranteeTemplate;     // the guarantee file as written
    Bytes configurationTemplate; // the configuration file as written

private:
    std::vector<std::unique_ptr<ScopedEnvironment>> environment_;
};
