#pragma once
// REPORecord: a repository (`REPO`): where sources are kept. Only the
// sources hold the links (level-1 REPO); the repository keeps no back links
// and works them out from the store's sources when asked.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class REPORecord : public GEDCOMRecord {
public:
    explicit REPORecord(std::string recordID, std::string type = "REPO")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}

    static const std::vector<std::string>& linkTags();

    std::string viewName() const override;
    std::optional<std::vector<std::string>> viewTags() const override;
    std::string textForNewRecord(bool choice) override;
    void insertNewUserText(const std::string& text) override;
    // Deferred until the repository is in a store; a new NAME goes first.
    void setViewName(const std::string& name) override;

    bool canLinkTo(std::string_view type) const override { return type == "NOTE"; }
    // Whether some source of the store names this repository.
    bool isConnected() override;
    // The IDs, in list order, of the store's sources that name this
    // repository; empty when none.
    std::vector<std::string> crossRefsOnTheFly() override;
    // The same over a given list of records.
    std::vector<std::string> crossRefsOnTheFly(const std::vector<std::shared_ptr<GEDCOMRecord>>& records) const;
    // The back links are worked out on demand, so there always are some to ask for.
    bool hasCrossRefs() const override { return true; }
    void removeAllLinks() override;
    void changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) override;

    std::string mergeRequirement() const override;
    bool removeDuplicateLinksAfterMerge() override;

    Value reportDescription(std::uint32_t options) const override;
};

}  // namespace kl
