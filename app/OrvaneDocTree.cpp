// The document's side of the terminal types tree: building, the current node and its
// title, node paths.
#include "app/OrvaneDoc.h"

#include "platform/SettingsStore.h"

void OrvaneDoc::buildTerminalTree()
{
    reloading_.store(true);
    updateAllViews();
    reloading_.store(false);
    setCurrentNode(nullptr);
    {
        std::scoped_lock lock(documentLock_);
        tree_.clear();
    }
    std::string terminalsDir = readSetting("DirEqui");
    if (terminalsDir.empty())
        terminalsDir.push_back('.'); // the working directory, as an unset DirEqui means
    TestTree::NodeList tree = TestTree::buildTree(terminalsDir);
    {
        std::scoped_lock lock(documentLock_);
        tree_ = std::move(tree);
    }
    std::string remembered = readSetting("CurNode");
    setCurrentNode(remembered.empty() ? nullptr : findNode(remembered));
}

void OrvaneDoc::setCurrentNode(TestTree::TreeNode* node)
{
    std::scoped_lock lock(documentLock_);
    if (node == currentNode_)
        return;
    currentNode_ = node;
    title_ = TestTree::nodeTitle(node);
}

std::string OrvaneDoc::nodePath(const TestTree::TreeNode* node) const
{
    return TestTree::nodePath(tree_, node);
}

TestTree::TreeNode* OrvaneDoc::findNode(std::string_view path)
{
    return TestTree::findByPath(tree_, path);
}

void OrvaneDoc::reload()
{
    replaceReader();
    buildTerminalTree();
    updateAllViews();
}

void OrvaneDoc::close(bool rememberCurrentNode)
{
    closing_.store(true);
    macRanges_.close();
    std::scoped_lock lock(documentLock_);
    if (rememberCurrentNode)
        settings_.write("CurNode", nodePath(currentNode_));
    currentNode_ = nullptr;
    tree_.clear();
    stopReader();
}
