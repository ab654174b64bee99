#include "data/TerminalTree.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>

#include <string>
#include <vector>

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace TestTree;

namespace {

// The nodes of a list in order, a family's name followed by '/'.
std::vector<std::string> outline(const NodeList& nodes)
{
    std::vector<std::string> names;
    for (const auto& node : nodes)
        names.push_back(dynamic_cast<const Family*>(node.get()) ? node->name + "/" : node->name);
    return names;
}

const Family& familyAt(const NodeList& nodes, std::size_t index)
{
    const auto* family = dynamic_cast<const Family*>(nodes.at(index).get());
    if (!family)
        throw std::logic_error("not a family: " + nodes.at(index)->name);
    return *family;
}

Model& modelAt(const NodeList& nodes, std::size_t index)
{
    auto* model = dynamic_cast<Model*>(nodes.at(index).get());
    if (!model)
        throw std::logic_error("not a model: " + nodes.at(index)->name);
    return *model;
}

void forEachNode(const NodeList& nodes, const std::function<void(TreeNode*)>& visit)
{
    for (const auto& node : nodes) {
        visit(node.get());
        if (const auto* family = dynamic_cast<const Family*>(node.get()))
            forEachNode(family->children, visit);
    }
}

// FamilyA/SubB/ModelC.app, FamilyA/m.app, top.app
class TerminalTreeNestedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.write("FamilyA/SubB/ModelC.app", "[MODEL]\nCODE=C1\n");
        dir.write("FamilyA/m.app", "");
        dir.write("top.app", "");
        tree = buildTree(dir.path());
        ASSERT_THAT(outline(tree), ElementsAre("FamilyA/", "top"));
        familyA = &familyAt(tree, 0);
        ASSERT_THAT(outline(familyA->children), ElementsAre("SubB/", "m"));
        subB = &familyAt(familyA->children, 0);
        ASSERT_THAT(outline(subB->children), ElementsAre("ModelC"));
        modelC = &modelAt(subB->children, 0);
        m = &modelAt(familyA->children, 1);
    }

    TempDir dir;
    NodeList tree;
    const Family* familyA = nullptr;
    const Family* subB = nullptr;
    Model* modelC = nullptr;
    Model* m = nullptr;
};

} // namespace

TEST(TerminalTreeTest, FamiliesThenModelsEachInByteOrder)
{
    TempDir dir;
    for (const char* family : {"b", "A", "a"})
        dir.mkdir(family);
    dir.write("z.app", "");
    dir.write("Y.app", "");
    EXPECT_THAT(outline(buildTree(dir.path())), ElementsAre("A/", "a/", "b/", "Y", "z"));

    // Models sort by name, not by file name: "m-2.app" < "m.app" but "m" < "m-2".
    dir.write("m.app", "");
    dir.write("m-2.app", "");
    EXPECT_THAT(outline(buildTree(dir.path())),
                ElementsAre("A/", "a/", "b/", "Y", "m", "m-2", "z"));
}

TEST(TerminalTreeTest, OnlyPlainDirectoriesAndAppFilesAreShown)
{
    TempDir dir;
    dir.mkdir("rel.2");      // has an extension
    dir.mkdir(".hidden");    // hidden
    dir.mkdir("folder.app"); // a directory is no model
    dir.mkdir("Empty");      // no children, still a family
    dir.write("notes", "");  // a file is no family
    dir.write("readme.txt", "");
    dir.write(".app", "");   // no name
    dir.write("x.y.app", "");
    dir.write("X.APP", "");
    dir.write("w.App", "");
    dir.write("rel.2/inside.app", "");
    ASSERT_EQ(::mkfifo(dir.file("pipe.app").c_str(), 0600), 0);

    const NodeList tree = buildTree(dir.path());
    EXPECT_THAT(outline(tree), ElementsAre("Empty/", "X", "w", "x.y"));
    EXPECT_THAT(familyAt(tree, 0).children, IsEmpty());

    const Model& xy = modelAt(tree, 3);
    EXPECT_EQ(xy.caption, "x.y");
    EXPECT_EQ(xy.fileName, "x.y.app");
    EXPECT_EQ(xy.relativeDir, "");
    EXPECT_EQ(xy.profile.path(), dir.path() + "/x.y.app");
    EXPECT_EQ(modelAt(tree, 1).fileName, "X.APP");
    EXPECT_FALSE(xy.profile.loaded()); // files are not read while the tree is built
}

