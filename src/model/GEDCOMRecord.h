#pragma once
// GEDCOMRecord: the level-0 node of a GEDCOM tree and the base of the record
// kinds. It answers its type as its tag and its ID as its contents, keeps the
// IDs of the records that link to it (its back links), caches its own GEDCOM
// text for fast saves, stamps its change date, carries its UUID, and is the
// one road by which structures are added to or removed from its tree with
// undo and the "Record Structures Changed Notification". It can re-read its
// own text as a GEDCOMReader, and its class operations turn GEDCOM names and
// places into display texts.
//
// Ownership: held by the record store's lists (and by undo actions, workers
// and pasteboards) through shared_ptr; always made with std::make_shared.
// Keeps a plain pointer to its store (which outlives it) and, for records
// outside a store, a plain pointer to an undo manager it was given.
//
// Thread: edited on the main thread; filled by a reading worker while its
// store's undo registration is off. The class-wide switches are atomics set
// on the main thread and read anywhere.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "foundation/Value.h"
#include "model/GEDCOMObject.h"
#include "model/GEDCOMReader.h"
#include "model/HREFLinks.h"

namespace kl {

class DetachLinkList;
class RecordStore;
class UserDefaults;
class ValidationReport;
struct RecordLinkLists;

// What sortEntry sorts by date.
enum SortDataKind : int {
    SortChildren = 4401,         // level-1 CHIL by the child's birth, baptism or christening
    SortSpouseFamilies = 4402,   // level-1 FAMS by the family's marriage
    SortEvents = 4403,           // events, attributes and ordinances by their own date
    SortMultimediaLinks = 4404,  // OBJE links (the portrait stays first) by the object's _DATE
};

// The restriction of a record (`RESN`), as four-character codes that scripts
// also see.
enum RecordRestriction : std::uint32_t {
    RestrictionNone = 0x72556e6c,          // 'rUnl'
    RestrictionPrivacy = 0x72507276,       // 'rPrv'
    RestrictionLocked = 0x724c636b,        // 'rLck'
    RestrictionConfidential = 0x72436f6e,  // 'rCon'
};

class GEDCOMRecord : public GEDCOMObject, public GEDCOMReader, public std::enable_shared_from_this<GEDCOMRecord> {
public:
    // The node's forms, answering GEDCOMObject pointers as before; the
    // record's own weak reference is what a structure's search starts from.
    using GEDCOMObject::shared_from_this;
    using GEDCOMObject::weak_from_this;
    std::weak_ptr<GEDCOMRecord> weakRecord() noexcept { return std::enable_shared_from_this<GEDCOMRecord>::weak_from_this(); }
    std::weak_ptr<const GEDCOMRecord> weakRecord() const noexcept {
        return std::enable_shared_from_this<GEDCOMRecord>::weak_from_this();
    }
    // What a drop operation answers: nullopt when the dropped record was
    // attached, "Skip" when the user chose to skip it, else the reason.
    using DropAnswer = std::optional<std::string>;
    using DropHandler = DropAnswer (GEDCOMRecord::*)(const std::shared_ptr<GEDCOMRecord>& dropped);
    using DropTable = std::map<std::string, DropHandler, std::less<>>;

    static constexpr const char* kSkip = "Skip";

    GEDCOMRecord();  // ID and type "UNKNOWN"
    GEDCOMRecord(std::string recordID, std::string type);
    ~GEDCOMRecord() override;

    // ---- identity and plain fields
    const std::string& grecordID() const { return grecordID_; }
    // Leaves links alone (see changeRecordIDToID).
    void setGrecordID(std::string recordID);
    const std::string& recordType() const {
        return typeId_ != TagTable::kNotInterned ? TagTable::text(typeId_) : ownedType();
    }
    void setRecordType(std::string type);
    bool isType(std::string_view type) const { return recordType() == type; }
    const std::string& gtag() const override { return recordType(); }
    const std::string& contents() const override { return grecordID_; }
    // The script key of the type ("indiRecords"), nullopt for other types.
    virtual std::optional<std::string> scriptRecordType() const;

