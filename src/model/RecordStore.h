#pragma once
// RecordStore: what a record and its structures ask of the store that owns
// the record. The document's record store implements it; tests use a small
// fake. The tree holds it by plain pointer: a store outlives the records it
// lists, and a record taken out of it keeps the pointer so that undoing the
// deletion can put it back.
//
// Thread: the same as the records it serves (the main thread while editing,
// the reading or merging worker while it fills its records).
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class GEDCOMRecord;
class RecordScriptHost;
class UndoManager;

class RecordStore {
public:
    virtual ~RecordStore() = default;

    // The document's undo manager, or nullptr when changes are not undoable.
    virtual UndoManager* undoManager() = 0;
    // The record with that ID (with its "@" signs) and type; an empty type
    // matches any type. nullptr when there is none.
    virtual std::shared_ptr<GEDCOMRecord> recordWithID(const std::string& recordID,
                                                       const std::string& type) = 0;
    // The singular display name of a record type ("Source" for SOUR).
    virtual std::string singularNameForType(const std::string& type) = 0;

    // Posts a notification on the default centre with the store itself as
    // its object, so that observers can tell one document from another.
    virtual void postNotification(const std::string& name, Dictionary userInfo) = 0;
    // An ID of the type that no record of the store uses.
    virtual std::string getUniqueID(const std::string& type) = 0;
    // Takes a record out of the store with its links, undoably.
    virtual void deleteRecord(const std::shared_ptr<GEDCOMRecord>& record) = 0;
    // Told when a record gave itself a UUID, so the document knows to save.
    virtual void setInsertedSomeUUIDs(bool inserted) = 0;
    // The first record of the type's list, nullptr when the list is empty
    // (what the header links to when an imported file names no submitter).
    virtual std::shared_ptr<GEDCOMRecord> firstRecordOfType(const std::string& type) {
        (void)type;
        return nullptr;
    }
    // The records of the type's list, in list order (empty when none).
    virtual std::vector<std::shared_ptr<GEDCOMRecord>> recordsOfType(const std::string& type) {
        (void)type;
        return {};
    }
    // Every record of the type drops its links with the tag to the ID.
    virtual void detachLinksTo(const std::string& recordID, const std::string& tag, const std::string& type) {
        (void)recordID;
        (void)tag;
        (void)type;
    }
    // Every record of the type re-points its links with the tag.
    virtual void changeLinksTo(const std::string& oldID, const std::string& tag, const std::string& type,
                               const std::string& newID, bool withUndo) {
        (void)oldID;
        (void)tag;
        (void)type;
        (void)newID;
        (void)withUndo;
    }
    // The ID of the place record that holds a place name, if any.
    virtual std::optional<std::string> placeRecordIDForName(const std::string& placeName) {
        (void)placeName;
        return std::nullopt;
    }
    // What script commands of the store's records ask of the document;
    // nullptr while no document serves them.
    virtual RecordScriptHost* scriptHost() { return nullptr; }

    // ---- what multimedia records ask of the document behind the store
    // The object under which the store posts its notifications (and the
    // document its root-folder notifications), for observers to match.
    virtual const void* notificationObject() const { return this; }
    // The multimedia root folders, in order, each ending in "/".
    virtual std::vector<std::string> multimediaRoot() const { return {}; }
    // The document's own file; nullopt for an untitled document.
    virtual std::optional<std::filesystem::path> fileURL() const { return std::nullopt; }
    // The cached thumbnail (JPEG bytes) of a multimedia record, if any.
    virtual std::optional<std::string> getThumbnail(const std::string& recordID) {
        (void)recordID;
        return std::nullopt;
    }
    virtual void removeThumbnail(const std::string& recordID) { (void)recordID; }
    // The note record holding exactly the text, made when there is none
    // (`newRecord` then true); nullptr when the store makes no notes.
    virtual std::shared_ptr<GEDCOMRecord> addNoteRecord(const std::string& text, bool& newRecord) {
        (void)text;
        newRecord = false;
        return nullptr;
    }
    // ---- what the tidying after a read asks of the store
    // A new record of the type from the store's factory, installed (undoably
    // when registration is on); info as the factory reads it (the place name
    // of a _PLC). nullptr when the store makes no records.
    virtual std::shared_ptr<GEDCOMRecord> createNewRecordOfType(const std::string& type, const Value& info = {}) {
        (void)type;
        (void)info;
        return nullptr;
    }
    // The first record of the type whose level-1 lines hold each tag with
    // its text; nullptr when none does.
    virtual std::shared_ptr<GEDCOMRecord> recordType(const std::string& type, const Dictionary& matchingTags) const {
        (void)type;
        (void)matchingTags;
        return nullptr;
    }
    // The place record filed under the name, nullptr when none.
    virtual std::shared_ptr<GEDCOMRecord> placeForName(const std::string& name) const {
        (void)name;
        return nullptr;
    }
    // An embedded `_NSDATA` thumbnail's joined text for a multimedia record:
    // kept as its thumbnail when it holds an image; false when it did not.
    virtual bool setEmbeddedThumbnail(const std::string& recordID, const std::string& contents, std::string* error) {
        (void)recordID;
        (void)contents;
        if (error) *error = "no thumbnail store";
        return false;
    }
    // Style-sheet references ("<!--CSS" comments) to a multimedia record.
    virtual void detachAllCSSLinksTo(const std::string& recordID) { (void)recordID; }
    virtual void addCSSDictionaryObject(const std::string& newID, const std::string& oldID) {
        (void)newID;
        (void)oldID;
    }
};

}  // namespace kl
