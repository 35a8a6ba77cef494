#pragma once
// SUBMRecord: a submitter (`SUBM`): who made the data. Individuals, families
// and the submission hold the links; the submitter keeps no back links. The
// header's main submitter cannot be deleted.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class SUBMRecord : public GEDCOMRecord {
public:
    explicit SUBMRecord(std::string recordID, std::string type = "SUBM")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}

    // (link tag, type of the records holding it), in link-table order.
    struct LinkHolder {
        const char* tag;
        const char* type;
    };
    static const std::vector<LinkHolder>& linkHolders();

    std::string viewName() const override;
    std::optional<std::vector<std::string>> viewTags() const override;
    std::string textForNewRecord(bool choice) override;
    void insertNewUserText(const std::string& text) override;
    void setViewName(const std::string& name) override;
    bool canLinkTo(std::string_view type) const override { return type == "OBJE"; }
    // Refuses for the header's main submitter.
    std::optional<std::string> canBeDeleted(unsigned how) override;
    bool isMainSubmitter() const;
    void removeAllLinks() override;
    void changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) override;
    std::string mergeRequirement() const override;
    // A submitter has no keywords.
    std::vector<std::string> keywords() const override { return {}; }
    void setKeywords(const Array&) override {}

    Value reportDescription(std::uint32_t options) const override;
};

}  // namespace kl
