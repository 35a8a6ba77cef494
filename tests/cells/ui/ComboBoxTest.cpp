// The place field's combo box takes a drop of exactly one place record of
// its own document, and nothing else.
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

#include "cells/EditValueCell.h"
#include "cells/OnePane.h"
#include "cells/ui/KLComboBox.h"
#include "document/RecordIdsDrag.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

// The cell reads what the combo box shows.
class ComboView : public CellView {
public:
    explicit ComboView(KLComboBox*& box) : box_(box) {}
    void setFrame(const CellRect&) override {}
    void refresh(const CustomCell& cell) override {
        if (box_) box_->setEditText(QString::fromStdString(cell.text()));
    }
    double textWidth(const std::string& text) const override { return double(text.size()) * 6; }
    double textHeight() const override { return 15; }
    std::string text() const override { return box_ ? box_->currentText().toStdString() : std::string(); }

private:
    KLComboBox*& box_;
};

TEST(PlaceComboBox, TakesOnePlaceRecordOfItsOwnDocumentOnly) {
    UndoManager undo;
    auto person = std::make_shared<GEDCOMRecord>("@I1@", "INDI");
    person->setUndoManager(&undo);
    auto place = person->addLevel(1, "RESI", "")->addLevel(2, "PLAC", "Radavizu");
    auto harbour = std::make_shared<GEDCOMRecord>("@P1@", "_PLC");
    harbour->addLevel(1, "NAME", "Port Haldane");
    test::OnePane pane(person);
    auto cell = std::make_shared<EditValueCell>(CellSeed{"editvalue", place, "PLAC", 2, "Radavizu", {}, nullptr, "INDI"});
    cell->setPane(&pane);
    KLComboBox* box = nullptr;
    cell->setView(std::make_unique<ComboView>(box));
    KLComboBox combo(cell.get());
    box = &combo;
    combo.setRecordLookup([&](const std::string& key, const std::string& id) -> std::shared_ptr<GEDCOMRecord> {
        if (key != "this") return nullptr;
        if (id == "@P1@") return harbour;
        return id == "@I1@" ? person : nullptr;
    });

    struct Case {
        const char* key;
        std::vector<std::string> ids;
        bool taken;
    } cases[] = {
        {"this", {"@P1@", "@P1@"}, false},
        {"other", {"@P1@"}, false},
        {"this", {"@I1@"}, false},
        {"this", {"@P1@"}, true},
    };
    for (const Case& c : cases) {
        QMimeData data;
        data.setData(kRecordIdsMimeType, QByteArray::fromStdString(encodeRecordIdsDrag({c.key, c.ids})));
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&combo, &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken) << c.key << " " << c.ids.size();
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&combo, &drop);
        EXPECT_EQ(place->contents(), c.taken ? harbour->viewName() : "Radavizu") << c.key << " " << c.ids.size();
    }
    EXPECT_TRUE(undo.canUndo()) << "the drop is one undoable change";

    // Text with a line break is not a drop for it either.
    QMimeData text;
    text.setText("two\nlines");
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&combo, &enter);
    EXPECT_FALSE(enter.isAccepted());
}

}  // namespace
}  // namespace kl
