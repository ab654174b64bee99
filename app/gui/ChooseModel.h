#pragma once
// The chooser among several models found by the model search: one row per model
// (folder and file, code, description), a single selection, OK and Cancel.
#include <QDialog>

#include <cstddef>
#include <vector>

namespace TestTree {
class Model;
}
class QPushButton;
class QTreeWidget;

class ChooseModel : public QDialog {
    Q_OBJECT
public:
    ChooseModel(const std::vector<TestTree::Model*>& candidates, QWidget* owner = nullptr);

    // The row confirmed by OK; 0 until then.
    std::size_t chosenIndex() const { return chosenIndex_; }

    QTreeWidget* list() const { return list_; }
    QPushButton* okButton() const { return okButton_; }

private:
    void fill(const std::vector<TestTree::Model*>& candidates);
    void confirm();
    void complain(const char* text);

    QTreeWidget* list_ = nullptr;
    QPushButton* okButton_ = nullptr;
    std::size_t chosenIndex_ = 0;
};
