#pragma once
// FAMRecord: a family (`FAM`): spouses, children and family events, linked
// both ways with its individuals: every HUSB/WIFE here has a FAMS in the
// individual, every CHIL a FAMC in the child, and the operations below keep
// it so.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class INDIRecord;

class FAMRecord : public GEDCOMRecord {
public:
    // Pedigree codes of attachChild: 0 birth (no PEDI), then these.
    enum Pedigree : int { PedigreeBirth = 0, PedigreeAdopted = 1, PedigreeFoster = 2, PedigreeSealing = 3 };

    explicit FAMRecord(std::string recordID, std::string type = "FAM")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}

    // Link tag here, reciprocal tag in the target, target type.
    struct LinkTriple {
        const char* tag;
        const char* reciprocal;
        const char* targetType;
    };
    static const std::vector<LinkTriple>& linkTriples();

    // ---- queries
    std::shared_ptr<GEDCOMStructure> husband() const;
    std::shared_ptr<GEDCOMStructure> wife() const;
    std::string husbandID() const;
    std::string wifeID() const;
    std::shared_ptr<INDIRecord> husbandRecord() const;
    std::shared_ptr<INDIRecord> wifeRecord() const;
    std::string spouseIDFor(const std::string& recordID) const;
    std::shared_ptr<INDIRecord> spouseRecordFor(const std::string& recordID) const;
    // Resolved children in CHIL order; IDs that do not resolve are skipped.
    std::vector<std::shared_ptr<INDIRecord>> children() const;
    bool isUnmarried() const;
    bool canLinkTo(std::string_view type) const override;
    bool isConnected() override;

    // ---- changes (undoable; every changed record is stamped)
    void attachSpouse(const std::shared_ptr<INDIRecord>& individual, const std::string& tag);
    void detachSpouse(const std::string& tag);
    void detachSpouseByID(const std::string& recordID);
    void attachChild(const std::shared_ptr<INDIRecord>& child, int pedigree);
    void detachChild(const std::shared_ptr<INDIRecord>& child);
    void toggleMaritalStatus();

    // ---- link upkeep
    void removeAllLinks() override;
    void changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) override;

private:
    std::shared_ptr<INDIRecord> resolve(const std::string& recordID) const;
    std::shared_ptr<GEDCOMStructure> line(int level, std::string tag, std::string contents);
};

}  // namespace kl
