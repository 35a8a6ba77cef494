#pragma once
// SUBNRecord: the submission (`SUBN`): keeps no change date; the header
// links to it and it links to its submitter.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class SUBNRecord : public GEDCOMRecord {
public:
    explicit SUBNRecord(std::string recordID, std::string type = "SUBN")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}
    // Keeps no CHAN: a change only drops the cached text.
    void setChangeDate() override { clearGEDCOMCache(); }

    std::string viewName() const override { return "Submission Record"; }
    std::string textForNewRecord(bool) override { return {}; }
    // Only folds each line's continuation lines.
    void simplifyGEDCOMInMode(int mode) override;
    // Tidied only by the store's pass.
    bool prepareAfterRead() override { return false; }
    bool canLinkTo(std::string_view type) const override { return type == "SUBM"; }
    void removeAllLinks() override;
    void changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) override;
    // Makes the dropped submitter the submission's one SUBM.
    DropAnswer dropSUBMRecord(const std::shared_ptr<GEDCOMRecord>& dropped) override;
    std::vector<std::string> keywords() const override { return {}; }
    void setKeywords(const Array&) override {}

    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;

    Value reportDescription(std::uint32_t options) const override;
};

}  // namespace kl
