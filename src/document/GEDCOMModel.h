#pragma once
// GEDCOMModel: the record store of one open database. It turns GEDCOM text
// into records (as the parser's reader, choosing each record's class by its
// tag), holds them in its record index and place index, hands out free IDs,
// and installs and deletes records as each other's undo with the store's
// notifications.
//
// Ownership: owned by its document (or by a merge, for a temporary store);
// keeps a plain pointer to that owner. Owns its index and place index; the
// records live in the index's lists through shared_ptr.
// Thread: a read runs wholly on the reading worker (undo registration off);
// the main thread only polls the progress counters, which are atomics.
// Everything else runs on the main thread.
#include <atomic>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "model/GEDCOMReader.h"
#include "document/GEDCOMTextScan.h"
#include "document/PlaceIndex.h"
#include "document/RecordsIndices.h"
#include "foundation/Value.h"
#include "model/HREFLinks.h"
#include "model/RecordStore.h"

namespace kl {

class ByteSink;
class GEDCOMParser;
class GEDCOMRecord;
class OBJERecord;
class ModelDocument;
class RecordsListForPanel;

class GEDCOMModel : public GEDCOMReader, public GEDCOMPieceReader, public RecordStore {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;

    static constexpr int32_t kDefaultEncoding = 4;  // UTF-8
    static constexpr int32_t kANSELEncoding = 0x10000;
    // The text of a new, empty database.
    static constexpr const char* kEmptyDatabase = "0 HEAD\n1 SUBM @SUBM@\n1 CHAR UTF-8\n0 @SUBM@ SUBM\n0 TRLR";

    explicit GEDCOMModel(ModelDocument* document = nullptr);
    ~GEDCOMModel() override;
    GEDCOMModel(const GEDCOMModel&) = delete;
    GEDCOMModel& operator=(const GEDCOMModel&) = delete;

    // ---- accessors
    ModelDocument* document() const { return document_; }
    void setDocument(ModelDocument* document) { document_ = document; }
    ModelDocument* delegate() const { return delegate_; }
    void setDelegate(ModelDocument* delegate) { delegate_ = delegate; }
    int32_t encoding() const { return encoding_; }
    void setEncoding(int32_t encoding) { encoding_ = encoding; }
    RecordsIndices& recordsIndex() { return *recordsIndex_; }
    const RecordsIndices& recordsIndex() const { return *recordsIndex_; }
    PlaceIndex& places() { return *places_; }
    const PlaceIndex& places() const { return *places_; }
    const std::string& inputGed() const { return inputGed_; }
    void setInputGed(std::string text) { inputGed_ = std::move(text); }
    bool insertedSomeUUIDs() const { return insertedSomeUUIDs_; }
    // Whether the records tidied while the last read installed them got
    // UUIDs; asking clears it.
    bool takeUUIDsFromReading() { return tidiedUUIDs_.exchange(false); }
    void setInsertedSomeUUIDs(bool inserted) override { insertedSomeUUIDs_ = inserted; }
    const std::optional<std::vector<std::string>>& readAlert() const { return readAlert_; }
    void setReadAlert(std::optional<std::vector<std::string>> alert) { readAlert_ = std::move(alert); }
    void setImpEncoding(int32_t encoding) { impEncoding_ = encoding; }
    void setImpCharSet(std::string name) { impCharSet_ = std::move(name); }
    // What the import's declared set could not decode ("Decoding ANSEL
    // character set file encountered 3 invalid characters"); empty when clean.
    const std::string& decodeWarning() const { return decodeWarning_; }
    // The record read last (its ID, or its type when it has none) when the
    // last read's text ended without its trailer line; nullopt when the
    // trailer was there.
    std::optional<std::string> recordBeforeMissingTrailer() const {
        if (sawTrailer_) return std::nullopt;
        return lastRecordRead_;
    }
    void setAlbumInput(std::optional<Array> albums) { albumInput_ = std::move(albums); }
    const Dictionary& cssRecords() const { return cssRecords_; }
    void setCssRecords(Dictionary map) { cssRecords_ = std::move(map); }
    // One ID replacement (new ID, old ID); equal IDs are ignored.
    void addCSSDictionaryObject(const std::string& newID, const std::string& oldID) override;

