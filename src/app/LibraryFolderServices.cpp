#include "app/LibraryFolderServices.h"

#include "app/LibraryFolder.h"

namespace kl {

namespace {

// A definition whose key is the tag itself names it before the custom
// "EVEN..." and "FACT..." keys that share a tag.
void addEvents(std::map<std::string, std::string, std::less<>>& names, const std::vector<EventDefinition>& events) {
    for (const EventDefinition& event : events)
        if (event.key == event.tag) names[event.tag] = event.name;
    for (const EventDefinition& event : events) names.emplace(event.tag, event.name);
}

}  // namespace

LibraryFolderServices::LibraryFolderServices(const LibraryFolder& library) {
    const Dictionary& data = library.libraryData();
    for (std::size_t i = 0; i < data.size(); ++i) {
        const Array* list = data.valueAt(i).array();
        if (!list) continue;
        auto tags = std::make_shared<TagList>();
        tags->reserve(list->size());
        bool allTexts = true;
        for (const Value& item : *list) {
            if (!item.isString()) {
                allTexts = false;
                break;
            }
            tags->push_back(*item.string());
        }
        if (allTexts) tagLists_.emplace(data.keyAt(i), std::move(tags));
    }
    const Dictionary& strings = library.localStrings();
    strings_.reserve(strings.size());
    for (std::size_t i = 0; i < strings.size(); ++i)
        if (strings.valueAt(i).isString()) strings_.emplace(strings.keyAt(i), *strings.valueAt(i).string());
    addEvents(individualEvents_, library.individualEvents());
    addEvents(familyEvents_, library.familyEvents());
}

std::shared_ptr<const LibraryServices::TagList> LibraryFolderServices::tagList(std::string_view name) const {
    const auto found = tagLists_.find(name);
    return found == tagLists_.end() ? nullptr : found->second;
}

std::string LibraryFolderServices::localString(std::string_view key) const {
    const auto found = strings_.find(std::string(key));
    return found == strings_.end() ? std::string(key) : found->second;
}

std::optional<std::string> LibraryFolderServices::eventName(std::string_view recordType, std::string_view tag) const {
    const auto& names = recordType == "INDI" ? individualEvents_ : familyEvents_;
    if (recordType != "INDI" && recordType != "FAM") return std::nullopt;
    const auto found = names.find(tag);
    if (found == names.end()) return std::nullopt;
    return found->second;
}

}  // namespace kl
