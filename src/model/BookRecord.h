#pragma once
// BookRecord: a book style (`_BOK`): the settings from which a book about a
// set of individuals is typeset, and the list of those individuals. Scripts
// get the settings as one dictionary ("bookSettings").
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class BookRecord : public GEDCOMRecord {
public:
    explicit BookRecord(std::string recordID, std::string type = "_BOK")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}

    std::string viewName() const override;
    std::optional<std::vector<std::string>> viewTags() const override;
    // The default setting lines, each beginning with a line end, then the
    // creation stamp when new records get one. Hides the base's lines.
    static std::string createdText();
    std::string textForNewRecord(bool choice) override;
    void insertNewUserText(const std::string& text) override;

    // Each setter is deferred until the book is in a store and stamps.
    void setViewName(const std::string& name) override;
    void setAuthorName(const std::string& name);
    void setAuthorEmail(const std::string& email);
    void setSaveFolder(const std::string& folder);
    std::string authorName() const { return dataWithTag("_AUTH"); }
    std::string authorEmail() const { return dataWithTag("_EMAIL"); }
    std::string saveFolder() const { return dataWithTag("_FLDR"); }

    // Books never merge.
    bool canMergeWith(const GEDCOMRecord&) override { return false; }
    std::string mergeRequirement() const override { return "Book Style records cannot be merged."; }
    DropAnswer dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped);

    // The settings under their script keys; "individuals" holds the
    // individual records named, skipping IDs that name none.
    Dictionary bookSettings() const;
    Value reportDescription(std::uint32_t options) const override;

    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;

protected:
    const DropTable& dropTable() const override;

private:
    using Setter = void (BookRecord::*)(const std::string&);
    void setBookData(const std::string& value, const std::string& tag, Setter recall);
    // The contents of the first structure with the tag anywhere in the book.
    std::string anywhere(std::string_view tag) const;
};

}  // namespace kl
