// The main frame and the tree: caption following the current node, the tree's items,
// images and single-expand, the panel rows' layout, the button drawing, the menu and
// status bar, and the shut-down with CurNode remembered.
#include "StationFixture.h"

#include "app/gui/LeftView.h"
#include "app/gui/LockIndicators.h"
#include "app/gui/OrvaneApp.h"
#include "app/gui/OrvaneView.h"
#include "app/gui/PanelButton.h"
#include "app/gui/PortList.h"
#include "app/gui/TreeImages.h"
#include "support/TermSim.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

std::string captionOf(StationWindow& station)
{
    return station.frame->windowTitle().toStdString();
}

QTreeWidgetItem* itemNamed(LeftView& tree, const QString& text)
{
    auto found = tree.findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

TEST(StationWindow, CaptionFollowsTheCurrentNode)
{
    StationWorkspace ws;
    StationWindow station(ws);
    LeftView& tree = *station.frame->leftView();
    EXPECT_EQ(captionOf(station), "HX200 (Desk unit) - Corvantis factory download");

    struct Case {
        const char* item;
        const char* caption;
    } cases[] = {
        {"HX300", "HX300 (Portable unit) - Corvantis factory download"},
        {"VC1", "VC1 - Corvantis factory download"},
        {"Veltrano", "Veltrano - Corvantis factory download"},
        {"Loose", "Loose - Corvantis factory download"},
        {"Terminal_types", "Terminal_types - Corvantis factory download"},
    };
    for (const Case& c : cases) {
        QTreeWidgetItem* item = itemNamed(tree, c.item);
        ASSERT_NE(item, nullptr) << c.item;
        tree.setCurrentItem(item);
        EXPECT_EQ(captionOf(station), c.caption);
        EXPECT_EQ(station.document.currentNode(), tree.nodeOf(item)) << c.item;
    }
}

TEST(StationWindow, TreeShowsFamiliesThenModelsWithTheirImages)
{
    StationWorkspace ws;
    StationWindow station(ws);
    LeftView& tree = *station.frame->leftView();

    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree.topLevelItem(0);
    EXPECT_EQ(root->text(0), "Terminal_types");
    EXPECT_EQ(tree.nodeOf(root), nullptr);
    QStringList top;
    for (int i = 0; i < root->childCount(); ++i)
        top << root->child(i)->text(0);
    EXPECT_EQ(top, QStringList({"Halvorin", "Veltrano", "Loose"}));

    // The remembered model is selected and shown at start.
    QTreeWidgetItem* hx200 = itemNamed(tree, "HX200");
    EXPECT_EQ(tree.selectedItems().value(0), hx200);
    EXPECT_TRUE(hx200->parent()->isExpanded());

    // Models show one image normally and another when selected; families and the root
    // have their own.
    auto pixels = [](const QIcon& icon, QIcon::Mode mode) { return icon.pixmap(16, 16, mode).toImage(); };
    QIcon model = hx200->icon(0);
    EXPECT_EQ(pixels(model, QIcon::Normal), treeImage(TreeImage::Model).toImage());
    EXPECT_EQ(pixels(model, QIcon::Selected), treeImage(TreeImage::SelectedModel).toImage());
    EXPECT_EQ(pixels(root->icon(0), QIcon::Normal), treeImage(TreeImage::Root).toImage());
    std::vector<QImage> images;
    for (int i = 0; i < 5; ++i)
        images.push_back(treeImage(static_cast<TreeImage>(i)).toImage());
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << "images " << i << " and " << j;
}

TEST(StationWindow, OnlyOneBranchIsOpenAtATime)
{
    StationWorkspace ws;
    StationWindow station(ws);
    LeftView& tree = *station.frame->leftView();
    QTreeWidgetItem* halvorin = itemNamed(tree, "Halvorin");
    QTreeWidgetItem* veltrano = itemNamed(tree, "Veltrano");
    QTreeWidgetItem* counter = itemNamed(tree, "Counter");
    ASSERT_TRUE(halvorin && veltrano && counter);
    ASSERT_TRUE(halvorin->isExpanded());

    counter->setExpanded(true); // its way up opens; the other branch closes
    veltrano->setExpanded(true);
    EXPECT_FALSE(halvorin->isExpanded());
    EXPECT_TRUE(veltrano->isExpanded());
    EXPECT_TRUE(counter->isExpanded());
    EXPECT_TRUE(tree.topLevelItem(0)->isExpanded());

    // A collapsed family shows the closed image, an expanded one the open image.
    auto image = [](QTreeWidgetItem* item) { return item->icon(0).pixmap(16, 16).toImage(); };
    EXPECT_EQ(image(halvorin), treeImage(TreeImage::ClosedFamily).toImage());
    EXPECT_EQ(image(veltrano), treeImage(TreeImage::OpenFamily).toImage());
}

TEST(StationWindow, PanelRowsFollowPuertos)
{
    struct Case {
        const char* puertos;
        std::vector<std::string> ports;
        bool firstIsDefault;
    } cases[] = {
        {"COM1,,COM3", {"COM1", "COM3"}, true},
        {"", {}, false},
        {"COM1 \t,COM2\r\n", {"COM1", "COM2"}, true},
        {",COM2", {"COM2"}, false},
        {" COM1", {" COM1"}, true},
        {",, ,", {}, false},
    };
    for (const Case& c : cases) {
        PortList list = parsePortList(c.puertos);
        EXPECT_EQ(list.ports, c.ports) << c.puertos;
        EXPECT_EQ(list.firstPieceIsPort, c.firstIsDefault) << c.puertos;
    }

    StationWorkspace ws;
    ws.writeSettings("COM1,,COM3");
    StationWindow station(ws);
    OrvaneView& view = station.view();
    ASSERT_EQ(view.panelCount(), 2u);
    EXPECT_EQ(view.portLabel(1)->text(), "COM3");
    const int rowHeight = view.rowTemplate().row.height();
    QWidget* second[] = {view.portLabel(1), view.progressBar(1), view.statusText(1), view.button(1)};
    for (int role = 0; role < 4; ++role) {
        EXPECT_EQ(second[role]->property("controlId").toInt(), 5 + role);
        EXPECT_GE(second[role]->y(), rowHeight);
    }
    EXPECT_EQ(view.button(0)->property("controlId").toInt(), 4);
    EXPECT_EQ(view.widget()->height(), 2 * rowHeight);

    ws.writeSettings("");
    ASSERT_TRUE(station.frame->reloadDocument());
    EXPECT_EQ(view.panelCount(), 0u);
    EXPECT_EQ(view.widget()->height(), 0);
}

TEST(StationWindow, RowsStretchWithTheView)
{
    StationWorkspace ws;
    ws.writeSettings("COM1,COM2");
    StationWindow station(ws);
    OrvaneView& view = station.view();
    const PanelRowTemplate& row = view.rowTemplate();
    MainFrame& frame = *station.frame;
    auto widenViewTo = [&](int viewportWidth) {
        // The tree keeps its width; the view takes what the window gains or loses.
        frame.resize(frame.width() + viewportWidth - view.viewport()->width(), frame.height());
        processEventsUntil([&] { return view.viewport()->width() == viewportWidth; }, 5000);
    };

    widenViewTo(row.row.width() + 100);
    ASSERT_EQ(view.viewport()->width(), row.row.width() + 100);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(view.progressBar(i)->width(), row.progress.width() + 100);
        EXPECT_EQ(view.statusText(i)->width(), row.status.width() + 100);
        EXPECT_EQ(view.progressBar(i)->x(), row.progress.x());
        EXPECT_EQ(view.button(i)->x(), row.button.x() + 100);
    }
    widenViewTo(row.row.width() - 50); // narrower than a row: controls stay put
    EXPECT_EQ(view.button(1)->x(), row.button.x() + 100);
    EXPECT_EQ(view.progressBar(1)->width(), row.progress.width() + 100);
}

