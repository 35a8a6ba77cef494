// File > Merge… in the program's window: the sheet lists the other open
// database, and confirming it merges that database into this one (with
// the sheet's screenshot).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

#include <filesystem>
#include <fstream>

#include "IndexWindowFixture.h"
#include "app/ui/DocController.h"
#include "app/ui/QtDispatcher.h"
#include "app/ui/QtDocumentUI.h"
#include "document/GEDCOMModel.h"
#include "document/RecordIdsDrag.h"
#include "foundation/MainThread.h"
#include "index/ui/MergeOptions.h"

namespace kl::test {
namespace {

constexpr const char* kFamily =
    "0 HEAD\n1 CHAR UTF-8\n"
    "0 @I1@ INDI\n1 NAME Alder /Brook/\n1 SEX M\n1 FAMS @F1@\n"
    "0 @I2@ INDI\n1 NAME Birch /Brook/\n1 SEX F\n1 FAMS @F1@\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n"
    "0 TRLR\n";

class MergeWindowTest : public IndexWindowFixture {
protected:
    void SetUp() override {
        IndexWindowFixture::SetUp();
        controller = std::make_unique<DocController>(*defaults);
        controller->setProgressUI(&progress);
        IndexWindow::installWindowFactory(*controller, *defaults);
        folder = root() / "databases";
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        controller.reset();
        IndexWindowFixture::TearDown();
    }
    GEDCOMDocument* openTree(const std::string& name) {
        std::ofstream(folder / name) << kFamily;
        std::string error;
        GEDCOMDocument* opened = controller->openDocument(folder / name, &error);
        EXPECT_NE(opened, nullptr) << error;
        settle();
        return opened;
    }
    IndexWindow* windowOf(GEDCOMDocument& document) {
        return dynamic_cast<IndexWindow*>(controller->windowForDocument(document));
    }

    QtDispatcher dispatcher;
    Dispatcher::Scope onMain{dispatcher};
    // The program's wait: serves the workers' main-thread hand-offs.
    QtDocumentUI progress;
    std::unique_ptr<DocController> controller;
    std::filesystem::path folder;
};

QAction* fileMenuItem(QMainWindow& window, const QString& title) {
    for (QAction* menu : window.menuBar()->actions())
        if (menu->menu() && menu->menu()->title() == "&File")
            for (QAction* item : menu->menu()->actions())
                if (item->text() == title) return item;
    return nullptr;
}

TEST_F(MergeWindowTest, FileMergeShowsTheSheetAndMergesTheOtherDatabase) {
    GEDCOMDocument* dest = openTree("Harbour.ged");
    ASSERT_NE(dest, nullptr);
    IndexWindow* window = windowOf(*dest);
    ASSERT_NE(window, nullptr);
    QAction* merge = fileMenuItem(*window, "Merge...");
    ASSERT_NE(merge, nullptr);
    window->validateAction(merge, false);
    EXPECT_FALSE(merge->isEnabled()) << "one open database has nothing to merge";

    GEDCOMDocument* source = openTree("Upland.ged");
    ASSERT_NE(source, nullptr);
    window->validateAction(merge, false);
    ASSERT_TRUE(merge->isEnabled());
    merge->trigger();
    settle();

    auto* sheet = window->findChild<MergeOptions*>();
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(sheet->whichDocument()->count(), 1) << "the destination is not offered";
    EXPECT_EQ(sheet->whichDocument()->itemText(0), controller->displayName(*source));
    EXPECT_EQ(sheet->whichRecords()->itemText(0), "All Records");
    EXPECT_TRUE(sheet->createAlbumText()->text().startsWith("Merged "));
    sheet->attachLinkBox()->setChecked(true);
    sheet->linkText()->setText("From the upland branch");
    const auto path = std::filesystem::path(KL_BINARY_DIR) / "merge-options.png";
    EXPECT_TRUE(sheet->grab().save(QString::fromStdString(path.string())));
    const QString album = sheet->createAlbumText()->text();

    sheet->okClick();
    settle();

    GEDCOMModel& model = dest->gedcomModel();
    EXPECT_EQ(model.numberOfType("INDI"), 4u);
    EXPECT_EQ(model.numberOfType("FAM"), 2u);
    EXPECT_EQ(model.numberOfType("NOTE"), 1u);
    EXPECT_EQ(source->gedcomModel().numberOfType("INDI"), 2u) << "the source is left as it was";
    EXPECT_EQ(dest->undo().undoActionName(), "Merge Records");
    bool albumMade = false;
    for (const auto& list : model.recordsIndex().lists())
        albumMade = albumMade || (list->listType() == ListUserAlbum && list->name() == album.toStdString() &&
                                  list->count() >= 3);
    EXPECT_TRUE(albumMade);

    // The sheet remembers the note for the next merge.
    auto* again = MergeOptions::initForDoc(*dest, window);
    EXPECT_TRUE(again->attachLinkBox()->isChecked());
    EXPECT_EQ(again->linkText()->text(), "From the upland branch");
    delete again;
    MergeOptions::setAttachLinkText("");
}

TEST_F(MergeWindowTest, RecordsDroppedFromAnotherDatabaseAreMergedIntoAnImportedAlbum) {
    GEDCOMDocument* dest = openTree("Harbour.ged");
    GEDCOMDocument* source = openTree("Upland.ged");
    ASSERT_TRUE(dest && source);
    IndexWindow* window = windowOf(*dest);
    ASSERT_NE(window, nullptr);
    QMimeData data;
    data.setData(kRecordIdsMimeType,
                 QByteArray::fromStdString(encodeRecordIdsDrag({documentKeyFor(source), {"@I2@"}})));

    ASSERT_TRUE(window->dropRecords(&data, 0, false));
    ASSERT_TRUE(window->dropRecords(&data, 0, true));
    settle();

    GEDCOMModel& model = dest->gedcomModel();
    EXPECT_GE(model.numberOfType("INDI"), 3u);
    EXPECT_EQ(model.numberOfType("NOTE"), 0u) << "a drop links no note";
    bool imported = false;
    for (const auto& list : model.recordsIndex().lists())
        imported = imported || (list->listType() == ListUserAlbum && list->name().rfind("Imported ", 0) == 0);
    EXPECT_TRUE(imported);
    EXPECT_EQ(dest->undo().undoActionName(), "Merge Records");
}

}  // namespace
}  // namespace kl::test
