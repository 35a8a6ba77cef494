// Kinlore II starting and quitting on the shipped resources in a fresh home:
// defaults, library and format at launch, the start queue once, the
// stand-in window, a failed launch, and shut-down removing only its own
// working folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <fstream>

#include "UiTestSupport.h"
#include "app/LibraryFolder.h"
#include "app/ui/DocController.h"
#include "app/ui/KinloreApplication.h"
#include "document/DocumentUI.h"
#include "document/GEDCOMDocument.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class Startup : public test::AppHome {
protected:
    void SetUp() override {
        AppHome::SetUp();
        application = std::make_unique<KinloreApplication>(*defaults);
        application->setAlertPresenter([this](const std::string& m, const std::string& i) { alerts.push_back(m + " | " + i); });
        application->setInfoPresenter([this](const std::string& m, const std::string& i) { alerts.push_back(m + " | " + i); });
    }
    void TearDown() override {
        application.reset();
        AppHome::TearDown();
    }
    std::unique_ptr<KinloreApplication> application;
    std::vector<std::string> alerts;
};

TEST_F(Startup, RegistersDefaultsSetsUpTheLibraryAndRunsTheStartQueueOnce) {
    ASSERT_TRUE(application->launch());
    EXPECT_EQ(defaults->integerForKey("Autosave minutes"), 61);
    EXPECT_EQ(defaults->stringForKey("Path to python"), "/usr/bin/python3");
    ASSERT_NE(AppController::sharedLibrary(), nullptr);
    EXPECT_TRUE(fs::is_directory(root() / "data/Kinlore II/System/Radavizu/Brennow.gedpkg"));
    EXPECT_FALSE(AppController::sharedLibrary()->templates().templateFolder().empty());
    EXPECT_TRUE(application->appController().startQueue());

    ASSERT_TRUE(test::spinUntil([&] { return !application->appController().startQueue(); }));
    // A later activation does not bring the queue back.
    application->appController().applicationDidBecomeActive();
    test::spinUntil([] { return false; }, 50);
    EXPECT_FALSE(application->appController().startQueue());
    // Nothing open: the stand-in window offers the File menu.
    ASSERT_NE(application->emptyWindow(), nullptr);
    EXPECT_TRUE(application->emptyWindow()->isVisible());
    EXPECT_TRUE(alerts.empty());
}

// Serves the event loop while the read runs, as the real wait behind the
// progress panel does; the launch's first activation comes in then.
class ServingProgress : public DocumentUI {
public:
    bool pauseIn(KLProgress& task, double) override {
        QElapsedTimer served;
        served.start();
        while (task.stillRunning() || served.elapsed() < 50) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return false;
    }
};

// Files named on the command line are open before the first activation
// runs: no stand-in window flashes up, and the start queue's "welcome"
// sees the open database.
TEST_F(Startup, FilesOpenedAtLaunchAreOpenBeforeTheFirstActivation) {
    ServingProgress progress;
    ASSERT_TRUE(application->launch());
    application->docController().setProgressUI(&progress);
    const fs::path file = root() / "tree.ged";
    std::ofstream(file) << "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Ann /Lee/\n0 TRLR\n";
    application->openFiles({file});
    EXPECT_EQ(application->docController().documents().size(), 1u);
    EXPECT_EQ(application->emptyWindow(), nullptr);
    ASSERT_TRUE(test::spinUntil([&] { return !application->appController().startQueue(); }));
    EXPECT_EQ(application->emptyWindow(), nullptr);
    EXPECT_TRUE(alerts.empty());
}

TEST_F(Startup, QuittingRunsTheShutDownAndRemovesOnlyItsOwnWorkingFolder) {
    ASSERT_TRUE(application->launch());
    const auto working = AppController::workingDirectory();
    ASSERT_TRUE(working);
    const fs::path mine = *working;
    EXPECT_EQ(mine.parent_path().parent_path(), root() / "cache/Kinlore II");
    const fs::path other = root() / "cache/Kinlore II/1";
    fs::create_directories(other);
    std::ofstream(other / "tree-3.pdf") << "%PDF";
    std::ofstream(mine / "tree-4.pdf") << "%PDF";

    EXPECT_TRUE(application->quit());
    EXPECT_TRUE(application->terminated());
    EXPECT_FALSE(fs::exists(mine));
    EXPECT_TRUE(fs::exists(other / "tree-3.pdf"));
    EXPECT_FALSE(AppController::workingDirectory());
}

TEST_F(Startup, QuitWithAnEditedDatabaseAsksAndCancelKeepsRunning) {
    ASSERT_TRUE(application->launch());
    int asked = 0;
    DocController::Prompts prompts;
    prompts.askSaveChanges = [&](const QString&) {
        ++asked;
        return DocController::SaveAnswer::Cancel;
    };
    application->docController().setPrompts(prompts);
    GEDCOMDocument* document = application->docController().newDocument();
    ASSERT_NE(document, nullptr);
    document->updateChangeCount(GEDCOMDocument::Change::Done);

    EXPECT_FALSE(application->quit());
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(application->terminated());
    EXPECT_TRUE(AppController::workingDirectory());
    EXPECT_EQ(application->docController().documents().size(), 1u);
}

