// Files in and out of a package through the Templates menu: images into a
// format, files into an extension, a carried file out of it, and the
// documentation preview; and File ▸ Open's panel, which opens packages
// and scripts alike.
#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QTimer>

#include "FormatWindowFixture.h"
#include "editor/ScriptEditingDocument.h"
#include "editor/ui/OpenPanel.h"

namespace kl {
namespace {

class ImportImagesTest : public FormatWindowTest {
protected:
    path image(const std::string& name, const char* format) {
        const path file = scratch("pictures") / name;
        test::fs::create_directories(file.parent_path());
        QImage picture(160, 100, QImage::Format_RGB32);
        picture.fill(Qt::darkMagenta);
        EXPECT_TRUE(picture.save(QString::fromStdString(file.string()), format));
        return file;
    }
    ItemList& images() const { return *document_->listForName("Images"); }
};

TEST_F(ImportImagesTest, ImagesBecomeItemsNamedAfterTheirFilesInOneUndoStep) {
    const std::size_t before = images().count();
    importFiles_ = {image("Family Crest.png", "PNG"), image("Family Crest.jpg", "JPEG")};
    choose("Templates", "Import Images...");
    EXPECT_EQ(prompts_.back(), "Import Images...");
    ASSERT_NE(images().objectNamed("Family_Crest"), nullptr);
    ASSERT_NE(images().objectNamed("Family_Crest_1"), nullptr);
    EXPECT_EQ(images().objectNamed("Family_Crest")->type(), ImageType);
    EXPECT_EQ(shownName(), "Family_Crest_1");
    EXPECT_EQ(window_->currentEditor(), window_->imageView());
    EXPECT_EQ(window_->imageView()->pixmap().size(), QSize(160, 100));
    EXPECT_EQ(undoName(), "Import Images");
    EXPECT_TRUE(window_->isWindowModified());

    choose("File", "Save");
    EXPECT_EQ(QImage(QString::fromStdString((package_ / "images/Family_Crest_1.png").string())).size(), QSize(160, 100));

    window_->resize(900, 560);
    QApplication::processEvents();
    EXPECT_TRUE(window_->grab().save(QString(KL_BINARY_DIR) + "/editor-imported-image.png"));

    reopen();
    EXPECT_NE(images().objectNamed("Family_Crest_1"), nullptr);
    importFiles_ = {image("Seal.png", "PNG")};
    choose("Templates", "Import Images...");
    undo();
    EXPECT_EQ(images().objectNamed("Seal"), nullptr);
    EXPECT_EQ(images().count(), before + 2);
}

TEST_F(ImportImagesTest, AFileThatIsNoImageEndsTheImportAndKeepsWhatCameBefore) {
    test::writeFile(scratch("pictures/notes.png"), "not an image");
    importFiles_ = {image("First.png", "PNG"), scratch("pictures/notes.png"), image("Third.png", "PNG")};
    choose("Templates", "Import Images...");
    EXPECT_NE(images().objectNamed("First"), nullptr);
    EXPECT_EQ(images().objectNamed("notes"), nullptr);
    EXPECT_EQ(images().objectNamed("Third"), nullptr);
    EXPECT_EQ(undoName(), "Import Images");
    EXPECT_EQ(sheets(), std::vector<QString>{"A selected file could not be imported / The file 'notes.png' does not "
                                             "contain a readable image"});

    importFiles_.clear();
    const std::string undoBefore = undoName();
    choose("Templates", "Import Images...");
    EXPECT_EQ(undoName(), undoBefore) << "a cancelled panel changes nothing";
}

class ExtensionTransferTest : public ExtensionWindowTest {
protected:
    void SetUp() override {
        ExtensionWindowTest::SetUp();
        openExtension();
    }
    // Selects the row of a carried file, as a click beside its name would
    // (a click on the name opens the file).
    void selectOtherFile(const std::string& name) {
        select("Properties", "other files");
        PropertyTableView* table = window_->shownTable();
        ASSERT_NE(table, nullptr);
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            if (table->model()->index(row, 0).data().toString().toStdString() != name) continue;
            table->selectRow(row);
            QApplication::processEvents();
            return;
        }
        ADD_FAILURE() << "no row " << name;
    }
    const Dictionary& otherFiles() const {
        return *document_->listForName("Properties")->objectNamed("other files")->templateObject().dictionary();
    }
};

TEST_F(ExtensionTransferTest, TextFilesBecomeItemsAndOtherFilesAreCarriedUnderFreeNames) {
    test::writeFile(scratch("in/data.csv"), "x,y\n");
    test::writeFile(scratch("in/notes.TXT"), "some notes\n");
    test::writeFile(scratch("in/tool.py"), "print('tool')\n");
    test::writeFile(scratch("in/latin.txt"), "caf\xe9\n");
    importFiles_ = {scratch("in/data.csv"), scratch("in/notes.TXT"), scratch("in/tool.py"), scratch("in/latin.txt")};
    choose("Templates", "Import Files...");

    EXPECT_EQ(document_->listForName("Text Files")->objectNamed("notes.TXT")->text(), "some notes\n");
    EXPECT_EQ(document_->listForName("Scripts")->objectNamed("tool.py")->text(), "print('tool')\n");
    EXPECT_EQ(document_->listForName("Text Files")->objectNamed("latin.txt"), nullptr);
    EXPECT_TRUE(otherFiles().contains("data.csv"));
    EXPECT_TRUE(otherFiles().contains("data 1.csv"));
    EXPECT_EQ(test::readFile(extension_ / "data 1.csv"), "x,y\n");
    EXPECT_EQ(test::readFile(extension_ / "data.csv"), "a,b\n") << "the carried file of that name stays";
    EXPECT_EQ(undoName(), "Import Files");
    const std::vector<QString> shown = sheets();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].startsWith("A selected file could not be imported / The contents of file 'latin.txt' could "
                                    "not be read (The file is not UTF-8 text.)"))
        << shown[0].toStdString();

    choose("File", "Save");
    EXPECT_EQ(test::readFile(extension_ / "data 1.csv"), "x,y\n");
    EXPECT_EQ(test::readFile(extension_ / "notes.TXT"), "some notes\n");
    ASSERT_TRUE(controller_.closeDocument(*document_));
    QApplication::processEvents();
    open(extension_);
    EXPECT_TRUE(otherFiles().contains("data 1.csv"));
    EXPECT_NE(document_->listForName("Scripts")->objectNamed("tool.py"), nullptr);
}

