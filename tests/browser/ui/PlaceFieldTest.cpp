// The place of an event, typed into its combo box in a record window opened
// by Return in the index window: known names complete and commit, a new name
// makes a place record (asking first in a file of many places), the old
// place record is renamed when only this event cites it or when the user
// chooses "Change", and "Open Place Record" shows the place.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QMessageBox>

#include <filesystem>
#include <memory>

#include "browser/ui/QtModelAlerts.h"
#include "browser/ui/ValueFieldSupport.h"
#include "cells/EditPlaceCell.h"
#include "cells/ui/KLComboBox.h"
#include "cells/ui/KLTextField.h"
#include "document/PlaceIndex.h"
#include "foundation/UndoManager.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMStructure.h"
#include "model/ModelAlerts.h"
#include "model/PlaceRecord.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRadavizu = "Radavizu, Lower Vessmark, Vessland";

class PlaceFields : public AlertingValueFields {
protected:
    // The place box under the level-1 structure of this tag.
    static KLComboBox* placeBox(BrowserController& browser, const std::string& event) {
        std::string under;
        for (const auto& cell : browser.backgroundView().customCells()) {
            if (cell->editLevel() == 1 && cell->holdsDataCell()) under = cell->editTag();
            if (under != event || !dynamic_cast<EditPlaceCell*>(cell.get())) continue;
            if (auto* view = dynamic_cast<QtCellView*>(cell->view())) return qobject_cast<KLComboBox*>(view->widget());
        }
        return nullptr;
    }
    static void typeKeys(KLComboBox* box, const QString& text) {
        QLineEdit* line = box->lineEdit();
        QTest::mouseClick(line, Qt::LeftButton);
        line->setFocus();
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Backspace);
        QTest::keyClicks(line, text);
    }
    static void typePlace(KLComboBox* box, const QString& text) {
        typeKeys(box, text);
        QTest::keyClick(box->lineEdit(), Qt::Key_Tab);
    }
    // Answers the next alert with this button; records its texts.
    void answer(const QString& button) {
        test::whenModal<QMessageBox>([this, button](QMessageBox& box) {
            QStringList titles;
            for (QAbstractButton* shown : box.buttons()) titles << shown->text();
            alerts.push_back({box.text(), box.informativeText(), titles});
            for (QAbstractButton* shown : box.buttons())
                if (shown->text() == button) shown->click();
        });
    }
    std::string placeOf(const std::string& id, const std::string& event) {
        auto line = doc->gedcomModel().recordWithID(id)->findChild(event, false)->findChild("PLAC", false);
        return line ? line->contents() : std::string("(none)");
    }
    PlaceIndex& places() { return doc->gedcomModel().places(); }
    std::string undoName() { return doc->undoManager()->undoActionName(); }

    struct Alert {
        QString message, informative;
        QStringList buttons;
    };
    std::vector<Alert> alerts;
};

TEST_F(PlaceFields, AKnownPlaceCompletesFromTheListAndCommitsWithoutANewRecord) {
    BrowserController* browser = openWithReturn("@I1@");
    ASSERT_NE(browser, nullptr);
    KLComboBox* burial = placeBox(*browser, "BURI");
    ASSERT_NE(burial, nullptr);
    EXPECT_EQ(burial->currentText().toStdString(), kRadavizu);
    burial->showPopup();
    settle();
    QStringList listed;
    for (int row = 0; row < burial->count(); ++row) listed << burial->itemText(row);
    burial->hidePopup();
    QStringList names;
    for (const auto& name : places().order()) names << QString::fromStdString(name);
    EXPECT_EQ(listed, names);
    EXPECT_EQ(listed.size(), 7);

    // Completion matches the letters as typed.
    typeKeys(burial, "zel");
    EXPECT_EQ(burial->lineEdit()->text(), "zel");
    typeKeys(burial, "Kess");
    EXPECT_EQ(burial->lineEdit()->text(), "Kessenbrück, Upper Vessmark, Vessland");
    EXPECT_EQ(burial->lineEdit()->selectedText(), "enbrück, Upper Vessmark, Vessland");
    browser->grab().save(QString::fromStdString((fs::path(KL_BINARY_DIR) / "place-field.png").string()));
    QTest::keyClick(burial->lineEdit(), Qt::Key_Tab);
    settle();
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(placeOf("@I1@", "BURI"), "Kessenbrück, Upper Vessmark, Vessland");
    EXPECT_EQ(undoName(), EditPlaceCell::kUndoName);
    EXPECT_EQ(places().numberOfPlaces(), 7u);
    EXPECT_EQ(placeOf("@I1@", "BIRT"), kRadavizu) << "the other events keep their place";
}