TEST(StationWindow, ButtonBordersSinkWhenPressed)
{
    StationWorkspace ws;
    ws.writeSettings("COM1");
    StationWindow station(ws);
    PanelButton* button = station.view().button(0);
    const QColor white(255, 255, 255), grey(128, 128, 128);
    struct Case {
        bool down;
        QColor topLeft;
        QColor bottomRight;
    } cases[] = {{false, white, grey}, {true, grey, white}};
    for (const Case& c : cases) {
        button->setDown(c.down);
        QImage image = button->grab().toImage();
        const int w = image.width(), h = image.height();
        for (int inset : {0, 1}) {
            EXPECT_EQ(image.pixelColor(inset, h / 2), c.topLeft) << "left, down " << c.down;
            EXPECT_EQ(image.pixelColor(w / 2, inset), c.topLeft) << "top, down " << c.down;
            EXPECT_EQ(image.pixelColor(w - 1 - inset, h / 2), c.bottomRight) << "right, down " << c.down;
            EXPECT_EQ(image.pixelColor(w / 2, h - 1 - inset), c.bottomRight) << "bottom, down " << c.down;
        }
        EXPECT_EQ(image.pixelColor(3, 3), QColor(0, 255, 0));
    }
    button->setDown(false);
}

TEST(StationWindow, MenuAndStatusBar)
{
    StationWorkspace ws;
    StationWindow station(ws);
    MainFrame& frame = *station.frame;
    EXPECT_EQ(frame.messagePane()->text(), "Ready");
    const char* locks[] = {"MAY", "NUM", "DESP"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(frame.lockIndicators()->pane(static_cast<KeyboardLock>(i))->text(), locks[i]);
    EXPECT_EQ(frame.splitter()->sizes().value(0), MainFrame::kTreeWidth);

    struct Item {
        QAction* action;
        const char* text;
        const char* prompt;
    } items[] = {
        {frame.signerPasswordAction(), "Signer password", "Enter the User password of the Signing tool"},
        {frame.configurationAction(), "&Configuration", "Program comfiguration"},
        {frame.searchAction(), "&Search  for Equipment", "To look for equipment by code or description"},
        {frame.exitAction(), "&Exit", "Application exit; save open documents"},
        {frame.aboutAction(), "&About Orvane...", "Display program information, version number and copyright"},
    };
    for (const Item& item : items) {
        EXPECT_EQ(item.action->text(), item.text);
        EXPECT_EQ(item.action->statusTip(), item.prompt);
    }
    EXPECT_EQ(frame.reloadAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));

    // A menu prompt replaces "Ready" while the item is pointed at, and "Ready" returns.
    frame.searchAction()->showStatusText(&frame);
    EXPECT_EQ(frame.statusBar()->currentMessage(), "To look for equipment by code or description");
    EXPECT_FALSE(frame.messagePane()->isVisible());
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(&frame, &leave);
    EXPECT_TRUE(frame.messagePane()->isVisible());
}

