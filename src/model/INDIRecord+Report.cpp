// The individual's report description: a short biography of birth, death,
// parents, marriages and children as prose, as labelled list lines or as
// the cells of a table row. Reads the record and its families only, so
// reports may call it on their worker threads.
#include <string>
#include <vector>

#include "model/FAMRecord.h"
#include "model/INDIRecord.h"
#include "model/ReportOptions.h"
#include "model/ReportText.h"

namespace kl {

namespace {

using report::fill;

struct SexWords {
    const char* letter;
    const char* word;  // spoken in place of the letter; empty for an unknown sex
    const char* pronoun;
    const char* possessive;
};

SexWords sexWordsFor(char16_t sex) {
    switch (sex) {
        case u'M': return {"M", "male", "He", "His"};
        case u'F': return {"F", "female", "She", "Her"};
        default: return {"?", "", "He or she", "His or Her"};
    }
}

enum class Form { Text, List, Table };

Form formOf(std::uint32_t options) {
    if (options & ReportList) return Form::List;
    if (options & ReportTable) return Form::Table;
    return Form::Text;
}

// Which pattern of a [both, first only, second only, neither] row fits.
std::size_t patternIndex(const std::string& first, const std::string& second) {
    if (!first.empty()) return second.empty() ? 1 : 0;
    return second.empty() ? 3 : 2;
}

std::vector<std::string> present(std::vector<std::string> texts) {
    std::erase_if(texts, [](const std::string& text) { return text.empty(); });
    return texts;
}

// Birth and death differ only in their accessors and words. A death event
// without any data still says that the person is dead.
struct EventPatterns {
    std::uint32_t dateBit;
    std::uint32_t placeBit;
    std::string (INDIRecord::*date)() const;
    std::string (INDIRecord::*place)() const;
    const char* text[3];
    const char* list[3];
    const char* bareTag;
    const char* bareText;
    const char* bareList;
};

const EventPatterns kBirth{ReportBD,
                           ReportBP,
                           &INDIRecord::birthDateUser,
                           &INDIRecord::birthPlaceWithAddress,
                           {"%@ was born %@ in %@. ", "%@ was born %@. ", "%@ was born in %@. "},
                           {"Born: %@ in %@", "Born: %@", "Born: in %@"},
                           nullptr,
                           nullptr,
                           nullptr};

const EventPatterns kDeath{ReportDD,
                           ReportDP,
                           &INDIRecord::deathDateUser,
                           &INDIRecord::deathPlaceWithAddress,
                           {"%@ died %@ in %@. ", "%@ died %@. ", "%@ died in %@. "},
                           {"Died: %@ in %@", "Died: %@", "Died: in %@"},
                           "DEAT",
                           "%@ is deceased. ",
                           "Died: Yes"};

// Marriage patterns by [date and place, date only, place only, neither].
constexpr const char* kMarriedText[4] = {"%@ married %@ on %@ in %@. ", "%@ married %@ on %@. ",
                                         "%@ married %@ in %@. ", "%@ married %@. "};
constexpr const char* kMarriedTextNoSpouse[4] = {"%@ was married on %@ in %@. ", "%@ was married on %@. ",
                                                 "%@ was married in %@. ", nullptr};
constexpr const char* kMarriedList[4] = {"Married: to %@ on %@ in %@", "Married: to %@ on %@",
                                         "Married: to %@ in %@", "Married: to %@"};
constexpr const char* kMarriedListNoSpouse[4] = {"Married: %@ in %@", "Married: %@", "Married: in %@", nullptr};

struct ParentPatterns {
    const char* text;
    const char* list;
};

ParentPatterns parentPatternsFor(char16_t sex) {
    switch (sex) {
        case u'M': return {"%@ father was ", "Father: %@"};
        case u'F': return {"%@ mother was ", "Mother: %@ "};
        default: return {"%@ parent was ", "Parent: %@"};
    }
}

// One description in the making: the running subject and possessive that
// turn into pronouns after the first sentence, the tense of the children
// sentences and the table's marriage cells.
class IndividualReport {
public:
    IndividualReport(const INDIRecord& person, std::uint32_t options)
        : person_(person), options_(options), form_(formOf(options)), sex_(sexWordsFor(person.sexChar())) {}

    Value build() {
        describeSubject();
        describeEvent(kBirth);
        describeEvent(kDeath);
        describeParents();
        describeMarriages();
        if (form_ != Form::Text) return Value(std::move(entries_));
        if (!wrote_) text_ = fill("%@. ", {subject_});
        return Value(std::move(text_));
    }

private:
    bool has(std::uint32_t bits) const { return (options_ & bits) != 0; }
    const char* is() const { return living_ ? "is" : "was"; }
    const char* are() const { return living_ ? "are" : "were"; }
    const char* have() const { return living_ ? "have" : "had"; }

