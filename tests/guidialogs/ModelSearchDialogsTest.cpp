// The model search through the station's dialogs: the question, one match, several
// matches offered in the chooser, no match, and the chooser's own checks.
#include "app/ModelSearch.h"
#include "app/gui/ChooseModel.h"
#include "app/gui/GuiInterfaceThread.h"
#include "app/gui/Leer.h"
#include "guidialogs/ModalScript.h"
#include "modelsearch/SearchTree.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

struct GuiSearch : ::testing::Test {
    GuiSearch()
    {
        tree.doc.setInterfaceThread(&gui);
        tree.doc.setCurrentNode(tree.doc.findNode("Top"));
    }
    ~GuiSearch() override { tree.doc.setInterfaceThread(nullptr); }

    // The search question answered with digits typed on the keyboard.
    void answerQuestion(const char* typed)
    {
        script.then<Leer>([typed](Leer& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Introduce the text to look for");
            QTest::keyClicks(dialog.edit(), typed);
            QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        });
    }

    SearchTree tree;
    GuiInterfaceThread gui{tree.doc};
    ModalScript script;
};

QStringList rowTexts(const QTreeWidget& list, int row)
{
    const QTreeWidgetItem* item = list.topLevelItem(row);
    return {item->text(0), item->text(1), item->text(2)};
}

TEST_F(GuiSearch, OneMatchBecomesTheCurrentNode)
{
    QSignalSpy changes(&gui, &GuiInterfaceThread::documentChanged);
    answerQuestion("12345678");
    tree.doc.searchModel();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(tree.current(), "Counter/Sub/D100.app");
    EXPECT_EQ(tree.doc.title(), "12345678 (Escritorio D\xE9sk)");
    EXPECT_GE(changes.count(), 1);
}

TEST_F(GuiSearch, SeveralMatchesAreOfferedWithTheFirstSelectedAndOkTakesIt)
{
    answerQuestion("1234567");
    script.then<ChooseModel>([](ChooseModel& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Choose the model to select");
        const QTreeWidget& list = *dialog.list();
        const QTreeWidgetItem* header = list.headerItem();
        EXPECT_EQ((QStringList{header->text(0), header->text(1), header->text(2)}),
                  (QStringList{QString::fromUtf8("Aplicati\xC3\xB3n"), "Model", "Description"}));
        ASSERT_EQ(list.topLevelItemCount(), 2);
        EXPECT_EQ(rowTexts(list, 0), (QStringList{"Counter/Sub/D100.app", "12345678", QString::fromUtf8("Escritorio D\xC3\xA9sk")}));
        EXPECT_EQ(rowTexts(list, 1), (QStringList{"Counter/Sub/E10.app", "1234567/01", "Esquina"}));
        EXPECT_EQ(list.selectedItems(), QList<QTreeWidgetItem*>{list.topLevelItem(0)});
        EXPECT_EQ(list.currentItem(), list.topLevelItem(0));
        // Each column is at least as wide as its heading and its widest row.
        for (int column = 0; column < 3; ++column)
            EXPECT_GE(list.columnWidth(column), list.fontMetrics().horizontalAdvance(rowTexts(list, 0)[column]));
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    });
    tree.doc.searchModel();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(tree.current(), "Counter/Sub/D100.app");
}

TEST_F(GuiSearch, CancellingTheChooserChangesNothing)
{
    answerQuestion("1234567");
    script.then<ChooseModel>([](ChooseModel& dialog) { dialog.reject(); });
    tree.doc.searchModel();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(tree.current(), "Top.app");
}

TEST_F(GuiSearch, NoMatchIsReportedAsModelNonfound)
{
    answerQuestion("999");
    script.then<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.text(), "Model nonfound");
        EXPECT_EQ(box.windowTitle(), "orvane");
        box.button(QMessageBox::Ok)->click();
    });
    tree.doc.searchModel();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(tree.current(), "Top.app");
}

TEST_F(GuiSearch, TheChooserAsksForARowWhenNoneIsSelected)
{
    std::vector<TestTree::Model*> candidates;
    ModelSearch("counter", tree.doc.topLevelNodes(), candidates);
    ChooseModel chooser(candidates);
    script.then<ChooseModel>([](ChooseModel& dialog) {
        dialog.list()->clearSelection();
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    });
    script.then<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.text(), "Select a aplication.");
        EXPECT_EQ(box.windowTitle(), "orvane");
        box.button(QMessageBox::Ok)->click();
    });
    script.then<ChooseModel>([](ChooseModel& dialog) {
        EXPECT_TRUE(dialog.isVisible()) << "the chooser stays open";
        dialog.list()->topLevelItem(2)->setSelected(true);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    });
    EXPECT_EQ(chooser.exec(), QDialog::Accepted);
    EXPECT_EQ(chooser.chosenIndex(), 2u);
    EXPECT_TRUE(script.done());
}

} // namespace
