#pragma once
// RecordsListForPanel: a records list built for a record picker or panel: it
// appends without sorting or an ID dictionary and answers no list changes,
// since it only shows a snapshot while the picker is open.
//
// Ownership: owned by the picker that shows it; holds its records through
// shared_ptr like any list. Thread: main thread.
#include <memory>
#include <string>

#include "document/RecordsList.h"

namespace kl {

class RecordsListForPanel : public RecordsList {
public:
    using RecordsList::RecordsList;

    static std::shared_ptr<RecordsListForPanel> listWithType(std::string recordType, GEDCOMModel* model);
    // The other list's key, model, records, name, sort and list type.
    static std::shared_ptr<RecordsListForPanel> listWithList(const RecordsList& list);

    void registerMethods() override;
    bool listUsesIdDict() const override { return false; }
    void addRecord(const RecordPtr& record) override;
    void updateRecordIDState(const Notification&) override {}
};

}  // namespace kl
