// The record picker: what each closing button hands back, the record it
// starts on, typing in the list, and the question when a typed name does
// not match the chosen record.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <optional>

#include "app/ui/UiTestSupport.h"
#include "document/RecordsListForPanel.h"
#include "index/IndexTestSupport.h"
#include "index/ui/SelectRecordController.h"
#include "model/GEDCOMRecord.h"

namespace kl {
namespace {

using test::processUntil;

class Picker : public ::testing::Test {
protected:
    void SetUp() override {
        f.read(test::people({"Hollis /Venn/", "Ilse /Dorran/", "Ivo /Dorran/"}));
        list = RecordsListForPanel::listWithType("INDI", &f.doc.gedcomModel());
        for (const char* id : {"@I1@", "@I2@", "@I3@"}) list->addRecord(f.record(id));
        window.resize(500, 400);
        window.show();
        picker = new SelectRecordController(&window);
    }
    void start(Dictionary options) {
        answered.reset();
        picker->selectRecordFrom(list, options, &window, [this](const auto& record, const Dictionary& info) {
            answered = Answer{record ? record->grecordID() : "", info};
        });
        ASSERT_TRUE(processUntil([&] { return picker->isVisible(); }));
    }
    std::string text(const char* key) const {
        const Value* value = answered ? answered->info.get(key) : nullptr;
        return value ? value->toString() : "(none)";
    }
    int selectedRow() const {
        const auto rows = picker->table()->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    }

    struct Answer {
        std::string id;
        Dictionary info;
    };
    test::IndexFixture f;
    std::shared_ptr<RecordsListForPanel> list;
    QWidget window;
    SelectRecordController* picker = nullptr;
    std::optional<Answer> answered;
};

TEST_F(Picker, EachButtonAnswersWhatItMeans) {
    Dictionary options{{"newrecord", "New Person"}, {"recordaction", "Use"}, {"assolink", "x"}, {"extra", "kept"}};
    start(options);
    EXPECT_EQ(picker->message()->text(), "Select a record for viewing");
    EXPECT_TRUE(picker->reverseLink()->isVisible());
    EXPECT_FALSE(picker->helpButton()->isVisible());
    picker->reject();
    EXPECT_FALSE(answered) << "Cancel calls nobody";

    start(options);
    QTest::keyClicks(picker->table(), "iv");
    EXPECT_EQ(picker->findField()->text(), "iv");
    picker->newRecordButton()->click();
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->id, "");
    EXPECT_EQ(text("RecordType"), "INDI");
    EXPECT_EQ(text("FindText"), "iv");
    EXPECT_EQ(text("extra"), "kept");

    start(options);
    picker->reverseLink()->setChecked(true);
    picker->table()->selectRow(1);
    picker->recordActionButton()->click();
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->id, "@I2@");
    EXPECT_EQ(text("RecordActionClick"), "YES");
    EXPECT_EQ(text("assolink"), "YES");
    EXPECT_EQ(text("FindText"), "(none)");

    start(options);
    picker->chooseButton()->click();
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->id, "@I1@");
    EXPECT_EQ(text("assolink"), "NO");
    EXPECT_EQ(text("RecordActionClick"), "(none)");
}

TEST_F(Picker, StartsOnTheLastAttachedRecordOrTheFirst) {
    struct Case {
        const char* name;
        std::optional<Value> lastAttached;
        int row;
    };
    const Case cases[] = {{"nothing attached yet", Value(""), 0},
                          {"the third record", Value(std::static_pointer_cast<Object>(f.record("@I3@"))), 2},
                          {"no option", std::nullopt, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dictionary options;
        if (c.lastAttached) options.set("lastAttached", *c.lastAttached);
        start(options);
        EXPECT_EQ(selectedRow(), c.row);
        picker->reject();
    }
}

TEST_F(Picker, TypingInTheListFindsAndReturnChooses) {
    start(Dictionary{});
    // A Tab only moves to the find field.
    picker->table()->setFocus();
    QTest::keyClick(picker->table(), Qt::Key_Tab);
    EXPECT_EQ(picker->focusWidget(), picker->findField());
    EXPECT_EQ(picker->findField()->text(), "");
    picker->table()->setFocus();
    // Names show surname first.
    QTest::keyClicks(picker->table(), "dorran, iv");
    ASSERT_EQ(selectedRow(), 2);
    QTest::keyClick(picker->findField(), Qt::Key_Return);
    ASSERT_TRUE(answered);
    EXPECT_EQ(answered->id, "@I3@");

    start(Dictionary{{"typeSelect", "Dorran, Il"}});
    EXPECT_EQ(selectedRow(), 1);
    picker->reject();
}

TEST_F(Picker, ATypedNameThatIsNotTheChoiceIsQuestioned) {
    for (const auto& [button, chooses] : {std::pair{QMessageBox::Cancel, false}, std::pair{QMessageBox::Ok, true}}) {
        start(Dictionary{});
        QTest::keyClicks(picker->table(), "zed");
        picker->table()->selectRow(0);
        std::string question;
        test::whenModal<QMessageBox>([&, button = button](QMessageBox& box) {
            question = box.text().toStdString();
            for (QAbstractButton* b : box.buttons())
                if (box.standardButton(b) == button || b->text() == (button == QMessageBox::Ok ? "OK" : "Cancel")) {
                    b->click();
                    return;
                }
        });
        picker->chooseButton()->click();
        EXPECT_NE(question.find("also typed 'zed'"), std::string::npos) << question;
        EXPECT_EQ(answered.has_value(), chooses);
        EXPECT_EQ(picker->isVisible(), !chooses);
        if (picker->isVisible()) picker->reject();
    }
}

}  // namespace
}  // namespace kl
