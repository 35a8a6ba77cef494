// Link buttons, multimedia cells and group boxes in the record windows of
// the running program, with the sample database: clicks open linked
// records here, in a new window or a child window; titles follow edits;
// the context menu; the helper sheet; the Records menu's link sheet and
// copying a file into the library; and the screenshot.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTableView>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/ui/UiTestSupport.h"
#include "browser/ui/BrowserTestSupport.h"
#include "browser/ui/MultimediaSheets.h"
#include "cells/GroupBox.h"
#include "cells/LinkButton.h"
#include "cells/MultimediaCell.h"
#include "cells/ui/WidgetCellView.h"
#include "model/GEDCOMStructure.h"
#include "model/OBJERecord.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class LinkWindows : public BrowserWindows {
protected:
    void SetUp() override {
        BrowserWindows::SetUp();
        MultimediaCell::Workspace desk;
        desk.openFileWithApplication = [this](const std::string& path, const std::string& application) {
            opened.push_back("app " + application + " " + fs::path(path).filename().string());
            return true;
        };
        desk.openFile = [this](const std::string& path) {
            opened.push_back("default " + fs::path(path).filename().string());
            return true;
        };
        desk.openURL = [this](const std::string& address) { opened.push_back("url " + address); };
        desk.beep = [] {};
        desk.criticalAlert = [this](const std::string& message, const std::string&) { opened.push_back(message); };
        MultimediaCell::setWorkspace(std::move(desk));
    }
    void TearDown() override {
        MultimediaCell::setWorkspace({});
        BrowserWindows::TearDown();
    }
    BrowserController* openAldric() {
        window = openSample();
        if (!window) return nullptr;
        window->resize(900, 600);
        selectRecord(*window, "@I1@");
        QTest::keyClick(window->recordsTable(), Qt::Key_Return);
        if (!test::processUntil([&] { return browsers(*window).size() == 1 && browsers(*window)[0]->builds() > 0; }))
            return nullptr;
        settle();
        return browsers(*window)[0];
    }
    static MultimediaCell* pictureOf(BrowserController& browser) {
        for (const auto& cell : browser.backgroundView().customCells())
            if (auto* picture = dynamic_cast<MultimediaCell*>(cell.get())) return picture;
        return nullptr;
    }
    BrowserController* browserOf(const std::string& id) {
        for (BrowserController* b : browsers(*window))
            if (b->theRecord() && b->theRecord()->grecordID() == id) return b;
        return nullptr;
    }

    IndexWindow* window = nullptr;
    std::vector<std::string> opened;
};

TEST_F(LinkWindows, AClickShowsTheFamilyHereAndAltClickInANewWindow) {
    BrowserController* browser = openAldric();
    ASSERT_NE(browser, nullptr);
    LinkButton* family = linkOf(*browser, "FAMS");
    ASSERT_NE(family, nullptr);
    EXPECT_FALSE(family->text().empty());
    click(*family);
    ASSERT_TRUE(test::processUntil([&] { return browser->theRecord()->grecordID() == "@F1@"; }));
    EXPECT_EQ(browsers(*window).size(), 1u);
    EXPECT_NE(browser->windowTitle().indexOf("Brennow"), -1) << browser->windowTitle().toStdString();
    settle();

    // The family's partners sit in a titled group box.
    auto boxes = std::count_if(browser->backgroundView().customCells().begin(),
                               browser->backgroundView().customCells().end(),
                               [](const auto& cell) { return dynamic_cast<GroupBox*>(cell.get()) != nullptr; });
    EXPECT_EQ(boxes, 1);
    browser->resize(620, 720);
    settle();
    const auto shot = fs::path(KL_BINARY_DIR) / "links-and-containers.png";
    EXPECT_TRUE(browser->grab().save(QString::fromStdString(shot.string())));

    LinkButton* husband = linkOf(*browser, "HUSB");
    ASSERT_NE(husband, nullptr);
    click(*husband, Qt::AltModifier);
    ASSERT_TRUE(test::processUntil([&] { return browsers(*window).size() == 2; }));
    EXPECT_EQ(browser->theRecord()->grecordID(), "@F1@");
}