    void addSentence(const std::string& sentence) {
        text_ += sentence;
        wrote_ = true;
        subject_ = sex_.pronoun;
        possessive_ = sex_.possessive;
    }
    void addEntry(std::string entry) { entries_.emplace_back(std::move(entry)); }
    // A sentence in the text form, an entry in the others.
    void add(const std::string& sentence, std::string entry) {
        if (form_ == Form::Text)
            addSentence(sentence);
        else
            addEntry(std::move(entry));
    }

    std::string nameOf(const INDIRecord& other) const {
        const std::string name = other.altViewName();
        return has(ReportLinks) ? report::link(other.grecordID(), name) : name;
    }

    void describeSubject();
    void describeEvent(const EventPatterns& event);
    void describeParents();
    void describeMarriages();
    bool describeMarriage(const FAMRecord& family, std::size_t index);
    void describeChildren(const FAMRecord& family, std::size_t number, bool marriageWritten);
    std::string childrenLeadIn(std::size_t count, std::size_t number, bool marriageWritten) const;
    void appendCell(std::string& cell, std::uint32_t bit, const std::string& value, std::size_t index) const;
    std::string spouseNameIn(const FAMRecord& family) const;

    const INDIRecord& person_;
    const std::uint32_t options_;
    const Form form_;
    const SexWords sex_;
    std::string subject_;
    std::string possessive_;
    bool wrote_ = false;
    std::string text_;
    Array entries_;
    bool dead_ = false;
    bool living_ = false;
    std::string spouseCell_;
    std::string dateCell_;
    std::string placeCell_;
};

void IndividualReport::describeSubject() {
    if (has(ReportPron)) {
        // An otherwise empty description stays empty: nothing names anyone.
        subject_ = sex_.pronoun;
        possessive_ = sex_.possessive;
        wrote_ = true;
        if (form_ != Form::Text && has(ReportSex)) addEntry(fill("Sex: %@", {sex_.letter}));
        return;
    }
    const std::string name = person_.altViewName();
    subject_ = name;
    possessive_ = fill("%@'s", {name});
    if (has(ReportSex)) {
        const std::string marker = form_ == Form::Text && has(ReportSay) ? sex_.word : sex_.letter;
        if (!marker.empty()) {
            subject_ = fill("%@ (%@)", {name, marker});
            possessive_ = fill("%@'s (%@)", {name, marker});
        }
    }
    if (has(ReportMainLink)) {
        subject_ = report::link(person_.grecordID(), subject_);
        possessive_ = report::link(person_.grecordID(), possessive_);
    }
    if (form_ != Form::Text) addEntry(fill("Name: %@", {subject_}));
}

void IndividualReport::describeEvent(const EventPatterns& event) {
    if (!has(event.dateBit | event.placeBit)) return;
    const std::string date = has(event.dateBit) ? (person_.*event.date)() : std::string();
    const std::string place = has(event.placeBit) ? report::place((person_.*event.place)(), options_) : std::string();
    if (form_ == Form::Table) {
        if (has(event.dateBit)) addEntry(date);
        if (has(event.placeBit)) addEntry(place);
        return;
    }
    const std::size_t which = patternIndex(date, place);
    if (which == 3) {
        if (event.bareTag && person_.firstChildWithTag(event.bareTag))
            add(fill(event.bareText, {subject_}), event.bareList);
        return;
    }
    std::vector<std::string> texts = present({date, place});
    const std::string line = fill(event.list[which], texts);
    texts.insert(texts.begin(), subject_);
    add(fill(event.text[which], texts), line);
}

void IndividualReport::describeParents() {
    if (!has(ReportFM)) return;
    if (form_ == Form::Table) {
        // A row keeps its columns even when a parent or the family is missing.
        auto family = person_.parentsFAM();
        for (auto parent : {family ? family->husbandRecord() : nullptr, family ? family->wifeRecord() : nullptr})
            addEntry(parent ? nameOf(*parent) : std::string());
        return;
    }
    auto parents = person_.parents();
    if (!parents) return;
    if (form_ == Form::List) {
        for (const auto& parent : *parents) addEntry(fill(parentPatternsFor(parent->sexChar()).list, {nameOf(*parent)}));
        return;
    }
    const auto& first = parents->front();
    std::string sentence = parents->size() == 1 ? fill(parentPatternsFor(first->sexChar()).text, {possessive_})
                                                : fill("%@ parents were ", {possessive_});
    sentence += nameOf(*first);
    sentence += parents->size() == 1 ? std::string(". ") : fill(" and %@. ", {nameOf(*parents->back())});
    addSentence(sentence);
}

void IndividualReport::describeMarriages() {
    if (!has(ReportSN | ReportCN | ReportMD | ReportMP)) return;
    if (has(ReportCN)) {
        dead_ = person_.firstChildWithTag("DEAT") != nullptr;
        const std::int64_t age = person_.ageInYears();
        living_ = !dead_ && age >= 0 && age <= 99;
    }
    const auto families = person_.spouses(nullptr).value_or(std::vector<std::shared_ptr<FAMRecord>>{});
    for (std::size_t index = 0; index < families.size(); ++index) {
        const bool written = has(ReportSN | ReportMD | ReportMP) && describeMarriage(*families[index], index);
        if (has(ReportCN) && form_ != Form::Table) describeChildren(*families[index], index + 1, written);
    }
    if (form_ != Form::Table) return;
    if (has(ReportSN)) addEntry(spouseCell_);
    if (has(ReportMD)) addEntry(dateCell_);
    if (has(ReportMP)) addEntry(placeCell_);
}

std::string IndividualReport::spouseNameIn(const FAMRecord& family) const {
    const bool male = person_.sexChar() == u'M';
    auto spouse = male ? family.wifeRecord() : family.husbandRecord();
    if (spouse.get() == &person_) spouse = male ? family.husbandRecord() : family.wifeRecord();
    return spouse ? nameOf(*spouse) : std::string();
}

void IndividualReport::appendCell(std::string& cell, std::uint32_t bit, const std::string& value,
                                  std::size_t index) const {
    if (!has(bit)) return;
    if (index > 0) cell += "<br>";
    cell += value.empty() ? std::string("&nbsp;") : value;
}

// Answers whether a marriage sentence or line was written for the family.
bool IndividualReport::describeMarriage(const FAMRecord& family, std::size_t index) {
    const std::string spouse = has(ReportSN) ? spouseNameIn(family) : std::string();
    const std::string date = has(ReportMD) ? family.marriageDateUser() : std::string();
    const std::string place = has(ReportMP) ? report::place(family.marriagePlace(), options_) : std::string();
    if (form_ == Form::Table) {
        appendCell(spouseCell_, ReportSN, spouse, index);
        appendCell(dateCell_, ReportMD, date, index);
        appendCell(placeCell_, ReportMP, place, index);
        return false;
    }
    const std::size_t which = patternIndex(date, place);
    const bool named = !spouse.empty();
    const char* pattern = form_ == Form::Text ? (named ? kMarriedText : kMarriedTextNoSpouse)[which]
                                              : (named ? kMarriedList : kMarriedListNoSpouse)[which];
    if (!pattern) return false;
    std::vector<std::string> texts = present({spouse, date, place});
    if (form_ == Form::Text) texts.insert(texts.begin(), subject_);
    const std::string written = fill(pattern, texts);
    add(written, written);
    return true;
}

std::string IndividualReport::childrenLeadIn(std::size_t count, std::size_t number, bool marriageWritten) const {
    const std::string familyNumber = std::to_string(number);
    if (count == 0) {
        if (marriageWritten) return fill("They %@ no known children", {have()});
        return number == 1 ? fill("%@ had no known children", {sex_.pronoun})
                           : fill("%@ had no known children in family %d ", {sex_.pronoun, familyNumber});
    }
    const bool one = count == 1;
    const char* verb = one ? is() : are();
    if (marriageWritten) return fill(one ? "Their known child %@ " : "Their known children %@ ", {verb});
    if (number == 1) return fill(one ? "%@ known child %@ " : "%@ known children %@ ", {possessive_, verb});
    return fill(one ? "%@ known child in family %d %@ " : "%@ known children in family %d %@ ",
                {possessive_, familyNumber, verb});
}

void IndividualReport::describeChildren(const FAMRecord& family, std::size_t number, bool marriageWritten) {
    if (!living_ && !dead_) {
        // A recent marriage speaks for a living person whose birth is unknown.
        const std::int64_t years = family.anniversaryInYears();
        if (years >= 0 && years <= 79) living_ = true;
    }
    std::vector<std::string> names;
    for (const auto& child : family.children()) names.push_back(nameOf(*child));
    const std::string joined = report::joinNames(names);
    if (form_ == Form::List) {
        if (names.empty()) return;
        const bool plain = marriageWritten || number == 1;
        addEntry((plain ? std::string("Children: ") : fill("Children family %d: ", {std::to_string(number)})) +
                 joined);
        return;
    }
    addSentence(childrenLeadIn(names.size(), number, marriageWritten) + joined + ". ");
}

}  // namespace

Value INDIRecord::reportDescription(std::uint32_t options) const { return IndividualReport(*this, options).build(); }

}  // namespace kl
