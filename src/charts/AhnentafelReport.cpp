#include "charts/AhnentafelReport.h"

#include <algorithm>
#include <new>

#include "foundation/Logger.h"
#include "foundation/TextCompare.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"
#include "model/ReportOptions.h"

namespace kl {

// ---- Billions

bool Billions::addDigit(uint32_t value) {
    try {
        digits_.push_back(value);
        return true;
    } catch (const std::bad_alloc&) {
        Logger::log("overflow error in large number due to memory limitation");
        return false;
    }
}

void Billions::increment() {
    for (uint32_t& limb : digits_) {
        if (++limb < kLimb) return;
        limb = 0;
    }
    addDigit(1);
}

void Billions::addSelf() {
    uint32_t carry = 0;
    for (uint32_t& limb : digits_) {
        const uint64_t twice = uint64_t{limb} * 2 + carry;
        carry = twice >= kLimb ? 1 : 0;
        limb = static_cast<uint32_t>(twice - (carry ? kLimb : 0));
    }
    if (carry) addDigit(1);
}

Billions Billions::addOne() const {
    Billions next;
    next.digits_ = digits_;
    next.increment();
    return next;
}

Billions Billions::multiplyByTwo() const {
    Billions twice;
    twice.digits_ = digits_;
    twice.addSelf();
    return twice;
}

int Billions::compare(const Billions& other) const {
    if (digits_.size() != other.digits_.size()) return digits_.size() > other.digits_.size() ? 1 : -1;
    for (std::size_t i = digits_.size(); i-- > 0;)
        if (digits_[i] != other.digits_[i]) return digits_[i] > other.digits_[i] ? 1 : -1;
    return 0;
}

std::string Billions::stringValue() const {
    std::size_t top = digits_.size();
    while (top > 1 && digits_[top - 1] == 0) --top;
    std::string text = std::to_string(digits_[top - 1]);
    for (std::size_t i = top - 1; i-- > 0;) {
        const std::string limb = std::to_string(digits_[i]);
        text += std::string(9 - limb.size(), '0') + limb;
    }
    return text;
}


// ---- the report

void AhnentafelReport::registerReport() {
    RelativesReportRegistry::registerMaker(RelativesReportRegistry::kAhnentafel,
                                           [](GEDCOMDocument& document, ReportHost& host) {
                                               return std::make_shared<AhnentafelReport>(document, host);
                                           });
}

bool AhnentafelReport::reportPreparation() {
    subject_ = subjectPerson();
    if (!subject_) return false;
    const std::string title = "Ahnentafel Report for " + subject_->altViewName();
    setTheTitle(title);
    setReport(title);
    crossRefNumber_ = 0;
    entries_.clear();
    firstEntry_.clear();
    return true;
}

std::string AhnentafelReport::generationTitle(int g) {
    static const char* const kFirst[] = {"Individual", "Parents", "Grandparents", "Great Grandparents"};
    if (g < 4) return kFirst[g];
    return "Great(" + std::to_string(g - 2) + ") Grandparents";
}

std::string AhnentafelReport::generationLabel(int g) {
    static const char* const kFirst[] = {"I", "P", "G"};
    if (g < 3) return kFirst[g];
    return "G" + std::to_string(g - 2);
}

void AhnentafelReport::addAncestor(const std::shared_ptr<INDIRecord>& individual, Billions number) {
    number.setInfo(individual);
    if (const auto met = firstEntry_.find(individual.get()); met != firstEntry_.end()) {
        // A repeated ancestor's parents are already listed under the first
        // appearance.
        Billions& first = entries_[met->second];
        if (first.crossRefNumber() == 0) first.setCrossRefNumber(++crossRefNumber_);
        number.setCrossRefNumber(-first.crossRefNumber());
        entries_.push_back(std::move(number));
        incrementDone();
        maxGenFound_ = std::max(maxGenFound_, currentGeneration_);
        return;
    }
    firstEntry_.emplace(individual.get(), entries_.size());
    entries_.push_back(number);
    incrementDone();
    maxGenFound_ = std::max(maxGenFound_, currentGeneration_);
    if (currentGeneration_ >= maxGen_) return;
    ++currentGeneration_;
    if (auto family = individual->parentsFAM()) {
        Billions father = number.multiplyByTwo();
        Billions mother = father.addOne();
        if (auto husband = family->husbandRecord()) addAncestor(husband, std::move(father));
        if (auto wife = family->wifeRecord()) addAncestor(wife, std::move(mother));
    }
    --currentGeneration_;
}

void AhnentafelReport::compileReport() {
    entries_.clear();
    firstEntry_.clear();
    currentGeneration_ = 0;
    maxGenFound_ = 0;
    addAncestor(subject_, Billions(1));
    std::string& html = reportText();
    html += "\n<p>The ancestors in this report are listed such that each person's father's ";
    html += " number is double the person's number. Each person's mother's number ";
    html += " in one higher than their father's number.";
    if ((flags_ & (kStyleColumn1 | kStyleColumn2)) == kStyleColumn2)
        writeTable();
    else
        writeLists();
}

void AhnentafelReport::writeTable() {
    std::stable_sort(entries_.begin(), entries_.end(), [](const Billions& a, const Billions& b) {
        return compareCaseInsensitive(a.info()->viewName(), b.info()->viewName()) < 0;
    });
    std::string& html = reportText();
    html += " Ancestors that appear more than once have their number's in red.</p>\n";
    html += "<table>\n<thead><tr><th>Name</th><th>Number</th>\n";
    html += relativesDetailHeadings(flags_);
    html += "</tr></thead>\n<tbody>\n";
    for (const Billions& entry : entries_) {
        html += "<tr>\n<td>";
        addLink(html, *entry.info());
        html += "</td>";
        const std::string number = entry.stringValue();
        html += entry.crossRefNumber() != 0 ? "<td class='ahnen'><font color='red'>" + number + "</font></td>"
                                            : "<td class='ahnen'>" + number + "</td>";
        const Value description = entry.info()->reportDescription(static_cast<uint32_t>(flags_ | ReportLinks));
        if (const Array* items = description.array(); items && items->size() >= 2) {
            std::vector<std::string> cells;
            for (std::size_t i = 1; i < items->size(); ++i) cells.push_back((*items)[i].toString());
            addRow(html, cells);
        }
        html += "</tr>\n";
    }
    html += "</tbody>\n</table>\n</div>";
}

std::string AhnentafelReport::generationBar() const {
    std::string bar = "<center>\n  ";
    for (int g = 0; g <= maxGenFound_; ++g)
        bar += "<a href='#g" + std::to_string(g) + "'>" + generationLabel(g) + "</a> ";
    return bar + "\n</center>";
}

void AhnentafelReport::writeLists() {
    // The repeats point at the first appearance's number.
    std::unordered_map<int32_t, std::string> firstNumbers;
    for (const Billions& entry : entries_)
        if (entry.crossRefNumber() > 0) firstNumbers[entry.crossRefNumber()] = entry.stringValue();
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Billions& a, const Billions& b) { return a.compare(b) < 0; });
    std::string& html = reportText();
    html += " The following links jump to any generation by 'I' for the source individual,";
    html += " 'P' for parents, 'G' for grandparents, and 'GN' for Great X N grandparents.</p>\n";
    const std::string bar = generationBar();
    html += bar;
    const bool detailList = (flags_ & kStyleColumn1) != 0;
    const uint32_t options = static_cast<uint32_t>(flags_ | ReportLinks | ReportPron | ReportSex);
    Billions threshold(1);
    int g = 0;
    for (const Billions& entry : entries_) {
        if (entry.compare(threshold) >= 0) {
            if (g > 0) html += "</ul>\n\n";
            addSection(html, generationTitle(g), "g" + std::to_string(g));
            html += "<ul class='ahnen'>\n";
            threshold.addSelf();
            ++g;
        }
        const int32_t k = entry.crossRefNumber();
        html += "<li>" + entry.stringValue() + ". ";
        if (k > 0) html += "<a name='x" + std::to_string(k) + "'></a>";
        addLink(html, *entry.info());
        if (k < 0) {
            html += " (<a href='#x" + std::to_string(-k) + "'><font color='red'>continue from " + firstNumbers[-k] +
                    "</font></a>)";
        } else if (detailList) {
            const Value description = entry.info()->reportDescription(options);
            if (const Array* items = description.array(); items && !items->empty()) {
                std::vector<std::string> lines;
                for (const Value& item : *items) lines.push_back(item.toString());
                html += "\n";
                addList(html, "ul", lines, "subahnen");
            }
        } else if (const std::string text = entry.info()->reportDescription(options).toString(); !text.empty()) {
            html += "<br>\n" + text;
        }
        html += "</li>\n";
    }
    html += "</ul>\n\n" + bar + "</div>";
}

}  // namespace kl