    // ---- what records ask of their store
    UndoManager* undoManager() override;
    RecordPtr recordWithID(const std::string& recordID, const std::string& type) override;
    std::string singularNameForType(const std::string& type) override;
    // Posts with this store (as a GEDCOMModel*) as the object.
    void postNotification(const std::string& name, Dictionary userInfo) override;
    std::optional<std::string> placeRecordIDForName(const std::string& placeName) override;
    // What the records' script commands ask of the document; not owned.
    RecordScriptHost* scriptHost() override { return scriptHost_; }
    void setScriptHost(RecordScriptHost* host) { scriptHost_ = host; }
    RecordPtr firstRecordOfType(const std::string& type) override;
    std::vector<RecordPtr> recordsOfType(const std::string& type) override;
    // The multimedia records' questions, answered by the document.
    const void* notificationObject() const override { return this; }
    std::vector<std::string> multimediaRoot() const override;
    std::optional<std::filesystem::path> fileURL() const override;
    std::optional<std::string> getThumbnail(const std::string& recordID) override;
    void removeThumbnail(const std::string& recordID) override;
    RecordPtr recordWithID(const std::string& recordID) const { return recordsIndex_->recordWithID(recordID); }
    RecordPtr header() const { return recordsIndex_->header(); }
    std::size_t numberOfType(const std::string& type) const;
    RecordPtr placeForName(const std::string& name) const override { return places_->placeForName(name); }
    RecordPtr recordType(const std::string& type, const Dictionary& matchingTags) const override {
        return recordsIndex_->recordType(type, matchingTags);
    }
    bool setEmbeddedThumbnail(const std::string& recordID, const std::string& contents, std::string* error) override;
    std::string getUniquePlaceName(const std::string& base) const { return places_->uniquePlaceName(base); }

    // ---- process-wide values read by the writers
    static std::string lineEnding();
    // Also allows the record-text cache exactly when the ending is "\n".
    static void setLineEnding(const std::string& ending);
    static bool allowCache();
    // Bits of the export flags handed to the writers; a package save passes 0.
    enum ExportFlag : uint32_t {
        kOmitLogs = 1,
        kEmbedMultimedia = 2,
        kWithHeader = 4,           // album subsets begin with the header and main submitter
        kEmbedMultimedia55 = 8,    // as kEmbedMultimedia, and the header says GEDCOM 5.5
        kOmitPlaces = 16,
        kOmitBooks = 32,
        kEmbedSettings = 64,       // the package dictionaries ride in the header
        kThumbnails = 128,
    };
    static uint32_t exportFlags();
    static void setExportFlags(uint32_t flags);
    static int32_t defaultEncoding() { return kDefaultEncoding; }
    // Link tags whose target keeps a back reference to the linking record.
    static bool shouldHaveXRef(const std::string& tag);

    // ---- reading
    // A package's GEDCOM file, or with nullopt the empty database.
    void setGedcomFromFile(const std::optional<std::string>& path);
    // A plain GEDCOM file in impEncoding, falling back to Latin 1, Latin 2, ASCII.
    void setGedcomFromImportFile(const std::string& path);
    // Parses inputGed; raises "KLFileReadError" when the parser refuses it.
    // A large text is read on several threads (see readerThreads).
    void setRecordsFromStringVerifyIDs(bool verify, bool importing);
    // Threads a read of `bytes` of text uses: the process-wide setting, or
    // with 0 (the default) one for a small text and up to 8 (as many as
    // there are cores) for a large one. Any thread.
    static int readerThreads(std::size_t bytes);
    static void setReaderThreads(int threads);
    // Threads that tidy `records` read records ahead of linking them: the
    // same setting, else one for a few records and up to 8 for many.
    static int tidyingThreads(std::size_t records);
    // The tidying pass after a read: 1 and 2 for a document's read, 3 for a
    // new database, 4 for a merge's store.
    void runSimplifyGEDCOM(int mode);
    // Re-reads one record from edited text (its level-0 line is put in front
    // when the text lacks one); false when the text is not GEDCOM.
    bool reparseRecord(const RecordPtr& record, const std::string& text);

