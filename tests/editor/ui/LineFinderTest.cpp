// Go to Line driven the way a user drives it: Ctrl+L in a format's window
// opens the panel, a number typed there and Return select that line of the
// template's text.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTreeView>

#include "../EditorTestSupport.h"
#include "editor/FormatDocument.h"
#include "editor/ui/FormatWindow.h"
#include "editor/ui/KXDocController.h"
#include "editor/ui/LineFinder.h"
#include "editor/ui/WXColoredTextView.h"
#include "foundation/UserDefaults.h"

namespace kl {
namespace {

class LineFinderTest : public test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        UserDefaults::configureStandard("Kinlore Editor", scratch("config"));
        const test::fs::path package = scratch("Sample Format.kfrmt");
        test::fs::copy(test::shippedDefaultFormat(), package, test::fs::copy_options::recursive);
        KXDocController::Prompts prompts;
        prompts.alert = [](const QString& message, const QString&) { ADD_FAILURE() << message.toStdString(); };
        prompts.askSaveChanges = [](const QString&) { return KXDocController::SaveAnswer::DontSave; };
        controller_.setPrompts(prompts);
        FormatDocument* document = controller_.openDocument(package);
        ASSERT_NE(document, nullptr);
        window_ = controller_.windowForDocument(*document);
        finder().setBeep([this] { ++beeps_; });
        QString twelve;
        for (int line = 1; line <= 12; ++line) twelve += QString("line %1 of the sample\n").arg(line, 2, 10, QChar('0'));
        view()->setPlainText(twelve);
        focusTextView();
    }
    void TearDown() override {
        finder().setBeep(nullptr);
        if (finder().linePanel()->isVisible()) finder().linePanel()->hide();
        controller_.closeAllDocuments();
        QApplication::processEvents();
        UserDefaults::configureStandard(UserDefaults::defaultDomain);
        EditorTest::TearDown();
    }
    static LineFinder& finder() { return LineFinder::sharedInstance(); }
    WXColoredTextView* view() const { return window_->textView(); }
    void focusTextView() {
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
        view()->setFocus();
        QApplication::processEvents();
    }
    QAction* goToLineItem() const {
        for (QAction* top : window_->menuBar()->actions()) {
            if (top->text().remove('&') != "Edit" || !top->menu()) continue;
            emit top->menu()->aboutToShow();
            for (QAction* action : top->menu()->actions())
                if (action->text() == "Go to Line...") return action;
        }
        return nullptr;
    }
    // Ctrl+L in the window, the number typed into the panel, Return.
    void goToLine(const QString& typed) {
        QTest::keyClick(window_, Qt::Key_L, Qt::ControlModifier);
        QApplication::processEvents();
        QWidget* panel = finder().linePanel();
        ASSERT_TRUE(panel->isVisible());
        QLineEdit* field = finder().findLineField();
        EXPECT_TRUE(field->hasSelectedText() || field->text().isEmpty());
        field->clear();
        QTest::keyClicks(field, typed);
        QTest::keyClick(field, Qt::Key_Return);
        QApplication::processEvents();
    }
    QString selected() const { return view()->textCursor().selectedText(); }
    int selectionStart() const { return view()->textCursor().selectionStart(); }
    QString status() const { return finder().statusField()->text(); }

    KXDocController controller_;
    FormatWindow* window_ = nullptr;
    int beeps_ = 0;
};

TEST_F(LineFinderTest, SelectsTheTypedLineOrTheLastOneWhenPastTheEnd) {
    QAction* item = goToLineItem();
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));

    struct Case {
        QString typed;
        QString selection;
        QString status;
    };
    const Case cases[] = {
        {"3", "line 03 of the sample", ""},
        {" 7", "line 07 of the sample", ""},
        {"999", "line 12 of the sample", "Exceeds line count"},
        {"0", "line 12 of the sample", "Exceeds line count"},
        {"12", "line 12 of the sample", ""},
    };
    for (const Case& c : cases) {
        goToLine(c.typed);
        EXPECT_EQ(selected(), c.selection) << c.typed.toStdString();
        EXPECT_EQ(status(), c.status) << c.typed.toStdString();
        EXPECT_EQ(finder().lineString(), c.typed);
    }
    EXPECT_EQ(beeps_, 0);
    EXPECT_EQ(QApplication::activeWindow(), window_);
}

TEST_F(LineFinderTest, TheLastNumberIsOfferedAgainAndAnEmptyOneChangesNothing) {
    goToLine("5");
    finder().linePanel()->hide();
    focusTextView();
    QTest::keyClick(window_, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(finder().findLineField()->selectedText(), "5");
    view()->setFocus();
    goToLine("");
    EXPECT_EQ(selected(), "line 05 of the sample");
    EXPECT_EQ(beeps_, 0);
}

TEST_F(LineFinderTest, LineOneOfATextStartingWithAFeedIsEmpty) {
    view()->setPlainText("\nsecond\nthird");
    goToLine("1");
    EXPECT_EQ(selectionStart(), 0);
    EXPECT_EQ(selected(), "");
    EXPECT_EQ(status(), "");
}

TEST_F(LineFinderTest, WithoutAFocusedTextViewTheItemIsOffAndGoBeeps) {
    goToLine("2");  // opens the panel while the view has the focus
    window_->activateWindow();
    window_->findChild<QTreeView*>()->setFocus();
    QApplication::processEvents();
    QAction* item = goToLineItem();
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isEnabled());
    QWidget* panel = finder().linePanel();
    panel->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel));
    EXPECT_FALSE(finder().findLineButton()->isEnabled());
    // Return in the field still reaches the finder.
    QTest::keyClick(finder().findLineField(), Qt::Key_Return);
    EXPECT_EQ(beeps_, 1);
    EXPECT_EQ(status(), "No text field");
}

TEST_F(LineFinderTest, ThePanelWritesItsScreenshot) {
    goToLine("999");
    QWidget* panel = finder().linePanel();
    EXPECT_TRUE(panel->grab().save(QString(KL_BINARY_DIR) + "/editor-go-to-line.png"));
}

}  // namespace
}  // namespace kl