TEST_F(PlaceFields, ANewNameForAnEventWithoutPlaceMakesAPlaceRecordAskingOnlyInALargeFile) {
    struct Case {
        const char* person;
        QString name;
        int placesBefore;
        bool warn;
        std::vector<QString> answers;  // one per alert, in order
    } cases[] = {
        {"@I3@", "Lindmoor Farm", 7, true, {}},                    // few places: no question
        {"@I4@", "Kelby Croft", 25, false, {}},                    // many, the warning off
        {"@I5@", "Ashwick Lea", 26, true, {"Try Again", "Create"}},  // many: asked, tried again, then created
    };
    BrowserController* browser = openWithReturn("@I3@", [this](GEDCOMRecord&) {
        for (const char* id : {"@I3@", "@I4@", "@I5@"}) {
            auto person = doc->gedcomModel().recordWithID(id);
            person->addStructure(std::make_shared<GEDCOMStructure>(person.get(), 1, "RESI", ""), person.get(), nullptr,
                                 false);
        }
    });
    ASSERT_NE(browser, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.person);
        alerts.clear();
        UserDefaults::standard().setObject(Value(c.warn), EditPlaceCell::kWarnKey);
        while (int(places().numberOfPlaces()) < c.placesBefore) doc->gedcomModel().createNewRecordOfType("_PLC");
        selectRecord(*index, c.person);
        QTest::keyClick(index->recordsTable(), Qt::Key_Return);
        ASSERT_TRUE(test::processUntil([&] { return browser->theRecord()->grecordID() == c.person; }));
        settle();
        std::size_t asked = 0;
        do {
            const QString button = asked < c.answers.size() ? c.answers[asked] : QString();
            if (!button.isEmpty()) answer(button);
            KLComboBox* residence = placeBox(*browser, "RESI");
            ASSERT_NE(residence, nullptr);
            typePlace(residence, c.name);
            if (!button.isEmpty()) {
                ASSERT_TRUE(test::processUntil([&] { return alerts.size() == asked + 1; })) << button.toStdString();
            }
            settle();
            // The window is the active one again once the alert has gone.
            browser->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(browser));
            settle();
            if (button == "Try Again") {
                EXPECT_EQ(placeBox(*browser, "RESI")->currentText(), "") << "the field shows the stored place again";
                EXPECT_EQ(placeOf(c.person, "RESI"), "(none)");
                EXPECT_EQ(int(places().numberOfPlaces()), c.placesBefore);
            }
        } while (++asked < c.answers.size());
        EXPECT_EQ(alerts.size(), c.answers.size());
        if (!alerts.empty()) {
            EXPECT_EQ(alerts[0].message, "The name '" + c.name + "' is a new place name for this file.");
            EXPECT_EQ(alerts[0].buttons, (QStringList{"Create", "Try Again"}));
            EXPECT_TRUE(alerts[0].informative.endsWith("\n\n(You can turn off this warning in Preferences)"));
        }
        EXPECT_EQ(placeOf(c.person, "RESI"), c.name.toStdString());
        EXPECT_TRUE(places().placeForName(c.name.toStdString()));
        EXPECT_EQ(int(places().numberOfPlaces()), c.placesBefore + 1);
    }
}

