// The document: requests run on the interface thread, model lookups, the load log and
// the terminal types tree with its remembered node.
#include "app/OrvaneDoc.h"
#include "app/RPC.h"
#include "platform/SettingsStore.h"
#include "support/ScriptedInterfaceThread.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class RecordingRequest final : public RPC {
public:
    RecordingRequest(std::function<void()> work) : work_(std::move(work)) {}
    void execute() override { work_(); }

private:
    std::function<void()> work_;
};

struct DocFixture {
    TempDir dir;
    platform::SettingsStore settings{dir.write("orvane.conf", "[Settings]\n")};
    OrvaneDoc doc{settings};
};

TEST(OrvaneDoc, RequestsOfLoaderThreadsRunOnTheInterfaceThreadOneAtATime)
{
    DocFixture f;
    ScriptedInterfaceThread ui(f.doc);
    std::mutex mutex;
    std::vector<int> order;
    int next = 1000;
    int inside = 0, most = 0;
    auto request = [&](int who) {
        RecordingRequest r([&, who] {
            EXPECT_TRUE(ui.isInterfaceThread());
            std::scoped_lock lock(mutex);
            most = std::max(most, ++inside);
            order.push_back(who * 10000 + next++);
            --inside;
        });
        f.doc.runOnInterfaceThread(r);
    };
    std::vector<std::thread> loaders;
    for (int t = 1; t <= 4; ++t)
        loaders.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i)
                request(t);
        });
    for (auto& t : loaders)
        t.join();
    ASSERT_EQ(order.size(), 200u);
    EXPECT_EQ(most, 1);
    EXPECT_EQ(next, 1200); // every request ran exactly once
    EXPECT_LE(ui.posts(), 200);
}

TEST(OrvaneDoc, RequestOnTheInterfaceThreadRunsAtOnce)
{
    DocFixture f;
    ScriptedInterfaceThread ui(f.doc);
    bool innerRan = false, innerRanFirst = false;
    RecordingRequest inner([&] { innerRan = true; });
    RecordingRequest outer([&] {
        f.doc.runOnInterfaceThread(inner); // made on the interface thread itself
        innerRanFirst = innerRan;
    });
    f.doc.runOnInterfaceThread(outer);
    EXPECT_TRUE(innerRanFirst);
    EXPECT_EQ(ui.posts(), 1);
}

TEST(OrvaneDoc, ModelLookupsNeedAModelAsCurrentNode)
{
    DocFixture f;
    f.dir.write("t/Fam/M1.app", "[MODEL]\nCODE=123\nDESC=Desk unit\n[SYSTEM]\nPROTOCOL=INTELHEX\n");
    f.settings.write("DirEqui", f.dir.file("t"));
    f.doc.buildTerminalTree();
    EXPECT_EQ(f.doc.currentModelValue("SYSTEM", "PROTOCOL"), "");
    EXPECT_FALSE(f.doc.currentModelSection("SYSTEM"));
    EXPECT_EQ(f.doc.title(), "Terminal_types");

    f.doc.setCurrentNode(f.doc.findNode("Fam"));
    EXPECT_EQ(f.doc.currentModelValue("SYSTEM", "PROTOCOL"), "");
    EXPECT_EQ(f.doc.title(), "Fam");

    f.doc.setCurrentNode(f.doc.findNode("Fam/M1"));
    EXPECT_EQ(f.doc.currentModelValue("system", "protocol"), "INTELHEX");
    ASSERT_TRUE(f.doc.currentModelSection("MODEL"));
    EXPECT_EQ(f.doc.currentModelSection("MODEL")->entries.size(), 2u);
    EXPECT_EQ(f.doc.title(), "123 (Desk unit)");
}

TEST(OrvaneDoc, RemembersTheCurrentNodeAcrossAClose)
{
    DocFixture f;
    f.dir.write("t/FamilyA/SubB/ModelC.app", "[MODEL]\n");
    f.settings.write("DirEqui", f.dir.file("t"));
    f.settings.write("CurNode", "FamilyA/SubB/ModelC");
    f.doc.reload();
    ASSERT_NE(f.doc.currentNode(), nullptr);
    EXPECT_EQ(f.doc.currentNode()->name, "ModelC");
    f.doc.close();
    EXPECT_EQ(f.settings.readString("CurNode"), "FamilyA\\SubB\\ModelC");

    OrvaneDoc next(f.settings);
    next.reload();
    ASSERT_NE(next.currentNode(), nullptr);
    EXPECT_EQ(next.nodePath(next.currentNode()), "FamilyA\\SubB\\ModelC");

    f.settings.write("CurNode", "FamilyA\\Gone");
    next.reload();
    EXPECT_EQ(next.currentNode(), nullptr);
    next.close();
    EXPECT_EQ(f.settings.readString("CurNode"), "");
}

TEST(OrvaneDoc, LoadLogLinesNeedALogFile)
{
    DocFixture f;
    f.doc.appendLogLine("COM1 CARGA: nothing");
    f.settings.write("Registro", f.dir.file("sub/none/load.log"));
    f.doc.appendLogLine("COM1 CARGA: lost"); // the directory does not exist: lost silently
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("sub")));
    f.settings.write("Registro", f.dir.file("load.log"));
    f.doc.appendLogLine("COM1 CARGA: one");
    f.doc.appendLogLine("COM2 ERROR: two");
    EXPECT_EQ(readWholeFile(f.dir.file("load.log")), "COM1 CARGA: one\nCOM2 ERROR: two\n");
}

TEST(OrvaneDoc, BusyFlagIsSharedWithTheProcess)
{
    DocFixture f;
    f.doc.setBusy(true);
    EXPECT_TRUE(f.doc.busy());
    EXPECT_TRUE(OrvaneDoc::processBusy());
    f.doc.setBusy(false);
    EXPECT_FALSE(OrvaneDoc::processBusy());
}

} // namespace