TEST_F(ExtensionTransferTest, ImportOneStepUndoesTheItemsAndTheTable) {
    test::writeFile(scratch("in/table.csv"), "1\n");
    test::writeFile(scratch("in/more.tex"), "\\relax\n");
    importFiles_ = {scratch("in/table.csv"), scratch("in/more.tex")};
    choose("Templates", "Import Files...");
    ASSERT_TRUE(otherFiles().contains("table.csv"));
    undo();
    EXPECT_FALSE(otherFiles().contains("table.csv"));
    EXPECT_EQ(document_->listForName("Text Files")->objectNamed("more.tex"), nullptr);
}

TEST_F(ExtensionTransferTest, ExportCopiesTheSelectedCarriedFileOutReplacingWhatIsThere) {
    EXPECT_FALSE(menuItem("Templates", "Export Other File...")->isEnabled()) << "nothing selected";
    selectOtherFile("data.csv");
    const path destination = scratch("out/data.csv");
    test::writeFile(destination, "old\n");
    exportTo_ = destination;
    choose("Templates", "Export Other File...");
    EXPECT_EQ(test::readFile(destination), "a,b\n");
    EXPECT_TRUE(prompts_.back().startsWith("data.csv in "));
    EXPECT_TRUE(prompts_.back().endsWith("/Kinlore II/Scripts")) << prompts_.back().toStdString();
    EXPECT_EQ(beeps_, 0);

    // A copy that cannot be made beeps and leaves the package alone.
    exportTo_ = scratch("no such folder/data.csv");
    choose("Templates", "Export Other File...");
    EXPECT_EQ(beeps_, 1);
    EXPECT_EQ(test::readFile(extension_ / "data.csv"), "a,b\n");
    EXPECT_FALSE(window_->isWindowModified());
}

