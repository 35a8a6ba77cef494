// The large text pane of a record window in the running program: a note's
// HTML shows as its rendered page beside the cells, the Records menu
// switches between the page and its source, the pane's "HTML Editing"
// menu converts and marks up the text (each command one undo step), record
// links are chosen on the window's picker or dropped from the same
// document, a link clicked in the page opens its record, and expression
// fields show HTML as pages.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QMenu>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QTextCursor>

#include <filesystem>
#include <fstream>

#include "app/ui/UiTestSupport.h"
#include "browser/ui/BrowserTestSupport.h"
#include "browser/ui/EditBackgroundWidget.h"
#include "cells/EditPaneCell.h"
#include "cells/ExpressionFieldCell.h"
#include "cells/TextFieldCell.h"
#include "cells/ui/PaneScroller.h"
#include "cells/ui/WebPaneView.h"
#include "document/RecordIdsDrag.h"
#include "foundation/UndoManager.h"
#include "index/ui/SelectRecordController.h"
#include "model/NOTERecord.h"

namespace kl {
namespace {

constexpr const char* kNotes =
    "0 HEAD\n1 CHAR UTF-8\n"
    "0 @I1@ INDI\n1 NAME Wren /Ashby/\n1 OCCU <div><h2>Miller</h2><p>at <a href='//@F1@'>the mill</a></p></div>\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n"
    "0 @N1@ NOTE Plain words\n1 CONT second line\n"
    "0 @N2@ NOTE <div>\n1 CONT <h1>Orchard</h1>\n1 CONT <p>Kept by <a href='//@I1@'>Wren</a>.</p>\n1 CONT </div>\n"
    "0 TRLR\n";

class TextPaneWindow : public BrowserWindows {
protected:
    BrowserController* openOn(const std::string& id) {
        if (!window) {
            const auto file = root() / "notes.ged";
            std::ofstream(file) << kNotes;
            window = open(file);
            if (!window) return nullptr;
        }
        window->documentWindows().openRecordBrowser(record(id));
        BrowserController* shown = nullptr;
        if (!test::processUntil([&] {
                for (BrowserController* b : browsers(*window))
                    if (b->builds() > 0 && b->theRecord()->grecordID() == id) shown = b;
                return shown != nullptr;
            }))
            return nullptr;
        settle();
        return shown;
    }
    std::shared_ptr<GEDCOMRecord> record(const std::string& id) { return doc->gedcomModel().recordWithID(id); }
    std::string noteText(const std::string& id) {
        auto note = std::dynamic_pointer_cast<NOTERecord>(record(id));
        return note ? note->notesText() : std::string();
    }
    static QAction* menuItem(QMenu& menu, const QString& title) {
        emit menu.aboutToShow();
        for (QAction* action : menu.actions()) {
            if (QMenu* sub = action->menu())
                if (QAction* found = menuItem(*sub, title)) return found;
            if (action->text() == title) return action;
        }
        return nullptr;
    }
    static QAction* recordsItem(BrowserController& browser, int tag) {
        emit browser.recordsMenu()->aboutToShow();
        for (QAction* action : browser.recordsMenu()->actions())
            if (action->data().toInt() == tag) return action;
        return nullptr;
    }
    // Runs an item of the pane's context menu ("HTML Editing" included).
    static bool runPaneItem(BrowserController& browser, const QString& title) {
        std::unique_ptr<QMenu> menu(browser.textPaneScroller()->textPane()->menuForEvent());
        QAction* action = menuItem(*menu, title);
        if (!action || !action->isEnabled()) return false;
        action->trigger();
        settle();
        return true;
    }
    static void screenshot(BrowserController& browser, const char* name) {
        browser.resize(700, 600);
        settle();
        const auto path = std::filesystem::path(KL_BINARY_DIR) / name;
        EXPECT_TRUE(browser.grab().save(QString::fromStdString(path.string())));
    }
    // The rebuilt window's pane shows `text` as its source.
    static bool showsSource(BrowserController& browser, const std::string& text) {
        return test::processUntil([&] {
            return !browser.needsReload() && browser.textPaneScroller()->viewType() == PaneShowsText &&
                   browser.textPaneScroller()->textPane()->toPlainText().toStdString() == text;
        });
    }

