// The document controller: every corpus file opened through it, the
// character-set question and its Cancel, Cancel during a read, the title
// and edited mark, Save / Don't Save / Cancel, Save As, Revert, recent
// documents and autosave timers.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "UiTestSupport.h"
#include "app/ui/AppToolbars.h"
#include "app/ui/DocController.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/ProgressController.h"
#include "app/ui/QtAutosaveTimer.h"
#include "app/ui/QtDocumentUI.h"
#include "document/CharacterSetQuestion.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"
#include "support/Corpus.h"

namespace kl {
namespace {

namespace fs = std::filesystem;
using SaveAnswer = DocController::SaveAnswer;

constexpr const char* kSmallTree =
    "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Ann /Lee/\n0 @I2@ INDI\n1 NAME Bo /Lee/\n"
    "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I1@\n0 TRLR\n";

class AnswerQuestion : public CharacterSetQuestion {
public:
    std::optional<CharacterSetChoice> getCharacterSet(const std::optional<std::string>&, std::uint32_t) override {
        ++asked;
        return answer;
    }
    std::optional<CharacterSetChoice> answer = CharacterSetChoice{4, "UTF-8"};
    int asked = 0;
};

// The progress panel's Cancel pressed as soon as the wait begins.
class CancellingProgress : public DocumentUI {
public:
    bool pauseIn(KLProgress& task, double) override {
        task.cancelAction();
        while (task.stillRunning()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return false;
    }
};

// Cancel pressed only once the read has finished, before the panel closed.
class LateCancellingProgress : public DocumentUI {
public:
    bool pauseIn(KLProgress& task, double) override {
        while (task.stillRunning()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        task.cancelAction();
        return false;
    }
};

// The real panel, shown at once without the pause.
class PanelAtOnce : public QtDocumentUI {
public:
    bool pauseIn(KLProgress&, double) override { return true; }
};

class Documents : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        controller = std::make_unique<DocController>(*defaults);
        controller->setCharacterSetQuestion(&question);
        DocController::Prompts prompts;
        prompts.askSaveChanges = [this](const QString& name) {
            asked.push_back(name.toStdString());
            return saveAnswer;
        };
        prompts.savePath = [this](const QString&) { return savePath; };
        prompts.confirmRevert = [](const QString&) { return true; };
        prompts.confirmAutosave = [] { return true; };
        prompts.alert = [this](const QString& m, const QString& i) { alerts.push_back((m + " | " + i).toStdString()); };
        controller->setPrompts(prompts);
    }
    void TearDown() override {
        controller.reset();
        AppHome::TearDown();
    }
    fs::path write(const std::string& name, const std::string& text) {
        const fs::path path = root() / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    DocumentWindow* windowOf(GEDCOMDocument& document) {
        return dynamic_cast<DocumentWindow*>(controller->windowForDocument(document));
    }

    AnswerQuestion question;
    std::unique_ptr<DocController> controller;
    std::vector<std::string> asked;
    std::vector<std::string> alerts;
    SaveAnswer saveAnswer = SaveAnswer::Cancel;
    std::optional<fs::path> savePath;
};

// ---- the corpus

std::vector<fs::path> corpusGEDCOMFiles() {
    std::vector<fs::path> files;
    for (const fs::path& file : test::corpusFiles()) {
        std::string extension = file.extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
        if (extension == ".ged") files.push_back(file);
    }
    return files;
}

class OpenCorpus : public Documents, public ::testing::WithParamInterface<fs::path> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(OpenCorpus);

TEST_P(OpenCorpus, OpensInAWindowWithTitleAndCounts) {
    std::string error;
    GEDCOMDocument* document = controller->openDocument(GetParam(), &error);
    if (GetParam().filename() == "bogus.ged") {
        EXPECT_EQ(document, nullptr);
        EXPECT_EQ(error, "The file does not appear to be a GEDCOM file.");
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0], "The document \u201Cbogus.ged\u201D could not be opened. | " + error);
        EXPECT_TRUE(controller->documents().empty());
        return;
    }
    ASSERT_NE(document, nullptr) << error;
    DocumentWindow* window = windowOf(*document);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    const QString title = "Untitled (from " + QString::fromStdString(GetParam().stem().string()) + ")";
    EXPECT_EQ(window->windowTitle(), title + "[*]");
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_FALSE(window->countLines().isEmpty());
    EXPECT_EQ(controller->documentForPath(GetParam()), document);
    // Opening it again brings the same document forward.
    EXPECT_EQ(controller->openDocument(GetParam()), document);
    EXPECT_EQ(controller->documents().size(), 1u);
}

KL_CORPUS_PRESENCE_TEST(OpenCorpusFiles)

INSTANTIATE_TEST_SUITE_P(Files, OpenCorpus, ::testing::ValuesIn(corpusGEDCOMFiles()), [](const auto& info) {
    std::string name = fs::relative(info.param, test::corpusFolder()).string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

// ---- the character-set question and cancelling

// Only a set the reader does not know is asked about.
TEST_F(Documents, AnUnknownCharacterSetAsksAndCancelGivesTheReadersError) {
    const fs::path file = write("plain.ged", "0 HEAD\n1 CHAR KOI8-R\n0 @I1@ INDI\n1 NAME Ann /Lee/\n0 TRLR\n");
    question.answer = std::nullopt;
    std::string error;
    EXPECT_EQ(controller->openDocument(file, &error), nullptr);
    EXPECT_EQ(question.asked, 1);
    EXPECT_EQ(error, "The character set could not be determined and the user cancelled selection of one.");
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0], "The document \u201Cplain.ged\u201D could not be opened. | " + error);
    EXPECT_TRUE(controller->documents().empty());

    question.answer = CharacterSetChoice{4, "UTF-8"};
    ASSERT_NE(controller->openDocument(file, &error), nullptr) << error;
    EXPECT_EQ(question.asked, 2);
}

TEST_F(Documents, CancelDuringAReadLeavesTheDocumentUnopened) {
    CancellingProgress progress;
    controller->setProgressUI(&progress);
    // The Cancel comes as soon as the wait begins, but a read that has
    // already finished rightly stands; tens of thousands of records keep
    // this one running well past that moment, even on an idle machine.
    std::string tree = "0 HEAD\n1 CHAR UTF-8\n";
    for (int i = 1; i <= 40000; ++i)
        tree += "0 @I" + std::to_string(i) + "@ INDI\n1 NAME Ann /Lind/\n1 BIRT\n2 DATE 1 MAR 1850\n";
    tree += "0 TRLR\n";
    std::string error;
    EXPECT_EQ(controller->openDocument(write("tree.ged", tree), &error), nullptr);
    EXPECT_EQ(error, "File read cancelled");
    EXPECT_TRUE(alerts.empty());
    EXPECT_TRUE(controller->documents().empty());
    EXPECT_TRUE(controller->recentDocuments().recentDocumentURLs().empty());
}

TEST_F(Documents, ACancelAfterTheReadFinishedStillOpensTheDocument) {
    LateCancellingProgress progress;
    controller->setProgressUI(&progress);
    std::string error;
    GEDCOMDocument* document = controller->openDocument(write("tree.ged", kSmallTree), &error);
    ASSERT_NE(document, nullptr) << error;
    EXPECT_TRUE(alerts.empty());
    EXPECT_TRUE(windowOf(*document)->countLines().contains("INDI\t2"));
}

TEST_F(Documents, ACancelClickedInThePanelAfterTheReadFinishedStillOpensTheDocument) {
    PanelAtOnce progress;
    controller->setProgressUI(&progress);
    bool clicked = false;
    // The worker's end closes the panel at once; the click must come between
    // that end and the panel's turn to close: the read is long enough to
    // still run when the panel is up, and the wait for its end serves no
    // events, as a click already on its way would find it.
    test::whenModal<ProgressController>([&](ProgressController& panel) {
        while (panel.progressObject().stillRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        panel.cancelButton()->click();
        clicked = true;
    });
    std::string tree = "0 HEAD\n1 CHAR UTF-8\n";
    for (int i = 1; i <= 40000; ++i)
        tree += "0 @I" + std::to_string(i) + "@ INDI\n1 NAME Ann /Lind/\n1 BIRT\n2 DATE 1 MAR 1850\n";
    tree += "0 TRLR\n";
    std::string error;
    GEDCOMDocument* document = controller->openDocument(write("tree.ged", tree), &error);
    EXPECT_TRUE(clicked);
    ASSERT_NE(document, nullptr) << error;
    EXPECT_EQ(document->readWriteStatus(), GEDCOMDocument::Done);
    EXPECT_TRUE(alerts.empty());
}

TEST_F(Documents, AMissingFileIsAlerted) {
    std::string error;
    EXPECT_EQ(controller->openDocument(root() / "gone.gedpkg", &error), nullptr);
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(error.find("gone.gedpkg"), std::string::npos);
}

// ---- closing, saving, reverting

TEST_F(Documents, ClosingAnEditedDocumentAsksSaveDontSaveOrCancel) {
    struct Case {
        const char* label;
        SaveAnswer answer;
        bool choosesPath;
        bool closes;
        bool saved;
    } cases[] = {{"Cancel", SaveAnswer::Cancel, true, false, false},
                 {"DontSave", SaveAnswer::DontSave, true, true, false},
                 {"Save", SaveAnswer::Save, true, true, true},
                 {"SaveButPanelCancelled", SaveAnswer::Save, false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const fs::path package = root() / (std::string(c.label) + ".gedpkg");
        GEDCOMDocument* document = controller->openDocument(write(std::string(c.label) + ".ged", kSmallTree));
        ASSERT_NE(document, nullptr);
        asked.clear();
        saveAnswer = c.answer;
        savePath = c.choosesPath ? std::optional<fs::path>(root() / c.label) : std::nullopt;
        EXPECT_EQ(controller->closeDocument(*document), c.closes);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], "Untitled (from " + std::string(c.label) + ")");
        EXPECT_EQ(controller->documents().empty(), c.closes);
        EXPECT_EQ(fs::exists(package / (std::string(c.label) + ".ged")), c.saved);
        if (!c.closes) {
            saveAnswer = SaveAnswer::DontSave;
            EXPECT_TRUE(controller->closeDocument(*document));
        }
    }
}

TEST_F(Documents, SaveAsWritesAPackageThatReopensUnedited) {
    GEDCOMDocument* document = controller->openDocument(write("tree.ged", kSmallTree));
    ASSERT_NE(document, nullptr);
    savePath = root() / "Saved";
    ASSERT_TRUE(controller->saveDocument(*document));
    const fs::path package = root() / "Saved.gedpkg";
    EXPECT_TRUE(fs::exists(package / "Saved.ged"));
    EXPECT_EQ(controller->windowForDocument(*document)->windowTitle(), "Saved[*]");
    EXPECT_FALSE(controller->windowForDocument(*document)->isWindowModified());
    EXPECT_EQ(controller->recentDocuments().recentDocumentURLs().front(), package);
    EXPECT_EQ(controller->documentForPath(package), document);
    ASSERT_TRUE(controller->closeDocument(*document));
    EXPECT_TRUE(asked.empty());

    GEDCOMDocument* again = controller->openDocument(package.string() + "/");
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(again->isDocumentEdited());
    EXPECT_EQ(controller->displayName(*again), "Saved");
    const QStringList counts = windowOf(*again)->countLines();
    EXPECT_TRUE(counts.contains("INDI\t2")) << counts.join(", ").toStdString();
    EXPECT_TRUE(counts.contains("FAM\t1"));
    // Saving a package in place needs no panel.
    savePath.reset();
    again->updateChangeCount(GEDCOMDocument::Change::Done);
    EXPECT_TRUE(controller->saveDocument(*again));
    EXPECT_FALSE(again->isDocumentEdited());
}

// Save As onto a folder of the user's that is not a database: refused with
// its reason, the folder and the document as they were.
TEST_F(Documents, SaveAsOntoAnOrdinaryFolderIsRefusedAndDeletesNothing) {
    GEDCOMDocument* document = controller->openDocument(write("tree.ged", kSmallTree));
    ASSERT_NE(document, nullptr);
    const fs::path folder = root() / "Photos.gedpkg";
    fs::create_directories(folder / "1901");
    std::ofstream(folder / "1901" / "wedding.jpg", std::ios::binary) << "jpeg";
    savePath = folder;
    EXPECT_FALSE(controller->saveDocumentAs(*document));
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_TRUE(alerts[0].ends_with(" could not be saved. | The database could not be saved. '" + folder.string() +
                                    "' is a folder that is not a Kinlore II database."))
        << alerts[0];
    std::ifstream photo(folder / "1901" / "wedding.jpg", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(photo), {}), "jpeg");
    EXPECT_TRUE(document->isDocumentEdited());
}