TEST_F(LinkWindows, ACitedSourcesLinkFollowsItsTitleAndOffersItsActions) {
    BrowserController* browser = openAldric();
    ASSERT_NE(browser, nullptr);
    LinkButton* source = linkOf(*browser, "SOUR");
    ASSERT_NE(source, nullptr);
    auto record = doc->gedcomModel().recordWithID("@SR1@");
    const std::string before = source->text();
    record->findChild("TITL", false)->setContents("Register of the lower parish");
    EXPECT_NE(source->text(), before);
    EXPECT_NE(source->text().find("Register of the lower parish"), std::string::npos) << source->text();

    QToolButton* button = buttonOf(*source);
    ASSERT_NE(button, nullptr);
    emit button->customContextMenuRequested(QPoint(2, 2));
    settle();
    QPointer<QMenu> menu = button->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "Menu");
    std::vector<int> tags;
    for (QAction* action : menu->actions()) tags.push_back(action->data().toInt());
    EXPECT_EQ(tags, (std::vector<int>{0, 1, 2, 3}));
    menu->actions()[2]->trigger();
    ASSERT_TRUE(test::processUntil([&] { return browsers(*window).size() == 2; }));
    BrowserController* child = browserOf("@SR1@");
    ASSERT_NE(child, nullptr);
    EXPECT_NE(child->linkedBrowser(), nullptr);
}

TEST_F(LinkWindows, APictureAsksForItsHelperOnceThenOpensAtOnce) {
    BrowserController* browser = openAldric();
    ASSERT_NE(browser, nullptr);
    MultimediaCell* thumbnail = pictureOf(*browser);
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_GT(thumbnail->image()->width, 0);
    // His picture leads to the multimedia record, in a child window.
    click(*thumbnail);
    ASSERT_TRUE(test::processUntil([&] { return browserOf("@M1@") && browserOf("@M1@")->builds() > 0; }));
    BrowserController* object = browserOf("@M1@");
    settle();
    MultimediaCell* picture = pictureOf(*object);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(fs::path(picture->mmPath()).filename(), "Brennow Hall.png");
    EXPECT_EQ(picture->cellImageType(), "image");
    object->resize(620, 520);
    settle();
    EXPECT_TRUE(object->grab().save(QString::fromStdString((fs::path(KL_BINARY_DIR) / "multimedia-record.png").string())));
    // The wider window laid its pane out again.
    picture = pictureOf(*object);
    ASSERT_NE(picture, nullptr);

    // The shipped entries answer for common formats: this one has none.
    defaults->setObject(Value(Dictionary{}), MultimediaCell::kHelperApplicationsKey);
    click(*picture);
    auto* sheet = object->findChild<HelperSheet*>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->row(1)->isChecked());
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(sheet->grab().save(QString::fromStdString((fs::path(KL_BINARY_DIR) / "helper-sheet.png").string())));
    sheet->confirmBox()->setChecked(true);
    sheet->accept();
    settle();
    EXPECT_EQ(opened, (std::vector<std::string>{"default Brennow Hall.png"}));
    const Value stored = defaults->objectForKey(MultimediaCell::kHelperApplicationsKey);
    ASSERT_TRUE(stored.dictionary() && stored.dictionary()->get("png"));
    EXPECT_EQ(*stored.dictionary()->get("png"),
              Value(Array{Value(std::string()), Value(std::int64_t(1)), Value(false)}));

    click(*picture);
    EXPECT_EQ(object->findChild<HelperSheet*>(), nullptr);
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(LinkWindows, TheHelperSheetStoresOnlyAChange) {
    BrowserController* browser = openAldric();
    ASSERT_NE(browser, nullptr);
    struct Case {
        const char* application;
        int option;
        int shownRow;
    };
    for (const Case& c : {Case{"", 4, 1}, Case{"viewer", 4, 0}, Case{"", 1, 1}}) {
        browser->confirmHelper(c.application, c.option, "/nowhere/plan.tif", "tif");
        auto* sheet = browser->findChild<HelperSheet*>();
        ASSERT_NE(sheet, nullptr);
        EXPECT_TRUE(sheet->row(c.shownRow)->isChecked()) << c.application << c.option;
        sheet->accept();
        settle();
    }
    // The last confirmed what a missing entry means: nothing was stored for it
    // beyond the first two, which changed the row.
    const Value stored = defaults->objectForKey(MultimediaCell::kHelperApplicationsKey);
    ASSERT_TRUE(stored.dictionary());
    EXPECT_EQ(*stored.dictionary()->get("tif"),
              Value(Array{Value(std::string("viewer")), Value(std::int64_t(0)), Value(true)}));
}

