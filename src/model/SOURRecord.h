#pragma once
// SOURRecord: a source (`SOUR`): a citeable record that keeps the IDs of the
// records citing it; the citations themselves live in the citing records.
// Its fields are level-1 lines (TITL, ABBR, AUTH, PUBL, _TYPE, _URL, _DATE)
// and at most one REPO link.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class SOURRecord : public GEDCOMRecord {
public:
    explicit SOURRecord(std::string recordID, std::string type = "SOUR")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}

    static const std::vector<std::string>& linkTags();

    // ---- fields: the first level-1 line with the tag, "" when none
    std::string sourceTitle() const { return dataWithTag("TITL"); }
    std::string sourceAuthors() const { return dataWithTag("AUTH"); }
    std::string sourcePublisher() const { return dataWithTag("PUBL"); }
    std::string sourceType() const { return dataWithTag("_TYPE"); }
    std::string sourceURL() const { return dataWithTag("_URL"); }
    std::string sourceDate() const { return dataWithTag("_DATE"); }
    // Each deferred until the source is in a store; stamps the change.
    void setSourceTitle(const std::string& value);
    void setSourceAuthors(const std::string& value);
    void setSourcePublisher(const std::string& value);
    void setSourceType(const std::string& value);
    void setSourceURL(const std::string& value);
    void setSourceDate(const std::string& value);
    void setViewName(const std::string& name) override;

    // ---- names
    std::string viewName() const override;
    std::string ipnName() const override;
    std::string googleWords() const override;
    std::optional<std::vector<std::string>> viewTags() const override;
    std::string textForNewRecord(bool choice) override;
    void insertNewUserText(const std::string& text) override;

    // ---- links
    bool canLinkTo(std::string_view type) const override;
    bool isCiteableType() const override { return true; }
    bool isConnected() override { return hasCrossRefs(); }
    bool isNotLinkedToRecordsBesides(const std::optional<std::string>& recordID) override;
    bool shouldVerifyDeleteAsChildOf(const GEDCOMRecord& record) const override;
    void removeAllLinks() override;
    void changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) override;
    DropAnswer dropREPORecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    DropAnswer dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    DropAnswer dropFAMRecord(const std::shared_ptr<GEDCOMRecord>& dropped);

    // ---- merging: same title and same kind, both ignoring case
    bool canMergeWith(const GEDCOMRecord& other) override;
    std::string mergeRequirement() const override;
    bool removeDuplicateLinksAfterMerge() override;

    // ---- report prose
    Value reportDescription(std::uint32_t options) const override;

    // ---- scripting: the six field keys and referencedBy
    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;

protected:
    const DropTable& dropTable() const override;

private:
    using Setter = void (SOURRecord::*)(const std::string&);
    void setSourceData(const std::string& value, const std::string& tag, Setter recall);
    DropAnswer dropCiting(const std::shared_ptr<GEDCOMRecord>& dropped, const char* refusal);
};

}  // namespace kl
