// Library data, country names and the event definitions of the current
// format.
#include <algorithm>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "foundation/Exception.h"
#include "foundation/PropertyList.h"
#include "foundation/TextCompare.h"

namespace kl {

namespace {

// The joined lists, each made only when all its parts and its gate exist:
// the individual joins need the individual events.
struct JoinedList {
    const char* name;
    std::vector<const char*> parts;
    const char* gate;
};

const std::vector<JoinedList>& joinedLists() {
    static const std::vector<JoinedList> lists{
        {"INDIEvntsAttrs", {"INDIEvents", "INDIAttributes"}, "INDIEvents"},
        {"INDIEvntsOrdns", {"INDIEvents", "INDIOrdinances"}, "INDIEvents"},
        {"INDIAttrsOrdns", {"INDIAttributes", "INDIOrdinances"}, "INDIEvents"},
        {"INDIEvntsAttrsOrdns", {"INDIEvents", "INDIAttributes", "INDIOrdinances"}, "INDIEvents"},
        {"FAMEvntsOrdns", {"FAMEvents", "FAMOrdinances"}, "FAMEvents"},
    };
    return lists;
}

std::string eventTag(const std::string& key) {
    for (const char* general : {"EVEN", "FACT"})
        if (key.size() >= 5 && key.starts_with(general)) return general;
    return key;
}

}  // namespace

void LibraryFolder::readMergeKLLibrary() {
    try {
        klDictionary_ = AppController::readBundleDictionary("KLLibraryData");
    } catch (const NamedException&) {
        raise("NSInternalInconsistencyException", "Resource error opening library data file");
    }
    for (const JoinedList& joined : joinedLists()) {
        Array all;
        bool complete = klDictionary_.contains(joined.gate);
        for (const char* part : joined.parts) {
            if (!complete) break;
            const Value* list = klDictionary_.get(part);
            if (!list || !list->array()) {
                complete = false;
                break;
            }
            all.insert(all.end(), list->array()->begin(), list->array()->end());
        }
        if (complete) klDictionary_.set(joined.name, Value(std::move(all)));
    }
    publishServices();
}

void LibraryFolder::readCountryCodes() {
    try {
        countryCodes_ = AppController::readBundleDictionary("CountryCodes");
    } catch (const NamedException&) {
        countryCodes_ = Dictionary();
    }
}

std::optional<std::string> LibraryFolder::countryForCode(const std::string& code) const {
    const Value* name = countryCodes_.get(code);
    if (!name || !name->isString()) return std::nullopt;
    return *name->string();
}

void LibraryFolder::createIndiFamEvents(const std::filesystem::path& eventList, const std::string& type) {
    const Dictionary list = PropertyList::readDictionaryFile(eventList).value_or(Dictionary());
    std::vector<EventDefinition> events;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string& key = list.keyAt(i);
        const Array* entry = list.valueAt(i).array();
        const std::string nameKey = entry && !entry->empty() ? entry->front().toString() : key;
        events.push_back(EventDefinition{key, eventTag(key), nameKey, localString(nameKey)});
    }
    std::stable_sort(events.begin(), events.end(), [](const EventDefinition& a, const EventDefinition& b) {
        return compareCaseInsensitive(a.name, b.name) < 0;
    });
    (type == "INDI" ? individualEvents_ : familyEvents_) = std::move(events);
    publishServices();
}

void LibraryFolder::changeLanguage() {
    for (auto* events : {&individualEvents_, &familyEvents_}) {
        for (EventDefinition& event : *events) event.name = localString(event.nameKey);
        std::stable_sort(events->begin(), events->end(), [](const EventDefinition& a, const EventDefinition& b) {
            return compareCaseInsensitive(a.name, b.name) < 0;
        });
    }
    publishServices();
}

}  // namespace kl