class LinkSheets : public LinkWindows {
protected:
    static void pressButton(QMessageBox& alert, const char* title) {
        for (QAbstractButton* button : alert.buttons())
            if (button->text() == title) {
                button->click();
                return;
            }
        ADD_FAILURE() << "no button " << title;
        alert.close();
    }
    // A drag dropped at one point of a table's viewport, as the window
    // system hands it over; whether the drop was taken.
    static bool dropOn(QAbstractItemView& table, QPoint at, const QMimeData& data) {
        const auto actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table.viewport(), &enter);
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table.viewport(), &move);
        if (!move.isAccepted()) return false;
        QDropEvent drop(QPointF(at), move.dropAction(), &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table.viewport(), &drop);
        return drop.isAccepted();
    }
    // Aldric's picture opens his multimedia record in a child window.
    BrowserController* openPicture() {
        BrowserController* browser = openAldric();
        if (!browser) return nullptr;
        MultimediaCell* thumbnail = pictureOf(*browser);
        if (!thumbnail) return nullptr;
        click(*thumbnail);
        if (!test::processUntil([&] { return browserOf("@M1@") && browserOf("@M1@")->builds() > 0; })) return nullptr;
        settle();
        return browserOf("@M1@");
    }
    QAction* recordsItem(BrowserController& browser, int tag) {
        for (QAction* action : browser.recordsMenu()->actions())
            if (action->data().toInt() == tag) return action;
        return nullptr;
    }
    std::shared_ptr<OBJERecord> picture() {
        return std::dynamic_pointer_cast<OBJERecord>(doc->gedcomModel().recordWithID("@M1@"));
    }
    fs::path outside() {
        const fs::path file = root() / "outside" / "mill.png";
        fs::create_directories(file.parent_path());
        fs::copy_file(shipped() / "KinloreIIAppSupport/Radavizu/Brennow Hall.png", file,
                      fs::copy_options::overwrite_existing);
        return file;
    }
    LinkMultimediaSheet* startSheet(BrowserController& browser) {
        QAction* link = recordsItem(browser, BrowserController::kLinkMultimediaTag);
        EXPECT_TRUE(link && link->isEnabled());
        if (!link) return nullptr;
        link->trigger();
        settle();
        return browser.findChild<LinkMultimediaSheet*>();
    }
};

TEST_F(LinkSheets, AFileThatDoesNotResolveKeepsTheSheetOpen) {
    BrowserController* browser = openPicture();
    ASSERT_NE(browser, nullptr);
    LinkMultimediaSheet* sheet = startSheet(*browser);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->fileField()->text(), "Brennow Hall.png");
    EXPECT_EQ(sheet->titleField()->text(), "Brennow Hall and the mill, a sketch");
    EXPECT_EQ(sheet->kindField()->text(), "png");
    EXPECT_TRUE(sheet->grab().save(
        QString::fromStdString((fs::path(KL_BINARY_DIR) / "link-multimedia-sheet.png").string())));
    sheet->fileField()->setText("no such file.png");
    sheet->accept();
    settle();
    EXPECT_TRUE(sheet->isVisible());
    auto* alert = sheet->findChild<QMessageBox*>();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "Multimedia file not found");
    alert->close();
    sheet->reject();
    settle();
}

TEST_F(LinkSheets, WithoutTheWarningAFileIsLinkedAsItIs) {
    BrowserController* browser = openPicture();
    ASSERT_NE(browser, nullptr);
    defaults->setObject(Value(false), BrowserController::kWarnNonLibraryKey);
    const fs::path file = outside();
    LinkMultimediaSheet* sheet = startSheet(*browser);
    ASSERT_NE(sheet, nullptr);
    sheet->fileField()->setText(QString::fromStdString(file.string()));
    sheet->titleField()->clear();
    sheet->accept();
    settle();
    EXPECT_EQ(picture()->mmFileFullPathOrURL().value_or(""), file.string());
    EXPECT_EQ(picture()->titleStructure()->contents(), "mill.png");
    EXPECT_EQ(doc->undo().undoActionName(), "Attach Link to Multimedia");
}

TEST_F(LinkSheets, CopyToLibraryKeepsTheSourceMoveRemovesIt) {
    BrowserController* browser = openPicture();
    ASSERT_NE(browser, nullptr);
    defaults->setObject(Value(true), BrowserController::kWarnNonLibraryKey);
    for (const char* choice : {"Copy To Library", "Move To Library"}) {
        const fs::path file = outside();
        const fs::path destination = root() / (std::string(choice) == "Copy To Library" ? "copied.png" : "moved.png");
        LinkMultimediaSheet* sheet = startSheet(*browser);
        ASSERT_NE(sheet, nullptr);
        sheet->fileField()->setText(QString::fromStdString(file.string()));
        test::whenModal<QMessageBox>([choice, destination](QMessageBox& alert) {
            for (QAbstractButton* button : alert.buttons())
                if (button->text() == choice) {
                    test::whenModal<QFileDialog>([destination](QFileDialog& panel) {
                        panel.selectFile(QString::fromStdString(destination.string()));
                        static_cast<QDialog&>(panel).accept();
                    });
                    button->click();
                    return;
                }
            ADD_FAILURE() << "no button " << choice;
            alert.close();
        });
        sheet->accept();
        settle();
        EXPECT_TRUE(fs::exists(destination)) << choice;
        EXPECT_EQ(fs::exists(file), std::string(choice) == "Copy To Library") << choice;
        EXPECT_EQ(picture()->mmFileFullPathOrURL().value_or(""), destination.string()) << choice;
        EXPECT_EQ(doc->undo().undoActionName(), "Link to Copied/Moved File");
    }
}

