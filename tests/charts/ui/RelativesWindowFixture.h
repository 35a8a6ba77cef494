#pragma once
// The fixture of the relatives window tests: an index window over GEDCOM
// text (or the sample database), selecting a person, clicking its toolbar
// and finding the tree windows it opened.
#include <gtest/gtest.h>

#include <QAction>
#include <QHeaderView>
#include <QMessageBox>
#include <QApplication>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>

#include <filesystem>
#include <fstream>
#include <functional>
#include <QMimeData>
#include <QPointer>

#include "app/AppController.h"
#include "app/ui/DocController.h"
#include "app/ui/QtDispatcher.h"
#include "app/ui/UiTestSupport.h"
#include "charts/ui/RelativesController.h"
#include "charts/ui/RelativesOutlineModel.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/RecordIdsDrag.h"
#include "document/IndexStyle.h"
#include "foundation/NotificationCenter.h"
#include "document/RecordsIndices.h"
#include "index/DocumentWindows.h"
#include "index/IndexController.h"
#include "index/IndexStyleLibrary.h"
#include "index/ui/IndexToolbarWidget.h"
#include "index/ui/IndexWindow.h"
#include "index/ui/ListsTableModel.h"
#include "index/ui/RecordsTableModel.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl::test {

class RelativesWindowTest : public AppHome {
protected:
    // Whether new tree windows show charts first.
    virtual bool opensCharts() const { return false; }
    void SetUp() override {
        AppHome::SetUp();
        AppController::initialize(*defaults);
        defaults->setObject(Value(3), RelativesController::kInitialGenerations);
        defaults->setObject(Value(opensCharts()), RelativesController::kChartModeFirst);
        RelativesController::install(*defaults);
    }
    void TearDown() override {
        window.reset();
        doc.reset();
        AppHome::TearDown();
    }
    static void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
    void open(const std::string& records) {
        doc = std::make_unique<GEDCOMDocument>();
        doc->undo().disableUndoRegistration();
        doc->gedcomModel().setInputGed("0 HEAD\n1 CHAR UTF-8\n" + records + "0 TRLR\n");
        doc->gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        doc->undo().enableUndoRegistration();
        window = std::make_unique<IndexWindow>(*doc, std::make_shared<IndexStyleLibrary>(*defaults), *defaults);
        window->show();
        settle();
    }
    // Shows the individuals and selects the person's row.
    static void select(IndexWindow& shown, const std::string& id) {
        const long list = shown.document().gedcomModel().recordsIndex().recordTypeIndex("INDI");
        shown.listsTable()->selectionModel()->setCurrentIndex(shown.listsModel()->index(static_cast<int>(list), 0),
                                                              QItemSelectionModel::ClearAndSelect);
        settle();
        const auto listed = shown.controller().listedRecords();
        for (std::size_t row = 0; row < listed.size(); ++row)
            if (listed[row]->grecordID() == id)
                shown.recordsTable()->selectionModel()->select(
                    shown.recordsModel()->index(static_cast<int>(row), 0),
                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        settle();
    }
    static RelativesController* treeWindow(IndexWindow& shown, const std::string& id, const char* style) {
        auto person = shown.document().gedcomModel().recordWithID(id);
        RelativesWindow* entry = shown.documentWindows().findRecordTree(person, style);
        return entry ? qobject_cast<RelativesController*>(
                           static_cast<QWidget*>(const_cast<void*>(entry->window())))
                     : nullptr;
    }
    static int treeWindows(IndexWindow& shown) {
        int count = 0;
        for (const auto& controller : shown.documentWindows().windowControllers())
            count += dynamic_cast<RelativesWindow*>(controller.get()) != nullptr;
        return count;
    }
    static void click(IndexWindow& shown, const char* identifier) {
        QAction* action = shown.toolbar()->actionForIdentifier(identifier);
        ASSERT_NE(action, nullptr) << identifier;
        action->trigger();
        settle();
    }
    // The person's tree window that the index toolbar's "Ancestors" or
    // "Descendants" opens.
    RelativesController* showRelatives(const std::string& id, const char* item) {
        select(*window, id);
        click(*window, item);
        return treeWindow(*window, id, std::string(item) == "Ancestors" ? "Ancest" : "Descend");
    }
    std::vector<std::string> rowTexts(RelativesController& tree) {
        std::vector<std::string> texts;
        for (const auto& row : tree.shownRows())
            texts.push_back(std::string(row.level * 2, ' ') + *tree.tree().stringForItem(*row.item, 0));
        return texts;
    }

    QtDispatcher dispatcher;
    Dispatcher::Scope scope{dispatcher};
    std::unique_ptr<GEDCOMDocument> doc;
    std::unique_ptr<IndexWindow> window;
};

// Arno and Bea's family, their son Cal's family with Gia, and Cal's
// daughter Ilse.
inline const char* kThreeGenerations =
    "0 @I1@ INDI\n1 NAME Arno /Velk/\n1 SEX M\n1 FAMS @F1@\n"
    "0 @I2@ INDI\n1 NAME Bea /Orm/\n1 SEX F\n1 FAMS @F1@\n"
    "0 @I3@ INDI\n1 NAME Cal /Velk/\n1 SEX M\n1 FAMC @F1@\n1 FAMS @F3@\n"
    "0 @I6@ INDI\n1 NAME Gia /Tarn/\n1 SEX F\n1 FAMS @F3@\n"
    "0 @I8@ INDI\n1 NAME Ilse /Velk/\n1 SEX F\n1 FAMC @F3@\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n"
    "0 @F3@ FAM\n1 HUSB @I3@\n1 WIFE @I6@\n1 CHIL @I8@\n";

// The number of people below a person, down to `depth` generations.
inline int descendantsOf(const INDIRecord& person, int depth) {
    if (depth == 0) return 0;
    int count = 0;
    for (const auto& family : person.spouseFamsRecs())
        for (const auto& child : family->children()) count += 1 + descendantsOf(*child, depth - 1);
    return count;
}

}  // namespace kl::test
