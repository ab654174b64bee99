#include "app/gui/LeftView.h"

#include "app/OrvaneDoc.h"
#include "app/gui/StationText.h"
#include "app/gui/TreeImages.h"

#include <QHeaderView>
#include <QMetaObject>

namespace {

constexpr int kNodeRole = Qt::UserRole;

bool isItemAncestor(const QTreeWidgetItem* candidate, const QTreeWidgetItem* item)
{
    for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        if (p == candidate)
            return true;
    return false;
}

} // namespace

LeftView::LeftView(OrvaneDoc& document, QWidget* parent) : QTreeWidget(parent), document_(document)
{
    setColumnCount(1);
    header()->hide();
    setRootIsDecorated(true); // buttons and lines at the root
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    setMouseTracking(true); // hot tracking
    setAttribute(Qt::WA_Hover);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &LeftView::selectionChanged);
    connect(this, &QTreeWidget::itemExpanded, this, &LeftView::itemExpandedHere);
    connect(this, &QTreeWidget::itemCollapsed, this, &LeftView::itemCollapsedHere);
}

void LeftView::initialUpdate()
{
    building_ = true;
    clear();
    auto* root = new QTreeWidgetItem(this, QStringList(QStringLiteral("Terminal_types")));
    root->setIcon(0, treeIcon(TreeImage::Root, TreeImage::Root));
    root->setData(0, kNodeRole, QVariant::fromValue<quintptr>(0));
    addNodes(root, &document_.topLevelNodes());
    building_ = false;
    if (QTreeWidgetItem* current = itemOf(document_.currentNode()); current && document_.currentNode())
        showAndSelect(current);
}

void LeftView::addNodes(QTreeWidgetItem* parent, const void* list)
{
    const auto& nodes = *static_cast<const TestTree::NodeList*>(list);
    for (const auto& node : nodes) {
        auto* item = new QTreeWidgetItem(parent, QStringList(toQtText(node->caption)));
        item->setData(0, kNodeRole, QVariant::fromValue(reinterpret_cast<quintptr>(node.get())));
        if (auto* family = dynamic_cast<const TestTree::Family*>(node.get())) {
            item->setIcon(0, treeIcon(TreeImage::OpenFamily, TreeImage::OpenFamily));
            addNodes(item, &family->children);
        } else {
            item->setIcon(0, treeIcon(TreeImage::Model, TreeImage::SelectedModel));
        }
    }
}

void LeftView::updateFromDocument()
{
    if (document_.reloading()) {
        building_ = true;
        clear(); // the nodes are about to be destroyed
        building_ = false;
    }
    if (document_.busy()) {
        setEnabled(false);
        QMetaObject::invokeMethod(this, &LeftView::focusNextPaneRequested, Qt::QueuedConnection);
        return;
    }
    setEnabled(true);
    if (QTreeWidgetItem* current = itemOf(document_.currentNode()))
        showAndSelect(current);
}

void LeftView::scrollToSelected()
{
    const auto selected = selectedItems();
    if (!selected.isEmpty())
        scrollToItem(selected.first());
}

TestTree::TreeNode* LeftView::nodeOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return nullptr;
    return reinterpret_cast<TestTree::TreeNode*>(item->data(0, kNodeRole).value<quintptr>());
}

QTreeWidgetItem* LeftView::itemOf(const TestTree::TreeNode* node) const
{
    // Depth first from the first root item; the root item stands for no node.
    for (QTreeWidgetItemIterator it(const_cast<LeftView*>(this)); *it; ++it)
        if (nodeOf(*it) == node)
            return *it;
    return nullptr;
}

void LeftView::selectionChanged()
{
    if (building_)
        return;
    const auto selected = selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* item = selected.first();
    // Selecting a branch opens it; single-expand then closes the others.
    if (item->childCount() > 0 && !item->isExpanded())
        item->setExpanded(true);
    TestTree::TreeNode* node = nodeOf(item);
    if (node == document_.currentNode())
        return;
    document_.setCurrentNode(node);
    emit currentNodeChanged();
}

void LeftView::itemExpandedHere(QTreeWidgetItem* item)
{
    if (item->parent())
        item->setIcon(0, treeIcon(TreeImage::OpenFamily, TreeImage::OpenFamily));
    collapseOtherBranches(item);
}

void LeftView::itemCollapsedHere(QTreeWidgetItem* item)
{
    if (item->parent())
        item->setIcon(0, treeIcon(TreeImage::ClosedFamily, TreeImage::ClosedFamily));
}

// Only one branch is open at a time: opening an item closes every open item that is
// not on its way up to the root.
void LeftView::collapseOtherBranches(QTreeWidgetItem* expanded)
{
    QList<QTreeWidgetItem*> toClose;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        QTreeWidgetItem* item = *it;
        if (item != expanded && item->isExpanded() && !isItemAncestor(item, expanded) && !isItemAncestor(expanded, item))
            toClose.append(item);
    }
    for (QTreeWidgetItem* item : toClose)
        item->setExpanded(false);
}

void LeftView::showAndSelect(QTreeWidgetItem* item)
{
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        if (!p->isExpanded())
            p->setExpanded(true);
    scrollToItem(item);
    setCurrentItem(item);
    item->setSelected(true);
}
