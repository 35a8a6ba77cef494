#pragma once
// FAMRecord: a family (`FAM`): spouses, children and family events, linked
// both ways with its individuals: every HUSB/WIFE here has a FAMS in the
// individual, every CHIL a FAMC in the child, and the operations below keep
// it so.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dates/Calendars.h"
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

    // ---- marriage, names and search texts (FAMRecord+Events.cpp)
    // Read from the first MARR; "" or 0 when it or its line is missing.
    std::string marriageDate() const;
    std::string marriageDateUser() const;
    std::string marriagePlace() const;
    std::string marriagePlaceWithAddress() const;
    SDN marriageSDN() const;
    SDN marriageSDNMax() const;
    // Whole years since the marriage; -1 without a valid marriage date.
    std::int64_t anniversaryInYears() const;
    // Undoable; a missing MARR or line is added at the end.
    void setMarriageDate(const std::string& date);
    void setMarriagePlace(const std::string& place);
    // "Mother"/"Father" and "Wife"/"Husband" for a spouse slot, by the sex
    // of the spouse in it, else by the slot.
    std::string unmarriedName(const std::string& tag) const;
    std::string marriedName(const std::string& tag) const;
    std::string viewName() const override;
    std::string altViewName() const override;
    std::string ipnName() const override;
    std::string ipnSearch() const override;
    std::string googleWords() const override;
    std::optional<Value> familySearchTerms() const override;
    std::optional<std::vector<std::string>> viewTags() const override;
    std::optional<std::array<std::string, 2>> nameForEventToDetach(const GEDCOMStructure& structure) const override;

    // ---- children and the browser's lists (FAMRecord+Relatives.cpp)
    void childrenToArray(std::vector<std::shared_ptr<INDIRecord>>& list) const;
    // Each child followed by the families it is a spouse in; nullopt when
    // empty. Holds records of both kinds.
    std::optional<std::vector<std::shared_ptr<GEDCOMRecord>>> childrenAndSpouses() const;
    // Script forms: the spouse record, or "" when there is none.
    Value husbandRec() const;
    Value wifeRec() const;
    void setUpLinkLists(RecordLinkLists& lists) override;
    void readParent(std::vector<std::string>& list, std::vector<std::string>* families, const std::string& tag) const;
    void readChildren(std::vector<std::string>& list, std::vector<std::string>* families,
                      const GEDCOMRecord* ignore) const;
    void readHusband(std::vector<std::string>& husbands, std::vector<std::string>& wives,
                     std::vector<std::string>& children, std::vector<std::string>* families) const;
    // A male INDIRecord becomes the husband, one of another sex changes
    // nothing, anything else (nullptr included) detaches the husband.
    void setHusbandRecord(const std::shared_ptr<GEDCOMRecord>& record);

    // ---- checking and dropping children (FAMRecord+Children.cpp)
    // nullopt when the candidate fits, else the message; `fatal` tells a
    // refusal from a warning the user may overrule.
    std::optional<std::string> verifyChild(const std::shared_ptr<INDIRecord>& candidate, bool& fatal) const;
    DropAnswer dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    DropAnswer dropINDICtrlRecord(const std::shared_ptr<GEDCOMRecord>& dropped);

    // ---- report description (FAMRecord+Report.cpp): the family as prose,
    // or under ReportList (ReportOptions.h) an array of lines; the table bit
    // alone still gives prose.
    Value reportDescription(std::uint32_t options) const override;

    // ---- merging (FAMRecord+Merging.cpp)
    bool canMergeWith(const GEDCOMRecord& other) override;
    // Removes the spouse and child links a merge doubled.
    bool removeDuplicateLinksAfterMerge() override;
    std::string mergeRequirement() const override;

protected:
    const DropTable& dropTable() const override;

private:
    std::shared_ptr<INDIRecord> resolve(const std::string& recordID) const;
    std::shared_ptr<GEDCOMStructure> line(int level, std::string tag, std::string contents);
};

}  // namespace kl
