// The dialogs scripts put up: alert buttons and answers, text input,
// list choice, the save panel's proposal, and the answer handed to the
// interpreter.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "app/ui/UiTestSupport.h"
#include "model/ISScripting.h"
#include "scripting/ui/ScriptDialogs.h"
#include "scripting/ui/UserInputPanel.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class Target : public ISInterpreter {
public:
    std::shared_ptr<Object> scriptObject(const std::string&) override { return nullptr; }
    void setReturnValue(Value value) override { received = std::move(value); }
    Value returnValue() override { return received; }
    Value received;
};

Array texts(std::initializer_list<const char*> list) {
    Array array;
    for (const char* text : list) array.emplace_back(text);
    return array;
}

QStringList buttonTexts(QMessageBox& box) {
    QStringList titles;
    for (QAbstractButton* button : box.buttons()) titles << button->text();
    return titles;
}

TEST(ScriptAlert, WithoutButtonsOneOKAndTheDefaultMessage) {
    QStringList shown;
    QString message;
    test::whenModal<QMessageBox>([&](QMessageBox& box) {
        shown = buttonTexts(box);
        message = box.text();
        box.buttons().front()->click();
    });
    Target target;
    EXPECT_EQ(ScriptDialogs::doUserOptionCommand(Dictionary{}, &target), "OK");
    EXPECT_EQ(shown, QStringList{"OK"});
    EXPECT_EQ(message, "Click a button to choose an option.");
    EXPECT_EQ(target.received.toString(), "OK");
}

TEST(ScriptAlert, TheThirdButtonAnswersItsTitleAndClosingAnswersNothing) {
    Dictionary arguments;
    arguments.set("buttons", Value(texts({"One", "Two", "Three"})));
    test::whenModal<QMessageBox>([](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == "Three") button->click();
    });
    EXPECT_EQ(ScriptDialogs::doUserOptionCommand(arguments), "Three");
    test::whenModal<QMessageBox>([](QMessageBox& box) { box.done(-1); });
    EXPECT_EQ(ScriptDialogs::doUserOptionCommand(arguments), "");
}

TEST(ScriptInput, ReturnAnswersOKWithTheText) {
    Dictionary arguments;
    arguments.set("initialText", Value("start"));
    test::whenModal<UserInputPanel>([](UserInputPanel& panel) {
        panel.field()->setText("typed words");
        QTest::keyClick(panel.field(), Qt::Key_Return);
    });
    Target target;
    const Array answer = ScriptDialogs::doUserInputCommand(arguments, &target);
    EXPECT_EQ(Value(answer), Value(texts({"OK", "typed words"})));
    EXPECT_EQ(target.received, Value(answer));
}

TEST(ScriptInput, CancelAnswersItsTitle) {
    test::whenModal<UserInputPanel>([](UserInputPanel& panel) { panel.button(1)->click(); });
    const Array answer = ScriptDialogs::doUserInputCommand(Dictionary{});
    EXPECT_EQ(answer.front().toString(), "Cancel");
}

// A wider title grows its button to the left; the others keep their size.
TEST(ScriptInput, ButtonsGrowToTheLeftAndNeverShrink) {
    ScriptDialogArguments::Input question{"", "Prompt", "", {"OK", "A much longer button title", "No"}};
    UserInputPanel panel(question);
    panel.show();
    QPushButton* ok = panel.button(0);
    QPushButton* wide = panel.button(1);
    QPushButton* alternate = panel.button(2);
    EXPECT_EQ(ok->width(), UserInputPanel::smallestButtonWidth);
    EXPECT_EQ(alternate->width(), UserInputPanel::smallestButtonWidth);
    EXPECT_GT(wide->width(), UserInputPanel::smallestButtonWidth);
    // Right to left: OK, then the second, then the third.
    EXPECT_LT(wide->geometry().right(), ok->geometry().left());
    EXPECT_LT(alternate->geometry().right(), wide->geometry().left());
    panel.grab().save(QString::fromStdString((fs::path(KL_BINARY_DIR) / "script-input.png").string()));
}

struct ChoiceCase {
    const char* name;
    bool multiple;
    std::vector<int> selectedRows;  // 0-based, as shown at the start
    const char* items;
    const char* numbers;
};

class ScriptChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ScriptChoice, MarkedItemsArePreselectedAndAnswered) {
    Dictionary arguments;
    arguments.set("listItems", Value(texts({";a", "b", ";c"})));
    arguments.set("multiple", Value(GetParam().multiple));
    std::vector<int> selected;
    test::whenModal<UserListPanel>([&](UserListPanel& panel) {
        for (int row = 0; row < panel.list()->count(); ++row)
            if (panel.list()->item(row)->isSelected()) selected.push_back(row);
        panel.button(0)->click();
    });
    const Array answer = ScriptDialogs::userChoiceCommand(arguments);
    EXPECT_EQ(selected, GetParam().selectedRows);
    ASSERT_EQ(answer.size(), 3u);
    EXPECT_EQ(answer[0].toString(), "OK");
    std::string items, numbers;
    for (const Value& item : *answer[1].array()) items += item.toString();
    for (const Value& number : *answer[2].array()) numbers += number.toString();
    EXPECT_EQ(items, GetParam().items);
    EXPECT_EQ(numbers, GetParam().numbers);
}

INSTANTIATE_TEST_SUITE_P(Selection, ScriptChoice,
                         ::testing::Values(ChoiceCase{"Single", false, {0}, "a", "1"},
                                           ChoiceCase{"Multiple", true, {0, 2}, "ac", "13"}));

TEST(ScriptChoiceRows, ShowsAtMostTenRowsAndDoubleClickAnswers) {
    ScriptDialogArguments::List many;
    std::vector<std::string> items;
    for (int n = 1; n <= 25; ++n) items.push_back("Item " + std::to_string(n));
    items[19] = ";" + items[19];
    many.buttons = {"OK", "Cancel"};
    ScriptDialogArguments::setListItems(many, items);
    UserListPanel panel(many);
    EXPECT_EQ(panel.rowsShown(), 10);
    EXPECT_EQ(panel.list()->count(), 25);

    ScriptDialogArguments::List few = many;
    ScriptDialogArguments::setListItems(few, {"x", "y", "z"});
    EXPECT_EQ(UserListPanel(few).rowsShown(), 3);

    Dictionary arguments;
    arguments.set("listItems", Value(texts({"p", "q"})));
    test::whenModal<UserListPanel>([](UserListPanel& shown) {
        emit shown.list()->itemDoubleClicked(shown.list()->item(1));
    });
    const Array answer = ScriptDialogs::userChoiceCommand(arguments);
    EXPECT_EQ(answer[0].toString(), "OK");
}

TEST(ScriptSavePanel, ProposesAMissingFilesNameInItsParent) {
    const fs::path folder = fs::temp_directory_path() / "kl-save-panel";
    fs::create_directories(folder);
    Dictionary arguments;
    arguments.set("start", Value((folder / "Report.txt").string()));
    QString directory, proposed;
    test::whenModal<QFileDialog>([&](QFileDialog& dialog) {
        directory = dialog.directory().absolutePath();
        proposed = dialog.selectedFiles().value(0);
        dialog.reject();
    });
    Target target;
    EXPECT_EQ(ScriptDialogs::argsUserSaveFile(arguments, &target), "");
    EXPECT_EQ(directory.toStdString(), folder.string());
    EXPECT_EQ(proposed.toStdString(), (folder / "Report.txt").string());
    EXPECT_EQ(target.received.toString(), "");
    fs::remove_all(folder);
}

TEST(ScriptOpenPanel, MultiplePresentHandsTheTargetAList) {
    const fs::path folder = fs::temp_directory_path() / "kl-open-panel";
    fs::create_directories(folder);
    std::ofstream(folder / "a.ged") << "0 HEAD\n";
    Dictionary arguments;
    arguments.set("ForFile", Value("files"));
    arguments.set("multiple", Value(false));
    arguments.set("start", Value(folder.string()));
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    test::whenModal<QFileDialog>([&](QFileDialog& dialog) {
        mode = dialog.fileMode();
        dialog.selectFile(QString::fromStdString((folder / "a.ged").string()));
        QMetaObject::invokeMethod(&dialog, "accept");
    });
    Target target;
    EXPECT_EQ(ScriptDialogs::argsOpenFile(arguments, &target), (folder / "a.ged").string());
    EXPECT_EQ(mode, QFileDialog::ExistingFiles);
    ASSERT_TRUE(target.received.isArray());
    EXPECT_EQ(target.received.array()->size(), 1u);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace kl