// Started with no file, the stand-in window offers its commands on its
// face: New, Open… and the library's sample database.
TEST_F(Startup, TheStandInWindowOpensTheSampleDatabase) {
    ServingProgress progress;
    ASSERT_TRUE(application->launch());
    application->docController().setProgressUI(&progress);
    ASSERT_TRUE(test::spinUntil([&] { return application->emptyWindow() && application->emptyWindow()->isVisible(); }));
    std::vector<std::string> titles;
    QPushButton* sample = nullptr;
    for (QPushButton* button : application->emptyWindow()->findChildren<QPushButton*>()) {
        titles.push_back(button->text().toStdString());
        if (button->text() == "Open Sample Database") sample = button;
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"New", "Open…", "Open Sample Database"}));
    ASSERT_NE(sample, nullptr);
    const fs::path shot = fs::path(KL_BINARY_DIR) / "stand-in-window.png";
    EXPECT_TRUE(application->emptyWindow()->grab().save(QString::fromStdString(shot.string())));
    sample->click();
    ASSERT_TRUE(test::spinUntil([&] { return application->docController().documents().size() == 1; }));
    const auto file = application->docController().documents().front()->myFileName();
    ASSERT_TRUE(file);
    EXPECT_EQ(fs::weakly_canonical(*file), fs::weakly_canonical(root() / "data/Kinlore II/System/Radavizu/Brennow.gedpkg"));
    EXPECT_FALSE(application->emptyWindow()->isVisible());
    EXPECT_TRUE(alerts.empty());
}

// ---- Quit ends the event loop

// The File menu's item of that title in a window's menu bar.
QAction* fileMenuItem(QMainWindow* window, const QString& title) {
    if (!window) return nullptr;
    for (QAction* menu : window->menuBar()->actions())
        if (menu->menu() && menu->text() == "&File")
            for (QAction* item : menu->menu()->actions())
                if (item->text() == title) return item;
    return nullptr;
}

// Runs the event loop as main() does, with `step` as its first turn; the
// loop's exit code, or 99 when nothing ended it.
int runLoopWith(std::function<void()> step) {
    QTimer::singleShot(0, std::move(step));
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    giveUp.start(test::kGiveUpMilliseconds);
    return QApplication::exec();
}

class Quitting : public Startup {
protected:
    void SetUp() override {
        Startup::SetUp();
        start();
    }
    // A launched application past its start queue, answering Discard.
    void start() {
        application.reset();
        application = std::make_unique<KinloreApplication>(*defaults);
        application->setAlertPresenter([this](const std::string& m, const std::string& i) { alerts.push_back(m + " | " + i); });
        ASSERT_TRUE(application->launch());
        DocController::Prompts prompts;
        prompts.askSaveChanges = [this](const QString& name) {
            asked.push_back(name.toStdString());
            return DocController::SaveAnswer::DontSave;
        };
        application->docController().setPrompts(prompts);
        ASSERT_TRUE(test::spinUntil([&] { return !application->appController().startQueue(); }));
    }
    std::vector<std::string> asked;
};

TEST_F(Quitting, FileQuitEndsTheProgramWithNoneOneOrTwoDocumentsOpen) {
    struct Case {
        const char* name;
        int documents;
        bool firstEdited;
    } cases[] = {{"None", 0, false}, {"One", 1, false}, {"TwoOneEditedDiscarded", 2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.documents > 0) start();
        for (int i = 0; i < c.documents; ++i) application->docController().newDocument();
        auto documents = application->docController().documents();
        ASSERT_EQ(documents.size(), static_cast<std::size_t>(c.documents));
        if (c.firstEdited) documents.front()->updateChangeCount(GEDCOMDocument::Change::Done);
        // The front window's menu: a document's, or the stand-in's.
        QMainWindow* front = documents.empty() ? application->emptyWindow()
                                               : application->docController().windowForDocument(*documents.back());
        QAction* quit = fileMenuItem(front, "&Quit");
        ASSERT_NE(quit, nullptr);
        EXPECT_EQ(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

        EXPECT_EQ(runLoopWith([quit] { quit->trigger(); }), 0);
        EXPECT_TRUE(application->terminated());
        EXPECT_TRUE(application->docController().documents().empty());
        EXPECT_EQ(asked.size(), c.firstEdited ? 1u : 0u);
        asked.clear();
    }
}

TEST_F(Quitting, TheStandInWindowsCloseBoxQuits) {
    ASSERT_NE(application->emptyWindow(), nullptr);
    ASSERT_TRUE(application->emptyWindow()->isVisible());
    EXPECT_EQ(runLoopWith([this] { application->emptyWindow()->close(); }), 0);
    EXPECT_TRUE(application->terminated());
}

// The defaults and the recent list are written by the quit itself, not by
// the end of the process: the next start reads them.
TEST_F(Quitting, TheDefaultsWrittenOnQuitAreReadByTheNextStart) {
    ServingProgress progress;
    application->docController().setProgressUI(&progress);
    const fs::path file = root() / "tree.ged";
    std::ofstream(file) << "0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Ann /Lee/\n0 TRLR\n";
    application->openFiles({file});
    ASSERT_EQ(application->docController().documents().size(), 1u);
    QAction* quit = fileMenuItem(application->docController().windowForDocument(
                                     *application->docController().documents().front()),
                                 "&Quit");
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(runLoopWith([quit] { quit->trigger(); }), 0);

    UserDefaults next("Kinlore II", root() / "config");
    KinloreApplication second(next);
    ASSERT_TRUE(second.launch());
    const auto recent = second.docController().recentDocuments().recentDocumentURLs();
    ASSERT_FALSE(recent.empty());
    EXPECT_EQ(fs::weakly_canonical(recent.front()), fs::weakly_canonical(file));
}

TEST_F(Startup, AFailingLaunchStepGivesTheAlert) {
    const fs::path empty = root() / "no-resources";
    fs::create_directories(empty);
    ResourceFolder::setFolder(empty);
    EXPECT_FALSE(application->launch());
    ASSERT_FALSE(alerts.empty());
    EXPECT_EQ(alerts.back().rfind("Application failed to initialize | ", 0), 0u) << alerts.back();
    EXPECT_TRUE(application->terminated());
    EXPECT_EQ(application->emptyWindow(), nullptr);
}

}  // namespace
}  // namespace kl
