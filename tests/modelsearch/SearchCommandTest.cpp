// The search command of the document: the question it asks, the text it searches,
// and what one, several or no matches do to the current node.
#include "app/InterfaceThread.h"
#include "modelsearch/SearchTree.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using Names = std::vector<std::string>;

// The calling thread as the interface thread, with one scripted answer to the text
// question and to the chooser; every prompt is recorded.
class ScriptedOperator final : public InterfaceThread {
public:
    std::optional<std::string> typed;
    std::optional<std::size_t> chosen;
    std::vector<std::string> prompts;
    Names choices;
    int viewUpdates = 0;

    bool isInterfaceThread() const override { return true; }
    void postExecuteRequests() override {}
    void updateAllViews() override { ++viewUpdates; }
    bool readText(const std::string& caption, std::string& text, BarcodeReader::Reader*) override
    {
        prompts.push_back("text: " + caption);
        if (typed)
            text = *typed;
        return typed.has_value();
    }
    bool readIpAddress(const std::string&, std::uint32_t&, BarcodeReader::Reader*) override { return false; }
    bool askPassword(const std::string&, std::string&) override { return false; }
    void showMessage(const std::string& text, const std::string& caption) override
    {
        prompts.push_back("message: " + caption + ": " + text);
    }
    bool chooseModel(const std::vector<TestTree::Model*>& candidates, std::size_t& index) override
    {
        prompts.push_back("choose");
        choices = SearchTree::listed(candidates);
        if (chosen)
            index = *chosen;
        return chosen.has_value();
    }
};

struct SearchCommand : ::testing::Test {
    SearchCommand()
    {
        tree.doc.setInterfaceThread(&op);
        tree.doc.setCurrentNode(tree.doc.findNode("Top"));
    }
    ~SearchCommand() override { tree.doc.setInterfaceThread(nullptr); }

    SearchTree tree;
    ScriptedOperator op;
};

const std::string kQuestion = "text: Introduce the text to look for";

TEST_F(SearchCommand, OneMatchBecomesTheCurrentNodeAndTheViewsFollow)
{
    struct Case {
        std::string typed, current;
    };
    const Case cases[] = {
        {"desk", "Counter/Sub/D100.app"},
        {"12345678/01", "Counter/Sub/D100.app"},   // a scanned label: its code alone
        {"1234567/01", "Counter/Sub/E10.app"},     // too short for a label: searched whole
        {"m300 \t\r\n", "Mobile/M300.app"},        // trailing blanks and line ends go
    };
    for (const Case& c : cases) {
        tree.doc.setCurrentNode(tree.doc.findNode("Top"));
        op.prompts.clear();
        op.viewUpdates = 0;
        op.typed = c.typed;
        tree.doc.searchModel();
        EXPECT_EQ(tree.current(), c.current) << c.typed;
        EXPECT_EQ(op.prompts, Names{kQuestion}) << c.typed;
        EXPECT_GE(op.viewUpdates, 1) << c.typed;
    }
    EXPECT_EQ(tree.doc.title(), "M300 (NI\xD1O pack)");
}

TEST_F(SearchCommand, SeveralMatchesAreOfferedInTreeOrderAndTheChoiceIsTaken)
{
    op.typed = "counter";
    op.chosen = 1;
    tree.doc.searchModel();
    EXPECT_EQ(op.choices, (Names{"Counter/Sub/D100.app", "Counter/Sub/E10.app", "Counter/C200.app"}));
    EXPECT_EQ(op.prompts, (Names{kQuestion, "choose"}));
    EXPECT_EQ(tree.current(), "Counter/Sub/E10.app");
}

TEST_F(SearchCommand, NothingChangesWhenNoModelIsChosenOrFound)
{
    struct Case {
        const char* what;
        std::optional<std::string> typed;
        Names prompts;
    };
    const Case cases[] = {
        {"question cancelled", std::nullopt, {kQuestion}},
        {"blank answer", " \t\n", {kQuestion}},
        {"chooser cancelled", "counter", {kQuestion, "choose"}},
        {"no match", "zzz", {kQuestion, "message: orvane: Model nonfound"}},
    };
    for (const Case& c : cases) {
        op.prompts.clear();
        op.typed = c.typed;
        op.chosen.reset();
        tree.doc.searchModel();
        EXPECT_EQ(op.prompts, c.prompts) << c.what;
        EXPECT_EQ(tree.current(), "Top.app") << c.what;
    }
}

TEST_F(SearchCommand, AsksNothingWhileADownloadRuns)
{
    tree.doc.setBusy(true);
    op.typed = "desk";
    tree.doc.searchModel();
    EXPECT_TRUE(op.prompts.empty());
    EXPECT_EQ(tree.current(), "Top.app");
    tree.doc.setBusy(false);
}

} // namespace
