// Child windows of the running program: a structures link of a record
// window opens its group of structures in a child window laid out by the
// group's own template; the window follows the parent's rebuilds, closes
// with the parent or when the link is gone, writes into the parent's
// record, opens ordinary records elsewhere, and marks the group's lines
// for Records > Edit GEDCOM Source; and the screenshot.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QPrinter>
#include <QTest>
#include <QTextCursor>

#include <filesystem>

#include "browser/ui/ChildBrowserController.h"
#include "browser/ui/ValueFieldSupport.h"
#include "cells/StructuresLink.h"
#include "index/ui/GEDCOMTextView.h"
#include "model/GEDCOMStructure.h"
#include "model/GroupedRecord.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class GroupWindows : public ValueFields {
protected:
    void SetUp() override {
        ValueFields::SetUp();
        useTemplate("INDI Record Editing.txt", "Cell static \"Person\"\nNewline\nif BIRT is here\nShow BIRT\nendif\n"
                                               "Show OCCU\nHideexcess\n");
        useTemplate("BIRT Editing.txt", "Cell static \"Birth\"\nShow DATE\nNewline\n"
                                        "Cell structureslink \"Birth Sources\"\nLinkall SOUR _MEMO\nText \"Sources\"\n"
                                        "Newline\nHideexcess\n");
        useTemplate("Birth Sources Record Editing.txt",
                    "Cell static \"Sources of the birth\"\nWidth -1\nNewline\nShowall SOUR\nShow _MEMO\n");
        useTemplate("_MEMO Editing.txt", "Cell static \"Memo\"\nCell editvalue\nWidth 240\nNewline\n");
    }
    static StructuresLink* linkIn(BrowserController& browser) {
        for (const auto& cell : browser.backgroundView().customCells())
            if (auto* link = dynamic_cast<StructuresLink*>(cell.get())) return link;
        return nullptr;
    }
    std::vector<ChildBrowserController*> children() {
        std::vector<ChildBrowserController*> found;
        for (BrowserController* browser : browsers(*index))
            if (auto* child = dynamic_cast<ChildBrowserController*>(browser)) found.push_back(child);
        return found;
    }
    // The person's window and the child window its link opened.
    ChildBrowserController* openChild() {
        parent = openWithReturn("@I1@");
        if (!parent) return nullptr;
        person = parent->theRecord();
        birth = person->findChild("BIRT", false);
        StructuresLink* link = linkIn(*parent);
        if (!link) return nullptr;
        click(*link);
        if (!test::processUntil([&] { return children().size() == 1 && children()[0]->builds() > 0; })) return nullptr;
        settle();
        return children()[0];
    }

    BrowserController* parent = nullptr;
    std::shared_ptr<GEDCOMRecord> person;
    std::shared_ptr<GEDCOMStructure> birth;
};

TEST_F(GroupWindows, TheLinkOpensItsGroupInAChildWindowOnceAndBringsItBack) {
    ChildBrowserController* child = openChild();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(child->isVisible());
    EXPECT_EQ(child->toolbar(), nullptr);
    EXPECT_EQ(child->theRecord(), person);
    const auto group = child->groupRecord();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group, linkIn(*parent)->groupRecord());
    EXPECT_EQ(group->recordType(), "Birth Sources");
    EXPECT_EQ(group->glevel(), 1);
    EXPECT_EQ(group->parentStructure(), birth);
    EXPECT_TRUE(shows(*child, "Sources of the birth"));
    EXPECT_NE(linkOf(*child, "SOUR"), nullptr);
    EXPECT_TRUE(child->handle()->isChildBrowser());
    EXPECT_EQ(child->handle()->parentBrowser(), parent->handle());
    EXPECT_EQ(index->documentWindows().findWindowWithParent(parent->handle()), child->handle());
    child->resize(520, 320);
    settle();
    const auto shot = fs::path(KL_BINARY_DIR) / "group-window.png";
    EXPECT_TRUE(child->grab().save(QString::fromStdString(shot.string())));
    const auto linkShot = fs::path(KL_BINARY_DIR) / "structures-link.png";
    EXPECT_TRUE(parent->grab().save(QString::fromStdString(linkShot.string())));

    // A second click brings the same window with the same group.
    click(*linkIn(*parent));
    settle();
    ASSERT_EQ(children().size(), 1u);
    EXPECT_EQ(children()[0], child);
    EXPECT_EQ(child->groupRecord(), group);
}

