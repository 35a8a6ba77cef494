#include "document/KLExpression.h"

#include <algorithm>
#include <array>
#include <utility>

#include "document/GEDCOMModel.h"
#include "document/PathEvaluation.h"
#include "model/GEDCOMRecord.h"
#include "model/wex.h"

namespace kl {

namespace {

using Word = KLExpression::Word;

// Sorted by word for the binary search; words are case-sensitive.
constexpr std::array<std::pair<std::string_view, Word>, 30> kWords{{
    {"_MEMO", Word::Memo},         {"_REF", Word::Ref},         {"altview", Word::AltView},
    {"contents", Word::Contents},  {"count", Word::Count},      {"countAll", Word::CountAll},
    {"err", Word::Err},            {"firstname", Word::Firstname}, {"i", Word::Index},
    {"id", Word::Id},              {"level", Word::Level},      {"middlename", Word::Middlename},
    {"number", Word::Number},      {"p", Word::Place},          {"parent", Word::Parent},
    {"portrait", Word::Portrait},  {"rec", Word::Rec},          {"reverse", Word::Reverse},
    {"s", Word::Skip},             {"sdn", Word::Sdn},          {"soundex", Word::Soundex},
    {"span", Word::Span},          {"spouse", Word::Spouse},    {"surname", Word::Surname},
    {"tag", Word::Tag},            {"this", Word::This},        {"trunc", Word::Trunc},
    {"user", Word::User},          {"view", Word::View},        {"year", Word::Year},
}};

static_assert(std::is_sorted(kWords.begin(), kWords.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; }));

std::string joined(const std::vector<std::string>& words, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) out += '.';
        out += words[i];
    }
    return out;
}

}  // namespace

KLExpression::Word KLExpression::wordKind(std::string_view word) {
    auto it = std::lower_bound(kWords.begin(), kWords.end(), word,
                               [](const auto& entry, std::string_view w) { return entry.first < w; });
    return it != kWords.end() && it->first == word ? it->second : Word::Child;
}

std::shared_ptr<KLExpression> KLExpression::expressionFromString(std::string_view text) {
    return std::make_shared<KLExpression>(text);
}

void KLExpression::setExprTags(std::string_view text) {
    std::vector<std::string> words;
    while (!text.empty()) {
        const std::size_t dot = text.find('.');
        words.push_back(wex::nonWhiteString(text.substr(0, dot)));
        if (dot == std::string_view::npos) break;
        text.remove_prefix(dot + 1);
    }
    setTags(std::move(words));
}

void KLExpression::setTags(std::vector<std::string> tags) {
    tags_ = std::move(tags);
    words_.clear();
    for (const auto& t : tags_) words_.push_back(wordKind(t));
}

void KLExpression::addTag(std::string tag) {
    words_.push_back(wordKind(tag));
    tags_.push_back(std::move(tag));
}

std::string KLExpression::valueInRecord(const GEDCOMObject& node, const GEDCOMRecord& sourceRecord,
                                        GEDCOMModel* document) const {
    // Evaluation only reads the tree; the nodes it reaches are handed back
    // non-const because the browser edits what a path found.
    RecordStore* store = document ? static_cast<RecordStore*>(document) : sourceRecord.model();
    PathEvaluation evaluation(*this, const_cast<GEDCOMObject&>(node), const_cast<GEDCOMRecord&>(sourceRecord), store);
    std::string value = evaluation.run();
    lastStructure_ = evaluation.node();
    lastParent_ = evaluation.parent();
    return value;
}

bool KLExpression::isRecordPointer(std::string_view value) {
    return value.size() >= 2 && value.front() == '@' && value.back() == '@';
}

KLExpression KLExpression::dateSortExpression() const {
    if (tags_.empty()) return *this;
    const Word last = words_.back();
    const bool replaceLast = last == Word::Year || last == Word::User;
    if (!replaceLast && last != Word::Span && tags_.back() != "DATE") return *this;
    KLExpression sortable;
    sortable.setTags(std::vector<std::string>(tags_.begin(), replaceLast ? tags_.end() - 1 : tags_.end()));
    sortable.addTag("sdn");
    sortable.customTags_ = customTags_;
    return sortable;
}

std::string KLExpression::expressionString(bool whole) const {
    if (tags_.empty()) return {};
    return joined(tags_, whole ? tags_.size() : tags_.size() - 1);
}

bool KLExpression::numericExpression() const {
    return !words_.empty() && (words_.back() == Word::Sdn || words_.back() == Word::Number);
}

bool KLExpression::sdnExpression() const { return !words_.empty() && words_.back() == Word::Sdn; }

bool KLExpression::portraitExpression() const { return !words_.empty() && words_.back() == Word::Portrait; }

std::string_view KLExpression::lastWord(std::string_view text) {
    const std::size_t dot = text.rfind('.');
    return dot == std::string_view::npos ? text : text.substr(dot + 1);
}

}  // namespace kl
