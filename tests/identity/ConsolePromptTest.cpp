// The headless station's prompts end to end: a loader thread asks for identity values
// and the signer password, the console's loop asks on standard error and the answers
// come from standard input. Runs in a forked child, whose standard streams are files.
#include "app/OrvaneDoc.h"
#include "cli/ConsoleInterface.h"
#include "cli/ConsoleLoop.h"
#include "identity/ForkedWorker.h"
#include "platform/FileDescriptor.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <functional>
#include <thread>
#include <unistd.h>

namespace {

bool redirect(int stream, const std::string& path, int flags)
{
    platform::FileDescriptor fd(::open(path.c_str(), flags | O_CLOEXEC, 0600));
    return fd && ::dup2(fd.get(), stream) == stream;
}

// In the child: the station's interface thread is this thread's console loop; work runs
// on a loader thread and its text is what the child sends back.
bool runConsoleStation(const std::string& settingsPath, const std::function<std::string(OrvaneDoc&)>& work,
                       int output)
{
    ConsoleLoop loop;
    platform::SettingsStore settings(settingsPath);
    OrvaneDoc doc(settings);
    ConsoleInterface console(loop, doc);
    doc.setInterfaceThread(&console);
    std::atomic<bool> done{false};
    std::string result;
    std::thread loader([&] {
        result = work(doc);
        done.store(true);
        loop.post([] {});
    });
    loop.run([&] { return done.load(); });
    loader.join();
    doc.setInterfaceThread(nullptr);
    return writeText(output, result);
}

TEST(ConsolePrompt, IdentityReadingsAndSignerPasswordAreAskedOnTheConsole)
{
    TempDir dir;
    const std::string settingsPath =
        dir.write("orvane.conf", "[Settings]\nNumeroSerieRadio=1\nDireccionMACRadio=2\nDireccionIPRadio=1\n");
    const std::string typed = dir.write("typed", "0000012345\n0002a0ffffff\n192.168.1.20\n\n  \nsecret\n");
    const std::string shown = dir.file("shown");

    auto work = [](OrvaneDoc& doc) {
        std::string serial, mac, last;
        std::uint32_t ip = 0;
        std::string out;
        out += doc.assignSerialNumber("/dev/ttyUSB0", serial) ? serial : "failed";
        out += "|";
        out += doc.assignMacAddress("/dev/ttyUSB1", mac) ? mac : "failed";
        out += "|";
        out += doc.assignIpAddress("/dev/ttyUSB2", ip) ? std::to_string(ip) : "failed";
        out += "|";
        out += doc.askSignerPassword() ? doc.signerPassword() : "failed";
        out += "|";
        out += doc.assignSerialNumber("/dev/ttyUSB3", last) ? last : "failed"; // end of input: Cancel
        return out;
    };
    ForkedWorker child([&](int output) {
        return redirect(STDIN_FILENO, typed, O_RDONLY) && redirect(STDERR_FILENO, shown, O_WRONLY | O_CREAT | O_TRUNC) &&
               runConsoleStation(settingsPath, work, output);
    });
    ASSERT_TRUE(child.started());
    auto answers = child.finish();
    ASSERT_TRUE(answers);
    EXPECT_EQ(*answers, "0000012345|0002a0ffffff|" + std::to_string(0xC0A80114u) + "|secret|failed");

    // The operator saw each caption, in order, and the refusal of both blank passwords.
    const std::string screen = readWholeFile(shown);
    std::size_t at = 0;
    for (const char* expected :
         {"Serial Number /dev/ttyUSB0", "MAC Number  /dev/ttyUSB1", "/dev/ttyUSB2", "Enter Signer password",
          "Password entry is mandatory.", "Enter Signer password", "Password entry is mandatory.",
          "Enter Signer password", "Serial Number /dev/ttyUSB3"}) {
        std::size_t found = screen.find(expected, at);
        ASSERT_NE(found, std::string::npos) << "missing \"" << expected << "\" after position " << at << " in:\n"
                                            << screen;
        at = found + 1;
    }
    EXPECT_EQ(screen.find("secret"), std::string::npos) << "the password is never shown";
}

} // namespace