// A package whose GEDCOM file ends early opens, but Save asks where to put
// the database instead of writing over what is left of it.
TEST_F(Documents, SavingAPackageThatEndedEarlyAsksForANewPlace) {
    GEDCOMDocument* document = controller->openDocument(write("tree.ged", kSmallTree));
    ASSERT_NE(document, nullptr);
    savePath = root() / "Whole";
    ASSERT_TRUE(controller->saveDocumentAs(*document));
    ASSERT_TRUE(controller->closeDocument(*document));
    const fs::path gedcom = root() / "Whole.gedpkg" / "Whole.ged";
    std::ifstream in(gedcom, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    in.close();
    text.erase(text.find("0 TRLR"));
    std::ofstream(gedcom, std::ios::binary | std::ios::trunc) << text;

    GEDCOMDocument* cut = controller->openDocument(root() / "Whole.gedpkg");
    ASSERT_NE(cut, nullptr);
    EXPECT_TRUE(cut->isDocumentEdited());
    EXPECT_TRUE(cut->readWriteMessage().value_or("").starts_with("The database's GEDCOM file ends early"));
    savePath = root() / "Recovered";
    ASSERT_TRUE(controller->saveDocument(*cut));
    EXPECT_TRUE(fs::exists(root() / "Recovered.gedpkg" / "Recovered.ged"));
    std::ifstream kept(gedcom, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), text) << "the damaged package is left alone";
}

