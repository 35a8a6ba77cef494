#pragma once
// AncestorItem: a person of an ancestors tree; its next level holds the
// person's parents (of the first FAMC family), father first.
//
// Ownership and thread: as TreeItem.
#include "charts/TreeItem.h"

namespace kl {

class AncestorItem : public TreeItem {
public:
    AncestorItem(std::shared_ptr<INDIRecord> record, TreeItem* parentCell, RelativesTree* controller);

    int removeRecord(const GEDCOMRecord* record) override;
    Level* nextLevel() override;
    std::shared_ptr<GEDCOMRecord> individual() const override;
    char16_t individualSex() const override;
    bool isAncestor() const override { return true; }
    std::shared_ptr<GEDCOMRecord> itemRecord() const override;

    const std::shared_ptr<INDIRecord>& person() const { return individual_; }
    // A parent gained by a FAMC family: "HUSB" goes first, "WIFE" last. A
    // level not built yet is left to be built anew. Always true.
    bool insertParent(const std::shared_ptr<INDIRecord>& parent, const std::string& spouse);

private:
    std::shared_ptr<INDIRecord> individual_;
};

}  // namespace kl