TEST_F(GroupWindows, TypingInTheChildWritesUnderTheGroupsParentAndTheChildFollows) {
    ChildBrowserController* child = openChild();
    ASSERT_NE(child, nullptr);
    const auto before = child->groupRecord();
    QLineEdit* memo = field(*child, "_MEMO", 2);
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->text(), "");
    child->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(child));
    QTest::mouseClick(memo, Qt::LeftButton);
    QTest::keyClicks(memo, "Kept in the vestry");
    QTest::keyClick(memo, Qt::Key_Return);
    ASSERT_TRUE(test::processUntil([&] { return birth->findChild("_MEMO", false) != nullptr; }));
    settle();
    // Under the birth the link stands in, not under the last structure of
    // the parent's pane.
    EXPECT_EQ(birth->findChild("_MEMO", false)->contents(), "Kept in the vestry");
    EXPECT_EQ(person->findChild("OCCU", false)->findChild("_MEMO", false), nullptr);
    // The parent rebuilt and handed its child the group made anew.
    ASSERT_EQ(children().size(), 1u);
    EXPECT_EQ(children()[0], child);
    EXPECT_NE(child->groupRecord(), before);
    EXPECT_EQ(child->groupRecord(), linkIn(*parent)->groupRecord());
    QLineEdit* shown = field(*child, "_MEMO", 2);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(), "Kept in the vestry");
}

TEST_F(GroupWindows, TheChildClosesWhenItsLinkIsGoneOrItsParentChangesRecordOrCloses) {
    ASSERT_NE(openChild(), nullptr);
    // Without the birth there is no link for the group any more.
    person->removeStructure(birth, person.get(), nullptr);
    ASSERT_TRUE(test::processUntil([&] { return children().empty(); }));
    doc->undo().undo();
    ASSERT_TRUE(test::processUntil([&] { return linkIn(*parent) != nullptr; }));
    settle();

    click(*linkIn(*parent));
    ASSERT_TRUE(test::processUntil([&] { return children().size() == 1; }));
    parent->changeRecord(doc->gedcomModel().recordWithID("@I2@"), std::string());
    ASSERT_TRUE(test::processUntil([&] { return children().empty(); }));

    parent->changeRecord(person, std::string());
    settle();
    ASSERT_NE(linkIn(*parent), nullptr);
    click(*linkIn(*parent));
    ASSERT_TRUE(test::processUntil([&] { return children().size() == 1; }));
    parent->close();
    ASSERT_TRUE(test::processUntil([&] { return browsers(*index).empty(); }));
}

TEST_F(GroupWindows, AnOrdinaryRecordLinkedFromTheChildOpensInABrowserOfItsOwn) {
    defaults->setObject(Value(false), "Reuse Windows");
    ChildBrowserController* child = openChild();
    ASSERT_NE(child, nullptr);
    const auto group = child->groupRecord();
    LinkButton* source = linkOf(*child, "SOUR");
    ASSERT_NE(source, nullptr);
    click(*source);
    auto opened = [&]() -> BrowserController* {
        for (BrowserController* browser : browsers(*index))
            if (browser != child && browser->theRecord()->grecordID() == "@SR1@") return browser;
        return nullptr;
    };
    ASSERT_TRUE(test::processUntil([&] { return opened() != nullptr; }));
    EXPECT_FALSE(opened()->isChildWindow());
    ASSERT_EQ(children().size(), 1u);
    EXPECT_EQ(child->groupRecord(), group);
    EXPECT_EQ(child->theRecord(), parent->theRecord());
}