TEST_F(Documents, RevertReadsTheSavedPackageAgain) {
    GEDCOMDocument* document = controller->openDocument(write("tree.ged", kSmallTree));
    ASSERT_NE(document, nullptr);
    EXPECT_FALSE(controller->revertDocument(*document));  // nothing saved yet
    savePath = root() / "Kept";
    ASSERT_TRUE(controller->saveDocumentAs(*document));
    document->gedcomModel().createNewRecordOfType("INDI");
    document->updateChangeCount(GEDCOMDocument::Change::Done);

    ASSERT_TRUE(controller->revertDocument(*document));
    ASSERT_EQ(controller->documents().size(), 1u);
    GEDCOMDocument* reverted = controller->documents().front();
    EXPECT_FALSE(reverted->isDocumentEdited());
    EXPECT_TRUE(windowOf(*reverted)->countLines().contains("INDI\t2"));
    EXPECT_EQ(controller->displayName(*reverted), "Kept");
}

// The window's edited mark follows the change count: an edit after a save
// marks it, undoing the edit returns to the saved state, redoing marks it
// again.
TEST_F(Documents, TheEditedMarkFollowsEditsUndoAndRedo) {
    GEDCOMDocument* document = controller->openDocument(write("tree.ged", kSmallTree));
    ASSERT_NE(document, nullptr);
    QMainWindow* window = controller->windowForDocument(*document);
    EXPECT_TRUE(window->isWindowModified());  // an import is a new, unsaved database
    savePath = root() / "Marked";
    ASSERT_TRUE(controller->saveDocumentAs(*document));
    EXPECT_FALSE(window->isWindowModified());

    document->undo().beginUndoGrouping();
    document->gedcomModel().createNewRecordOfType("INDI");
    document->undo().setActionName("New Individual");
    document->undo().endUndoGrouping();
    EXPECT_TRUE(window->isWindowModified());
    document->undo().undo();
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(document->isDocumentEdited());
    document->undo().redo();
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(window->windowTitle(), "Marked[*]");
    // A save clears the mark and the history.
    ASSERT_TRUE(controller->saveDocument(*document));
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(document->undo().canUndo());
}