    GEDCOMRecord* theRecord() override { return this; }
    const GEDCOMRecord* theRecord() const override { return this; }

    RecordStore* model() const { return model_; }
    // Taking a record into a store also runs, once, the setters that were
    // asked of it before it had one.
    void setModel(RecordStore* model);
    // The store's undo manager; a record outside a store uses the one it
    // was given with setUndoManager (nullptr: nothing is undoable).
    UndoManager* undoManager() const override;
    void setUndoManager(UndoManager* undoManager);

    // A setter asked of a record that is not yet in a store (a script's
    // "make ... with properties") waits here until setModel gives it one;
    // answers true when it was queued, false when the caller may act now.
    bool deferUntilInstalled(std::function<void()> setter);
    std::size_t pendingSetterCount() const { return rare_ ? rare_->pendingSetters.size() : 0; }

    const std::string& foundText() const;
    void setFoundText(std::string text);
    // The script context slot: set from a script's thread while the main
    // thread may read it, so it is kept apart from the record under a lock.
    Value contextInfo() const;
    void setContextInfo(Value info);
    bool linksChanged() const { return linksChanged_; }
    void setLinksChanged(bool changed) { linksChanged_ = changed; }

    std::uint32_t priorCorrupt() const { return priorCorrupt_; }
    void setPriorCorrupt(std::uint32_t bits) { priorCorrupt_ = bits; }
    bool wasCorrupt(std::uint32_t bits) const { return (priorCorrupt_ & bits) != 0; }
    const std::optional<std::string>& changeToRecordID() const;
    void setChangeToRecordID(std::optional<std::string> recordID);
    // Makes the waiting ID the record's ID (links untouched) and clears it.
    void changeRecordID();

    // ---- GEDCOM text
    // The level-0 line: "0", the ID when there is one, the type, and the
    // text read after the type when there was any.
    void appendStructureLine(std::string& out) const override;
    // Keeps the text a file had after the record's type on its level-0 line
    // (a note makes it its first text line).
    virtual void takeRecordText(std::string text);
    // (A record's contents() answer its ID; the text has the node's own field.)
    const std::string& recordText() const { return GEDCOMObject::contents(); }
    // The whole record, from the cache when allowed and present; keeps the
    // fresh text as the cache when allowed and caching on save is on.
    void appendGEDCOMRecord(std::string& out, bool allowCache) const;
    virtual void appendGEDCOMRecordExport(std::string& out, bool allowCache) const;
    std::string gedcomString() const override;
    void appendGEDCOMArray(Array& rows) const override;
    bool hasCachedText() const { return savedGedcom_ != nullptr; }
    // Drops the cache and registers the same call as undo, so undo and redo
    // drop it too.
    void clearGEDCOMCache();
    void clearGEDCOMCacheNoUndo() const { savedGedcom_.reset(); }

    // ---- change date, new records and UUID
    virtual void setChangeDate();
    std::optional<std::string> changeDate();
    static std::string createdText();
    virtual std::string textForNewRecord(bool choice);
    virtual void insertNewUserText(const std::string& text);
    bool insertUUID();
    // Where new UUIDs come from; an empty maker restores the random one.
    using UUIDMaker = std::function<std::string()>;
    static void setUUIDMaker(UUIDMaker maker);
    static std::string newUUID();
    std::string recordUUID();
    // Without undo.
    void setRecordUUID(const std::string& uuid);

