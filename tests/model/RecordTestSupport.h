#pragma once
// Shared pieces of the record tests: a fixed clock and switch settings that
// are put back afterwards, an alert double that answers from a script, and a
// do -> undo -> redo runner that compares GEDCOM text and the notifications
// posted at each step.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FakeRecordStore.h"
#include "TreeTestSupport.h"
#include "dates/DateClock.h"
#include "model/GEDCOMRecord.h"
#include "model/ModelAlerts.h"

namespace kl::test {

inline const char* kToday = "5 MAR 2024";
inline const char* kNow = "13:45:07";

// Puts the clock at kToday/kNow and the record switches where a test wants
// them, and everything back when it ends.
class RecordEnvironment {
public:
    explicit RecordEnvironment(bool tracking = false, bool uuids = false, bool caching = false) {
        DateClock::setSource([] { return DateClock::LocalTime{2024, 3, 5, 13, 45, 7}; });
        GEDCOMRecord::setTrackingChangeDates(tracking);
        GEDCOMRecord::setInsertingUUIDs(uuids);
        GEDCOMRecord::setCachingWhenSave(caching);
        GEDCOMRecord::setAddingCreationDates(true);
        GEDCOMRecord::setUUIDMaker([this] { return "UUID-" + std::to_string(++uuidCount); });
    }
    ~RecordEnvironment() {
        DateClock::setSource({});
        GEDCOMRecord::setTrackingChangeDates(false);
        GEDCOMRecord::setInsertingUUIDs(false);
        GEDCOMRecord::setCachingWhenSave(false);
        GEDCOMRecord::setUUIDMaker({});
    }
    RecordEnvironment(const RecordEnvironment&) = delete;
    RecordEnvironment& operator=(const RecordEnvironment&) = delete;

    int uuidCount = 0;
};

// Answers alerts with the scripted button indexes and remembers them.
class ScriptedAlerts : public ModelAlerts {
public:
    struct Shown {
        std::string message;
        std::string informative;
        std::vector<std::string> buttons;
    };
    std::vector<int> answers;
    std::vector<Shown> shown;

    int runAlert(Style, const std::string& message, const std::string& informative,
                 const std::vector<std::string>& buttons) override {
        shown.push_back({message, informative, buttons});
        if (answers.empty()) return 0;
        int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

// Installs a ScriptedAlerts for the length of a scope.
struct AlertScope {
    std::shared_ptr<ScriptedAlerts> alerts = std::make_shared<ScriptedAlerts>();
    AlertScope() { ModelAlerts::install(alerts); }
    ~AlertScope() { ModelAlerts::install(nullptr); }
};

inline std::vector<std::string> namesOf(const NotificationLog& log) {
    std::vector<std::string> names;
    for (const auto& n : log.posted)
        if (n.name != "Record Structure Will Remove Notification") names.push_back(n.name);
    return names;
}

// The whole text of every record of the store, in ID order.
inline std::string storeText(FakeRecordStore& store) {
    std::string text;
    for (auto& [id, record] : store.records) text += record->gedcomString();
    return text;
}

}  // namespace kl::test