TEST_F(Documents, AWindowTakesTheStoredToolbarStyle) {
    AppController::initialize(*defaults);
    AppController::setToolbarStylePreference(3, *defaults);
    GEDCOMDocument* document = controller->newDocument();
    ASSERT_NE(document, nullptr);
    QMainWindow* window = controller->windowForDocument(*document);
    EXPECT_EQ(AppToolbars::toolbarStyle(*window), 3);
    EXPECT_EQ(window->iconSize(), QSize(28, 28));
    EXPECT_EQ(window->toolButtonStyle(), Qt::ToolButtonIconOnly);
}

TEST_F(Documents, NewDocumentsAreNumberedUntitledWindows) {
    GEDCOMDocument* first = controller->newDocument();
    GEDCOMDocument* second = controller->newDocument();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(controller->windowForDocument(*first)->windowTitle(), "Untitled[*]");
    EXPECT_EQ(controller->windowForDocument(*second)->windowTitle(), "Untitled 2[*]");
    EXPECT_TRUE(controller->closeAllDocuments());
    EXPECT_FALSE(controller->hasDocumentsOfClass());
}

TEST_F(Documents, APackageGetsARunningAutosaveTimerFromThePreference) {
    GEDCOMDocument* document = controller->openDocument(write("tree.ged", kSmallTree));
    ASSERT_NE(document, nullptr);
    savePath = root() / "Timed";
    ASSERT_TRUE(controller->saveDocumentAs(*document));
    ASSERT_TRUE(controller->closeDocument(*document));

    defaults->setObject(Value(5), "Autosave minutes");
    UserDefaults::standard().setObject(Value(5), "Autosave minutes");
    GEDCOMDocument* package = controller->openDocument(root() / "Timed.gedpkg");
    ASSERT_NE(package, nullptr);
    auto* timer = dynamic_cast<QtAutosaveTimer*>(package->autosaveTimer());
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isRunning());
    EXPECT_EQ(timer->intervalMilliseconds(), 5 * 60 * 1000);
    UserDefaults::standard().removeObjectForKey("Autosave minutes");
}