    // ---- structure editing: the one road
    using GEDCOMObject::addStructure;
    // Undoable; posts "Record Structures Changed Notification" with
    // "structure", "theRecord" and "scrollToView". No anchor puts it first,
    // an anchor that is not a child of the parent puts it last. Nothing
    // happens when the parent is not in this record.
    virtual void addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                              const GEDCOMObject* afterStructure, bool scroll);
    // The same insertion without undo or notification.
    virtual void addStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                              const GEDCOMObject* afterStructure);
    // Undoable; announces the removal of the structure and its descendants,
    // then posts "Record Structures Changed Notification" with "structure"
    // and "removing" (the asking browser, or "" when none).
    virtual void removeStructure(const std::shared_ptr<GEDCOMStructure>& structure, GEDCOMObject* inParent,
                                 std::shared_ptr<Object> fromBrowser);
    // Replaces the level-1 structures at the indexes, undoably; stamps the
    // change. Indexes outside the children are ignored.
    void replaceStructuresAtIndexes(const std::vector<std::size_t>& indexes,
                                    const std::vector<std::shared_ptr<GEDCOMStructure>>& structures);
    // A line read without a level number: kept as a level -1 child holding
    // the raw text, marked with the missing-level bit.
    std::shared_ptr<GEDCOMStructure> addNoLevel(std::string rawText);
    // Tidies a record after reading; a damaged record stays as read.
    virtual void simplifyGEDCOMInMode(int mode);
    // The part of a read's tidying that needs no other record (continuation
    // lines, the kind's own conversions and, where no other record's tidying
    // can add lines after it, the UUID line), done ahead of the store's
    // pass so that reader threads can share it: any thread, one thread per
    // record, with undo registration off. The next simplifyGEDCOMInMode
    // then does only the rest. Answers whether a UUID line was added.
    virtual bool prepareAfterRead();

    // ---- damage, restriction and deletion
    std::string describeCorruption() const;
    std::optional<std::vector<std::string>> allCorruptions() const;
    RecordRestriction resn();
    std::string resnString();
    void setResn(RecordRestriction code);
    bool isLocked() { return resn() == RestrictionLocked; }
    virtual std::optional<std::string> canBeDeleted(unsigned how);
    virtual bool shouldVerifyDeleteAsChildOf(const GEDCOMRecord& record) const;
    virtual bool isCiteableType() const { return false; }

    // ---- back links (IDs of the records that link here)
    const std::vector<std::string>& crossRefIDs() const;
    virtual std::vector<std::string> crossRefsOnTheFly();
    virtual bool hasCrossRefs() const { return crossRefs_ != nullptr; }
    // True while the list is in its reading form (keys gathered in bulk).
    bool readingCrossRefs() const { return readingKeys_ != nullptr; }
    void attachCrossRefTo(const std::string& recordID);
    bool detachCrossRefTo(const std::string& recordID);
    virtual void attachCrossRef(const GEDCOMRecord& record);
    void addCustom_REFTag(const std::string& recordID, int mode);
    void convert_REFToArray();
    void changeCrossRefUndoTo(const std::string& oldID, const std::string& newID);
    void changeCrossRefTo(const std::string& oldID, const std::string& newID);
    void detachCrossRefsFrom(const std::string& tag);

    // ---- link structures
    void attachLink(const GEDCOMRecord& record, const std::string& linkTag);
    void attachRefedLink(const std::shared_ptr<GEDCOMRecord>& record, const std::string& linkTag);
    virtual bool detachCrossRef(const std::string& tag, const std::string& recordID);
    void changeCrossRefUndo(const std::string& tag, const std::string& oldID, const std::string& newID);
    void changeCrossRef(const std::string& tag, const std::string& oldID, const std::string& newID);
    void changeCrossRefsFrom(const std::string& tag, const std::string& oldID, const std::string& newID,
                             bool withUndo);

    // ---- whole-record link operations (kinds handle their own tags first)
    virtual void removeAllLinks();
    virtual void changeAllLinksFromID(const std::string& oldID, const std::string& newID, bool withUndo);
    virtual void changeRecordIDToID(const std::string& newID);
    void detachCrossRefsIn(const std::string& tagHere, const std::optional<std::string>& tagThere,
                           const std::optional<std::string>& inType, bool removeRec);
    void changeCrossRefsIn(const std::string& tagHere, const std::optional<std::string>& tagThere,
                           const std::optional<std::string>& inType, const std::string& oldID,
                           const std::string& newID, bool withUndo);

    // ---- drops, found by name ("drop" + type + "Record:")
    static std::string dropOperationName(std::string_view type, bool control = false);
    bool respondsToDrop(std::string_view operation) const;
    // The handler named for the dropped record's type; a record without one
    // refuses with a reason.
    DropAnswer drop(const std::shared_ptr<GEDCOMRecord>& dropped, bool control = false);
    virtual DropAnswer dropSOURRecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    virtual DropAnswer dropNOTERecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    virtual DropAnswer dropOBJERecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    virtual DropAnswer drop_LOGRecord(const std::shared_ptr<GEDCOMRecord>& dropped);
    virtual DropAnswer dropSUBMRecord(const std::shared_ptr<GEDCOMRecord>& dropped);

    // ---- link queries and lists
    virtual bool canLinkTo(std::string_view type) const;
    virtual bool isConnected() { return true; }
    Value isConnectedBool() { return Value(isConnected()); }
    virtual bool isNotLinkedToRecordsBesides(const std::optional<std::string>& recordID);
    virtual void setUpLinkLists(RecordLinkLists& lists);
    void readAllTags(std::vector<std::string>& list, const std::string& tag);

    // ---- self-reading
    // Rebuilds the children from text that begins with the record's own
    // level-0 line; the ID and type never change here.
    // False, with the record unchanged, when the text is not GEDCOM at all.
    bool reparse(std::string text);
    void parserDidStart() override;
    void parserDidEnd() override {}
    void parserFoundHEAD() override;
    void parserStartRecord(std::string recordType, std::string recordID, std::string contents,
                           bool verifyID) override;
    void parserLevel(int32_t level, std::string tag, std::string contents, bool custom) override;
    bool parserFoundTRLR() override { return false; }
    void parserClearMemory() override {}
    void parserInvalidRecordID(std::string recordID) override;
    void parserInvalidLevelOrder() override;
    void parserInvalidTag() override;
    void parserNoLevelLine(std::string text) override;

    // ---- data operations (the kinds override where their data differs)
    using DatedStructure = std::pair<std::shared_ptr<GEDCOMStructure>, std::int64_t>;
    // Level-1 REFN lines typed "keyword...": their ";"-separated pieces.
    virtual std::vector<std::string> keywords() const;
    // Rewrites the keyword lines, undoably; entries that are not texts are
    // skipped; a line is written once it passes 80 characters.
    virtual void setKeywords(const Array& keywords);
    // Makes the object's link the first OBJE link, or with nullptr marks the
    // record as having no portrait (_NOPOR Y); true when something changed.
    virtual bool setPortraitOBJE(const std::shared_ptr<GEDCOMRecord>& object);
    // The multimedia record whose image is the record's portrait; nullptr
    // under _NOPOR or when the first OBJE link resolves to nothing.
    virtual std::shared_ptr<GEDCOMRecord> portraitImage() const;
    // Sorts one kind of entry by date as one undoable step named "Sort
    // Data"; beeps when there is nothing to do unless silent.
    void sortEntry(int kind, bool silent);
    void ISSortEntry(const Value& kind) { sortEntry(static_cast<int>(kind.toInteger(0)), true); }
    // [structure, day number] for each structure, in order: with a record
    // type the linked record's date (its first dated event among `parents`
    // when given), else the structure's own date one level below.
    std::vector<DatedStructure> getSDNs(const StructureList& structures, const std::string& dateTag,
                                        const std::optional<std::vector<std::string>>& parents,
                                        const std::optional<std::string>& recordType) const;
    std::string dataWithTag(const std::string& tag) const;
    void setDataWithTag(const std::string& tag, const std::string& value);
    // A level-1 value, or a level-2 value below a level-1 parent (made when
    // missing); an unchanged value stamps nothing.
    void setGenericTag(const std::string& tag, const std::optional<std::string>& parentTag,
                       const std::string& contents);
    // A level-1 copy of the structure and of its direct children.
    void attachCopyOfStructure(const GEDCOMStructure& structure);
    std::optional<std::string> firstDate() const;
    virtual std::optional<std::string> firstPlace() const;
    // Level-2 PLAC lines whose contents is `place` exactly (the first only
    // unless `all`); empty when none.
    StructureList findPlace(const std::string& place, bool all) const;
    // Every level-2 PLAC line.
    StructureList findAllPlaces() const;
    // The place records of those lines' names; names without one dropped.
    std::vector<std::shared_ptr<GEDCOMRecord>> findAllPlaceRecords() const;
    void addNonCHANDateTagsToList(std::vector<std::shared_ptr<GEDCOMObject>>& list) const;
    // The date of the creation stamp (the first level-1 REFN), if any.
    std::optional<std::string> creationDate() const;
    // Offers the record's detachable entries to a Detach list.
    void detachableEventsAttributesLinks(DetachLinkList& list);
    // [name, value] of a level-1 REFN, RFN or RIN; the kinds name their
    // events, attributes and links.
    virtual std::optional<std::array<std::string, 2>> nameForEventToDetach(const GEDCOMStructure& structure) const;
    void addEventLinks(DetachLinkList& list, const std::shared_ptr<GEDCOMStructure>& inEvent) override;
    // Adds the record's item to the validation report's HTML when it has
    // problems; `grammar` maps record types to their grammars.
    void checkGEDCOMOfRecord(std::string& html, const Dictionary& grammar, int flags, ValidationReport& report);
    // Clears the record-has-HTML mark, runs the link pass over every line
    // (HREFLinks.h) and answers whether any line held HTML.
    bool fixHREFLinksInRecord(const HREFIDMap* newIDs, const HREFIDSet* mergeIDs, ContentEdits* edits = nullptr);

    // ---- merge rules (GEDCOMRecord+Merging.cpp; the kinds add their own)
    // Two records may merge when their keys are equal ignoring case.
    virtual std::string mergeKey() const { return viewName(); }
    virtual bool canMergeWith(const GEDCOMRecord& other);
    // Why two records that cannot merge cannot.
    virtual std::string mergeRequirement() const;
    virtual bool prepareToMergeWith(GEDCOMRecord& other);
    // Takes into this record what the other holds and this one lacks (the
    // other is left for the caller to re-point and delete); answers how
    // many texts were joined, below 0 when the merge was refused.
    virtual std::int64_t mergeWith(GEDCOMRecord& other, bool force);
    // After a merge with force: removes the links and events the merge
    // doubled; true when the removals account for every joined text (the
    // count the merge left in the context information).
    virtual bool removeDuplicateLinksAfterMerge() { return false; }
    std::int64_t removeDuplicateLinks(const std::string& tag);
    std::int64_t removeDuplicateEvents(const std::string& tag);
    // Re-points the "<!--CSS key -->" comments of every line through the
    // map from style-sheet keys to record IDs.
    void fixCSSLinksInRecord(const Dictionary& styleSheetIDs);
    // Cuts every "<!--CSS id -->" comment naming the style sheet.
    void detachCSSLinkTo(const std::string& recordID);
    // Whether two dates lie within five years (1827 days) of each other; an
    // empty or invalid date passes.
    static bool datesWithinMergeWindow(const std::string& first, const std::string& second);

    // ---- event texts shared by the kinds (GEDCOMRecord+Events.cpp)
    // The year a search service gets: the short year of the date, without a
    // leading "<", ">" or "c" when that leaves something.
    static std::string searchYear(const std::string& date);
    // The contents of the first DATE anywhere, "" when there is none or it
    // is the change date's.
    std::string firstDateUnlessChanged() const;
    // [name, detail] of an event offered for detaching: "Generic Event" and
    // its TYPE for EVEN, else the name and the event's own value, date or
    // place.
    static std::array<std::string, 2> eventDetachEntry(const GEDCOMStructure& event, const std::string& name);

    // ---- names of a record (base versions; the kinds override them)
    std::string viewName() const override;
    virtual void setViewName(const std::string& name);
    virtual std::string altViewName() const { return viewName(); }
    virtual std::string ipnName() const { return viewName(); }
    virtual std::string ipnSearch() const { return ipnName(); }
    virtual std::string googleWords() const { return viewName(); }
    virtual std::optional<Value> familySearchTerms() const { return std::nullopt; }
    virtual std::optional<std::vector<std::string>> viewTags() const { return std::nullopt; }
    std::optional<std::vector<std::string>> altViewTags() const { return viewTags(); }
    // The view tags of a record named by one structure: that tag while the
    // record has it.
    std::optional<std::vector<std::string>> viewTagWhenPresent(const std::string& tag) const {
        if (!firstChildWithTag(tag)) return std::nullopt;
        return std::vector<std::string>{tag};
    }
    virtual std::shared_ptr<GEDCOMObject> parentStructure() const { return nullptr; }
    virtual std::shared_ptr<GEDCOMRecord> spouse(std::shared_ptr<GEDCOMStructure>* link, std::size_t atIndex);
    std::string description() const override { return viewName(); }
    // With the list option, the two texts of a list row; otherwise one text.
    virtual Value reportDescription(std::uint32_t options) const;
    static constexpr std::uint32_t kReportList = 0x10000;

    // ---- scripting (GEDCOMRecord+Scripting.cpp): the record's keys first,
    // then the node's. Setters answer the error text, or nullopt.
    std::optional<std::string> klis_getAttribute(const std::string& name, ISInterpreter* sender) override;
    bool klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) override;
    std::shared_ptr<Object> klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) override;
    std::string scriptClassName() const override;
    std::optional<ScriptSpecifier> objectSpecifier() override;
    ScriptReply handleScriptCommand(const std::string& command, const Dictionary& arguments) override;
    // "" when none; an empty text stores none.
    Value asContextInfo() const;
    void setAsContextInfo(Value info);
    // Replaces the record's data from GEDCOM text, keeping its own level-0
    // line (a script cannot change the ID or type this way).
    std::optional<std::string> setGedcomString(const std::string& text);
    const std::string& readRecordID() const { return grecordID(); }
    std::optional<std::string> setReadRecordID(const std::string& recordID);
    const std::string& readRecordKLID() const { return grecordID(); }
    std::optional<std::string> setReadRecordKLID(const std::string& recordID) { return setReadRecordID(recordID); }
    const std::string& readRecordType() const { return recordType(); }
    std::optional<std::string> setReadRecordType(const std::string& type);
    ScriptReply scriptShowBrowser(const Dictionary& arguments);
    ScriptReply scriptShowBrowserPane(const Dictionary& arguments);
    ScriptReply handleSortRecordDataScriptCommand(const Dictionary& arguments);
    ScriptReply handleCanLinkToScriptCommand(const Dictionary& arguments);
    ScriptReply handleReportDescriptionScriptCommand(const Dictionary& arguments);
    ScriptReply handleMergeRecordsScriptCommand(const Dictionary& arguments);
    // Drops the receiver onto the target record; the refusal, or nullopt.
    std::optional<std::string> finishMoveToTarget(const std::shared_ptr<GEDCOMRecord>& target);
    // Report prose: lines joined by "; ", HTML-escaped with the flag.
    static std::string formatForReport(const std::string& text, bool forHtml);
    // Every carriage return becomes a line feed.
    static std::string removeReturns(const std::string& text);
    // The report-description bit of an option name ("BD", "LINKS", ...).
    static std::optional<std::uint32_t> reportOptionBit(std::string_view name);

    // ---- class operations on names and places
    // Style 0 to 9 (2 unused); nullopt for any other style.
    static std::optional<std::string> formatName(std::string_view name, int style);
    static std::string formatUserName(std::string_view name);
    static std::array<std::string, 3> splitNameParts(const std::optional<std::string>& name);
    static Dictionary nameDetails(const std::optional<std::string>& name, bool soundex);
    static std::string place(GEDCOMObject& event, bool at);
    static std::string place(const std::string& place, const std::string& address, bool at);

    // ---- class-wide switches
    static bool trackingChangeDates();
    static void setTrackingChangeDates(bool on);
    static bool insertingUUIDs();
    static void setInsertingUUIDs(bool on);
    static bool cachingWhenSave();
    static void setCachingWhenSave(bool on);
    static bool addingCreationDates();
    static void setAddingCreationDates(bool on);
    // Reads "Tracked Record Changed Dates", "Insert UUIDs", "Allow Fast
    // Saves" and "Add Creation Date to New Records" (each on unless stored
    // or registered otherwise).
    static void readSwitchesFromDefaults(const UserDefaults& defaults);
    // The flags of the export under way (the model's export flag bits; 0
    // while a package is saved), read by the kinds' export writers.
    static std::uint32_t exportFlags();
    static void setExportFlags(std::uint32_t flags);
    static constexpr std::uint32_t kExportGEDCOM55 = 8;
    static constexpr std::uint32_t kExportOmitsPlaces = 16;
    static bool recordHasHTML();
    static void setRecordHasHTML(bool has);
    static void incrementTotalHREFLinks();
    static void incrementBrokenHREFLinks();
    static void clearHTMLCounters();
    static int totalHREFLinks();
    static int brokenHREFLinks();
    // The base tags read by position by links and merging.
    static const std::vector<std::string>& baseTags();

