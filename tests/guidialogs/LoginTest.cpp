// The password prompt: the signer password asked by a loader thread, a blank entry
// refused with its message, the text kept as typed, Cancel keeping the old password.
#include "app/OrvaneDoc.h"
#include "app/gui/GuiInterfaceThread.h"
#include "app/gui/Login.h"
#include "guidialogs/ModalScript.h"
#include "platform/SettingsStore.h"
#include "support/TempDir.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Asks for the signer password on a loader thread while the test's thread runs the
// window's events; the prompt's outcome.
bool askOnLoaderThread(OrvaneDoc& doc)
{
    std::atomic<bool> answered{false};
    bool outcome = false;
    std::thread loader([&] {
        outcome = doc.askSignerPassword();
        answered.store(true);
    });
    const bool ended = QTest::qWaitFor([&] { return answered.load(); }, 60000);
    loader.join();
    EXPECT_TRUE(ended);
    return outcome;
}

TEST(SignerPasswordPrompt, RefusesABlankEntryKeepsTheTextAsTypedAndCancelChangesNothing)
{
    TempDir dir;
    platform::SettingsStore settings(dir.write("orvane.conf", "[Settings]\n"));
    OrvaneDoc doc(settings);
    GuiInterfaceThread gui(doc);
    doc.setInterfaceThread(&gui);

    ModalScript script;
    script.then<Login>([](Login& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Enter Signer password");
        EXPECT_EQ(dialog.edit()->echoMode(), QLineEdit::Password);
        QTest::keyClicks(dialog.edit(), " \t ");
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    });
    script.then<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.text(), "Password entry is mandatory.");
        EXPECT_EQ(box.windowTitle(), "Empty password");
        box.button(QMessageBox::Ok)->click();
    });
    script.then<Login>([](Login& dialog) {
        EXPECT_TRUE(dialog.isVisible()) << "the prompt stays open";
        dialog.edit()->clear();
        QTest::keyClicks(dialog.edit(), "s3cret pass 0123456789"); // cut at 16 characters
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    });
    script.then<Login>([](Login& dialog) {
        QTest::keyClicks(dialog.edit(), "other");
        dialog.reject();
    });

    EXPECT_TRUE(askOnLoaderThread(doc));
    EXPECT_EQ(doc.signerPassword(), "s3cret pass 0123");
    EXPECT_FALSE(askOnLoaderThread(doc));
    EXPECT_EQ(doc.signerPassword(), "s3cret pass 0123");
    EXPECT_TRUE(script.done());
    doc.setInterfaceThread(nullptr);

    Login gate;
    EXPECT_EQ(gate.windowTitle(), "Enter configuration password");
}

} // namespace
