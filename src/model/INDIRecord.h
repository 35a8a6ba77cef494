#pragma once
// INDIRecord: an individual (`INDI`): names, sex, events and the family links
// kept both ways with families. Everything it knows lives in its structures;
// the family side of spouse links is FAMRecord's.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

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

protected:
    const DropTable& dropTable() const override;

private:
    std::optional<std::string> primaryName() const;
    void addSexAfterNames(const std::string& value);
    bool leaveSpouseFamilies();
    DropAnswer dropLink(const std::shared_ptr<GEDCOMRecord>& dropped, const std::string& tag,
                        const char* existing, const char* self);
};

}  // namespace kl