protected:
    // The drop operations of this class; kinds answer a copy of their base's
    // table with their own entries added (see extendDropTable).
    virtual const DropTable& dropTable() const;
    static const DropTable& baseDropTable();
    static DropTable extendDropTable(const DropTable& base, std::initializer_list<DropTable::value_type> more);
    // A refused drop of a second level-1 link with the tag.
    DropAnswer dropUniqueLink(const std::shared_ptr<GEDCOMRecord>& dropped, const std::string& tag,
                              bool refed, const char* refusal);
    // Un-embeds and links what a child holds inline after reading; the
    // embedded-data pass plugs in here.
    virtual void unembedAndLinkChild(const std::shared_ptr<GEDCOMStructure>& child, int mode);
    // The tidying of this record's own lines, in place without undo:
    // continuation lines joined, blank lines dropped; kinds add their own.
    virtual void tidyOwnLines();
    std::shared_ptr<GEDCOMRecord> holdRecord();
    std::shared_ptr<GEDCOMRecord> linkedRecord(const std::string& recordID, const std::string& type) const;
    // Answers whether the back links hold nothing but the ID (none at all
    // for nullopt): what the citeable kinds ask before being deleted.
    bool backLinksHoldOnly(const std::optional<std::string>& recordID) const;

private:
    void postStructuresChanged(Dictionary userInfo = {});
    void insertCrossRef(const std::string& recordID, std::size_t at);
    void postFromStore(const std::string& name, Dictionary userInfo);
    std::shared_ptr<GEDCOMStructure> newLine(int level, std::string tag, std::string contents);
    void stampChangeDate(const std::string& date, const std::string& time);
    const std::string& ownedType() const;

    // What few records need (a waiting ID, an undo manager of their own,
    // search and script state, setters waiting for a store, a type too long
    // to intern), made on first use: a store holds a record per person.
    struct Rare {
        std::optional<std::string> changeToRecordID;
        UndoManager* undoManager = nullptr;
        std::string foundText;
        std::vector<std::function<void()>> pendingSetters;
        std::string ownedType;
    };
    Rare& rare();

    std::string grecordID_;
    RecordStore* model_ = nullptr;
    std::unique_ptr<std::vector<std::string>> crossRefs_;
    std::unique_ptr<std::unordered_set<std::string>> readingKeys_;
    mutable std::unique_ptr<std::string> savedGedcom_;
    std::unique_ptr<Rare> rare_;
    std::uint32_t priorCorrupt_ = 0;
    TagTable::Id typeId_ = TagTable::kNotInterned;
    bool linksChanged_ = false;
    // What prepareAfterRead did, for the next tidying to skip.
    enum ReadPrepared : std::uint8_t { kLinesTidied = 1, kNothingToLink = 2, kUUIDHandled = 4 };
    std::uint8_t readPrepared_ = 0;
};

// The record kinds, in their own headers, derive from GEDCOMRecord.
using RecordPtr = std::shared_ptr<GEDCOMRecord>;

}  // namespace kl