TEST(TerminalTreeTest, DirectorySymlinksAreNotFollowedFileSymlinksAre)
{
    TempDir dir;
    dir.write("Real/r.app", "");
    dir.symlink("Real/loop", ".."); // would recurse without end
    dir.symlink("alias.app", "Real/r.app");
    dir.symlink("dangling.app", "nowhere.app");

    const NodeList tree = buildTree(dir.path());
    EXPECT_THAT(outline(tree), ElementsAre("Real/", "alias"));
    EXPECT_THAT(outline(familyAt(tree, 0).children), ElementsAre("r"));
}

TEST(TerminalTreeTest, DeepNestingStopsAtAFixedDepth)
{
    TempDir dir;
    std::string relative;
    for (int level = 0; level < 80; ++level)
        relative += "d/";
    dir.mkdir(relative);

    const NodeList tree = buildTree(dir.path());
    int depth = 0;
    for (const NodeList* nodes = &tree; !nodes->empty(); nodes = &familyAt(*nodes, 0).children)
        ++depth;
    EXPECT_EQ(depth, 64);
}

TEST(TerminalTreeTest, UnreadableTerminalsDirectoryGivesAnEmptyTree)
{
    TempDir dir;
    dir.write("file", "");
    EXPECT_THAT(buildTree(dir.file("missing")), IsEmpty());
    EXPECT_THAT(buildTree(dir.file("file")), IsEmpty());
}

TEST_F(TerminalTreeNestedTest, ModelsKnowWhereTheirFileIs)
{
    EXPECT_EQ(modelC->relativeDir, "FamilyA/SubB/");
    EXPECT_EQ(modelC->fileName, "ModelC.app");
    EXPECT_EQ(modelC->profile.path(), dir.path() + "/FamilyA/SubB/ModelC.app");
    EXPECT_EQ(modelC->profile.value("MODEL", "CODE"), "C1");
    EXPECT_EQ(m->relativeDir, "FamilyA/");

    // A terminals directory with its final separator gives the same paths.
    const NodeList again = buildTree(dir.path() + "/");
    EXPECT_EQ(modelAt(familyAt(familyAt(again, 0).children, 0).children, 0).profile.path(),
              modelC->profile.path());
}

TEST_F(TerminalTreeNestedTest, ScansBelowARelativeDirectoryWrittenEitherWay)
{
    NodeList models;
    scanModels(dir.path(), "FamilyA\\SubB", models);
    ASSERT_THAT(outline(models), ElementsAre("ModelC"));
    EXPECT_EQ(modelAt(models, 0).relativeDir, "FamilyA/SubB/");
    EXPECT_EQ(modelAt(models, 0).profile.path(), modelC->profile.path());

    NodeList families;
    scanFamilies(dir.path(), "FamilyA/", families);
    EXPECT_THAT(outline(families), ElementsAre("SubB/"));
}

TEST_F(TerminalTreeNestedTest, NodePathJoinsNamesWithBackslash)
{
    EXPECT_EQ(nodePath(tree, modelC), "FamilyA\\SubB\\ModelC");
    EXPECT_EQ(nodePath(tree, subB), "FamilyA\\SubB");
    EXPECT_EQ(nodePath(tree, tree[1].get()), "top");
    EXPECT_EQ(nodePath(tree, nullptr), "");
    Model stranger;
    stranger.name = "ModelC";
    EXPECT_EQ(nodePath(tree, &stranger), "");

    forEachNode(tree, [&](TreeNode* node) {
        EXPECT_EQ(findByPath(tree, nodePath(tree, node)), node) << node->name;
    });
}

