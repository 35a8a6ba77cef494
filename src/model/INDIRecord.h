#pragma once
// INDIRecord: an individual (`INDI`): names, sex, events and the family links
// kept both ways with families. Everything it knows lives in its structures;
// the family side of spouse links is FAMRecord's.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dates/Calendars.h"
#include "model/GEDCOMRecord.h"

namespace kl {

class FAMRecord;

class INDIRecord : public GEDCOMRecord {
public:
    // The error number a refused script change reports.
    static constexpr int kScriptErrorNumber = -1708;

    explicit INDIRecord(std::string recordID, std::string type = "INDI")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}

    // The link tags, in the fixed order the link operations read them by.
    static const std::vector<std::string>& linkTags();

    // ---- names
    std::string viewName() const override;
    std::string altViewName() const override;
    std::optional<std::vector<std::string>> viewTags() const override;
    void setViewName(const std::string& name) override;
    void insertNewUserText(const std::string& text) override;
    std::string surname() const;
    std::string surnameSoundex() const;
    std::string firstname() const;
    std::string middlename() const;

    // ---- name variants (INDIRecord+Translations.cpp). Inside the database a
    // name's variants are TRAN lines with LANG and _TLIT; other programs
    // write FONE or ROMN with a TYPE, and standard exports write them back.
    // The LANG and _TLIT of a FONE (phonetic) or ROMN variant's TYPE.
    static std::array<std::string, 2> convertFONE(bool phonetic, const std::string& type);
    // The TYPE text for a TRAN's LANG and _TLIT; `phonetic` tells FONE.
    static std::string convertTRAN(bool& phonetic, const std::string& lang, const std::string& tlit);
    void appendGEDCOMRecordExport(std::string& out, bool allowCache) const override;

    // ---- new record, links
    std::string textForNewRecord(bool male) override;
    bool canLinkTo(std::string_view type) const override;
    bool isConnected() override;

    // ---- sex
    // "M", "F", "U" or whatever letter the record holds, upper-cased.
    std::string sex() const;
    char16_t sexChar() const;
    // The script setter: nullopt when done (or deferred until the record is
    // in a store), else the message to report with kScriptErrorNumber.
    std::optional<std::string> setSex(const std::string& value);
    // The interactive change: no value swaps M and F and leaves the spouse
    // families; a value sets an unknown sex without touching families.
    void changeSex(const std::optional<std::string>& value);

    // ---- drops
    DropAnswer dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    DropAnswer dropINDICtrlRecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    DropAnswer dropFAMRecord(const std::shared_ptr<GEDCOMRecord>& dropped);

