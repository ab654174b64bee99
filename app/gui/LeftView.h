#pragma once
// The tree of terminal families and models on the left of the main window. The
// operator's selection becomes the document's current node; while downloads run the
// tree is disabled, so the model cannot change under a running job.
#include <QTreeWidget>

class OrvaneDoc;
namespace TestTree {
class TreeNode;
}

class LeftView : public QTreeWidget {
    Q_OBJECT
public:
    explicit LeftView(OrvaneDoc& document, QWidget* parent = nullptr);

    // Builds the items from the document's tree: the root "Terminal_types", then every
    // node in list order; the current node's item is shown and selected.
    void initialUpdate();
    // The document changed: empty while the tree is being rebuilt, disabled while
    // downloads run, otherwise enabled and showing the current node.
    void updateFromDocument();
    // Makes the selected item visible.
    void scrollToSelected();

    TestTree::TreeNode* nodeOf(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* itemOf(const TestTree::TreeNode* node) const;

signals:
    // The operator selected another node; it is now the document's current node.
    void currentNodeChanged();
    // The tree gave up the keyboard focus; the next pane should take it.
    void focusNextPaneRequested();

private:
    void addNodes(QTreeWidgetItem* parent, const void* nodes);
    void selectionChanged();
    void itemExpandedHere(QTreeWidgetItem* item);
    void itemCollapsedHere(QTreeWidgetItem* item);
    void collapseOtherBranches(QTreeWidgetItem* expanded);
    void showAndSelect(QTreeWidgetItem* item);

    OrvaneDoc& document_;
    bool building_ = false;
};
