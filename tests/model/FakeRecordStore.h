#pragma once
// A record store for the record tests: a map of records by ID, its own undo
// manager, and a log of what the records asked of it. Deleting takes the
// record out of the map after removing its links, as the document's store
// does, and registers the reinstall as undo.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/RecordStore.h"

namespace kl::test {

class FakeRecordStore : public RecordStore {
public:
    UndoManager undo;
    std::map<std::string, std::shared_ptr<GEDCOMRecord>> records;
    std::vector<std::string> deleted;
    bool insertedUUIDs = false;
    std::map<std::string, std::string> placeIDs;  // place name -> record ID

    ~FakeRecordStore() override {
        // Records may outlive the store in undo actions and tests.
        for (auto& [id, record] : records) record->setModel(nullptr);
    }

    template <class Kind = GEDCOMRecord>
    std::shared_ptr<Kind> add(const std::string& id, const std::string& type, const std::string& lines = "") {
        auto record = std::make_shared<Kind>(id, type);
        if (!lines.empty()) record->reparse("0 " + id + " " + type + "\n" + lines);
        install(record);
        undo.removeAllActions();  // what a test starts from is not undoable
        return record;
    }

    // Install and delete are each other's undo, as in the document's store.
    void install(const std::shared_ptr<GEDCOMRecord>& record) {
        records[record->grecordID()] = record;
        record->setModel(this);
        undo.registerUndo(this, [this, record] { deleteRecord(record); });
    }

    UndoManager* undoManager() override { return &undo; }

    std::shared_ptr<GEDCOMRecord> recordWithID(const std::string& id, const std::string& type) override {
        auto it = records.find(id);
        if (it == records.end()) return nullptr;
        if (!type.empty() && it->second->recordType() != type) return nullptr;
        return it->second;
    }

    std::string singularNameForType(const std::string& type) override { return type; }

    void postNotification(const std::string& name, Dictionary userInfo) override {
        NotificationCenter::defaultCenter().post(name, this, std::move(userInfo));
    }

    std::string getUniqueID(const std::string& type) override {
        return "@" + type.substr(0, 1) + std::to_string(records.size() + 1) + "@";
    }

    void deleteRecord(const std::shared_ptr<GEDCOMRecord>& record) override {
        if (!record->linksChanged()) record->removeAllLinks();
        records.erase(record->grecordID());
        deleted.push_back(record->grecordID());
        undo.registerUndo(this, [this, record] { install(record); });
    }

    void setInsertedSomeUUIDs(bool inserted) override { insertedUUIDs = inserted; }

    std::optional<std::string> placeRecordIDForName(const std::string& name) override {
        auto it = placeIDs.find(name);
        if (it == placeIDs.end()) return std::nullopt;
        return it->second;
    }
};

}  // namespace kl::test
