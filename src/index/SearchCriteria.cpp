#include "index/SearchCriteria.h"

#include <algorithm>

#include "dates/DateBridge.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "foundation/TextCase.h"

namespace kl {

namespace {

const char* const kRequiredText = "Required search text is empty.";
const char* const kRequiredTextInfo = "At least one search criterion needs some text to make sense.";

SearchCriteria::Failure invalidDate(const std::string& text) {
    return {"Cannot search for date '" + text + "' because it is an invalid date.",
            "When comparing to dates (using is, is before, or is after), the search text must be a valid date.",
            false};
}

bool usesRegex(int comparison) {
    return comparison == SearchCriteria::MatchesRegex || comparison == SearchCriteria::DoesNotMatchRegex;
}

// Compiled once, before the search: a pattern std::regex cannot take is
// refused then rather than failing on the worker. Unicode property classes
// (\p{L}) are not part of ECMAScript patterns here.
std::optional<SearchCriteria::Failure> compile(const std::string& pattern, std::shared_ptr<const std::regex>& out) {
    const SearchCriteria::Failure failure{"Invalid regular expression", pattern, true};
    if (pattern.find("\\p{") != std::string::npos || pattern.find("\\P{") != std::string::npos) return failure;
    try {
        out = std::make_shared<const std::regex>(pattern, std::regex::ECMAScript);
    } catch (const std::regex_error&) {
        return failure;
    }
    return std::nullopt;
}

// The whole GEDCOM line around a range: from the start of its line to the
// end of its contents.
std::string lineHolding(const std::string& text, const SearchCriteria::Range& range) {
    const std::size_t at = std::min(range.first, text.size());
    const std::size_t begin = at == 0 ? 0 : (text.rfind('\n', at - 1) == std::string::npos ? 0 : text.rfind('\n', at - 1) + 1);
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    if (end > begin && text[end - 1] == '\r') --end;
    return text.substr(begin, end - begin);
}

}  // namespace

const std::vector<std::string>& SearchCriteria::mainOptions() {
    static const std::vector<std::string> titles{
        "Name/Title",    "Record Type",  "In Album",   "Birth Date",  "Birth Place",
        "Death Date",    "Death Place",  "Marriage Date", "Marriage Place", "Change Date",
        "Expression:",   "...(Expression Ideas)", "Any Date", "Any Place", "Creation Date", "GEDCOM Text"};
    return titles;
}

const std::vector<std::string>& SearchCriteria::compareOptions() {
    static const std::vector<std::string> titles{"is",         "is not",     "contains",           "does not contain",
                                                 "starts with", "ends with",  "does not start with", "does not end with",
                                                 "is before",   "is after",   "is any text",        "matches regex",
                                                 "does not match regex"};
    return titles;
}

const std::vector<std::string>& SearchCriteria::mainExpressions() {
    static const std::vector<std::string> expressions{
        "view", "rec", "album", "BIRT.DATE", "BIRT.PLAC", "DEAT.DATE", "DEAT.PLAC", "MARR.DATE",
        "MARR.PLAC", "CHAN.DATE", "", "", "", "", "", ""};
    return expressions;
}

int SearchCriteria::displayStateForKind(int kind) {
    switch (kind) {
    case RecordType: return 1;
    case InAlbum: return 5;
    case Expression:
    case ExpressionIdeas: return 2;
    case GEDCOMText: return 4;
    default: return 0;
    }
}

std::vector<std::string> SearchCriteria::recordTypeTitles() {
    std::vector<std::string> titles;
    for (const auto& [type, name] : RecordsIndices::recordTypeSingularName())
        if (type != "_RPT") titles.push_back(name);
    titles.emplace_back("Unused Place");
    titles.emplace_back("Other");
    return titles;
}

// ---- reading and validating

std::optional<SearchCriteria> SearchCriteria::readCriteria(const std::vector<CriterionRow>& rows,
                                                           const RecordsIndices& index) {
    SearchCriteria criteria;
    const auto& expressions = mainExpressions();
    for (const CriterionRow& row : rows) {
        if (row.kind < 0 || row.kind > GEDCOMText || row.kind == ExpressionIdeas) continue;
        if (row.kind == RecordType) {
            if (row.recordTypeTitle == "Other")
                criteria.recordTypes_.emplace_back("Unknown");
            else
                criteria.recordTypes_.push_back(
                    RecordsIndices::tagFromLocalizedName(row.recordTypeTitle).value_or(row.recordTypeTitle));
            continue;
        }
        const std::string path = row.kind == Expression ? row.expression : expressions[static_cast<std::size_t>(row.kind)];
        if (row.kind == InAlbum || path.empty()) {
            OtherCriterion other{row.kind, row.comparison, row.text, nullptr, 0, nullptr};
            if (row.kind == InAlbum) {
                const auto albums = index.albums();
                if (row.albumIndex >= 0 && static_cast<std::size_t>(row.albumIndex) < albums.size())
                    other.album = albums[static_cast<std::size_t>(row.albumIndex)];
            }
            criteria.others_.push_back(std::move(other));
            continue;
        }
        KLExpression expression(path);
        if (isDateComparison(row.comparison)) {
            KLExpression bySdn = expression.dateSortExpression();
            if (KLExpression::lastWord(bySdn.expressionString(true)) == "sdn") {
                criteria.dates_.push_back(
                    DateCriterion{bySdn, KLExpression(bySdn.expressionString(false)), row.comparison, row.text, 0});
                continue;
            }
        }
        if (row.comparison != IsAnyText && row.text.empty()) return std::nullopt;
        criteria.expressions_.push_back(ExpressionCriterion{std::move(expression), row.comparison, row.text, nullptr});
    }
    return criteria;
}

std::optional<SearchCriteria::Failure> SearchCriteria::validate() {
    for (const auto& type : recordTypes_)
        if (type != recordTypes_.front())
            return Failure{"Search criteria are trying to match two different record types.",
                           "Only one criterion can use the 'Record Type' option.", false};
    for (auto& date : dates_) {
        date.target = earliestSdnForDate(date.text);
        if (date.target == 0) return invalidDate(date.text);
    }
    for (auto& other : others_) {
        if ((other.kind == AnyDate || other.kind == CreationDate) && isDateComparison(other.comparison)) {
            other.target = earliestSdnForDate(other.text);
            if (other.target == 0) return invalidDate(other.text);
            other.kind = other.kind == AnyDate ? AnyDateByDay : CreationDateByDay;
        }
        if (other.comparison != IsAnyText && other.kind != InAlbum && other.kind != AnyDateByDay &&
            other.kind != CreationDateByDay && other.text.empty())
            return Failure{kRequiredText, kRequiredTextInfo, false};
    }
    for (auto& criterion : expressions_)
        if (usesRegex(criterion.comparison))
            if (auto failure = compile(criterion.text, criterion.regex)) return failure;
    for (auto& other : others_)
        if (usesRegex(other.comparison) && other.kind != InAlbum && other.kind != AnyDateByDay &&
            other.kind != CreationDateByDay)
            if (auto failure = compile(other.text, other.regex)) return failure;
    return std::nullopt;
}

std::vector<std::shared_ptr<GEDCOMRecord>> SearchCriteria::recordsToSearch(const RecordsIndices& index) const {
    return index.collectRecords(recordTypes_.empty() ? std::nullopt : std::optional<std::string>(recordTypes_.front()));
}

// ---- comparisons

bool SearchCriteria::searchCompare(const std::string& value, const std::string& text, int comparison,
                                   bool hasStructure, std::optional<Range>* range, const std::regex* regex) {
    if (comparison == IsAnyText) return hasStructure;
    if (usesRegex(comparison)) {
        std::optional<std::regex> local;
        if (!regex) {
            try {
                local.emplace(text, std::regex::ECMAScript);
            } catch (const std::regex_error&) {
                return comparison == DoesNotMatchRegex;
            }
            regex = &*local;
        }
        std::smatch match;
        const bool found = std::regex_search(value, match, *regex);
        if (range)
            *range = found ? std::optional<Range>(Range{static_cast<std::size_t>(match.position(0)),
                                                        static_cast<std::size_t>(match.length(0))})
                           : std::nullopt;
        return found == (comparison == MatchesRegex);
    }
    if (comparison < Is || comparison > IsAfter) return true;
    const std::string v = textcase::lower(value);
    const std::string t = textcase::lower(text);
    switch (comparison) {
    case Is: return v == t;
    case IsNot: return v != t;
    case Contains:
    case DoesNotContain: {
        const std::size_t at = v.find(t);
        if (range) *range = at == std::string::npos ? std::nullopt : std::optional<Range>(Range{at, t.size()});
        return (at != std::string::npos) == (comparison == Contains);
    }
    case StartsWith: return v.size() >= t.size() && v.compare(0, t.size(), t) == 0;
    case EndsWith: return v.size() >= t.size() && v.compare(v.size() - t.size(), t.size(), t) == 0;
    case DoesNotStartWith: return v.size() < t.size() || v.compare(0, t.size(), t) != 0;
    case DoesNotEndWith: return v.size() < t.size() || v.compare(v.size() - t.size(), t.size(), t) != 0;
    case IsBefore: return v <= t;
    case IsAfter: return v >= t;
    default: return true;
    }
}

bool SearchCriteria::searchSdnCompare(SDN sdn, SDN target, int comparison) {
    switch (comparison) {
    case Is: return sdn == target;
    case IsNot: return sdn != target;
    case IsBefore: return sdn <= target;
    case IsAfter: return sdn >= target;
    default: return true;
    }
}

// ---- one record

std::optional<std::string> SearchCriteria::testRecord(GEDCOMRecord& record, GEDCOMModel* model) {
    std::optional<std::string> hitText;
    auto yield = [&hitText](std::string text) {
        if (!hitText && !text.empty()) hitText = std::move(text);
    };
    for (auto& criterion : expressions_) {
        const std::string value = criterion.expression.valueInRecord(record, record, model);
        if (!searchCompare(value, criterion.text, criterion.comparison, criterion.expression.lastStructure() != nullptr,
                           nullptr, criterion.regex.get()))
            return std::nullopt;
        yield(value);
    }
    for (auto& criterion : dates_) {
        const std::string value = criterion.expression.valueInRecord(record, record, model);
        SDN sdn = 0;
        try {
            sdn = value.empty() ? 0 : std::stoll(value);
        } catch (const std::exception&) {
            sdn = 0;
        }
        if (sdn == 0 || !searchSdnCompare(sdn, criterion.target, criterion.comparison)) return std::nullopt;
        yield(criterion.dateText.valueInRecord(record, record, model));
    }
    for (auto& criterion : others_) {
        std::optional<std::string> text;
        if (!testOther(criterion, record, text)) return std::nullopt;
        if (text) yield(std::move(*text));
    }
    return hitText.value_or(std::string());
}

bool SearchCriteria::testOther(OtherCriterion& criterion, GEDCOMRecord& record, std::optional<std::string>& yield) {
    auto anyValue = [&](const std::vector<std::string>& values) {
        for (const auto& value : values)
            if (searchCompare(value, criterion.text, criterion.comparison, true, nullptr, criterion.regex.get())) {
                yield = value;
                return true;
            }
        return false;
    };
    auto dateValues = [&record] {
        std::vector<std::shared_ptr<GEDCOMObject>> nodes;
        record.addNonCHANDateTagsToList(nodes);
        std::vector<std::string> values;
        for (const auto& node : nodes) values.push_back(node->contents());
        return values;
    };
    switch (criterion.kind) {
    case InAlbum:
        // A row without albums matches nothing.
        return criterion.album && criterion.album->recordWithIDIncludingAlbums(record.grecordID()) != nullptr;
    case AnyDate: return anyValue(dateValues());
    case AnyPlace: {
        std::vector<std::string> values;
        for (const auto& found : record.findAllStructuresWithTag("PLAC", std::nullopt))
            values.push_back(found.structure->contents());
        return anyValue(values);
    }
    case CreationDate: {
        const auto created = record.creationDate();
        return created && anyValue({*created});
    }
    case GEDCOMText: {
        std::string text;
        // Not the cache: the main thread owns it.
        record.appendGEDCOMRecord(text, false);
        std::optional<Range> range;
        if (!searchCompare(text, criterion.text, criterion.comparison, true, &range, criterion.regex.get()))
            return false;
        if (range) yield = lineHolding(text, *range);
        return true;
    }
    case AnyDateByDay:
        for (const auto& value : dateValues()) {
            const SDN sdn = earliestSdnForDate(value);
            if (sdn != 0 && searchSdnCompare(sdn, criterion.target, criterion.comparison)) {
                yield = value;
                return true;
            }
        }
        return false;
    case CreationDateByDay: {
        const auto created = record.creationDate();
        if (!created) return false;
        const SDN sdn = earliestSdnForDate(*created);
        if (sdn == 0 || !searchSdnCompare(sdn, criterion.target, criterion.comparison)) return false;
        yield = *created;
        return true;
    }
    default: return false;
    }
}

}  // namespace kl
