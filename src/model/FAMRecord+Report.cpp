// The family's report description: its spouses with their life data, the
// marriage and the children, as prose or as labelled list lines. Reads the
// family and its members only, so reports may call it on their worker
// threads.
#include <string>
#include <vector>

#include "dates/DateBridge.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"
#include "model/ReportOptions.h"
#include "model/ReportText.h"

namespace kl {

namespace {

using report::fill;

struct FamilyWords {
    const char* born;
    const char* died;
    const char* female;
    const char* male;
};

constexpr FamilyWords kSpokenWords{"born", "died", "female", "male"};
constexpr FamilyWords kShortWords{"b:", "d:", "F", "M"};

// A marriage this long ago, or a child born this long ago, puts the
// children in the past tense (80 years of 365 days); so does a spouse born
// 105 years ago.
constexpr SDN kPastSinceMarriageOrBirth = 29201;
constexpr SDN kPastSinceSpouseBirth = 38326;

const char* childSexPart(char16_t sex) {
    switch (sex) {
        case u'F': return " (daughter";
        case u'M': return " (son";
        default: return " (?";
    }
}

// One description in the making: prose into one text, or list lines.
class FamilyReport {
public:
    FamilyReport(const FAMRecord& family, std::uint32_t options)
        : family_(family),
          options_(options),
          list_((options & ReportList) != 0),
          words_(!list_ && (options & ReportSay) ? kSpokenWords : kShortWords) {}

    Value build() {
        if (!has(ReportPron)) describeSpouses();
        describeMarriage();
        describeChildren();
        if (list_) return Value(std::move(lines_));
        return Value(std::move(text_));
    }

private:
    bool has(std::uint32_t bits) const { return (options_ & bits) != 0; }
    void add(const std::string& sentenceOrLine) {
        if (list_)
            lines_.emplace_back(sentenceOrLine);
        else
            text_ += sentenceOrLine;
    }
    std::string nameOf(const INDIRecord& person) const {
        const std::string name = person.altViewName();
        return has(ReportLinks) ? report::link(person.grecordID(), name) : name;
    }
    const char* sexWord(char16_t sex) const {
        if (sex == u'F') return words_.female;
        if (sex == u'M') return words_.male;
        return nullptr;
    }

    void describeSpouses();
    std::string spouseClause(const std::shared_ptr<INDIRecord>& spouse, bool husbandSlot) const;
    const char* spouseLabel(const std::shared_ptr<INDIRecord>& spouse, bool husbandSlot) const;
    std::string marriageVerb() const;
    void describeMarriage();
    void describeChildren();
    bool startsInPast(SDN today) const;
    std::string childText(const INDIRecord& child, SDN today, bool& past) const;

