// The download panels against simulated terminals: colours and messages of running,
// finished, failed and cancelled downloads, the busy flag with the tree, the reload
// refused while downloads run, and the coalescing of progress notifications.
#include "StationFixture.h"

#include "app/gui/LeftView.h"
#include "app/gui/OrvaneView.h"
#include "app/gui/PanelButton.h"
#include "app/gui/ThreadProgress.h"
#include "support/TermSim.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>

namespace {

const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QString kCancelled = QStringLiteral("CANCELLED Process.  The equipment has not been loaded.");

std::vector<std::string> hexSink(const StationWorkspace& ws, const std::string& out, const std::string& bitrate)
{
    return {"--mode", "hexsink", "--out", ws.dir.file(out), "--exit-on-eof", "--bitrate", bitrate};
}

TEST(StationPanels, DownloadsTurnYellowThenGreenOrRedWithTheLastMessage)
{
    StationWorkspace ws;
    ws.makeLongApplication(3000);
    TermSim a(hexSink(ws, "a.hex", "line"));
    TermSim b(hexSink(ws, "b.hex", "line"));
    ASSERT_TRUE(a.started() && b.started());
    ws.writeSettings(a.slavePath() + "," + b.slavePath() + "," + ws.dir.file("ttyNONE"));
    StationWindow station(ws);
    OrvaneView& view = station.view();
    ASSERT_EQ(view.panelCount(), 3u);

    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(station.buttonFace(i), kGreen) << "idle panel " << i;
        view.button(i)->click();
        EXPECT_TRUE(view.panelRunning(i) || view.panelFailed(i));
    }
    // The simulated terminals take their files at the line's pace, and the files are
    // longer than the pseudo-terminals buffer: these two still run.
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(station.buttonFace(i), kYellow) << "running panel " << i;
        EXPECT_EQ(view.button(i)->text(), "Cancel");
    }

    ASSERT_TRUE(processEventsUntil([&] { return !view.anyRunning() && !station.document.busy(); }));
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(station.buttonFace(i), kGreen) << "loaded panel " << i;
        EXPECT_EQ(view.button(i)->text(), "Download");
        EXPECT_EQ(view.statusText(i)->text(), "Carga finalizada.");
        EXPECT_EQ(view.progressBar(i)->value(), view.progressBar(i)->maximum());
    }
    EXPECT_EQ(station.buttonFace(2), kRed);
    EXPECT_EQ(view.button(2)->text(), "Download");
    EXPECT_EQ(view.statusText(2)->text(), "The selected Port cannot be opened.");

    ASSERT_TRUE(a.waitForExit(5000) && b.waitForExit(5000));
    EXPECT_EQ(readWholeFile(ws.dir.file("a.hex")), ws.streamed());
    EXPECT_EQ(readWholeFile(ws.dir.file("b.hex")), ws.streamed());
}

TEST(StationPanels, CancelEndsTheRunningDownloadInRed)
{
    StationWorkspace ws;
    ws.makeLongApplication();
    TermSim sim({"--mode", "hexsink", "--out", ws.dir.file("r.hex"), "--bitrate", "9600"});
    ASSERT_TRUE(sim.started());
    ws.writeSettings(sim.slavePath());
    StationWindow station(ws);
    OrvaneView& view = station.view();

    view.button(0)->click();
    ASSERT_TRUE(processEventsUntil([&] { return view.statusText(0)->text().startsWith("Application downloading"); }))
        << view.statusText(0)->text().toStdString();
    EXPECT_EQ(station.buttonFace(0), kYellow);

    view.button(0)->click();
    view.button(0)->click(); // a second press does no harm
    ASSERT_TRUE(processEventsUntil([&] { return !view.anyRunning() && !station.document.busy(); }, 20000));
    EXPECT_EQ(station.buttonFace(0), kRed);
    EXPECT_EQ(view.button(0)->text(), "Download");
    EXPECT_EQ(view.statusText(0)->text(), kCancelled);
    EXPECT_LT(readWholeFile(ws.dir.file("r.hex")).size(), ws.streamed().size());
}

