#pragma once
// DescendantItem: a node of a descendants tree, standing for a person or for
// one of a person's families (spouseRecord()). The root's next level holds
// its families; a family's next level holds each child directly followed by
// the child's own families (whose parent node is the family, not the child).
// Other individual nodes have no next level.
//
// Ownership and thread: as TreeItem.
#include "charts/TreeItem.h"

namespace kl {

class DescendantItem : public TreeItem {
public:
    // Without a parent the node is a root and builds its families at once.
    DescendantItem(std::shared_ptr<GEDCOMRecord> record, TreeItem* parentCell, RelativesTree* controller);

    int removeRecord(const GEDCOMRecord* record) override;
    void removeChildrenFromMembers(TreeMembers& members, TreeMembers& famMembers) override;
    Level* nextLevel() override;
    // A family node: the spouse who is not the tree person, or the family
    // itself when that spouse is missing.
    std::shared_ptr<GEDCOMRecord> individual() const override;
    char16_t individualSex() const override;
    bool spouseRecord() const override { return spouseRecord_; }
    std::shared_ptr<GEDCOMRecord> itemRecord() const override { return theRecord_; }
    bool isUnmarried() const override;

    const std::shared_ptr<GEDCOMRecord>& theRecord() const { return theRecord_; }
    FAMRecord* family() const;
    // A family node: the spouse who is not the tree person; nullptr when
    // the family has none.
    std::shared_ptr<INDIRecord> otherSpouse() const;
    // A family node: the person whose family it is.
    std::shared_ptr<INDIRecord> treeSpouseThisFamily() const;

    // ---- edits made by the live updates; each true when the tree changed
    bool removeFamilyRecord(const FAMRecord& family);
    bool insertFamily(const std::shared_ptr<FAMRecord>& family);
    bool insertChild(const std::shared_ptr<INDIRecord>& child, const std::shared_ptr<FAMRecord>& inFam);

private:
    std::unique_ptr<DescendantItem> familyNode(const std::shared_ptr<FAMRecord>& family, TreeItem* parent,
                                               const std::shared_ptr<INDIRecord>& treePerson);
    bool isRoot() const { return parentCell_ == nullptr; }

    std::shared_ptr<GEDCOMRecord> theRecord_;
    bool spouseRecord_ = false;
};

}  // namespace kl
