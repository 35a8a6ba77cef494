#include "model/GEDCOMGrammar.h"

#include "dates/DateBridge.h"
#include "foundation/Logger.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/RecordStore.h"
#include "model/ReportText.h"

namespace kl {

namespace {

std::string joinPath(const std::vector<std::string>& tags) {
    std::string path;
    for (const auto& tag : tags) {
        if (!path.empty()) path += '.';
        path += tag;
    }
    return path;
}

// The items of a check text, split at ":".
std::vector<std::string_view> checkItems(std::string_view check) {
    std::vector<std::string_view> items;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = check.find(':', start);
        items.push_back(check.substr(start, colon == std::string_view::npos ? colon : colon - start));
        if (colon == std::string_view::npos) return items;
        start = colon + 1;
    }
}

std::string singularName(const GEDCOMRecord& record, std::string_view type) {
    RecordStore* store = record.model();
    return store ? store->singularNameForType(std::string(type)) : std::string(type);
}

std::shared_ptr<GEDCOMRecord> findRecord(const GEDCOMRecord& record, const std::string& id, std::string_view type) {
    RecordStore* store = record.model();
    if (!store || id.empty()) return nullptr;
    return store->recordWithID(id, type == "ANY" ? std::string() : std::string(type));
}

bool hasBackLink(const GEDCOMRecord& target, std::string_view backTag, const std::string& id) {
    for (const auto& line : target.structures()) {
        const std::string& tag = line->gtag();
        const bool tagMatches = backTag == "HUSBWIFE" ? (tag == "HUSB" || tag == "WIFE") : tag == backTag;
        if (tagMatches && line->contents() == id) return true;
    }
    return false;
}

bool isMale(const GEDCOMRecord& record) {
    const auto* person = dynamic_cast<const INDIRecord*>(&record);
    return person && (person->sexChar() == u'M');
}

}  // namespace

GEDCOMGrammar::Rule GEDCOMGrammar::resolve(const Value& rule) {
    if (const std::string* text = rule.string()) {
        if (const Value* set = grammar_.get(*text); set && set->dictionary()) return {"", set};
        return {*text, nullptr};
    }
    const Dictionary* dictionary = rule.dictionary();
    if (!dictionary) return {"", nullptr};
    const Value* own = &rule;
    if (const Value* setName = dictionary->get("tagset")) {
        auto found = merged_.find(&rule);
        if (found == merged_.end()) {
            const Value* set = grammar_.get(setName->toString());
            std::unique_ptr<Value> combined;
            if (set && set->dictionary()) {
                Dictionary merged = *set->dictionary();
                for (std::size_t i = 0; i < dictionary->size(); ++i)
                    if (dictionary->keyAt(i) != "tagset") merged.set(dictionary->keyAt(i), dictionary->valueAt(i));
                combined = std::make_unique<Value>(std::move(merged));
            } else {
                Logger::log("could not load tag set dictionary {}", setName->toString());
            }
            found = merged_.emplace(&rule, std::move(combined)).first;
        }
        if (found->second) own = found->second.get();
    }
    const Value* content = own->dictionary()->get("content");
    return {content ? content->toString() : std::string(), own};
}

void GEDCOMGrammar::checkStructures(GEDCOMObject& node, const GEDCOMRecord& record, std::vector<std::string>& messages,
                                    std::vector<std::string>& tags, const Value* currentGrammar, int flags,
                                    const DeleteCustom& deleteCustom) {
    const Dictionary* lines = currentGrammar ? currentGrammar->dictionary() : nullptr;
    // A copy: the list is read while the caller may be told of deletions.
    const GEDCOMObject::StructureList children = node.structures();
    for (const auto& child : children) {
        const std::string& tag = child->gtag();
        const Value* rule = lines && tag != "content" && tag != "tagset" ? lines->get(tag) : nullptr;
        if (!rule) {
            if (!tag.empty() && tag.front() == '_') {
                if (flags & kDeleteCustom) {
                    if (deleteCustom) deleteCustom(child, node);
                } else if (!(flags & kIgnoreCustom)) {
                    messages.push_back(joinPath(tags) + "." + tag + " with value '" + child->contents() +
                                       "' is an unrecognized custom GEDCOM tag.");
                }
            } else {
                messages.push_back(joinPath(tags) + "." + tag + " with value '" + child->contents() +
                                   "' is an invalid GEDCOM tag at this location.");
            }
            continue;
        }
        const Rule resolved = resolve(*rule);
        if (!resolved.check.empty()) {
            std::string failure = checkContent(resolved.check, joinPath(tags), tag, child->contents(), record);
            if (!failure.empty()) messages.push_back(std::move(failure));
        }
        tags.push_back(tag);
        checkStructures(*child, record, messages, tags, resolved.subGrammar, flags, deleteCustom);
        tags.pop_back();
    }
}

std::string GEDCOMGrammar::checkContent(std::string_view check, const std::string& path, const std::string& tag,
                                        const std::string& value, const GEDCOMRecord& record) const {
    const std::vector<std::string_view> items = checkItems(check);
    const std::string_view kind = items.front();
    if (kind == "XREF" && items.size() >= 2) {
        if (findRecord(record, value, items[1])) return "";
        if (items[1] == "ANY")
            return report::fill("%@.%@ should link to a record, but the link is invalid.", {path, tag});
        return report::fill("%@.%@ should link to a %@ record, but the link is invalid.",
                            {path, tag, singularName(record, items[1])});
    }
    if (kind == "BREF" && items.size() >= 3) {
        const auto target = findRecord(record, value, items[1]);
        if (!target)
            return report::fill("%@.%@ should link to a %@ record, but the link is invalid.",
                                {path, tag, singularName(record, items[1])});
        if (hasBackLink(*target, items[2], record.grecordID())) return "";
        const std::string back = items[2] != "HUSBWIFE" ? std::string(items[2])
                                 : isMale(record)       ? "HUSB (or WIFE)"
                                                        : "WIFE (or HUSB)";
        return report::fill(
            "%@.%@ links to a %@ record, but that record does not have the required %@ link back to this "
            "record.",
            {path, tag, singularName(record, items[1]), back});
    }
    if (kind == "MORFORU") {
        const char first = value.empty() ? '\0' : value.front();
        if (std::string_view("MFUmfu").find(first) != std::string_view::npos && first != '\0') return "";
        return report::fill(
            "%@.%@ value is '%@', but it should be a single character 'M', 'F', or 'U' to indicate "
            "individual's gender or unknown gender.",
            {path, tag, value});
    }
    if (kind == "YESONLY") {
        if (tag == "EVEN" || value.empty() || value == "Y" || value == "y" || value == " ") return "";
        return report::fill("%@.%@ value is '%@', but should be 'Y' or empty where 'Y' means the event has occurred.",
                            {path, tag, value});
    }
    if (kind == "DATE") {
        bool valid = false;
        const std::string answer = validateDateString(value, valid);
        if (valid || answer == "The date is empty.") return "";
        return report::fill("%@.%@ value '%@' is not a valid GEDCOM date: %@", {path, tag, value, answer});
    }
    Logger::log("content check of type {} not done", std::string(check));
    return "";
}

}  // namespace kl
