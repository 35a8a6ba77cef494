#pragma once
// RecordsIndices: the record index of one store: the lists in the order the
// index window shows them (one per record type present, the reports, the
// "Corrupted" list and the user albums), with lookups across them. The class
// also owns the fixed tables of record types: display names, ID prefixes and
// the type order that the record factory follows.
//
// Ownership: owned by its GEDCOMModel (plain back pointer); owns its lists
// through shared_ptr.
// Thread: main thread, or a reading/writing worker while the main thread waits.
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "document/RecordsList.h"
#include "foundation/Value.h"

namespace kl {

class ByteSink;
class GEDCOMModel;
class GEDCOMRecord;

class RecordsIndices {
public:
    using ListPtr = std::shared_ptr<RecordsList>;
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    static constexpr const char* kCorrupted = "Corrupted";
    static constexpr int kUnknownTypeIndex = 14;

    // With album dictionaries, one list per dictionary in their order;
    // without, empty INDI and FAM lists.
    explicit RecordsIndices(GEDCOMModel* model = nullptr, const Array* albums = nullptr);
    RecordsIndices(const RecordsIndices&) = delete;
    RecordsIndices& operator=(const RecordsIndices&) = delete;

    // ---- type tables
    static std::string idStartForType(const std::string& type);
    static std::optional<std::string> recordTypeAtIndex(long index);
    static int indexForRecordType(const std::string& type);
    static std::string singularNameForRecordType(const std::string& type, const GEDCOMRecord* record);
    static std::string pluralNameForRecordType(const std::string& type, const GEDCOMRecord* record);
    static const std::map<std::string, std::string>& recordTypeSingularName();
    static std::optional<std::string> tagFromLocalizedName(const std::string& name);
    static std::string paneIDForRecordType(const std::string& type);
    static void setPaneID(const std::string& paneID, const std::string& type);
    static bool userType(const std::string& key);
    // The list type a key gets.
    static int32_t listTypeForKey(const std::string& key);

    // ---- building
    void resetAlbums(const Array* albums);
    ListPtr addList(const std::string& key, ListPtr list);
    void addExistingList(const ListPtr& list) { addList(list->recordType(), list); }
    // A new album key "User Album %d"; numbers come from one process-wide
    // counter, so albums of different documents never share a key.
    std::string uniqueAlbumType() const;
    void removeList(const ListPtr& list);
    void removeListForType(const std::string& key);
    void reloadKeys();
    // After a read: fills the albums from their stored IDs (those that name
    // no record are left out) and drops the lists left without records,
    // except user albums.
    void trimEmptyLists();
    // Room in each list of records for `factor` times what it holds.
    void reserveRecords(std::size_t factor);
    // Moves the list at `from` to `to` (undoable).
    void moveRowFrom(long from, long to);

    // The tidying pass over every record list after a read.
    void simplifyGEDCOM(int mode);
    // Each record's own part of that tidying, on several threads; only with
    // undo registration off.
    void prepareAfterRead();
    void convert_REFDictionaries(const std::string& type);

    // ---- records
    bool addRecord(const RecordPtr& record, bool sorted);
    bool addCorruptedRecord(const RecordPtr& record, bool sorted);
    bool removeCorruptedRecord(const RecordPtr& record);

    // ---- lookups
    RecordPtr recordWithID(const std::string& recordID) const;
    RecordPtr recordWithID(const std::string& recordID, const std::string& type) const;
    RecordPtr recordAtIndex(long index) const;
    RecordPtr recordWithViewName(const std::string& name) const;
    RecordPtr recordType(const std::string& type, const Dictionary& matchingTags) const;
    ListPtr listForType(const std::string& key) const;
    const std::vector<ListPtr>& lists() const { return lists_; }
    std::size_t count() const { return lists_.size(); }
    RecordPtr header() const;
    RecordPtr submission() const;
    long corruptedIndex() const { return recordTypeIndex(kCorrupted); }
    long recordTypeIndex(const std::string& key) const;
    std::vector<ListPtr> albums() const;
    ListPtr userAlbumNamed(const std::string& name) const;
    ListPtr userAlbumWithId(const std::string& albumID) const;
    ListPtr userAlbumAtIndex(long index) const;
    Array albumOrder() const;
    std::size_t numberOfRecords() const;
    std::size_t numberOfLogRecords() const;
    std::size_t numberOfObjeRecords() const;
    std::vector<RecordPtr> collectRecords(const std::optional<std::string>& key) const;
    std::unordered_map<std::string, RecordPtr> collectIDs() const;

    // ---- writers; a type without a list writes nothing
    // The type's list in the stored form, flushing the buffer to the sink
    // as it fills (the package form).
    void writeType(const std::string& type, ByteSink& sink, std::string& buffer, std::atomic<int32_t>& recs) const;
    // The type's list in the export form.
    void exportType(const std::string& type, std::string& text, std::atomic<int32_t>& recs) const;
    // The OBJE list in the export form, with thumbnails on request; `forPHP`
    // changes nothing and is kept for callers that pass it.
    void exportOBJETo(std::string& text, std::atomic<int32_t>& recs, bool thumbnails, bool forPHP) const;
    // The user-defined types in display order, then the damaged records that
    // no type list holds (a duplicate ID, an extra header or submission).
    void appendRestToGEDCOM(std::string& text, bool allowCache, std::atomic<int32_t>& recs, bool forExport) const;

    GEDCOMModel* model() const { return model_; }
    int32_t editRowIndex() const { return editRowIndex_; }
    void setEditRowIndex(int32_t row) { editRowIndex_ = row; }

private:
    static bool isRecordList(const RecordsList& list) { return list.listType() <= ListUserDefinedType; }
    void buildFromAlbums(const Array& albums);
    std::size_t countOf(const std::string& key) const;

    std::vector<ListPtr> lists_;
    std::unordered_map<std::string, ListPtr> listKeys_;
    GEDCOMModel* model_ = nullptr;
    int32_t editRowIndex_ = -1;
};

}  // namespace kl
