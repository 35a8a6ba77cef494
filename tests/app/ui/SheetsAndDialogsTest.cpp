// Option dialogs: a sheet hands its caller the dialog and its context, a
// modal run answers the code; the new-file dialog's modes and answer; the
// character-set dialog and the reader's question through it; the window
// base's default answers.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "UiTestSupport.h"
#include "app/ui/GEDCOMWindowController.h"
#include "app/ui/GetCharacterSet.h"
#include "app/ui/KLSheet.h"
#include "app/ui/NewFileOptions.h"
#include "app/ui/QtCharacterSetQuestion.h"
#include "app/ui/QtDocumentUI.h"
#include "document/CharsetDetection.h"
#include "document/GEDCOMDocument.h"
#include "model/TextEncoding.h"
#include "model/GEDCOMRecord.h"

namespace kl {
namespace {

using test::processUntil;
using test::whenModal;
namespace fs = std::filesystem;

// ---- KLSheet

struct Ended {
    KLSheet* sheet = nullptr;
    Value context;
    int calls = 0;
};

KLSheet::Action record(Ended& ended) {
    return [&ended](KLSheet& sheet, const Value& context) {
        ended.sheet = &sheet;
        ended.context = context;
        ++ended.calls;
    };
}

struct SheetCase {
    const char* label;
    void (KLSheet::*end)();
    int code;
};

class SheetEndTest : public ::testing::TestWithParam<SheetCase> {};

TEST_P(SheetEndTest, AsASheetTheTargetGetsTheDialogAndTheCode) {
    QMainWindow window;
    window.show();
    auto* sheet = new KLSheet("TestSheet");
    Ended ended;
    sheet->startSheet(&window, record(ended));
    EXPECT_EQ(sheet->parentWidget(), &window);
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->windowWithSheet(), &window);
    EXPECT_TRUE(sheet->isVisible());
    (sheet->*GetParam().end)();
    EXPECT_EQ(ended.calls, 1);
    EXPECT_EQ(ended.sheet, sheet);
    EXPECT_EQ(ended.context, Value(GetParam().code));
    EXPECT_EQ(sheet->windowWithSheet(), nullptr);
}

TEST_P(SheetEndTest, RunModallyTheCodeIsReturned) {
    KLSheet sheet("TestSheet");
    whenModal<KLSheet>([](KLSheet& shown) { (shown.*GetParam().end)(); });
    EXPECT_EQ(sheet.doModalWindow(), GetParam().code);
    EXPECT_EQ(sheet.modalReturnID(), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Buttons, SheetEndTest,
                         ::testing::Values(SheetCase{"ok", &KLSheet::okClick, 1},
                                           SheetCase{"cancel", &KLSheet::cancelClick, 0},
                                           SheetCase{"alternate", &KLSheet::alternateClick, 2},
                                           SheetCase{"escape", &KLSheet::reject, 0}),
                         [](const auto& info) { return std::string(info.param.label); });

// A dialog that hands back its options instead of the bare code.
class OptionsSheet : public KLSheet {
public:
    OptionsSheet() : KLSheet("OptionsSheet") {}
    Value sheetContextInfo(int code) override { return Dictionary{{"code", code}, {"format", "UTF-8"}}; }
};

TEST(KLSheetTest, ASubclassContextReachesTheTargetAndTheSheetCanBeShownAgain) {
    QMainWindow window;
    window.show();
    auto* sheet = new OptionsSheet;
    Ended first, second;
    sheet->startSheet(&window, record(first));
    sheet->okClick();
    ASSERT_TRUE(first.context.dictionary());
    EXPECT_EQ(*first.context.dictionary()->get("format"), Value("UTF-8"));
    sheet->startSheet(&window, record(second));
    sheet->cancelClick();
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 1);
    EXPECT_EQ(*second.context.dictionary()->get("code"), Value(0));
    // And modally, with no stale target left over.
    whenModal<KLSheet>([](KLSheet& shown) { shown.okClick(); });
    EXPECT_EQ(sheet->doModalWindow(), 1);
    EXPECT_EQ(first.calls + second.calls, 2);
}

TEST(KLSheetTest, AnActionMayDeleteTheSheetLater) {
    QMainWindow window;
    window.show();
    QPointer<KLSheet> sheet = new KLSheet("Disposable");
    sheet->startSheet(&window, [](KLSheet& done, const Value&) { done.deleteLater(); });
    sheet->okClick();
    EXPECT_TRUE(processUntil([&] { return sheet.isNull(); }));
}

TEST(KLSheetTest, HelpGoesToTheApplicationWithThePressedControl) {
    KLSheet sheet("Help");
    QPushButton help("?", &sheet);
    QObject* asked = nullptr;
    KLSheet::setHelpHandler([&](QObject* sender) { asked = sender; });
    QObject::connect(&help, &QPushButton::clicked, &sheet, &KLSheet::contextHelpTopic);
    help.click();
    KLSheet::setHelpHandler(nullptr);
    EXPECT_EQ(asked, &help);
}

// ---- NewFileOptions

struct ModeCase {
    int mode;
    bool newTitle, famTitle, fam2Title, linkBox, emptyFile, cancel;
};

class NewFileModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(NewFileModeTest, ShowsTheControlsOfItsMode) {
    const auto& c = GetParam();
    NewFileOptions dialog(nullptr, c.mode);
    EXPECT_EQ(!dialog.newTitle()->isHidden(), c.newTitle);
    EXPECT_EQ(!dialog.famTitle()->isHidden(), c.famTitle);
    EXPECT_EQ(!dialog.fam2Title()->isHidden(), c.fam2Title);
    EXPECT_EQ(!dialog.linkAsFamily()->isHidden(), c.linkBox);
    EXPECT_EQ(!dialog.emptyFile()->isHidden(), c.emptyFile);
    EXPECT_EQ(!dialog.cancelFamily()->isHidden(), c.cancel);
    EXPECT_EQ(dialog.sex1()->checkedId(), 1);
    EXPECT_EQ(dialog.sex2()->checkedId(), 2);
    // Hidden or not, the link box starts on.
    EXPECT_TRUE(dialog.linkAsFamily()->isChecked());
    EXPECT_EQ(dialog.fileSettings().back(), Value("family"));
}

INSTANTIATE_TEST_SUITE_P(Modes, NewFileModeTest,
                         ::testing::Values(ModeCase{0, true, false, false, true, true, false},
                                           ModeCase{1, false, true, false, false, false, true},
                                           ModeCase{2, false, false, true, false, false, true},
                                           ModeCase{5, false, false, true, false, false, true}),
                         [](const auto& info) { return "mode" + std::to_string(info.param.mode); });

TEST(NewFileOptionsTest, OKHandsTheCallerWhatWasTyped) {
    QMainWindow window;
    window.show();
    auto* dialog = new NewFileOptions(nullptr, 0);
    Array settings;
    int code = -1;
    dialog->startSheet(&window, [&](KLSheet& sheet, const Value& context) {
        code = static_cast<int>(context.toInteger(-1));
        settings = static_cast<NewFileOptions&>(sheet).fileSettings();
        sheet.deleteLater();
    });
    dialog->person1()->setText("Jan /Novák/");
    dialog->born1()->setText("12 MAR 1901");
    dialog->person2()->setText("Eva /Nováková/");
    dialog->died2()->setText("1980");
    dialog->sex2()->button(1)->setChecked(true);
    dialog->linkAsFamily()->setChecked(false);
    dialog->okButton()->click();
    EXPECT_EQ(code, 1);
    EXPECT_EQ(settings, (Array{"Jan /Novák/", 1, "12 MAR 1901", "", "Eva /Nováková/", 1, "", "1980"}));
}

TEST(NewFileOptionsTest, EmptyFileAndCancelEndWithoutOK) {
    struct Case {
        int mode;
        QPushButton* (NewFileOptions::*button)() const;
        int code;
    } cases[] = {{0, &NewFileOptions::emptyFile, 2}, {2, &NewFileOptions::cancelFamily, 0}};
    for (const auto& c : cases) {
        NewFileOptions dialog(nullptr, c.mode);
        whenModal<NewFileOptions>([&](NewFileOptions& shown) { (shown.*c.button)()->click(); });
        EXPECT_EQ(dialog.doModalWindow(), c.code);
    }
}

// ---- GetCharacterSet

void clickButton(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    dialog.findChild<QDialogButtonBox*>()->button(which)->click();
}

TEST(GetCharacterSetTest, ConfirmingUntouchedWithoutASuggestionAnswersWindows) {
    GetCharacterSet dialog(std::nullopt);
    QString message;
    whenModal<GetCharacterSet>([&](GetCharacterSet& shown) {
        message = shown.fileCharSet()->text();
        clickButton(shown, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(dialog.getCharacterSet(), 12u);
    EXPECT_EQ(message, "The file does not specify any character set");
    EXPECT_EQ(GetCharacterSet::userEncoding(), 12u);
    EXPECT_EQ(GetCharacterSet::userCharSet(), "Windows");
}

// The row the dialog starts on is the set the file's bytes point to.
TEST(GetCharacterSetTest, StartsOnTheRowTheFilesBytesSuggest) {
    struct Case {
        std::string bytes;
        const char* row;
    };
    const Case cases[] = {
        {"0 HEAD\n0 @I1@ INDI\n1 NAME Ren\xE9 /Dupont/\n0 TRLR\n", "Windows (ANSI)"},
        {"0 HEAD\n0 @I1@ INDI\n1 NAME Ren\xC3\xA9 /Dupont/\n0 TRLR\n", "UTF-8"},
    };
    for (const Case& c : cases) {
        GetCharacterSet dialog(std::nullopt, nullptr, CharsetDetection::suggestedEncoding(c.bytes));
        ASSERT_TRUE(dialog.characterSets()->checkedButton());
        EXPECT_EQ(dialog.characterSets()->checkedButton()->text().toStdString(), c.row);
    }
    GetCharacterSet dialog(std::nullopt, nullptr, CharsetDetection::suggestedEncoding(cases[0].bytes));
    dialog.show();
    const auto path = fs::path(KL_BINARY_DIR) / "character-set-dialog.png";
    EXPECT_TRUE(dialog.grab().save(QString::fromStdString(path.string())));
}

TEST(GetCharacterSetTest, OffersCodePage437) {
    GetCharacterSet dialog(std::string("PC-8"));
    whenModal<GetCharacterSet>([](GetCharacterSet& shown) {
        shown.characterSets()->button(6)->click();
        clickButton(shown, QDialogButtonBox::Ok);
    });
    EXPECT_EQ(dialog.getCharacterSet(), encodingCode(TextEncoding::CodePage437));
    EXPECT_EQ(GetCharacterSet::userCharSet(), "IBMPC");
}

TEST(GetCharacterSetTest, ARowAnswersItsSetAndCancelKeepsTheGuess) {
    {
        GetCharacterSet dialog(std::string("IBMPC"));
        EXPECT_EQ(dialog.fileCharSet()->text(), "The files specifies set 'IBMPC'");
        whenModal<GetCharacterSet>([](GetCharacterSet& shown) {
            shown.characterSets()->button(1)->click();
            clickButton(shown, QDialogButtonBox::Ok);
        });
        EXPECT_EQ(dialog.getCharacterSet(), 0x10000u);
        EXPECT_EQ(GetCharacterSet::userCharSet(), "ANSEL");
    }
    GetCharacterSet dialog(std::string("IBMPC"));
    whenModal<GetCharacterSet>([](GetCharacterSet& shown) { clickButton(shown, QDialogButtonBox::Cancel); });
    EXPECT_EQ(dialog.getCharacterSet(), 0u);
    EXPECT_EQ(GetCharacterSet::userCharSet(), "IBMPC");
}

// ---- the reader asks

class CharsetFile : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder);
        // A set the reader does not know, and Windows-1252 bytes.
        std::ofstream(file, std::ios::binary) << "0 HEAD\n1 SOUR Test\n1 GEDC\n2 VERS 5.5\n1 CHAR UNLISTED\n"
                                                 "0 @I1@ INDI\n1 NAME Ren\xE9 /Dupont/\n0 TRLR\n";
        document.setUI(&ui);
        document.setCharacterSetQuestion(&question);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder = fs::temp_directory_path() / ("kl-charset-" + std::to_string(::getpid()));
    fs::path file = folder / "nocharset.ged";
    QtDocumentUI ui;
    QtCharacterSetQuestion question;
    GEDCOMDocument document;
};

TEST_F(CharsetFile, CancelGivesTheReadersOwnError) {
    whenModal<GetCharacterSet>([](GetCharacterSet& shown) { shown.reject(); });
    std::string error;
    EXPECT_FALSE(document.readFromURL(file, GEDCOMDocument::kGEDCOMType, &error));
    EXPECT_EQ(error, "The character set could not be determined and the user cancelled selection of one.");
}

TEST_F(CharsetFile, TheGuessedSetIsPreselectedAndReadsTheFile) {
    QString preselected;
    whenModal<GetCharacterSet>([&](GetCharacterSet& shown) {
        preselected = shown.characterSets()->checkedButton()->text();
        clickButton(shown, QDialogButtonBox::Ok);
    });
    std::string error;
    ASSERT_TRUE(document.readFromURL(file, GEDCOMDocument::kGEDCOMType, &error)) << error;
    EXPECT_TRUE(document.gedcomModel().recordsIndex().listForType("INDI"));
    EXPECT_EQ(preselected, "Windows (ANSI)");
    EXPECT_EQ(GetCharacterSet::userEncoding(), 12u);
    EXPECT_EQ(GetCharacterSet::userCharSet(), "Windows");
    const auto person = document.gedcomModel().recordWithID("@I1@");
    ASSERT_TRUE(person);
    EXPECT_EQ(person->findContentsWithTag("NAME", 1), "Ren\xC3\xA9 /Dupont/");
}

// ---- GEDCOMWindowController

class ListWindow : public GEDCOMWindowController {
public:
    std::optional<Records> selection;
    std::optional<Records> selectedRecords() override { return selection; }
};

TEST(GEDCOMWindowControllerTest, TheSelectedRecordIsTheFirstOfTheSelection) {
    ListWindow window;
    EXPECT_EQ(window.selectedRecord(), nullptr);
    window.selection = GEDCOMWindowController::Records{};
    EXPECT_EQ(window.selectedRecord(), nullptr);
    EXPECT_EQ(window.keyRecord(), nullptr);
    GEDCOMWindowController plain;
    EXPECT_TRUE(plain.listedRecords(true).empty());
    EXPECT_FALSE(plain.selectedText(true));
    EXPECT_FALSE(plain.selectedTextRange());
    EXPECT_TRUE(plain.editingDetails().empty());
    EXPECT_FALSE(plain.keyRecords());
}

}  // namespace
}  // namespace kl