TEST(StationWindow, LockIndicatorsReadTheKeyboardLights)
{
    TempDir leds;
    leds.write("input3::capslock/brightness", "1\n");
    leds.write("input3::numlock/brightness", "0\n");
    leds.write("input7::numlock/brightness", "1\n");
    leds.write("input3::scrolllock/brightness", "0\n");
    leds.write("input3::kana/brightness", "1\n");
    EXPECT_EQ(keyboardLockState(leds.path(), KeyboardLock::Caps), true);
    EXPECT_EQ(keyboardLockState(leds.path(), KeyboardLock::Num), true); // any keyboard's light
    EXPECT_EQ(keyboardLockState(leds.path(), KeyboardLock::Scroll), false);
    EXPECT_EQ(keyboardLockState(leds.file("none"), KeyboardLock::Caps), std::nullopt);
}

// Closing waits for running downloads, which the closing cancels; the window stays
// responsive meanwhile.
TEST(StationShutDown, ClosingCancelsAndWaitsForRunningDownloads)
{
    StationWorkspace ws;
    ws.makeLongApplication();
    TermSim sim({"--mode", "hexsink", "--out", ws.dir.file("r.hex"), "--bitrate", "9600"});
    ASSERT_TRUE(sim.started());
    ws.writeSettings(sim.slavePath());
    StationWindow station(ws);
    OrvaneView& view = station.view();
    std::optional<int> terminated;
    station.frame->setTerminate([&](int status) { terminated = status; });

    view.button(0)->click();
    ASSERT_TRUE(processEventsUntil([&] { return view.statusText(0)->text().startsWith("Application downloading"); }));
    EXPECT_TRUE(station.frame->close());
    EXPECT_FALSE(terminated);
    EXPECT_FALSE(station.document.busy());
    EXPECT_TRUE(view.panelFailed(0));
    EXPECT_EQ(view.statusText(0)->text(), "CANCELLED Process.  The equipment has not been loaded.");
    // No download starts any more.
    view.button(0)->click();
    EXPECT_FALSE(view.panelRunning(0));
}

TEST(StationShutDown, BusyBeyondThePassLimitEndsWithMinusOne)
{
    StationWorkspace ws;
    StationWindow station(ws);
    std::optional<int> terminated;
    station.frame->setTerminate([&](int status) { terminated = status; });
    station.frame->setClosingPassLimit(1000);
    station.document.setBusy(true); // a download that never reports its end

    EXPECT_FALSE(station.frame->close());
    EXPECT_EQ(terminated, -1);
    station.document.setBusy(false);
}

TEST(StationShutDown, CurrentNodeIsRememberedForTheNextStart)
{
    StationWorkspace ws;
    {
        OrvaneApp app(ws.settingsPath());
        app.start();
        LeftView& tree = *app.frame().leftView();
        tree.setCurrentItem(itemNamed(tree, "VC1"));
        EXPECT_TRUE(app.frame().close());
    }
    platform::SettingsStore settings(ws.settingsPath());
    EXPECT_EQ(settings.readString("CurNode"), "Veltrano\\Counter\\VC1");

    OrvaneApp app(ws.settingsPath());
    app.start();
    LeftView& tree = *app.frame().leftView();
    EXPECT_EQ(app.document().currentNode(), tree.nodeOf(itemNamed(tree, "VC1")));
    EXPECT_EQ(tree.selectedItems().value(0), itemNamed(tree, "VC1"));
    EXPECT_EQ(app.frame().windowTitle(), "VC1 - Corvantis factory download");
}

} // namespace
