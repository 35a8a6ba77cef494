#pragma once
// A document stand-in for record-store tests: an undo manager and a log of
// what the store told it, plus helpers to read GEDCOM text into a store.
#include <memory>
#include <string>
#include <vector>

#include "document/GEDCOMModel.h"
#include "document/ModelDocument.h"
#include "document/RecordsIndices.h"
#include "dates/DateClock.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include "model/FAMRecord.h"
#include "model/GEDCOMRecord.h"
#include "model/INDIRecord.h"

namespace kl::test {

class FakeDocument : public ModelDocument {
public:
    UndoManager* undoManager() override { return &undo; }
    void parceGEDCOMStep() override { ++parseSteps; }
    void removeThumbnail(const std::string& recordID) override { removedThumbnails.push_back(recordID); }

    UndoManager undo;
    int parseSteps = 0;
    std::vector<std::string> removedThumbnails;
};

// A document with a store that has read `text` with undo registration off.
struct StoreFixture {
    FakeDocument document;
    GEDCOMModel model{&document};

    void read(const std::string& text) {
        document.undo.disableUndoRegistration();
        model.setInputGed(text);
        model.setRecordsFromStringVerifyIDs(true, false);
        document.undo.enableUndoRegistration();
    }
    std::shared_ptr<RecordsList> list(const std::string& key) const { return model.recordsIndex().listForType(key); }
    std::size_t countOf(const std::string& key) const {
        auto l = list(key);
        return l ? l->count() : 0;
    }
    std::vector<std::string> listKeys() const {
        std::vector<std::string> keys;
        for (const auto& l : model.recordsIndex().lists()) keys.push_back(l->recordType());
        return keys;
    }
};

// Records every notification of the given names.
class NotificationLog {
public:
    explicit NotificationLog(std::vector<std::string> names) {
        for (auto& name : names)
            observations_.push_back(NotificationCenter::defaultCenter().addObserver(
                name, nullptr, [this](const Notification& n) { notes.push_back(n); }));
    }
    std::size_t count(const std::string& name) const {
        std::size_t n = 0;
        for (const auto& note : notes) n += note.name == name;
        return n;
    }
    const Notification* last(const std::string& name) const {
        for (auto it = notes.rbegin(); it != notes.rend(); ++it)
            if (it->name == name) return &*it;
        return nullptr;
    }
    std::vector<Notification> notes;

private:
    std::vector<Observation> observations_;
};

// A store of individuals and families read from level-0 records alone.
struct PeopleStoreFixture : StoreFixture {
    void load(const std::string& records) { read("0 HEAD\n1 CHAR UTF-8\n" + records + "0 TRLR\n"); }
    std::shared_ptr<INDIRecord> indi(const std::string& id) {
        return std::dynamic_pointer_cast<INDIRecord>(model.recordWithID(id, "INDI"));
    }
    std::shared_ptr<FAMRecord> fam(const std::string& id) {
        return std::dynamic_pointer_cast<FAMRecord>(model.recordWithID(id, "FAM"));
    }
    std::string text(const std::string& id) { return model.recordWithID(id, "")->gedcomString(); }
};

// Holds "today" at a fixed day for the life of the object.
class FixedToday {
public:
    FixedToday(int year, int month, int day) {
        DateClock::setSource([=] { return DateClock::LocalTime{year, month, day, 12, 0, 0}; });
    }
    ~FixedToday() { DateClock::setSource({}); }
    FixedToday(const FixedToday&) = delete;
    FixedToday& operator=(const FixedToday&) = delete;
};

}  // namespace kl::test