    // ---- the package form (GEDCOMModel+PackageWriting.cpp)
    // The buffer goes to the sink once it holds this many characters.
    static constexpr std::size_t kFlushThreshold = 4000001;
    static constexpr std::size_t kBufferCapacity = 4064000;
    // Streams every record in the fixed type order, then "0 TRLR", in the
    // package encoding; the header is stamped with the package path first
    // (on the main thread). Answers false, having stopped, when the package
    // encoding cannot hold the text: nothing is written lossily, and the
    // caller writes the file again in UTF-8.
    bool writeToGedpkgFile(ByteSink& sink, uint32_t flags, const std::string& packageFilePath);
    // Converts the buffer to the package encoding, writes it and empties it.
    void flushGedcomBuffer(std::string& buffer, ByteSink& sink);
    // The count the writers advance per record written.
    std::atomic<int32_t>& recordsCounter() { return totalRecordsDone_; }

    // ---- progress, polled from the main thread
    int32_t recordsDone() const;
    double fractionDone() const;
    bool parsingRecords() const;
    void stopParsing();
    void incrementSimplified() { ++totalRecordsSimplified_; }
    void willReadWriteFile(int32_t total);
    void incrementTotalRecordsDone() { ++totalRecordsDone_; }
    void finishTotalRecordsDone() { totalRecordsDone_ = totalToWrite_.load(); }
    // What the writers count each written record into (polled as recordsDone).
    std::atomic<int32_t>& totalRecordsDoneCounter() { return totalRecordsDone_; }
    // Whether the delegate's read or save was cancelled.
    bool writingStopped() const;

    // ---- writing GEDCOM text
    using IDTypes = GEDCOMTextScan::IDTypes;
    // The export form of every record (album index below 1) or of the user
    // album at that position counted from 1, ending in "0 TRLR".
    std::string getGEDCOMStringForExport(uint32_t flags, long albumIndex, const std::string& filePath);
    // Appends the records with what they need to stay meaningful and strips
    // links to everything left out; answers ID -> type of every record
    // written, nullopt when the delegate stopped the work.
    std::optional<IDTypes> getSubset(const std::vector<RecordPtr>& records, std::string& text, uint32_t flags,
                                     bool allowCache);
    // Strips links to records outside `records`, then adds the logs, notes,
    // sources, repositories and multimedia that the text links to.
    void finishLinksToSubsetGEDCOM(std::string& text, uint32_t flags, IDTypes& records);
    // The records of `tag`'s type that `data`'s tag lines link to and that
    // `notLinkedTo` lacks, appended to `output`; answers how many.
    int addLinked(const std::string& tag, std::string_view data, IDTypes& notLinkedTo, std::string& output,
                  bool thumb);
    // The multimedia records named in "<!--CSS ... -->" references.
    int addLinkedCSSinData(std::string_view data, IDTypes& notLinkedTo, std::string& output);
    int appendLinked(const std::vector<std::string>& recordIDs, IDTypes& notLinkedTo, std::string& output,
                     const std::string& linkTag, bool thumb);
    // The record's stored thumbnail as the level-1 `_NSDATA` "Thumbnail"
    // object; nothing when the document keeps none for it.
    void appendThumbnail(std::string& text, const GEDCOMRecord& record) const;

    // ---- package attributes
    void addAttributesToDictionary(Dictionary& attributes) const;
    void readAttributes(const Dictionary& attributes);
    void makeAttributes();

