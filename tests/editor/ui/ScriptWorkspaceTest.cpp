// The script workspace driven the way a user drives it: File ▸ Script
// Editing Workspace of a format window, script files handed to the program,
// the File, Edit and Templates menus of the workspace window and typing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTreeView>

#include <deque>

#include "../EditorTestSupport.h"
#include "editor/ScriptEditingDocument.h"
#include "editor/ui/FormatWindow.h"
#include "editor/ui/KXDocController.h"
#include "editor/ui/WXColoredTextView.h"
#include "foundation/UserDefaults.h"

namespace kl {
namespace {

using test::fs::path;
using Answer = ScriptWorkspace::Answer;

class ScriptWorkspaceTest : public test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        UserDefaults::configureStandard("Kinlore Editor", scratch("config"));
        KXDocController::Prompts prompts;
        prompts.alert = [this](const QString& message, const QString& information) {
            alerts_.push_back(message + " / " + information);
        };
        prompts.askSaveChanges = [](const QString&) { return KXDocController::SaveAnswer::DontSave; };
        prompts.runScriptInKinlore = [this](const path& file) {
            ran_.push_back(file);
            return runError_;
        };
        controller_.setPrompts(prompts);
        ScriptWorkspace::Prompts workspace;
        workspace.savePath = [this](const QString& message, const QStringList& types,
                                    const QString& proposed) -> std::optional<path> {
            panels_.push_back(message + " [" + types.join(',') + "] " + proposed);
            if (chosen_.empty()) return std::nullopt;
            const path next = chosen_.front();
            chosen_.pop_front();
            return next;
        };
        workspace.askSave = [this](const QString& message, const QString&) {
            questions_.push_back(message);
            return answer_;
        };
        workspace.alert = prompts.alert;
        controller_.setWorkspacePrompts(workspace);
        package_ = scratch("Sample Format.kfrmt");
        test::fs::copy(test::shippedDefaultFormat(), package_, test::fs::copy_options::recursive);
        format_ = controller_.openDocument(package_);
        ASSERT_NE(format_, nullptr);
        test::writeFile(scratch("tidy.klscpt"), "print \"tidy\"\n");
        test::writeFile(scratch("report.py"), "print('report')\n");
    }
    void TearDown() override {
        answer_ = Answer::DontSave;
        controller_.closeAllDocuments();
        QApplication::processEvents();
        UserDefaults::configureStandard(UserDefaults::defaultDomain);
        EditorTest::TearDown();
    }
    static QAction* menuItem(QMainWindow& window, const QString& menuTitle, const QString& text) {
        for (QAction* top : window.menuBar()->actions()) {
            if (top->text().remove('&') != menuTitle || !top->menu()) continue;
            emit top->menu()->aboutToShow();
            for (QAction* action : top->menu()->actions())
                if (action->text() == text) return action;
        }
        ADD_FAILURE() << "no menu item " << text.toStdString();
        return nullptr;
    }
    static void choose(QMainWindow& window, const QString& menuTitle, const QString& text) {
        QAction* action = menuItem(window, menuTitle, text);
        ASSERT_NE(action, nullptr);
        ASSERT_TRUE(action->isEnabled()) << text.toStdString();
        action->trigger();
        QApplication::processEvents();
    }
    void openWorkspace() {
        choose(*controller_.windowForDocument(*format_), "File", "Script Editing Workspace");
        workspace_ = controller_.theScriptEditor();
        ASSERT_NE(workspace_, nullptr);
        window_ = controller_.windowForDocument(*workspace_);
        ASSERT_NE(window_, nullptr);
    }
    // A script file handed to the program, as the command line does.
    void openScript(const std::string& name) {
        ASSERT_NE(controller_.openDocument(scratch(name)), nullptr) << name;
        workspace_ = controller_.theScriptEditor();
        window_ = controller_.windowForDocument(*workspace_);
        QApplication::processEvents();
    }
    void type(const QString& keys) {
        window_->textView()->setFocus();
        const QStringList lines = keys.split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0) QTest::keyClick(window_->textView(), Qt::Key_Return);
            QTest::keyClicks(window_->textView(), lines[i]);
        }
        QApplication::processEvents();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& item : workspace_->scripts().templates()) out.push_back(item->name());
        return out;
    }
    std::string shownName() const {
        const auto item = window_->selectedTemplate();
        return item ? item->name() : std::string();
    }
    std::shared_ptr<Template> script(const std::string& name) const { return workspace_->scripts().objectNamed(name); }

    KXDocController controller_;
    path package_;
    FormatDocument* format_ = nullptr;
    ScriptEditingDocument* workspace_ = nullptr;
    FormatWindow* window_ = nullptr;
    std::vector<QString> alerts_;
    std::vector<QString> panels_;
    std::vector<QString> questions_;
    std::deque<path> chosen_;
    Answer answer_ = Answer::Cancel;
    std::vector<path> ran_;
    std::optional<std::string> runError_;
};

