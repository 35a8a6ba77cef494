#pragma once
// RecordsList: one ordered list of records: all records of a type, the one
// header or submission, the reports, the damaged records, or a user album.
// It keeps the display order, an ID dictionary for the lists of types 0-3,
// the sort that new records follow, album membership with undo, and its
// stored form, the album dictionary kept in the package attributes.
//
// Ownership: holds its records through shared_ptr (a record stays alive for
// an undo action or a worker after it leaves every list); the model is a
// plain back pointer (the model owns the index that owns the list). Lists
// are made with std::make_shared so that undo actions can hold them weakly.
//
// Thread: main thread; a reading worker fills lists while the main thread
// waits, and writers read them the same way.
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/NotificationCenter.h"
#include "foundation/Value.h"

namespace kl {

class ByteSink;
class GEDCOMModel;
class GEDCOMRecord;
class IndexStyle;
class KLExpression;

// Kinds of list, stored as "Album Type ID".
enum ListType : int32_t {
    ListRecordType = 0,
    ListSingleRecord = 1,
    ListUserDefinedType = 2,
    ListReports = 3,
    ListCorrupted = 4,
    ListUserAlbum = 5,
};

class RecordsList : public Object, public std::enable_shared_from_this<RecordsList> {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    using Records = std::vector<RecordPtr>;

    // Keys of the album dictionary.
    static constexpr const char* kRecordType = "Album Record Type";
    static constexpr const char* kName = "Album Name";
    static constexpr const char* kSortingArray = "Album Sorting Array";
    static constexpr const char* kTypeID = "Album Type ID";
    static constexpr const char* kRecordIDs = "Album Record IDs";
    static constexpr const char* kSelectedIDs = "Album Selected IDs";
    static constexpr const char* kLegacySorting = "Album Sorting";

    RecordsList(std::string recordType, GEDCOMModel* model);
    RecordsList();  // key "_Unk", no model
    ~RecordsList() override;
    RecordsList(const RecordsList&) = delete;
    RecordsList& operator=(const RecordsList&) = delete;

    static std::shared_ptr<RecordsList> listWithType(std::string recordType, std::string name, GEDCOMModel* model);
    // Starts observing; called once by the makers above (not by the constructor,
    // which cannot hand out weak references yet).
    virtual void registerMethods();

    // ---- stored form
    static std::shared_ptr<RecordsList> listFromDictionary(const Dictionary& album, GEDCOMModel* model);
    Dictionary listDictionary() const;

    // ---- membership
    virtual bool listUsesIdDict() const;
    // Appends; a single-record list that is taken refuses the record and
    // marks it as an extra record instead.
    virtual void addRecord(const RecordPtr& record);
    // Room for `count` records in all, so a large read does not rebuild the
    // ID table over and over as it fills.
    void reserveRecords(std::size_t count);
    // Sorted insertion when the list has a sort; `toIDList` also enters the ID.
    void addRecord(const RecordPtr& record, bool toIDList);
    void removeRecord(const RecordPtr& record);
    void recordWasDeleted(const RecordPtr& record, std::vector<std::shared_ptr<RecordsList>>& theLists);
    virtual void updateRecordIDState(const Notification& note);
    // Every record of a type list (but a single-record one) gets a UUID if
    // it has none; names the undo action when any did.
    void verifyUUIDs(const Notification& note);
    bool contains(const GEDCOMRecord* record) const;

    // ---- albums (do nothing unless this is a user album)
    void addRecordToAlbum(const RecordPtr& record);
    // Records that join an album made in the same undo step (a merge's):
    // undoing that step takes the album away with them, so they register
    // nothing of their own, and none of them can be in the album yet.
    void addRecordsToNewAlbum(const Records& records);
    void removeRecordFromAlbum(const RecordPtr& record);
    void addRecordToAlbumsWithRecord(const RecordPtr& record, const RecordPtr& other);
    // mode 0 intersection, 1 union, -1 difference
    void ISFilterAlbum(const RecordsList& other, int mode);
    // Undoable; posts "Records List Name Changed".
    void setName(std::string name);
    void initName(std::string name) { name_ = std::move(name); }

    // ---- lookups
    RecordPtr recordWithID(const std::string& recordID) const;
    RecordPtr recordWithIDIncludingAlbums(const std::string& recordID) const;
    RecordPtr recordWithViewName(const std::string& name) const;
    RecordPtr recordWithIndex(long index) const;
    RecordPtr recordMatchingTags(const Dictionary& tags) const;
    Records recordsWithTag(const std::string& tag, const std::string& content, bool matchCase) const;
    // The other records of the list that could merge with `record`.
    Records mergeableWith(const RecordPtr& record) const;
    RecordPtr stepRecord(int step, const RecordPtr& from) const;
    bool validateStepRecord(int step, const RecordPtr& from) const;
    std::vector<std::string> recordIDArray() const;
    Dictionary recordIDDictionary() const;
    std::string readAlbumID() const;
    std::string grecordID() const;
    const std::string& viewName() const { return name_; }

