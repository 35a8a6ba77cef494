#pragma once
// A small family read into a document, and a tree over it whose window is a
// recorder. The family:
//   Arno (I1, M) and Bea (I2, F) in F1: children Cal (I3), Dora (I4), Emil (I7)
//   Arno alone in F2: children Fenn (I5), Emil
//   Cal (I3) and Gia (I6) in F3: children Emil, Fenn
//   Dora's first FAMC is F9, a family with neither spouse.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "charts/DescendantItem.h"
#include "charts/RelativesTree.h"
#include "document/GEDCOMDocument.h"
#include "document/GEDCOMModel.h"
#include "document/IndexStyle.h"
#include "foundation/InlineDispatcher.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl::test {

inline const char* kFamily =
    "0 @I1@ INDI\n1 NAME Arno /Velk/\n1 SEX M\n1 FAMS @F1@\n1 FAMS @F2@\n"
    "0 @I2@ INDI\n1 NAME Bea /Orm/\n1 SEX F\n1 FAMS @F1@\n"
    "0 @I3@ INDI\n1 NAME Cal /Velk/\n1 SEX M\n1 FAMC @F1@\n1 FAMS @F3@\n"
    "0 @I4@ INDI\n1 NAME Dora /Velk/\n1 SEX F\n1 FAMC @F9@\n1 FAMC @F1@\n"
    "0 @I5@ INDI\n1 NAME Fenn /Velk/\n1 SEX M\n1 FAMC @F2@\n1 FAMC @F3@\n"
    "0 @I6@ INDI\n1 NAME Gia /Tarn/\n1 SEX F\n1 FAMS @F3@\n"
    "0 @I7@ INDI\n1 NAME Emil /Velk/\n1 SEX M\n1 FAMC @F1@\n1 FAMC @F2@\n1 FAMC @F3@\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n1 CHIL @I4@\n1 CHIL @I7@\n"
    "0 @F2@ FAM\n1 HUSB @I1@\n1 CHIL @I5@\n1 CHIL @I7@\n"
    "0 @F3@ FAM\n1 HUSB @I3@\n1 WIFE @I6@\n1 CHIL @I7@\n1 CHIL @I5@\n"
    "0 @F9@ FAM\n1 CHIL @I4@\n";

struct RecordingRelativesView : RelativesView {
    void reloadOutline() override { ++reloads; }
    void reloadRowsOf(const GEDCOMRecord& record) override { refreshed.push_back(record.grecordID()); }
    void collapseIfNotExpandable(TreeItem&) override { ++collapsed; }
    void closeWindow() override { ++closes; }
    int reloads = 0, collapsed = 0, closes = 0;
    std::vector<std::string> refreshed;
};

struct TreeFixture {
    InlineDispatcher dispatcher;
    Dispatcher::Scope scope{dispatcher};
    GEDCOMDocument doc;
    RecordingRelativesView view;
    std::unique_ptr<RelativesTree> tree;

    explicit TreeFixture(const std::string& records = kFamily) {
        doc.undo().disableUndoRegistration();
        doc.gedcomModel().setInputGed("0 HEAD\n1 CHAR UTF-8\n" + records + "0 TRLR\n");
        doc.gedcomModel().setRecordsFromStringVerifyIDs(true, false);
        doc.undo().enableUndoRegistration();
        TreeItem::setMaxGenerations(100);
    }
    ~TreeFixture() { tree.reset(); }

    std::shared_ptr<INDIRecord> person(const std::string& id) {
        return std::dynamic_pointer_cast<INDIRecord>(doc.gedcomModel().recordWithID(id));
    }
    std::shared_ptr<FAMRecord> family(const std::string& id) {
        return std::dynamic_pointer_cast<FAMRecord>(doc.gedcomModel().recordWithID(id));
    }
    RelativesTree& open(RelativesTree::Kind kind, const std::string& rootID,
                        std::shared_ptr<IndexStyle> style = nullptr) {
        if (!style) style = IndexStyle::defaultStyleForType(kind == RelativesTree::Kind::Ancestors ? "Ancest" : "Descend");
        tree = std::make_unique<RelativesTree>(kind, doc.gedcomModel(), style, &view);
        tree->setRootItemRecord(person(rootID));
        tree->observeEdits();
        return *tree;
    }
    // Every row of the fully built tree.
    std::vector<OutlineRow> allRows() {
        return tree->rowsWhere([](TreeItem&) { return true; });
    }
    std::vector<std::string> texts(const std::vector<OutlineRow>& rows) {
        std::vector<std::string> out;
        for (const auto& row : rows) out.push_back(std::string(row.level * 2, ' ') + *tree->stringForItem(*row.item, 0));
        return out;
    }
};

// The number of people above a person (through birth families), down to
// `depth` generations, counted as often as they are reached.
inline int ancestorsOf(const INDIRecord& person, int depth) {
    if (depth == 0) return 0;
    int count = 0;
    if (auto family = person.parentsFAM())
        for (const auto& parent : {family->husbandRecord(), family->wifeRecord()})
            if (parent) count += 1 + ancestorsOf(*parent, depth - 1);
    return count;
}

}  // namespace kl::test
