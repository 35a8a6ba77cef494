#pragma once
// LOGRecord: a research log (`_LOG`): a title, an objective and research
// tasks. Unlike other citeable records its back links are visible lines:
// an individual, family or place that links to the log with `_LOG` gives
// the log an `_INDI`, `_FAM` or `__PLC` line naming it, and every link
// operation of the log works on those lines.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class LOGRecord : public GEDCOMRecord {
public:
    explicit LOGRecord(std::string recordID, std::string type = "_LOG")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}

    // The back-link line's tag and the type of record it names.
    struct BackLink {
        const char* tag;
        const char* type;
    };
    // "_FAM"/FAM, "_INDI"/INDI, "__PLC"/_PLC: the order of the link table.
    static const std::vector<BackLink>& backLinks();
    static constexpr const char* kLinkTag = "_LOG";

    std::string viewName() const override;
    std::optional<std::vector<std::string>> viewTags() const override;
    std::string textForNewRecord(bool choice) override;
    void insertNewUserText(const std::string& text) override;
    // Deferred until the log is in a store; a new _TTL goes first.
    void setViewName(const std::string& name) override;
    // Records the linking record as a back-link line, once.
    void attachCrossRef(const GEDCOMRecord& record) override;

    // ---- links through the back-link lines
    bool canLinkTo(std::string_view type) const override;
    bool isCiteableType() const override { return true; }
    bool isConnected() override;
    // The IDs of the _INDI, then _FAM, then __PLC lines. Hides the base's
    // hidden list, which a log does not use.
    std::vector<std::string> crossRefIDs() const;
    bool isNotLinkedToRecordsBesides(const std::optional<std::string>& recordID) override;
    bool shouldVerifyDeleteAsChildOf(const GEDCOMRecord& record) const override;
    void removeAllLinks() override;
    void changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) override;
    DropAnswer dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    DropAnswer dropFAMRecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    DropAnswer drop_PLCRecord(const std::shared_ptr<GEDCOMRecord>& dropped);

    // ["Research Task", its description] for a _TASK; the base's for others.
    std::optional<std::array<std::string, 2>> nameForEventToDetach(const GEDCOMStructure& structure) const override;
    std::string mergeRequirement() const override;
    bool removeDuplicateLinksAfterMerge() override;

    Value reportDescription(std::uint32_t options) const override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;

protected:
    const DropTable& dropTable() const override;

private:
    DropAnswer dropLinking(const std::shared_ptr<GEDCOMRecord>& dropped, const char* refusal);
    std::size_t backLinkLineCount() const;
};

}  // namespace kl
