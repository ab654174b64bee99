#include "app/gui/ChooseModel.h"

#include "app/ModelSearch.h"
#include "app/gui/StationText.h"
#include "data/TerminalTree.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr char kCaption[] = "Choose the model to select";
constexpr int kColumns = 3;
} // namespace

ChooseModel::ChooseModel(const std::vector<TestTree::Model*>& candidates, QWidget* owner) : QDialog(owner)
{
    setWindowTitle(toQtText(kCaption));
    list_ = new QTreeWidget;
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setAllColumnsShowFocus(true);
    list_->setHeaderLabels({toQtText("Aplicati\xF3n"), toQtText("Model"), toQtText("Description")});

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChooseModel::confirm);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A double-clicked row is chosen as with OK.
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &ChooseModel::confirm);

    auto* column = new QVBoxLayout(this);
    column->addWidget(list_);
    column->addWidget(buttons);
    fill(candidates);
    resize(std::max(list_->header()->length() + 40, 420), 300);
}

void ChooseModel::fill(const std::vector<TestTree::Model*>& candidates)
{
    for (TestTree::Model* model : candidates) {
        auto* row = new QTreeWidgetItem(list_);
        row->setText(0, toQtText(model->relativeDir + model->fileName));
        row->setText(1, toQtText(model->profile.value("MODEL", "CODE")));
        row->setText(2, toQtText(model->profile.value("MODEL", "DESC")));
    }
    // Each column fits both its heading and its rows.
    for (int i = 0; i < kColumns; ++i)
        list_->resizeColumnToContents(i);
    if (QTreeWidgetItem* first = list_->topLevelItem(0)) {
        list_->setCurrentItem(first);
        first->setSelected(true);
    }
    list_->setFocus();
}

void ChooseModel::confirm()
{
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        complain("Select a aplication.");
        return;
    }
    if (selected.size() > 1) {
        complain("It only can select a aplicativo.");
        return;
    }
    chosenIndex_ = static_cast<std::size_t>(list_->indexOfTopLevelItem(selected.front()));
    accept();
}

void ChooseModel::complain(const char* text)
{
    QMessageBox box(QMessageBox::NoIcon, toQtText(kApplicationTitle), toQtText(text), QMessageBox::Ok, this);
    box.exec();
}
