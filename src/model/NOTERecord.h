#pragma once
// NOTERecord: a note (`NOTE`): citeable text whose back links say who cites
// it; deleted with the last record that cites it. The whole text lives in
// its first level-1 CONC, line breaks as line feeds; it may be plain or an
// HTML block, which can name itself in a "<!--name ...-->" comment.
//
// Ownership and thread: as GEDCOMRecord (shared_ptr, main thread).
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/GEDCOMRecord.h"

namespace kl {

class NOTERecord : public GEDCOMRecord {
public:
    explicit NOTERecord(std::string recordID, std::string type = "NOTE")
        : GEDCOMRecord(std::move(recordID), std::move(type)) {}

    // The link tags, in the order the link operations read them by.
    static const std::vector<std::string>& linkTags();

    // ---- text and names
    std::string notesText() const;
    // Deferred until the note is in a store; carriage returns become line
    // feeds; stamps the change.
    void setNotesText(const std::string& text);
    std::string viewName() const override;
    std::string ipnName() const override;
    std::optional<std::vector<std::string>> viewTags() const override;
    std::string textForNewRecord(bool choice) override;
    void insertNewUserText(const std::string& text) override;
    void takeRecordText(std::string text) override;
    // An empty note is left as it is.
    void simplifyGEDCOMInMode(int mode) override;

    // ---- links
    bool canLinkTo(std::string_view type) const override;
    bool isConnected() override { return hasCrossRefs(); }
    bool isCiteableType() const override { return true; }
    bool isNotLinkedToRecordsBesides(const std::optional<std::string>& recordID) override {
        return backLinksHoldOnly(recordID);
    }
    bool shouldVerifyDeleteAsChildOf(const GEDCOMRecord& record) const override;
    void removeAllLinks() override;
    void changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo) override;
    DropAnswer dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    DropAnswer dropFAMRecord(const std::shared_ptr<GEDCOMRecord>& dropped);

    // ---- merging
    // The first line of the view name: the custom name when there is one.
    std::string mergeKey() const override;
    bool canMergeWith(const GEDCOMRecord& other) override;
    std::string mergeRequirement() const override;
    // Folds a merged text whose two halves agree (ignoring case) back into
    // one; true when the removals reach the count the merge left in the
    // context slot.
    bool removeDuplicateLinksAfterMerge() override;
    static constexpr const char* kMergeSeparator = "\n\n***** Alternate Merged Version *****\n\n";

    // ---- report prose
    Value reportDescription(std::uint32_t options) const override;

    // ---- scripting: notesText, htmlText, referencedBy; "name" is refused
    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;
    // The HTML of an HTML note from its opening tag, without the closing
    // "</div>"; "" for a plain note.
    std::string htmlText() const;

    // ---- HTML lookups, shared with the HTML pane
    struct TextRange {
        std::size_t location = 0;
        std::size_t length = 0;
    };
    // The trimmed text between `marker` (any case) and the next "-->";
    // nullopt when either is missing or the text is empty. `contentRange`
    // covers the untrimmed text.
    static std::optional<std::string> findHTMLComment(std::string_view marker, std::string_view text,
                                                      TextRange* contentRange);
    // The same between a start and an end text (both any case);
    // `elementRange` covers the whole element.
    static std::optional<std::string> findHTMLElement(std::string_view start, std::string_view end,
                                                      std::string_view text, TextRange* elementRange);

protected:
    const DropTable& dropTable() const override;
    // Also folds the CONT/CONC lines that follow the first line into it.
    void tidyOwnLines() override;

private:
    DropAnswer dropCiting(const std::shared_ptr<GEDCOMRecord>& dropped, const char* refusal);
};

}  // namespace kl