    const FAMRecord& family_;
    const std::uint32_t options_;
    const bool list_;
    const FamilyWords words_;
    std::string text_;
    Array lines_;
};

// Appends " (b: date in place"-like parts; the separator turns to ", "
// once something was written.
void appendLifeEvent(std::string& clause, std::string& separator, const char* word, const std::string& date,
                     const std::string& place) {
    if (date.empty() && place.empty()) return;
    if (place.empty())
        clause += fill("%@%@ %@", {separator, word, date});
    else if (date.empty())
        clause += fill("%@%@ in %@", {separator, word, place});
    else
        clause += fill("%@%@ %@ in %@", {separator, word, date, place});
    separator = ", ";
}

std::string FamilyReport::spouseClause(const std::shared_ptr<INDIRecord>& spouse, bool husbandSlot) const {
    if (!spouse) return husbandSlot ? "An unknown spouse" : "an unknown spouse";
    std::string clause = nameOf(*spouse);
    std::string separator = " (";
    // Only a known sex is shown: an unknown one would leave an empty "()" or
    // "(, b: ...)".
    if (const char* word = has(ReportSex) && !list_ ? sexWord(spouse->sexChar()) : nullptr) {
        clause += " (";
        clause += word;
        separator = ", ";
    }
    if (has(ReportBD | ReportBP))
        appendLifeEvent(clause, separator, words_.born, has(ReportBD) ? spouse->birthDateUser() : std::string(),
                        has(ReportBP) ? report::place(spouse->birthPlaceWithAddress(), options_) : std::string());
    if (has(ReportDD | ReportDP))
        appendLifeEvent(clause, separator, words_.died, has(ReportDD) ? spouse->deathDateUser() : std::string(),
                        has(ReportDP) ? report::place(spouse->deathPlace(), options_) : std::string());
    if (separator != " (") clause += ")";
    return clause;
}

// The spouse's sex decides the label; a spouse of unknown sex, or an empty
// slot, is labelled by the slot.
const char* FamilyReport::spouseLabel(const std::shared_ptr<INDIRecord>& spouse, bool husbandSlot) const {
    const char16_t sex = spouse ? spouse->sexChar() : u'?';
    const bool male = sex == u'M' || (sex != u'F' && husbandSlot);
    if (family_.isUnmarried()) return male ? "Father: %@" : "Mother: %@";
    return male ? "Husband: %@" : "Wife: %@";
}

std::string FamilyReport::marriageVerb() const {
    const bool unmarried = family_.isUnmarried();
    if (has(ReportMainLink))
        return fill(unmarried ? " was a <a href='//%@'>partner</a> to " : " was <a href='//%@'>married</a> to ",
                    {family_.grecordID()});
    return unmarried ? " was a partner to " : " was married to ";
}

void FamilyReport::describeSpouses() {
    const auto husband = family_.husbandRecord();
    const auto wife = family_.wifeRecord();
    if (list_) {
        add(fill(spouseLabel(husband, true), {spouseClause(husband, true)}));
        add(fill(spouseLabel(wife, false), {spouseClause(wife, false)}));
        return;
    }
    add(spouseClause(husband, true) + marriageVerb() + spouseClause(wife, false) + ". ");
}

void FamilyReport::describeMarriage() {
    if (!has(ReportSN | ReportCN | ReportMD | ReportMP)) return;
    const std::string date = has(ReportMD) ? family_.marriageDateUser() : std::string();
    const std::string place = has(ReportMP) ? report::place(family_.marriagePlace(), options_) : std::string();
    const std::string marriage = date.empty() ? place : place.empty() ? date : fill("%@ in %@", {date, place});
    if (marriage.empty()) return;
    add(fill(list_ ? "Married: %@" : "They were married %@. ", {marriage}));
}

bool FamilyReport::startsInPast(SDN today) const {
    const auto spouses = {family_.husbandRecord(), family_.wifeRecord()};
    for (const auto& spouse : spouses)
        if (spouse && spouse->deathSDN() != 0) return true;
    const SDN married = family_.marriageSDNMax();
    if (married > 0 && today - married >= kPastSinceMarriageOrBirth) return true;
    for (const auto& spouse : spouses) {
        const SDN born = spouse ? spouse->birthSDNMax() : 0;
        if (born > 0 && today - born >= kPastSinceSpouseBirth) return true;
    }
    return false;
}

std::string FamilyReport::childText(const INDIRecord& child, SDN today, bool& past) const {
    std::string text = nameOf(child);
    bool opened = false;
    if (has(ReportSex)) {
        text += childSexPart(child.sexChar());
        opened = true;
    }
    const std::string date = has(ReportBD) ? child.birthDateUser() : std::string();
    if (!date.empty()) {
        text += fill(opened ? ", %@ %@" : " (%@ %@", {words_.born, date});
        opened = true;
        const SDN born = child.birthSDNMax();
        if (born > 0 && today - born >= kPastSinceMarriageOrBirth) past = true;
    }
    if (opened) text += ")";
    return text;
}

void FamilyReport::describeChildren() {
    if (!has(ReportCN)) return;
    const auto children = family_.children();
    if (children.empty()) return;
    const SDN today = todaySdn();
    bool past = startsInPast(today);
    std::vector<std::string> texts;
    for (const auto& child : children) texts.push_back(childText(*child, today, past));
    if (list_) {
        for (std::size_t i = 0; i < texts.size(); ++i) add((i == 0 ? "Children: " : "     ") + texts[i]);
        return;
    }
    const std::string joined = report::joinNames(texts);
    if (texts.size() == 1)
        add(fill("Their child %@ %@. ", {past ? "was" : "is", joined}));
    else
        add(fill("Their children %@ %@.  ", {past ? "were" : "are", joined}));
}

}  // namespace

Value FAMRecord::reportDescription(std::uint32_t options) const { return FamilyReport(*this, options).build(); }

}  // namespace kl
