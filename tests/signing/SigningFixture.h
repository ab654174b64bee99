#pragma once
// A document on a settings file of its own, a scripted interface thread, and a temporary
// folder ($TMPDIR) that holds the signing tool stand-in as sign.exe and nothing else.
// The stand-in records its runs in a log; its fault switches start switched off.
#include "app/OrvaneDoc.h"
#include "app/SigningRunner.h"
#include "platform/SettingsStore.h"
#include "platform/Ticks.h"
#include "signing/ScopedEnvironment.h"
#include "support/ScriptedInterfaceThread.h"
#include "signing/ToolRuns.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The stand-in itself, as built.
inline constexpr const char* signerProgram = ORVANE_SIGNER;

class SigningTest : public ::testing::Test {
protected:
    struct Outcome {
        bool signedOk = false;
        std::string data; // the buffer's first length bytes (all of the buffer when length exceeds it)
        std::size_t length = 0;
        std::string errorText;
    };

    SigningTest();
    ~SigningTest() override;

    // Signs data on a loader thread of its own with room for capacity bytes: through the
    // document, or with a shorter time limit for the tool when one is given.
    Outcome signOnLoaderThread(std::string_view data, std::size_t capacity,
                               std::optional<platform::Millis> toolTimeLimitMs = std::nullopt,
                               std::string errorText = {});
    void setting(std::string_view key, std::string_view value) { settings.write(key, value); }
    void switchOn(const std::string& name, const std::string& value);
    // Exchange files still present in the temporary folder.
    std::vector<std::string> exchangeFilesLeft() const;
    std::vector<ToolRun> toolRuns() const { return readToolRuns(logPath); }
    // The temporary folder as the tool sees it (symbolic links resolved).
    std::string tmpFolderSeenByTool() const;

    TempDir work;
    std::string tmpFolder;
    std::string logPath;
    std::vector<std::unique_ptr<ScopedEnvironment>> environment;
    platform::SettingsStore settings;
    OrvaneDoc doc;
    ScriptedInterfaceThread ui;
};