TEST_F(TerminalTreeNestedTest, FindByPathAcceptsEitherSeparator)
{
    struct Lookup {
        const char* path;
        const TreeNode* expected;
    };
    const std::vector<Lookup> lookups = {
        {"FamilyA\\SubB\\ModelC", modelC},
        {"FamilyA/SubB/ModelC", modelC},
        {"FamilyA/SubB\\ModelC", modelC},
        {"FamilyA", familyA},
        {"FamilyA/m", m},
        {"top", tree[1].get()},
        {"familya\\SubB\\ModelC", nullptr}, // letter case counts
        {"FamilyA\\Nope", nullptr},
        {"FamilyA\\m\\x", nullptr},         // a model has no children
        {"top/x", nullptr},
        {"FamilyA\\", nullptr},
        {"FamilyA\\SubB\\ModelC\\", nullptr},
        {"\\FamilyA", nullptr},
        {"ModelC", nullptr},                // only from the top down
        {"", nullptr},
    };
    for (const Lookup& lookup : lookups)
        EXPECT_EQ(findByPath(tree, lookup.path), lookup.expected) << "'" << lookup.path << "'";
}

TEST(TerminalTreeTest, FindByPathTakesTheFirstNodeOfAName)
{
    TempDir dir;
    dir.write("x/inner.app", "");
    dir.write("x.app", "");
    const NodeList tree = buildTree(dir.path());
    ASSERT_THAT(outline(tree), ElementsAre("x/", "x"));
    EXPECT_EQ(findByPath(tree, "x"), tree[0].get());
    EXPECT_NE(findByPath(tree, "x/inner"), nullptr);
}

TEST(TerminalTreeTest, TitleShowsCodeOrNameAndDescription)
{
    struct TitleCase {
        const char* fileName;
        const char* content;
        const char* title;
    };
    const std::vector<TitleCase> cases = {
        {"both.app", "[MODEL]\nCODE=123\nDESC=Desk unit\n", "123 (Desk unit)"},
        {"descOnly.app", "[MODEL]\nDESC=Desk unit\n", "descOnly (Desk unit)"},
        {"emptyCode.app", "[MODEL]\nCODE=\nDESC=Desk unit\n", "emptyCode (Desk unit)"},
        {"codeOnly.app", "[MODEL]\nCODE=123\n", "123"},
        {"neither.app", "[MODEL]\nOTHER=1\n", "neither"},
        {"lowerCase.app", "[model]\ncode=7\ndesc=d\n", "7 (d)"},
        {"otherSection.app", "[SYSTEM]\nCODE=9\nDESC=x\n", "otherSection"},
    };
    TempDir dir;
    for (const TitleCase& c : cases)
        dir.write(c.fileName, c.content);
    const NodeList tree = buildTree(dir.path());
    for (const TitleCase& c : cases) {
        std::string name = c.fileName;
        name.resize(name.size() - 4);
        TreeNode* node = findByPath(tree, name);
        ASSERT_NE(node, nullptr) << name;
        EXPECT_EQ(nodeTitle(node), c.title) << name;
    }
}

TEST(TerminalTreeTest, TitleOfFamilyNoneAndUnreadableModel)
{
    TempDir dir;
    dir.mkdir("Family");
    dir.write("gone.app", "[MODEL]\nCODE=1\n");
    const NodeList tree = buildTree(dir.path());
    ASSERT_THAT(outline(tree), ElementsAre("Family/", "gone"));
    ::unlink(dir.file("gone.app").c_str());

    EXPECT_EQ(nodeTitle(nullptr), "Terminal_types");
    EXPECT_EQ(nodeTitle(tree[0].get()), "Family");
    EXPECT_EQ(nodeTitle(tree[1].get()), "gone");
}
