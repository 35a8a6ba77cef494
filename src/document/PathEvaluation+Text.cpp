// The words of a record path that work on the text found so far: dates,
// life spans, cutting, names and Soundex codes.
#include <vector>

#include "dates/DateBridge.h"
#include "document/PathEvaluation.h"
#include "document/RecordPathFacts.h"
#include "model/GEDCOMRecord.h"
#include "model/INDIRecord.h"
#include "model/Soundex.h"
#include "foundation/Utf8.h"
#include "model/wex.h"

namespace kl {

namespace {

constexpr long kDefaultTruncation = 50;

std::vector<std::string> wordsOf(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && wex::isWhite(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !wex::isWhite(text[i])) ++i;
        if (i > start) words.emplace_back(text.substr(start, i - start));
    }
    return words;
}

// The given names of a GEDCOM name, or the words after the surname when it
// has none.
std::vector<std::string> nameWords(const std::string& name) {
    const auto parts = GEDCOMRecord::splitNameParts(name);
    auto words = wordsOf(parts[0]);
    return words.empty() ? wordsOf(parts[2]) : words;
}

std::string sdnOfYear(std::string_view year) {
    if (year.empty()) return "0";
    return std::to_string(midSdnForDate(year));
}

// One year of a life span: the birth year, or the death year when the
// birth year is missing.
std::string sdnOfSpan(const std::string& span) {
    const std::size_t dash = span.find('-');
    if (dash == std::string::npos) return sdnOfYear(span);
    if (dash == 0) return sdnOfYear(std::string_view(span).substr(1));
    return sdnOfYear(std::string_view(span).substr(0, dash));
}

}  // namespace

PathEvaluation::Step PathEvaluation::year() { return finish(yearFromDate(value_)); }

PathEvaluation::Step PathEvaluation::sdn() { return finish(std::to_string(midSdnForDate(value_))); }

PathEvaluation::Step PathEvaluation::user() { return finish(userDisplayDate(value_)); }

PathEvaluation::Step PathEvaluation::span() {
    if (!dynamic_cast<const INDIRecord*>(record_)) return empty();
    std::string lifeSpan = RecordPathFacts::lifeSpan(*record_);
    if (hasNext() && kind(at_ + 1) == KLExpression::Word::Sdn) return finish(sdnOfSpan(lifeSpan));
    return finish(std::move(lifeSpan));
}

// The limit word is always consumed, even when it is no number ("view"
// counts as 0).
PathEvaluation::Step PathEvaluation::trunc() {
    long limit = kDefaultTruncation;
    if (hasNext()) limit = integerOf(takeArgument());
    if (value_.empty()) return setValue("<?>");
    const std::size_t lineEnd = value_.find_first_of("\r\n");
    const std::string_view firstLine = std::string_view(value_).substr(0, lineEnd);
    const std::size_t chars = static_cast<std::size_t>(limit < 0 ? 0 : limit);
    if (utf8::longerThan(firstLine, chars))
        return setValue(std::string(firstLine.substr(0, utf8::advance(firstLine, 0, chars))) + "...");
    if (lineEnd != std::string::npos) return setValue(std::string(firstLine) + "...");
    return Step::Next;
}

PathEvaluation::Step PathEvaluation::reverse() {
    std::vector<std::string_view> pieces;
    std::string_view rest = value_;
    for (std::size_t comma; (comma = rest.find(',')) != std::string_view::npos; rest.remove_prefix(comma + 1))
        pieces.push_back(rest.substr(0, comma));
    pieces.push_back(rest);
    if (pieces.size() < 2) return Step::Next;
    std::string reversed;
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) {
        if (it != pieces.rbegin()) reversed += ", ";
        reversed += wex::nonWhiteString(*it);
    }
    return setValue(std::move(reversed));
}

PathEvaluation::Step PathEvaluation::surname() { return setValue(GEDCOMRecord::splitNameParts(value_)[1]); }

PathEvaluation::Step PathEvaluation::firstname() {
    auto words = nameWords(value_);
    return setValue(words.empty() ? std::string() : std::move(words.front()));
}

PathEvaluation::Step PathEvaluation::middlename() {
    const auto words = nameWords(value_);
    std::string middle;
    for (std::size_t i = 1; i < words.size(); ++i) middle += (i > 1 ? " " : "") + words[i];
    return setValue(std::move(middle));
}

PathEvaluation::Step PathEvaluation::soundex() { return setValue(soundexForString(value_)); }

}  // namespace kl