TEST_F(LinkSheets, CancellingTheSavePanelOfAQueueGoesOnWithTheNext) {
    BrowserController* browser = openPicture();
    ASSERT_NE(browser, nullptr);
    defaults->setObject(Value(true), BrowserController::kWarnNonLibraryKey);
    // The record's file lies outside the library; the queue holds it once more.
    const fs::path file = outside();
    picture()->attachMultimedia(file.string(), std::nullopt, std::nullopt, std::nullopt);
    int panels = 0;
    std::function<void(QFileDialog&)> cancel = [&](QFileDialog& panel) {
        ++panels;
        panel.reject();
        // The queued record's window asks again before its save panel.
        if (panels < 2) test::whenModal<QMessageBox>([&](QMessageBox& alert) {
            test::whenModal<QFileDialog>(cancel);
            pressButton(alert, "Copy To Library");
        });
    };
    test::whenModal<QFileDialog>(cancel);
    browser->copyOrMoveMultimediaObject(BrowserController::CopyToLibrary, {"@M1@"}, true);
    ASSERT_TRUE(test::processUntil([&] { return panels == 2; }));
    settle();
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(picture()->mmFileFullPathOrURL().value_or(""), file.string());
}

// Image files from outside the library dropped on the index window's lists
// make multimedia records; then each file's own window asks whether to link
// it as it is, move or copy it into the library, one file after the other.
TEST_F(LinkSheets, FilesDroppedOnTheIndexWindowAskOneByOneToLinkMoveOrCopy) {
    window = openSample();
    ASSERT_NE(window, nullptr);
    window->resize(900, 600);
    settle();
    defaults->setObject(Value(true), BrowserController::kWarnNonLibraryKey);
    const fs::path mill = outside();
    const fs::path barn = mill.parent_path() / "barn.png";
    fs::copy_file(mill, barn, fs::copy_options::overwrite_existing);
    const fs::path copied = root() / "copied-mill.png";
    const std::size_t objectsBefore = doc->gedcomModel().recordsOfType("OBJE").size();

    std::vector<std::string> asked;
    test::whenModal<QMessageBox>([&](QMessageBox& first) {
        asked.push_back(first.text().toStdString());
        test::whenModal<QFileDialog>([&](QFileDialog& panel) {
            panel.selectFile(QString::fromStdString(copied.string()));
            // The next file's window asks once this one has copied.
            test::whenModal<QMessageBox>([&](QMessageBox& second) {
                asked.push_back(second.text().toStdString());
                pressButton(second, "Link As Is");
            });
            static_cast<QDialog&>(panel).accept();
        });
        pressButton(first, "Copy To Library");
    });
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(mill.string())),
                   QUrl::fromLocalFile(QString::fromStdString(barn.string()))});
    QTableView* lists = window->listsTable();
    ASSERT_TRUE(dropOn(*lists, QPoint(20, lists->viewport()->height() - 5), files));
    ASSERT_TRUE(test::processUntil([&] { return asked.size() == 2; }));
    ASSERT_TRUE(test::processUntil([&] { return browsers(*window).empty(); })) << "both windows close again";
    settle();

    EXPECT_EQ(asked, (std::vector<std::string>{
                         "The multimedia file mill.png is not in any multimedia library folder for this document.",
                         "The multimedia file barn.png is not in any multimedia library folder for this document."}));
    ASSERT_EQ(doc->gedcomModel().recordsOfType("OBJE").size(), objectsBefore + 2);
    std::vector<std::string> linked;
    for (const auto& r : doc->gedcomModel().recordsOfType("OBJE"))
        if (auto object = std::dynamic_pointer_cast<OBJERecord>(r))
            linked.push_back(object->mmFileFullPathOrURL().value_or(""));
    EXPECT_NE(std::find(linked.begin(), linked.end(), copied.string()), linked.end()) << "the copy is linked";
    EXPECT_NE(std::find(linked.begin(), linked.end(), barn.string()), linked.end()) << "linked as it is";
    EXPECT_TRUE(fs::exists(mill)) << "a copy keeps the original";
}

}  // namespace
}  // namespace kl