TEST_F(FormatWindowTest, PreviewSavesAndOpensThePageAndTheAlternateStyleLeavesTheDocumentChanged) {
    const std::string regular = test::readFile(test::shippedResources() / "KinloreEditor/helpType.css");
    const std::string alternate = test::readFile(test::shippedResources() / "KinloreEditor/helpAS.css");
    select("Record Editing", "INDI Record Editing");
    EXPECT_FALSE(menuItem("Templates", "Preview in Browser")->isEnabled()) << "a template has no page";
    select("Documentation", "guide.html");
    window_->textView()->setFocus();
    QTest::keyClicks(window_->textView(), "<h1>Guide</h1>");
    choose("Templates", "Preview in Browser");
    EXPECT_EQ(opened_, std::vector<path>{package_ / "guide.html"});
    EXPECT_TRUE(test::readFile(package_ / "guide.html").starts_with("<h1>Guide</h1>")) << "saved first";
    EXPECT_EQ(openedStyle_, regular);
    EXPECT_FALSE(window_->isWindowModified());

    choose("Templates", "Preview with Alternate Style");
    EXPECT_EQ(opened_.size(), 2u);
    EXPECT_EQ(openedStyle_, alternate);
    EXPECT_TRUE(window_->isWindowModified()) << "the next save writes the regular style sheet";
    choose("File", "Save");
    EXPECT_EQ(test::readFile(package_ / "helpType.css"), regular);
}

// File ▸ Open lists packages and scripts; choosing a package opens it
// rather than entering it.
class OpenPanelTest : public test::EditorTest {};

TEST_F(OpenPanelTest, ChoosesScriptsAndPackagesAndEntersPlainFolders) {
    test::writeFile(scratch("docs/Tally.klscpt"), "log \"x\"\n");
    test::writeFile(scratch("docs/tool.py"), "print(1)\n");
    test::writeFile(scratch("docs/Sample.kfrmt/INDI Record Editing.txt"), "");
    test::writeFile(scratch("docs/More/inner.py"), "");
    const struct {
        const char* selected;
        bool accepted;
        const char* chosen;
    } cases[] = {
        {"Tally.klscpt", true, "Tally.klscpt"},
        {"Sample.kfrmt", true, "Sample.kfrmt"},
        {"More", false, ""},
    };
    for (const auto& c : cases) {
        OpenPanel panel;
        panel.setDirectory(QString::fromStdString(scratch("docs").string()));
        panel.show();
        panel.selectFile(c.selected);
        QApplication::processEvents();
        if (std::string(c.selected) == "Tally.klscpt") {
            panel.resize(720, 460);
            QApplication::processEvents();
            EXPECT_TRUE(panel.grab().save(QString(KL_BINARY_DIR) + "/editor-open-panel.png"));
        }
        panel.accept();
        EXPECT_EQ(panel.result() == QDialog::Accepted, c.accepted) << c.selected;
        if (c.accepted) {
            EXPECT_EQ(panel.chosenPaths(), std::vector<path>{scratch("docs") / c.chosen}) << c.selected;
        } else {
            EXPECT_EQ(panel.directory().absolutePath().toStdString(), scratch("docs/More").string());
        }
    }
}

TEST_F(FormatWindowTest, FileOpenOpensAScriptInTheWorkspace) {
    test::writeFile(scratch("Tally.klscpt"), "log \"tally\"\n");
    KXDocController::Prompts prompts;
    prompts.openPaths = [this] { return std::vector<path>{scratch("Tally.klscpt")}; };
    prompts.alert = [this](const QString& message, const QString&) { alerts_.push_back(message); };
    controller_.setPrompts(prompts);
    choose("File", "Open...");
    ScriptEditingDocument* workspace = controller_.theScriptEditor();
    ASSERT_NE(workspace, nullptr);
    FormatWindow* shown = controller_.windowForDocument(*workspace);
    ASSERT_NE(shown->selectedTemplate(), nullptr);
    EXPECT_EQ(shown->textView()->toPlainText(), "log \"tally\"\n");
    EXPECT_TRUE(alerts_.empty());
}

}  // namespace
}  // namespace kl