    // ---- GEDCOMReader
    void parserDidStart() override;
    void parserDidEnd() override;
    void parserFoundHEAD() override;
    void parserStartRecord(std::string recordType, std::string recordID, std::string contents,
                           bool verifyID) override;
    void parserLevel(int32_t level, std::string tag, std::string contents, bool custom) override;
    bool parserFoundTRLR() override;
    void parserClearMemory() override {}
    void parserInvalidRecordID(std::string recordID) override;
    void parserInvalidLevelOrder() override;
    void parserInvalidTag() override;
    void parserNoLevelLine(std::string text) override;

    // ---- GEDCOMPieceReader: a read on several threads builds each piece's
    // records apart and installs them here in file order, as the reports
    // above would have.
    void piecesCut(std::size_t count) override;
    std::unique_ptr<GEDCOMReader> readerForPiece() override;
    bool installPiece(GEDCOMReader& piece) override;
    // Tidies installed records on workers while later pieces go in.
    void tidyInstalled(std::vector<RecordPtr> records);
    // Starts what waits to be tidied, waits for all tidying; rethrows a
    // failure of it.
    void finishTidying();
    // The record of a level-0 line, of the class its type names, with no
    // store; any thread.
    static RecordPtr makeRecordForRead(const std::string& type, const std::string& recordID,
                                       const std::string& contents);

    // ---- IDs, creation, install and delete
    std::string getUniqueID(const std::string& type) override;
    // Free both here and in the other index.
    std::string getUniqueID(const std::string& type, const RecordsIndices* mergeIndex);
    // info: INDI a boolean (true a man), _PLC the place name, else unused.
    RecordPtr createNewRecordOfType(const std::string& type, const Value& info = {}) override;
    void installRecord(const RecordPtr& record);
    void deleteRecord(const RecordPtr& record) override;
    // ---- finders that make a record only when none matches
    // The multimedia record of a file (resolved against the multimedia
    // folders and the document's folder), made and linked to the file when
    // there is none; its ID then joins addedIDs. nullptr, adding nothing,
    // when the file is found nowhere.
    std::shared_ptr<OBJERecord> addMultimediaRecord(const std::string& path, const std::optional<std::string>& title,
                                                    std::vector<std::string>& addedIDs);
    // The multimedia record of a web address, made when there is none
    // (titled with the address when no title is given).
    std::shared_ptr<OBJERecord> addMultimediaURL(const std::string& url, const std::optional<std::string>& title,
                                                 std::vector<std::string>& addedIDs);
    // The note holding exactly this text, made when there is none.
    RecordPtr addNoteRecord(const std::string& text, bool& newRecord) override;
    // Every record of the type drops its links with the tag to the ID.
    void detachLinksTo(const std::string& recordID, const std::string& tag, const std::string& type) override;
    void changeLinksTo(const std::string& oldID, const std::string& tag, const std::string& type,
                       const std::string& newID, bool withUndo) override;
    // A new empty note whose ID is free here and in the other store: the
    // note a merge from that store links its records to.
    RecordPtr createNoteWhenMergingFrom(const GEDCOMModel& other);

    // ---- link repair (GEDCOMModel+LinkRepair.cpp)
    // After a read: the style-sheet comments of every record follow the
    // style sheets' new IDs (cssRecords); the replacements are then spent.
    void checkCSSLinks();
    // The notes, sources and research logs re-point their style-sheet
    // comments (with `fixCSS`, when there are replacements) and their HTML
    // record links through `newIDs` (an empty new ID removes a link).
    void checkCSS(bool fixCSS, const HREFIDMap& newIDs);
    // The same over the records of a merge, which are the IDs being merged:
    // style-sheet comments in any of them, HTML links in the HTML kinds.
    void checkCSSandHREFLinksFor(const std::unordered_map<std::string, RecordPtr>& records, const HREFIDMap& newIDs);
    void detachAllCSSLinksTo(const std::string& recordID) override;

