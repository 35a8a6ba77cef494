// Records > Merge Two Records... on screen: the item is retitled for the
// selected kind and merges the two selected individuals.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>

#include "foundation/UndoManager.h"
#include "index/IndexController.h"
#include "index/IndexMenuValidation.h"
#include "index/ui/IndexWindowFixture.h"
#include "index/ui/RecordsTableModel.h"
#include "model/GEDCOMRecord.h"

namespace kl {
namespace {

class MergeMenuTest : public test::IndexWindowFixture {
protected:
    QAction* recordsItem(int tag) {
        for (QAction* top : window->menuBar()->actions())
            if (top->menu() && top->menu()->title() == "&Records") {
                emit top->menu()->aboutToShow();
                for (QAction* item : top->menu()->actions())
                    if (item->data().isValid() && item->data().toInt() == tag) return item;
            }
        return nullptr;
    }
};

TEST_F(MergeMenuTest, MergeTwoRecordsMergesTheSelectedPair) {
    open("0 @I1@ INDI\n1 NAME Ann /Lee/\n1 OCCU Baker\n0 @I2@ INDI\n1 NAME Ann /Lee/\n1 RELI None\n");
    window->controller().selectRecordType("INDI");
    settle();
    QItemSelection selection;
    for (int row : {0, 1}) selection.select(window->recordsModel()->index(row, 0), window->recordsModel()->index(row, 0));
    window->recordsTable()->selectionModel()->select(selection,
                                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    settle();

    QAction* merge = recordsItem(IndexMenuValidation::MergeTwoRecords);
    ASSERT_NE(merge, nullptr);
    EXPECT_TRUE(merge->isEnabled());
    EXPECT_EQ(merge->text().toStdString(), "Merge Two Individual Records...");
    merge->trigger();
    settle();

    const auto people = doc->gedcomModel().recordsIndex().listForType("INDI");
    ASSERT_EQ(people->count(), 1u);
    const auto kept = people->order().front();
    EXPECT_TRUE(kept->firstChildWithTag("OCCU"));
    EXPECT_TRUE(kept->firstChildWithTag("RELI"));
    EXPECT_EQ(doc->undo().undoActionName(), "Merge Two Records");
    EXPECT_EQ(window->beeps(), 0);
}

}  // namespace
}  // namespace kl