    // ---- link upkeep
    void removeAllLinks() override;
    void changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) override;

    // ---- events, dates and search texts (INDIRecord+Events.cpp)
    // Read from the first BIRT / DEAT and their first DATE, PLAC and ADDR;
    // nothing is cached. A missing event or line reads as "".
    std::string birthDate() const;
    std::string deathDate() const;
    std::string birthPlace() const;
    std::string deathPlace() const;
    // Undoable; a missing event or line is added at the end, an equal value
    // changes nothing.
    void setBirthDate(const std::string& date);
    void setDeathDate(const std::string& date);
    void setBirthPlace(const std::string& place);
    void setDeathPlace(const std::string& place);
    // "place at address lines"; "" when the event is missing.
    std::string birthPlaceWithAddress() const;
    std::string deathPlaceWithAddress() const;
    std::string birthDateUser() const;
    std::string deathDateUser() const;
    // The death date; `fallback` when DEAT has no date; "" without DEAT.
    std::string deathDateUnknown(const std::string& fallback) const;
    // Earliest / latest day numbers; 0 for a missing or invalid date.
    SDN birthSDN() const;
    SDN birthSDNMax() const;
    SDN deathSDN() const;
    SDN deathSDNMax() const;
    // Whole years from birth to today; -1 without a valid birth date.
    std::int64_t ageInYears() const;
    // "1820-1890", "1820-", "-1890", "1820-?" or "": baptism or christening
    // stand in for birth, burial or cremation for death, and a birth 111 or
    // more years ago without a death-type event reads as presumed dead.
    std::string lifeSpan() const;
    std::string ipnName() const override;
    std::optional<std::array<std::string, 2>> nameForEventToDetach(const GEDCOMStructure& structure) const override;
    std::string googleWords() const override;
    // [first name, surname, place, year] for the genealogy search.
    std::optional<Value> familySearchTerms() const override;
    std::array<std::string, 4> searchTerms() const;

    // ---- relatives (INDIRecord+Relatives.cpp); links to missing records are
    // skipped, families and children stay in record order.
    void setUpLinkLists(RecordLinkLists& lists) override;
    void readSpouses(std::vector<std::string>* spouses, std::vector<std::string>* families,
                     std::vector<std::string>* children, const FAMRecord* skip) const;
    void readFather(std::vector<std::string>* fathers, std::vector<std::string>* mothers,
                    std::vector<std::string>* families, std::vector<std::string>* siblings) const;
    // The birth family (first FAMC) and its parents.
    std::shared_ptr<FAMRecord> parentsFAM() const;
    // Husband then wife of the birth family, those that exist; nullopt when
    // there is neither.
    std::optional<std::vector<std::shared_ptr<INDIRecord>>> parents() const;
    std::vector<std::shared_ptr<INDIRecord>> parentRecs() const;
    std::shared_ptr<INDIRecord> fatherRecord() const;
    std::shared_ptr<INDIRecord> motherRecord() const;
    // Script forms: the record, or "" when there is none.
    Value fatherRec() const;
    Value motherRec() const;
    // Spouse families except `leaveOut`; nullopt when none would remain.
    std::optional<std::vector<std::shared_ptr<FAMRecord>>> spouses(const FAMRecord* leaveOut) const;
    std::vector<std::shared_ptr<FAMRecord>> spouseFamsRecs() const;
    std::vector<std::shared_ptr<INDIRecord>> spouseRecs() const;
    std::vector<std::shared_ptr<INDIRecord>> childrenRecs() const;
    // The index-th FAMS (from 1; below 2 is the first). When its family
    // exists, spouseID receives the other spouse's ID and the FAMS is the
    // answer if that ID is not empty; otherwise nullptr, spouseID untouched.
    std::shared_ptr<GEDCOMStructure> spouseLink(std::string& spouseID, std::size_t index) const;
    std::shared_ptr<GEDCOMRecord> spouse(std::shared_ptr<GEDCOMStructure>* link, std::size_t atIndex) override;
    // The counts of allParentsStartStep: own parent families, then the
    // length of the father's other families that follow them.
    struct ParentSteps {
        std::size_t own = 0;
        std::size_t father = 0;
    };
    // Own parent families, then the fathers' other families, then the
    // mothers'; duplicates kept.
    std::vector<std::shared_ptr<FAMRecord>> allParentsStartStep(ParentSteps* steps) const;
    std::vector<std::shared_ptr<FAMRecord>> allParents() const { return allParentsStartStep(nullptr); }
    std::vector<std::shared_ptr<INDIRecord>> allParentsWithSex(char16_t sex) const;

    // ---- report description (INDIRecord+Report.cpp): a short biography as
    // prose, or under ReportList / ReportTable (ReportOptions.h) an array of
    // lines / table cells.
    Value reportDescription(std::uint32_t options) const override;

    // ---- merging (INDIRecord+Merging.cpp)
    bool canMergeWith(const GEDCOMRecord& other) override;
    // Removes the family, association and alias links and the birth-like
    // events a merge doubled.
    bool removeDuplicateLinksAfterMerge() override;
    std::string mergeRequirement() const override;

protected:
    const DropTable& dropTable() const override;
    // Also turns FONE and ROMN name variants into TRAN and _LANG into LANG.
    void tidyOwnLines() override;

private:
    std::optional<std::string> primaryName() const;
    void addSexAfterNames(const std::string& value);
    bool leaveSpouseFamilies();
    DropAnswer dropLink(const std::shared_ptr<GEDCOMRecord>& dropped, const std::string& tag,
                        const char* existing, const char* self);
};

}  // namespace kl
