#pragma once
// GEDCOMStructure: one GEDCOM line below a record (level 1 or more, or a
// level -1 line that was read without a level number) with its sub-lines and
// an optional quick comment (a `_MEMO` line in the file).
//
// Ownership: held by its parent's child list through shared_ptr; keeps a
// plain pointer to its record and finds its parent by searching down from
// the record. Value setters register their inverse with the record's undo
// manager and announce the change; insertions and removals below a record go
// through the record.
//
// Thread: as GEDCOMObject. The maximum line length is process-wide and may be
// read by a writing worker while the main thread sets it.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Value.h"
#include "model/GEDCOMObject.h"
#include "model/HREFLinks.h"

namespace kl {

class GEDCOMStructure : public GEDCOMObject {
public:
    // The placeholder that scripts create before naming it: no record,
    // level 1, tag "@@@@".
    GEDCOMStructure();
    GEDCOMStructure(GEDCOMRecord* record, int level, std::string tag, std::string contents);

    static int maximumGEDCOMLineLength();
    static void setMaximumGEDCOMLineLength(int length);
    // "DATE", "_DATE" and the comment joiner " / %@", read by matching.
    static const std::vector<std::string>& matchTexts();

    GEDCOMRecord* theRecord() override { return record_; }
    const GEDCOMRecord* theRecord() const override { return record_; }
    void setTheRecord(GEDCOMRecord* record) override { record_ = record; }
    std::optional<std::string> quickComment() const override;
    UndoManager* undoManager() const override;

    // ---- writing
    void appendStructureLine(std::string& out) const override;
    // `lines` with the `_MEMO` lines of the quick comment added; `separator`
    // goes between them (a line ending when `lines` has none).
    std::string linePlusComment(std::string lines, std::string_view separator) const;

    // ---- reading back: folds leading CONT/CONC children into the contents
    // and a `_MEMO` right after them into the quick comment, through the
    // whole subtree.
    void appendCONTandCONC();

    // ---- changing
    using GEDCOMObject::addStructure;
    void setContents(std::string contents);
    void appendContents(std::string_view text);
    void changeContents(std::string contents) { changeContentsField(std::move(contents)); }
    void setReadContents(std::string contents);
    void setQuickComment(std::optional<std::string> comment);
    void setQuickMemo(std::string memo);
    void setReadTag(std::string tag);
    void setGenericTag(const std::string& tag, const std::string& contents);
    void setEventDate(const std::string& date) { setGenericTag("DATE", date); }
    void setEventPlace(const std::string& place) { setGenericTag("PLAC", place); }
    // Inserts below `inStructure`, searched by identity in this subtree;
    // false when it is not there. This form registers undo and posts.
    bool addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inStructure,
                      const GEDCOMObject* afterStructure, const Dictionary& userInfo);
    bool addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inStructure,
                      const GEDCOMObject* afterStructure);
    // True when `inStructure` was found, even if it did not hold the
    // structure (then nothing changes).
    bool removeStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inStructure,
                         const Dictionary& userInfo);
    void fixLevel(int level, GEDCOMRecord* record);
    // Re-points or counts and cuts the record links of this line's HTML text
    // and its descendants' (HREFLinks.h); with `edits` the new contents are
    // gathered there instead of set.
    void dereferenceHREFFromID(const HREFIDMap* newIDs, const HREFIDSet* mergeIDs, ContentEdits* edits = nullptr);
    // ---- link clean-up and merge matching (GEDCOMStructure+Merging.cpp)
    // Before this line leaves `leaving`: the records its links (and its
    // descendants') name forget `leaving` where this was its only such
    // link, and the citation lines are emptied.
    void clearCrossLinksTo(GEDCOMRecord& leaving);
    // Cuts a "<!--CSS id -->" comment naming the style sheet from this
    // line and its descendants.
    void detachCSSLinkTo(const std::string& recordID);
    // Re-points every "<!--CSS key -->" comment whose key the dictionary
    // maps to a record ID, here and below.
    void dereferenceCSSFromID(const Dictionary& styleSheetIDs);
    // Compares with another record's line for a merge, taking in what the
    // other has more of: kMatchNone, kMatchSame, kMatchChanged (this line
    // was completed) or kMatchChildCounts (alike, child counts differ,
    // this line unchanged).
    enum MatchResult : int { kMatchNone = 0, kMatchSame = 1, kMatchChanged = 2, kMatchChildCounts = 3 };
    int matches(GEDCOMStructure& other);
    // A deep copy owned by `record`: levels, tags, contents and quick
    // comments alike, outside any tree.
    std::shared_ptr<GEDCOMStructure> structCopyForRecord(GEDCOMRecord* record) const;

    // ---- tidying after a read (GEDCOMStructure+Unembed.cpp): an embedded
    // note, source or multimedia object becomes a linked record that knows
    // this record as a citer, an event's place a place record; then each
    // child is tidied alike and lines with nothing in them go. `mode` is
    // the read's (0 a record re-reading its own text, 1 and 2 a document's
    // read, 3 a new database, 4 a merge's records).
    void unembedAndLinkNOTEandSOURandOBJ(int mode);
    // A LATI ("N") or LONG (any other letter) value as "<number> <letter>".
    static std::string reformatLatLog(std::string_view text, char dirs);
    void changeLevel(int level, GEDCOMRecord* record);

    // ---- reading
    std::shared_ptr<GEDCOMObject> parentStructure() const;
    std::shared_ptr<GEDCOMStructure> nextStructure() const;
    std::shared_ptr<GEDCOMStructure> prevStructure() const;
    std::string quickMemo() const { return quickComment().value_or(std::string()); }
    const std::string& readTag() const { return gtag(); }
    const std::string& readContents() const { return contents(); }
    std::string viewName() const override;
    std::string altViewName() const;
    std::string description() const override;
    std::string eventDate();
    std::string eventPlace();
    // The event date as the user sees it, "" when there is none.
    std::string subordinateDate();
    // Earliest / latest day number of the event date; 0 when it is missing
    // or invalid.
    std::int64_t eventSDN();
    std::int64_t eventSDNMax();
    Value eventSDNLong() { return Value(static_cast<long long>(eventSDN())); }
    Value eventSDNMaxLong() { return Value(static_cast<long long>(eventSDNMax())); }
    std::string eventPlaceWithAddress();

    // ---- scripting (GEDCOMStructure+Scripting.cpp): the structure's keys
    // first, then the node's.
    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;
    std::string scriptClassName() const override { return "structure"; }
    std::optional<ScriptSpecifier> objectSpecifier() override;
    // The year text of the event date, "" without a date.
    std::string eventYear();
    // Date and place joined by ", ", or whichever is present.
    std::string eventDatePlace();
    std::string eventDateUserPlace();
    // The last comma-separated item of the place, trimmed.
    std::string eventCountry();
    std::string eventYearCountry();

private:
    void appendContinued(std::string& out) const;
    void appendMemo(std::string& out) const;
    bool continuesNoteText() const;
    void foldOne(std::vector<GEDCOMStructure*>& pending);
    void contentsChanged() const;
    std::shared_ptr<Object> lonLatBounds(const std::shared_ptr<GEDCOMRecord>& place, ISInterpreter* sender);

    GEDCOMRecord* record_ = nullptr;

    static std::atomic<int> maximumLineLength_;
};

}  // namespace kl
