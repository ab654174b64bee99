// The signing tool's user password: asked on the interface thread for a loader thread,
// kept in memory as typed, and never taken blank.
#include "app/OrvaneDoc.h"
#include "support/ScriptedInterfaceThread.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct Station {
    TempDir dir;
    std::string settingsPath = dir.write("orvane.conf", "[Settings]\nFirmadorRadio=2\n");
    platform::SettingsStore settings{settingsPath};
    OrvaneDoc doc{settings};
    ScriptedInterfaceThread ui{doc};

    bool askFromLoaderThread()
    {
        bool ok = false;
        std::thread loader([&] { ok = doc.askSignerPassword(); });
        loader.join();
        return ok;
    }
};

const std::string kPrompt = "password: Enter Signer password";
const std::string kMandatory = "message: Empty password: Password entry is mandatory.";

TEST(SignerPassword, KeptAsTypedOnOk)
{
    Station s;
    s.ui.answerPassword(" se cret\t");
    EXPECT_TRUE(s.askFromLoaderThread());
    EXPECT_EQ(s.doc.signerPassword(), " se cret\t");
    EXPECT_EQ(s.ui.prompts(), std::vector<std::string>{kPrompt});
    EXPECT_EQ(s.ui.promptsOffThread(), 0);
    EXPECT_EQ(readWholeFile(s.settingsPath), "[Settings]\nFirmadorRadio=2\n") << "never written to the settings";
}

TEST(SignerPassword, UnchangedOnCancel)
{
    Station s;
    s.doc.setSignerPassword("before");
    s.ui.answerPassword(std::nullopt);
    EXPECT_FALSE(s.askFromLoaderThread());
    EXPECT_EQ(s.doc.signerPassword(), "before");
}

TEST(SignerPassword, BlankEntryIsRefusedAndAskedAgain)
{
    Station s;
    s.doc.setSignerPassword("before");
    s.ui.answerPassword("");
    s.ui.answerPassword(" \t\r\n ");
    s.ui.answerPassword("\tpin");
    EXPECT_TRUE(s.askFromLoaderThread());
    EXPECT_EQ(s.doc.signerPassword(), "\tpin");
    EXPECT_EQ(s.ui.prompts(), (std::vector<std::string>{kPrompt, kMandatory, kPrompt, kMandatory, kPrompt}));

    // Blank, then cancelled: nothing changes.
    s.ui.answerPassword("   ");
    s.ui.answerPassword(std::nullopt);
    EXPECT_FALSE(s.askFromLoaderThread());
    EXPECT_EQ(s.doc.signerPassword(), "\tpin");
}

} // namespace