    // A picker's list of the records (or of the IDs, looked up here; IDs
    // that do not resolve are skipped); options "recordType", "howSorted"
    // and "sortOrder". nullptr when nothing was listed.
    static std::shared_ptr<RecordsListForPanel> getListFromArray(const Array& items, bool hasIDs,
                                                                 const Dictionary* options, GEDCOMModel* model);
    // Types made and deleted without undo (stored reports).
    static bool isUndoFreeType(const std::string& type) { return type == "_RPT"; }

private:
    friend class MergeController;
    void appendExportHeader(std::string& text, uint32_t flags, const std::string& filePath);
    void appendEmbeddedPackageData(std::string& text);
    struct SubsetWork;
    void appendSubsetRecords(const std::vector<RecordPtr>& records, std::string& text, SubsetWork& work);
    void appendJoiningFamilies(SubsetWork& work);
    void appendSubsetPlaces(std::string& text, SubsetWork& work);
    void doneDecodingRecord();
    // A read record, built, joins the store as its level-0 line would.
    void installHeader(RecordPtr header);
    void installRecord(RecordPtr record, const std::string& readName, bool verifyID);
    // An imported header's `_NSDATA` package dictionaries (GEDCOMModel+Embedded.cpp).
    void readEmbeddedPackageData(const RecordPtr& header);
    void readInto(const std::string& text, bool importing);
    void installWithoutUndo(const RecordPtr& record);
    RecordPtr createNewRecordWithID(const std::string& type, const std::string& recordID, const Value& info);
    void repairLinksOf(GEDCOMRecord& record, bool fixCSS, const HREFIDMap& newIDs, const HREFIDSet* mergeIDs);
    void deleteAndRegister(const RecordPtr& record);

    ModelDocument* document_ = nullptr;
    ModelDocument* delegate_ = nullptr;
    int32_t encoding_ = kDefaultEncoding;
    std::optional<Array> albumInput_;
    std::unique_ptr<RecordsIndices> recordsIndex_;
    std::unique_ptr<PlaceIndex> places_;
    // The parser lives on the reading worker; the mutex lets the main
    // thread poll it without racing its destruction.
    mutable std::mutex parseMutex_;
    GEDCOMParser* gedParse_ = nullptr;
    std::atomic<int32_t> totalRecordsDone_{0};
    std::atomic<bool> inSimplify_{false};
    std::atomic<int32_t> totalRecordsSimplified_{0};
    std::atomic<int32_t> totalToWrite_{0};
    std::atomic<bool> parsingAborted_{false};
    bool insertedSomeUUIDs_ = false;
    std::string inputGed_;
    Dictionary cssRecords_;
    int32_t impEncoding_ = kDefaultEncoding;
    std::string impCharSet_;
    std::string decodeWarning_;
    bool sawTrailer_ = true;
    std::string lastRecordRead_;
    // The package write under way has written its first bytes (a UTF-16
    // byte-order mark goes in front of the first chunk only).
    bool wroteFirstChunk_ = false;
    std::optional<std::vector<std::string>> readAlert_;

    // The one read in progress.
    RecordPtr decoding_;
    bool importing_ = false;
    // The pieces a read runs in, and whether the lists have room for what
    // the later pieces bring.
    int readPieces_ = 1;
    bool reservedForRead_ = false;
    // A document's read is followed by the tidying pass, which can then
    // skip the records tidied while the read went on; set for those reads.
    bool tidyWhileReading_ = false;
    bool tidyingPieces_ = false;
    std::vector<std::jthread> tidiers_;
    // Installed records gathered into batches, so that many small pieces
    // do not each start a team of tidiers.
    std::vector<RecordPtr> toTidy_;
    std::atomic<bool> tidiedUUIDs_{false};
    std::mutex tidyFailureMutex_;
    std::exception_ptr tidyFailure_;
    RecordScriptHost* scriptHost_ = nullptr;
};

}  // namespace kl