TEST_F(Documents, TheWindowsCloseBoxGoesThroughTheQuestion) {
    GEDCOMDocument* document = controller->openDocument(write("tree.ged", kSmallTree));
    ASSERT_NE(document, nullptr);
    saveAnswer = SaveAnswer::Cancel;
    controller->windowForDocument(*document)->close();
    ASSERT_TRUE(test::spinUntil([&] { return !asked.empty(); }));
    EXPECT_EQ(controller->documents().size(), 1u);
    saveAnswer = SaveAnswer::DontSave;
    controller->windowForDocument(*document)->close();
    EXPECT_TRUE(test::spinUntil([&] { return controller->documents().empty(); }));
}

TEST(DocumentTypes, PackagesByExtensionOrFolder) {
    EXPECT_EQ(DocController::typeForPath("/x/Tree.gedpkg/"), GEDCOMDocument::kPackageType);
    EXPECT_EQ(DocController::typeForPath("/x/Tree.gedpkg"), GEDCOMDocument::kPackageType);
    EXPECT_EQ(DocController::typeForPath("/x/tree.ged"), GEDCOMDocument::kGEDCOMType);
    EXPECT_EQ(DocController::typeForPath(fs::temp_directory_path()), GEDCOMDocument::kPackageType);
}

// File > Open... starts in the folder of the front document's file, else in
// the user's documents folder; never in the process's working folder.
TEST_F(Documents, TheOpenPanelStartsInTheFrontDocumentsFolder) {
    fs::create_directories(root() / "Documents");
    fs::create_directories(root() / "papers");
    const fs::path file = write("papers/tree.ged", "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Ann /Lee/\n0 TRLR\n");
    PanelAtOnce progress;
    controller->setProgressUI(&progress);
    auto panelFolderFrom = [](QMainWindow* window) {
        QAction* open = nullptr;
        for (QAction* menu : window->menuBar()->actions())
            if (menu->menu() && menu->text() == "&File")
                for (QAction* item : menu->menu()->actions())
                    if (item->text() == "&Open…") open = item;
        EXPECT_NE(open, nullptr);
        QString shown;
        if (!open) return shown;
        test::whenModal<QFileDialog>([&shown](QFileDialog& panel) {
            shown = panel.directory().absolutePath();
            panel.reject();
        });
        open->trigger();
        EXPECT_TRUE(test::processUntil([&] { return !shown.isEmpty(); }));
        return shown;
    };
    GEDCOMDocument* untitled = controller->newDocument();
    ASSERT_NE(untitled, nullptr);
    EXPECT_EQ(panelFolderFrom(windowOf(*untitled)).toStdString(), (root() / "Documents").string())
        << "an untitled document has no folder of its own";
    GEDCOMDocument* opened = controller->openDocument(file);
    ASSERT_NE(opened, nullptr);
    windowOf(*opened)->activateWindow();
    EXPECT_EQ(panelFolderFrom(windowOf(*opened)).toStdString(), (root() / "papers").string());
    EXPECT_EQ(controller->documents().size(), 2u) << "the panel was cancelled";
}

// Where the desktop binds no standard keys (a bare X server, offscreen),
// Quit and Preferences… still answer Ctrl+Q and Ctrl+,.
TEST_F(Documents, QuitAndPreferencesKeepTheirShortcutsWithoutADesktopTheme) {
    GEDCOMDocument* document = controller->newDocument();
    ASSERT_NE(document, nullptr);
    QMainWindow* window = controller->windowForDocument(*document);
    QAction* preferences = test::menuItem(*window, "&File", "Preferences…");
    QAction* quit = test::menuItem(*window, "&File", "&Quit");
    ASSERT_TRUE(preferences && quit);
    EXPECT_EQ(preferences->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    EXPECT_EQ(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
}

}  // namespace
}  // namespace kl