TEST_F(ScriptWorkspaceTest, TheFileMenuShowsTheOneWorkspaceAndScriptFilesOpenInIt) {
    openWorkspace();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(window_->windowTitle().remove("[*]"), "Script Editing Workspace");
    EXPECT_EQ(workspace_->scripts().count(), 0u);
    openScript("tidy.klscpt");
    openScript("report.py");
    openScript("tidy.klscpt");
    EXPECT_EQ(names(), (std::vector<std::string>{"report.py", "tidy.klscpt"}));
    EXPECT_EQ(shownName(), "tidy.klscpt");
    EXPECT_EQ(window_->textView()->toPlainText(), "print \"tidy\"\n");
    // Names come from files: the outline does not edit them.
    const QModelIndex row = window_->outline()->currentIndex();
    EXPECT_FALSE(row.flags() & Qt::ItemIsEditable);

    openWorkspace();
    EXPECT_EQ(controller_.documents().size(), 2u);
    EXPECT_EQ(menuItem(*window_, "Edit", "Close Script") != nullptr, true);
    EXPECT_EQ(menuItem(*window_, "Templates", "New Script...") != nullptr, true);

    type("# changed\n");
    EXPECT_EQ(window_->outline()->model()->data(row, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    window_->resize(900, 560);
    QApplication::processEvents();
    EXPECT_TRUE(window_->grab().save(QString(KL_BINARY_DIR) + "/editor-script-workspace.png"));
}

TEST_F(ScriptWorkspaceTest, AnUnreadableScriptIsAlertedAndNotAdded) {
    test::writeFile(scratch("latin.py"), "# caf\xe9\n");
    EXPECT_EQ(controller_.openDocument(scratch("latin.py")), nullptr);
    ASSERT_EQ(alerts_.size(), 1u);
    EXPECT_TRUE(alerts_[0].contains("latin.py")) << alerts_[0].toStdString();
    ASSERT_NE(controller_.theScriptEditor(), nullptr);
    EXPECT_EQ(controller_.theScriptEditor()->scripts().count(), 0u);
}

TEST_F(ScriptWorkspaceTest, TypingMarksTheScriptUnsavedUntilSaveWritesItsFile) {
    openScript("report.py");
    EXPECT_FALSE(window_->isWindowModified());
    type("# top\n");
    EXPECT_FALSE(script("report.py")->scriptSaved());
    EXPECT_TRUE(window_->isWindowModified());
    choose(*window_, "File", "Save");
    EXPECT_EQ(test::readFile(scratch("report.py")), "# top\nprint('report')\n");
    EXPECT_TRUE(script("report.py")->scriptSaved());
    EXPECT_FALSE(window_->isWindowModified());
    EXPECT_TRUE(alerts_.empty());
}

TEST_F(ScriptWorkspaceTest, SaveAsGivesTheScriptItsNewFileNameAndSortsIt) {
    openScript("tidy.klscpt");
    openScript("report.py");
    choose(*window_, "File", "Save As...");
    // Cancelled: nothing changes.
    EXPECT_EQ(panels_.back(), "Save the 'report.py' script to disk [py] report.py");
    chosen_.push_back(scratch("zeta.py"));
    choose(*window_, "File", "Save As...");
    EXPECT_EQ(test::readFile(scratch("zeta.py")), "print('report')\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"tidy.klscpt", "zeta.py"}));
    EXPECT_EQ(shownName(), "zeta.py");
    EXPECT_EQ(script("zeta.py")->scriptPath(), scratch("zeta.py").string());
}

TEST_F(ScriptWorkspaceTest, NewScriptWritesANewFileOrResetsTheOpenScriptOfThatFile) {
    openScript("tidy.klscpt");
    type("keep me\n");
    chosen_.push_back(scratch("fresh.py"));
    choose(*window_, "Templates", "New Script...");
    EXPECT_EQ(panels_.back(), "Create a Python ('.py') or Internal ('.klscpt') Script [py,klscpt] ");
    EXPECT_EQ(shownName(), "fresh.py");
    const std::string written = test::readFile(scratch("fresh.py"));
    EXPECT_NE(written.find("fresh"), std::string::npos) << written;
    EXPECT_EQ(window_->textView()->toPlainText().toStdString(), written);
    // The script typed into beforehand keeps its edit, still unsaved.
    EXPECT_EQ(script("tidy.klscpt")->text(), "keep me\nprint \"tidy\"\n");
    EXPECT_FALSE(script("tidy.klscpt")->scriptSaved());

    type("more\n");
    chosen_.push_back(scratch("fresh.py"));
    choose(*window_, "Templates", "New Script...");
    EXPECT_EQ(workspace_->scripts().count(), 2u);
    EXPECT_EQ(test::readFile(scratch("fresh.py")).find("more"), std::string::npos);
    EXPECT_EQ(window_->textView()->toPlainText().toStdString(), test::readFile(scratch("fresh.py")));
}

TEST_F(ScriptWorkspaceTest, SaveAndRunSavesAndHasKinloreRunTheFile) {
    openScript("tidy.klscpt");
    type("# run\n");
    choose(*window_, "File", "Save and Run");
    EXPECT_EQ(test::readFile(scratch("tidy.klscpt")), "# run\nprint \"tidy\"\n");
    ASSERT_EQ(ran_.size(), 1u);
    EXPECT_EQ(ran_[0], scratch("tidy.klscpt"));
    EXPECT_TRUE(alerts_.empty());

    const struct {
        std::string error;
        QString shown;
    } failures[] = {{"", "Unspecified error"}, {"Kinlore II is not running", "Kinlore II is not running"}};
    for (const auto& failure : failures) {
        runError_ = failure.error;
        choose(*window_, "File", "Save and Run");
        ASSERT_FALSE(alerts_.empty());
        EXPECT_EQ(alerts_.back(), "The script to run the selected script in Kinlore II failed. / " + failure.shown);
    }
}

TEST_F(ScriptWorkspaceTest, CloseScriptAsksOnlyAboutUnsavedChanges) {
    openScript("report.py");
    openScript("tidy.klscpt");
    choose(*window_, "Edit", "Close Script");
    EXPECT_TRUE(questions_.empty());
    EXPECT_EQ(names(), (std::vector<std::string>{"report.py"}));

    window_->selectTemplate(script("report.py"), &workspace_->scripts());
    type("x");
    const struct {
        Answer answer;
        std::size_t left;
        std::string onDisk;
    } cases[] = {{Answer::Cancel, 1, "print('report')\n"}, {Answer::Save, 0, "xprint('report')\n"}};
    for (const auto& c : cases) {
        answer_ = c.answer;
        choose(*window_, "Edit", "Close Script");
        EXPECT_EQ(questions_.back(),
                  "Would you like to save the 'report.py' script to disk before it is removed from the workspace?");
        EXPECT_EQ(workspace_->scripts().count(), c.left);
        EXPECT_EQ(test::readFile(scratch("report.py")), c.onDisk);
    }
    EXPECT_FALSE(window_->isWindowModified());
}

TEST_F(ScriptWorkspaceTest, ClosingTheWorkspaceWritesChangedScriptsOrStaysOpenAtAFailure) {
    openScript("report.py");
    type("a");
    openScript("tidy.klscpt");
    type("b");
    answer_ = Answer::Save;
    // The first script's folder is gone: nothing after it is written.
    script("report.py")->setScriptPath(scratch("gone/report.py").string());
    choose(*window_, "File", "Close");
    EXPECT_EQ(questions_.back(), "Would like to save all changed scripts before closing the Script Editing Workspace?");
    ASSERT_EQ(alerts_.size(), 1u);
    EXPECT_TRUE(alerts_[0].startsWith("The script 'report.py' could not be saved to disk. / "));
    EXPECT_EQ(test::readFile(scratch("tidy.klscpt")), "print \"tidy\"\n");
    ASSERT_EQ(controller_.theScriptEditor(), workspace_);

    script("report.py")->setScriptPath(scratch("report.py").string());
    choose(*window_, "File", "Close");
    EXPECT_EQ(controller_.theScriptEditor(), nullptr);
    EXPECT_EQ(test::readFile(scratch("report.py")), "aprint('report')\n");
    EXPECT_EQ(test::readFile(scratch("tidy.klscpt")), "bprint \"tidy\"\n");
}

TEST_F(ScriptWorkspaceTest, TheOpenScriptsComeBackWithTheirSelectionsAndDeletedOnesAreDropped) {
    openScript("report.py");
    openScript("tidy.klscpt");
    QTextCursor cursor = window_->textView()->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    window_->textView()->setTextCursor(cursor);
    choose(*window_, "File", "Close");
    ASSERT_EQ(controller_.theScriptEditor(), nullptr);
    test::fs::remove(scratch("report.py"));

    openWorkspace();
    QApplication::processEvents();
    EXPECT_EQ(names(), (std::vector<std::string>{"tidy.klscpt"}));
    EXPECT_TRUE(alerts_.empty());
    EXPECT_EQ(shownName(), "tidy.klscpt");
    EXPECT_EQ(window_->textView()->textCursor().selectionStart(), 2);
    EXPECT_EQ(window_->textView()->textCursor().selectionEnd(), 5);
    // The dropped entry is gone from the next remembered list.
    choose(*window_, "File", "Close");
    const auto remembered = UserDefaults::standard().arrayForKey(ScriptEditingDocument::workspaceKey);
    ASSERT_TRUE(remembered);
    EXPECT_EQ(remembered->size(), 1u);
}

}  // namespace
}  // namespace kl