TEST(StationPanels, BusyWhileAnyPanelRunsWithTheTreeDisabledAndReloadRefused)
{
    StationWorkspace ws;
    ws.makeLongApplication();
    TermSim slow({"--mode", "hexsink", "--out", ws.dir.file("slow.hex"), "--bitrate", "9600"});
    TermSim fast({"--mode", "hexsink", "--out", ws.dir.file("fast.hex"), "--exit-on-eof"});
    ASSERT_TRUE(slow.started() && fast.started());
    ws.writeSettings(slow.slavePath() + "," + fast.slavePath());
    StationWindow station(ws);
    OrvaneView& view = station.view();
    LeftView& tree = *station.frame->leftView();
    QTreeWidgetItem* firstItem = tree.topLevelItem(0);
    EXPECT_FALSE(station.document.busy());
    EXPECT_TRUE(tree.isEnabled());

    view.button(0)->click();
    EXPECT_TRUE(station.document.busy());
    EXPECT_FALSE(tree.isEnabled());
    view.button(1)->click(); // starts beside the first
    EXPECT_TRUE(view.panelRunning(1));

    // The second panel ends long before the first: the flag stays while one runs.
    ASSERT_TRUE(processEventsUntil([&] { return !view.panelRunning(1); }));
    EXPECT_TRUE(view.panelRunning(0));
    EXPECT_TRUE(station.document.busy());
    EXPECT_FALSE(tree.isEnabled());

    // Ctrl+N would destroy the tree and panels the running job uses: nothing happens,
    // not even with other ports in the settings now.
    ws.writeSettings(slow.slavePath());
    QTest::keyClick(station.frame.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(view.panelCount(), 2u);
    EXPECT_EQ(tree.topLevelItem(0), firstItem);
    EXPECT_FALSE(station.frame->reloadDocument());

    view.button(0)->click(); // Cancel
    ASSERT_TRUE(processEventsUntil([&] { return !station.document.busy(); }, 20000));
    EXPECT_TRUE(tree.isEnabled());
    EXPECT_EQ(tree.selectedItems().value(0), tree.itemOf(station.document.currentNode()));

    // Once nothing runs, Ctrl+N reloads: the panels follow the settings.
    QTest::keyClick(station.frame.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(view.panelCount(), 1u);
}

// A loader thread reporting a burst of changes posts one notification; the interface
// thread then shows the last values of every panel at once.
TEST(StationPanels, BurstOfChangesComesAsOneNotification)
{
    StationWorkspace ws;
    ws.writeSettings("ttyA,ttyB");
    StationWindow station(ws);
    OrvaneView& view = station.view();
    ThreadProgress first(view, 0), second(view, 1);
    const std::size_t before = view.notificationsPosted();

    std::thread loader([&] {
        first.setRange(1000);
        for (int i = 1; i <= 1000; ++i) {
            first.setPos(i);
            second.step(1);
            first.setText("block " + std::to_string(i));
        }
    });
    loader.join();
    EXPECT_EQ(view.notificationsPosted(), before + 1);

    ASSERT_TRUE(processEventsUntil([&] { return view.statusText(0)->text() == "block 1000"; }));
    EXPECT_EQ(view.progressBar(0)->maximum(), 1000);
    EXPECT_EQ(view.progressBar(0)->value(), 1000);
    EXPECT_EQ(view.progressBar(1)->value(), 100); // stepped to its upper bound and no further

    // Unchanged values post nothing; the next change posts again.
    first.setText("block 1000");
    first.setPos(1000);
    second.step(5);
    EXPECT_EQ(view.notificationsPosted(), before + 1);
    second.step(-500);
    EXPECT_EQ(view.notificationsPosted(), before + 2);
    ASSERT_TRUE(processEventsUntil([&] { return view.progressBar(1)->value() == 0; }));
}

TEST(StationPanels, EnterPressesTheFocusedPanelsButton)
{
    StationWorkspace ws;
    ws.writeSettings(ws.dir.file("ttyNONE0") + "," + ws.dir.file("ttyNONE1"));
    StationWindow station(ws);
    OrvaneView& view = station.view();
    EXPECT_EQ(view.defaultPanel(), 0u);

    station.frame->activateWindow();
    view.button(1)->setFocus();
    ASSERT_TRUE(processEventsUntil([&] { return view.defaultPanel() == 1; }, 5000));
    QTest::keyClick(view.button(1), Qt::Key_Return);
    ASSERT_TRUE(processEventsUntil([&] { return !station.document.busy(); }));
    EXPECT_TRUE(view.panelFailed(1));
    EXPECT_FALSE(view.panelFailed(0));
    EXPECT_EQ(view.statusText(0)->text(), "");
    EXPECT_EQ(view.statusText(1)->text(), "The selected Port cannot be opened.");
}

} // namespace