    // ---- upkeep
    void simplifyGEDCOMInList(int mode);
    // Each multimedia record's file lines tidied and its embedded
    // thumbnail taken out.
    void scanMultimediaFiles(int mode);
    void convert_REFToArray();

    // ---- writing (RecordsList+Writing.cpp)
    // Each record in the stored form, counted; the buffer goes to the sink
    // through the model whenever it passes the flush threshold. Only lists
    // of record types write.
    void writeGEDCOM(std::string& buffer, ByteSink& sink, std::atomic<int32_t>& recs) const;

    // ---- sorting
    // Where a record belongs in the order; the count when it goes last.
    std::size_t insertLocationForRecord(const GEDCOMRecord& record) const;
    std::size_t insertLocationForString(const std::string& value, const KLExpression& sort, bool numeric,
                                        const std::optional<std::string>& altValue, const KLExpression* altSort,
                                        bool altNumeric) const;
    // Position of the last record with a non-blank value, -1 when none.
    long lastNonBlank(const KLExpression& sort, const KLExpression* altSort) const;
    // Type-ahead: the position of the first record whose sort value starts
    // with the text (case-insensitive); -1 when the list is unsorted or empty.
    long findSortedString(const std::string& typed, std::string* match) const;
    // Re-places one edited record; posts "List Order or Text Changed Notification".
    void updateRecordState(const Notification& note);
    // Sorts by a column of the list's style; a second sort by the same
    // column reverses the order. Posts "Column Order Changed".
    void sortColumn(int column);

    // ---- writers (lists of types 0 to 2; `recs` counts the records written)
    // The export form when `forExport`, else the stored form; stops when the
    // model's delegate no longer reports status 0.
    void exportGEDCOM(std::string& text, bool allowCache, std::atomic<int32_t>& recs, bool forExport) const;
    // The export form of each record, each followed by its thumbnail when
    // asked; stops like exportGEDCOM.
    void exportOBJEGEDCOM(std::string& text, bool allowCache, std::atomic<int32_t>& recs, bool thumbnails) const;

    // ---- accessors
    const std::string& recordType() const { return recordType_; }
    void setRecordType(std::string type) { recordType_ = std::move(type); }
    const std::string& name() const { return name_; }
    const Records& order() const { return order_; }
    Records& mutableOrder() { return order_; }
    void setOrder(Records order) { order_ = std::move(order); }
    const std::vector<std::string>& readOrder() const { return readOrder_; }
    void setReadOrder(std::vector<std::string> ids) { readOrder_ = std::move(ids); }
    std::size_t count() const { return order_.size(); }
    int32_t listType() const { return listType_; }
    void setListType(int32_t type) { listType_ = type; }
    const std::shared_ptr<IndexStyle>& indexStyle() const { return indexStyle_; }
    void setIndexStyle(std::shared_ptr<IndexStyle> style) { indexStyle_ = std::move(style); }
    const std::vector<std::string>& howSorted() const { return howSorted_; }
    void setHowSorted(std::vector<std::string> sort, int32_t order) {
        howSorted_ = std::move(sort);
        sortOrder_ = order;
    }
    int32_t sortOrder() const { return sortOrder_; }
    void setSortOrder(int32_t order) { sortOrder_ = order; }
    bool canSort() const { return canSort_; }
    void setCanSort(bool can) { canSort_ = can; }
    GEDCOMModel* model() const { return model_; }
    void setModel(GEDCOMModel* model) { model_ = model; }
    const std::vector<std::string>& selectedRecords() const { return selectedRecords_; }
    void setSelectedRecords(std::vector<std::string> ids) { selectedRecords_ = std::move(ids); }
    int32_t idNumber() const { return idNumber_; }
    void setIdNumber(int32_t n) { idNumber_ = n; }
    const std::unordered_map<std::string, RecordPtr>& idDict() const { return idDict_; }
    const Records& albumRecords() const { return order_; }

protected:
    std::shared_ptr<RecordsList> sharedList() { return shared_from_this(); }
    std::vector<Observation> observations_;
    std::unordered_map<std::string, RecordPtr> idDict_;

private:
    friend class RecordSorter;
    bool isAlbum() const { return listType_ == ListUserAlbum; }
    void postAlbumChanged() const;
    void registerAlbumUndo(const RecordPtr& record, bool addBack);
    void insertSorted(const RecordPtr& record);
    bool refusesExtraRecord(const RecordPtr& record);

    std::string recordType_;
    Records order_;
    std::vector<std::string> readOrder_;
    std::string name_;
    std::vector<std::string> howSorted_;
    std::vector<std::string> selectedRecords_;
    int32_t sortOrder_ = -1;
    int32_t listType_ = ListRecordType;
    int32_t idNumber_ = 0;
    bool canSort_ = true;
    GEDCOMModel* model_ = nullptr;
    std::shared_ptr<IndexStyle> indexStyle_;
};

}  // namespace kl