// The Go menu of a child window moves its parent: back through the
// parent's history (the child goes with the record it showed).
TEST_F(GroupWindows, GoBackInTheChildMovesTheParentBack) {
    parent = openWithReturn("@I1@");
    ASSERT_NE(parent, nullptr);
    person = parent->theRecord();
    parent->changeRecord(doc->gedcomModel().recordWithID("@I2@"), std::string());
    parent->changeRecord(person, std::string());
    settle();
    ASSERT_NE(linkIn(*parent), nullptr);
    click(*linkIn(*parent));
    ASSERT_TRUE(test::processUntil([&] { return children().size() == 1 && children()[0]->builds() > 0; }));
    ChildBrowserController* child = children()[0];
    QAction* back = nullptr;
    for (QAction* item : child->goMenu()->actions())
        if (item->data().toInt() == kGoBackTag) back = item;
    ASSERT_NE(back, nullptr);
    emit child->goMenu()->aboutToShow();
    ASSERT_TRUE(back->isEnabled());
    back->trigger();
    ASSERT_TRUE(test::processUntil([&] { return parent->theRecord()->grecordID() == "@I2@" && children().empty(); }));
}

TEST_F(GroupWindows, EditGEDCOMSourceInTheChildMarksTheStructureTheGroupHangsFrom) {
    ChildBrowserController* child = openChild();
    ASSERT_NE(child, nullptr);
    index->showGEDCOMEditor(false);
    QLineEdit* memo = field(*child, "_MEMO", 2);
    ASSERT_NE(memo, nullptr);
    memo->setFocus();
    settle();
    QAction* source = nullptr;
    for (QAction* item : child->recordsMenu()->actions())
        if (item->data().toInt() == BrowserController::kShowSourceTag) source = item;
    ASSERT_NE(source, nullptr);
    ASSERT_TRUE(source->isEnabled());
    source->trigger();
    settle();
    ASSERT_TRUE(index->sourceShown());
    std::string lines;
    birth->appendGEDCOM(lines);
    const QString selected = index->sourcePane()->textCursor().selectedText().replace(QChar(0x2029), '\n');
    EXPECT_EQ(selected.toStdString(), lines);
}

TEST_F(GroupWindows, FilePrintInTheChildPrintsItsGroupThroughAChildCopy) {
    ChildBrowserController* child = openChild();
    ASSERT_NE(child, nullptr);
    bool printed = false;
    bool sameGroup = false;
    bool laidOut = false;
    BrowserController::setPrintPanel([&](QPrinter&, QWidget*) {
        printed = true;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* copy = dynamic_cast<ChildBrowserController*>(top); copy && copy->isPrinting()) {
                sameGroup = copy->groupRecord() == child->groupRecord();
                laidOut = shows(*copy, "Sources of the birth");
            }
        return false;
    });
    QAction* print = fileItem(*child, "Print...");
    ASSERT_NE(print, nullptr);
    print->trigger();
    const bool done = test::processUntil([&] { return printed && !doc->printingStatusFlag(); });
    BrowserController::setPrintPanel(nullptr);
    ASSERT_TRUE(done);
    EXPECT_TRUE(sameGroup) << "the copy is a child window of the same group";
    EXPECT_TRUE(laidOut) << "the copy lays out the group's own template";
    settle();
    EXPECT_TRUE(child->isVisible());
}

TEST_F(GroupWindows, AChildsPrintingCopyWhoseParentGoesEndsTheJob) {
    ChildBrowserController* child = openChild();
    ASSERT_NE(child, nullptr);
    const Dictionary settings = doc->browserInfo();
    bool printed = false;
    BrowserController::setPrintPanel([&](QPrinter&, QWidget*) {
        printed = true;
        return false;
    });
    fileItem(*child, "Print...")->trigger();
    // The parent goes before the copy has built, and its windows with it.
    NotificationCenter::defaultCenter().post(BrowserController::kBrowserWindowWillClose,
                                             static_cast<const QWidget*>(parent));
    const bool ended = test::processUntil([&] { return !doc->printingStatusFlag(); });
    BrowserController::setPrintPanel(nullptr);
    ASSERT_TRUE(ended) << "scripts waiting on the print job are let go";
    settle();
    EXPECT_FALSE(printed);
    EXPECT_EQ(doc->browserInfo(), settings) << "the margins come back";
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* copy = dynamic_cast<BrowserController*>(top)) {
            EXPECT_FALSE(copy->isPrinting());
        }
    }
}

}  // namespace
}  // namespace kl