    IndexWindow* window = nullptr;
};

TEST_F(TextPaneWindow, AnHTMLNoteShowsItsPageAndTheRecordsMenuSwitchesToItsSource) {
    BrowserController* browser = openOn("@N2@");
    ASSERT_NE(browser, nullptr);
    PaneScroller* pane = browser->textPaneScroller();
    ASSERT_TRUE(pane->isVisible());
    EXPECT_EQ(browser->browserSplit()->indexOf(pane), 1) << "the template puts it at the bottom";
    EXPECT_EQ(browser->browserSplit()->orientation(), Qt::Vertical);
    ASSERT_EQ(pane->viewType(), PaneShowsPage);
    ASSERT_NE(pane->webPane(), nullptr);
    EXPECT_TRUE(pane->webPane()->toPlainText().contains("Orchard")) << pane->webPane()->toPlainText().toStdString();
    EXPECT_FALSE(pane->webPane()->toPlainText().contains("<h1>"));
    screenshot(*browser, "text-pane-page.png");

    QAction* source = recordsItem(*browser, BrowserController::kHTMLSourceTag);
    ASSERT_NE(source, nullptr);
    EXPECT_TRUE(source->isEnabled());
    EXPECT_EQ(source->text(), "Edit HTML Source");
    WebPaneView* page = pane->webPane();
    source->trigger();
    ASSERT_TRUE(showsSource(*browser, noteText("@N2@")));
    EXPECT_EQ(recordsItem(*browser, BrowserController::kHTMLSourceTag)->text(), "View HTML Content");
    screenshot(*browser, "text-pane-source.png");

    // Back to the page: the same web pane shows it again.
    ASSERT_TRUE(runPaneItem(*browser, "View HTML Content"));
    ASSERT_TRUE(test::processUntil([&] { return !browser->needsReload() && pane->viewType() == PaneShowsPage; }));
    EXPECT_EQ(pane->webPane(), page);
}

TEST_F(TextPaneWindow, APlainNoteIsConvertedAndMarkedUpOneUndoStepAtATime) {
    BrowserController* browser = openOn("@N1@");
    ASSERT_NE(browser, nullptr);
    PaneScroller* pane = browser->textPaneScroller();
    ASSERT_EQ(pane->viewType(), PaneShowsText);
    EXPECT_EQ(pane->textPane()->toPlainText(), "Plain words\nsecond line");
    EXPECT_FALSE(recordsItem(*browser, BrowserController::kHTMLSourceTag)->isEnabled()) << "no HTML yet";
    EXPECT_FALSE(runPaneItem(*browser, "Bold")) << "markup is for HTML text";

    ASSERT_TRUE(runPaneItem(*browser, "Convert to HTML Text with Paragraphs"));
    const std::string converted =
        "<div><!--name Plain words -->\n<p>Plain words\n</p>\n<p>second line\n</p>\n</div>";
    EXPECT_EQ(noteText("@N1@"), converted);
    EXPECT_EQ(doc->undo().undoActionName(), EditPaneCell::kUndoName);
    // The window went on showing text: the pane stays on the source.
    ASSERT_TRUE(showsSource(*browser, converted));

    // "Bold" around the selected "second".
    HTMLTextView* text = pane->textPane();
    const int at = text->toPlainText().indexOf("second");
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(at);
    cursor.setPosition(at + 6, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    ASSERT_TRUE(runPaneItem(*browser, "Bold"));
    const std::string bold = "<div><!--name Plain words -->\n<p>Plain words\n</p>\n<p><b>second</b> line\n</p>\n</div>";
    EXPECT_EQ(noteText("@N1@"), bold);
    ASSERT_TRUE(showsSource(*browser, bold));

    doc->undo().undo();
    EXPECT_EQ(noteText("@N1@"), converted);
    doc->undo().undo();
    EXPECT_EQ(noteText("@N1@"), "Plain words\nsecond line");
}

TEST_F(TextPaneWindow, ALinkToAnIndividualIsChosenOnThePicker) {
    BrowserController* browser = openOn("@N2@");
    ASSERT_NE(browser, nullptr);
    recordsItem(*browser, BrowserController::kHTMLSourceTag)->trigger();
    const std::string before = noteText("@N2@");
    ASSERT_TRUE(showsSource(*browser, before));
    // The cursor before the block: the link lands just inside it.
    HTMLTextView* text = browser->textPaneScroller()->textPane();
    text->moveCursor(QTextCursor::Start);
    ASSERT_TRUE(runPaneItem(*browser, "Insert Hyperlink to Individual"));
    SelectRecordController* picker = browser->recordPicker();
    ASSERT_NE(picker, nullptr);
    ASSERT_TRUE(test::processUntil([&] { return picker->isVisible(); }));
    EXPECT_EQ(picker->message()->text(), "Insert hyperlink to an existing individual record");
    picker->table()->selectRow(0);
    picker->chooseButton()->click();
    settle();
    EXPECT_EQ(noteText("@N2@"), "<div><a href=\"kinlore:@I1@\">Wren Ashby</a>" + before.substr(5));
}

TEST_F(TextPaneWindow, RecordsDropAsLinksOnlyFromTheSameDocument) {
    BrowserController* browser = openOn("@N2@");
    ASSERT_NE(browser, nullptr);
    recordsItem(*browser, BrowserController::kHTMLSourceTag)->trigger();
    const std::string before = noteText("@N2@");
    ASSERT_TRUE(showsSource(*browser, before));
    HTMLTextView* text = browser->textPaneScroller()->textPane();
    // Let go over the text's first line, before the block's body.
    auto drop = [&](const std::string& documentKey) {
        QMimeData data;
        data.setData(kRecordIdsMimeType, QByteArray::fromStdString(encodeRecordIdsDrag({documentKey, {"@I1@", "@F1@"}})));
        const QPointF at(4, 4);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(text->viewport(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(text->viewport(), &dropped);
        settle();
        return true;
    };
    EXPECT_FALSE(drop("another document"));
    EXPECT_EQ(noteText("@N2@"), before);
    ASSERT_TRUE(drop(documentKeyFor(doc)));
    const std::string family = record("@F1@")->altViewName();
    EXPECT_EQ(noteText("@N2@"), "<div> <a href=\"kinlore:@I1@\">Wren Ashby</a> <a href=\"kinlore:@F1@\">" + family +
                                    "</a> " + before.substr(5));
}

TEST_F(TextPaneWindow, ARecordLinkInThePageOpensItsRecord) {
    BrowserController* browser = openOn("@N2@");
    ASSERT_NE(browser, nullptr);
    WebPaneView* page = browser->textPaneScroller()->webPane();
    ASSERT_NE(page, nullptr);
    std::vector<std::string> desktop;
    AppController::setAddressOpener([&](const std::string& address) { desktop.push_back(address); });
    page->followLink("mailto:keeper@example.org");
    EXPECT_EQ(desktop, std::vector<std::string>{"mailto:keeper@example.org"});
    page->followLink("kinlore:@I1@");
    EXPECT_TRUE(test::processUntil([&] {
        for (BrowserController* b : browsers(*window))
            if (b->theRecord() == record("@I1@")) return true;
        return false;
    }));
    AppController::setAddressOpener(nullptr);
}

TEST_F(TextPaneWindow, AnExpressionFieldShowsItsHTMLAsAPageAsHighAsThePage) {
    useTemplate("INDI Record Editing.txt", "Cell expressionfield @OCCU\nSizetofit 4\nNewline\nCell static After\n");
    BrowserController* browser = openOn("@I1@");
    ASSERT_NE(browser, nullptr);
    ExpressionFieldCell* field = nullptr;
    CustomCell* after = nullptr;
    for (const auto& cell : browser->backgroundView().customCells()) {
        if (auto* found = dynamic_cast<ExpressionFieldCell*>(cell.get())) field = found;
        if (cell->text() == "After") after = cell.get();
    }
    ASSERT_NE(field, nullptr);
    ASSERT_NE(after, nullptr);
    auto* page = qobject_cast<WebPaneView*>(dynamic_cast<WidgetCellView*>(field->view())->widget());
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->toPlainText().contains("Miller")) << page->toPlainText().toStdString();
    EXPECT_GT(field->viewFrame().height, TextFieldCell::kLeastHeight) << "a heading and a paragraph";
    EXPECT_GE(after->viewFrame().y, field->viewFrame().y + field->viewFrame().height) << "the cells below moved";
    EXPECT_GE(browser->backgroundWidget()->height(), int(browser->backgroundView().height())) << "and the pane grew";
    screenshot(*browser, "expression-field-page.png");
    // The resize rebuilt the pane: its page is a new one.
    for (const auto& cell : browser->backgroundView().customCells())
        if (auto* found = dynamic_cast<ExpressionFieldCell*>(cell.get()))
            page = qobject_cast<WebPaneView*>(dynamic_cast<WidgetCellView*>(found->view())->widget());
    ASSERT_NE(page, nullptr);
    page->followLink("kinlore:@F1@");
    EXPECT_TRUE(test::processUntil([&] {
        for (BrowserController* b : browsers(*window))
            if (b->theRecord() == record("@F1@")) return true;
        return false;
    }));
}

}  // namespace
}  // namespace kl