TEST_F(PlaceFields, TheOldPlaceIsRenamedWhenOnlyThisEventCitesItOrWhenTheUserChoosesChange) {
    // Brennow Hall is cited by one residence only: it is renamed silently.
    BrowserController* browser = openWithReturn("@I7@");
    ASSERT_NE(browser, nullptr);
    auto hall = std::dynamic_pointer_cast<PlaceRecord>(
        places().placeForName("Brennow Hall, Radavizu, Lower Vessmark, Vessland"));
    ASSERT_TRUE(hall);
    typePlace(placeBox(*browser, "RESI"), "Brennow Manor");
    settle();
    EXPECT_TRUE(alerts.empty());
    EXPECT_EQ(placeOf("@I7@", "RESI"), "Brennow Manor");
    EXPECT_EQ(hall->placeName(), "Brennow Manor");
    EXPECT_EQ(places().placeForName("Brennow Manor"), hall);
    EXPECT_EQ(places().numberOfPlaces(), 7u);

    // Radavizu is cited by many events: the user is asked, and "Change"
    // takes the others along.
    selectRecord(*index, "@I1@");
    QTest::keyClick(index->recordsTable(), Qt::Key_Return);
    ASSERT_TRUE(test::processUntil([&] { return browser->theRecord()->grecordID() == "@I1@"; }));
    settle();
    auto radavizu = std::dynamic_pointer_cast<PlaceRecord>(places().placeForName(kRadavizu));
    ASSERT_TRUE(radavizu);
    answer("Change");
    typePlace(placeBox(*browser, "BURI"), "Radavizu Mill");
    ASSERT_TRUE(test::processUntil([&] { return alerts.size() == 1; }));
    settle();
    EXPECT_EQ(alerts[0].message,
              "The name change to 'Radavizu Mill' is a new place name for this file. Choose one option:");
    EXPECT_EQ(alerts[0].buttons, (QStringList{"Create", "Try Again", "Change"}));
    EXPECT_TRUE(alerts[0].informative.contains(
        QString("'Change' name for place '%1' to 'Radavizu Mill'").arg(kRadavizu)));
    EXPECT_EQ(radavizu->placeName(), "Radavizu Mill");
    EXPECT_EQ(placeOf("@I1@", "BURI"), "Radavizu Mill");
    EXPECT_EQ(placeOf("@I1@", "BIRT"), "Radavizu Mill");
    EXPECT_EQ(placeOf("@I2@", "DEAT"), "Radavizu Mill") << "another person's event follows";
    EXPECT_FALSE(places().findAnyPlace(kRadavizu));
    EXPECT_EQ(places().numberOfPlaces(), 7u);
}

TEST_F(PlaceFields, OpenPlaceRecordShowsThePlaceOrSaysThereIsNone) {
    BrowserController* browser = openWithReturn("@I1@", [](GEDCOMRecord& person) {
        person.findChild("DEAT", false)->findChild("PLAC", false)->setContents("Nowhere Field");
    });
    ASSERT_NE(browser, nullptr);
    auto pick = [&](const std::string& event) {
        auto* line = qobject_cast<KLTextField*>(placeBox(*browser, event)->lineEdit());
        ASSERT_NE(line, nullptr);
        std::unique_ptr<QMenu> menu(line->makeContextMenu());
        for (QAction* item : menu->actions())
            if (item->text() == "Open Place Record") return item->trigger();
        ADD_FAILURE() << "no Open Place Record";
    };
    std::vector<QString> shown;
    test::whenModal<QMessageBox>([&](QMessageBox& box) {
        shown.push_back(box.informativeText());
        box.accept();
    });
    pick("DEAT");
    ASSERT_TRUE(test::processUntil([&] { return shown.size() == 1; }));
    EXPECT_EQ(shown[0], EditPlaceCell::kNoPlaceRecord);
    settle();
    pick("BURI");
    ASSERT_TRUE(test::processUntil([&] { return browser->theRecord()->isType("_PLC"); }));
    EXPECT_EQ(browser->theRecord()->viewName(), kRadavizu);
}

}  // namespace
}  // namespace kl
