#include "charts/AllRelativesReport.h"

#include <algorithm>

#include "charts/RelativesGraph.h"
#include "charts/RelativesWalk.h"
#include "document/GEDCOMDocument.h"
#include "model/INDIRecord.h"
#include "model/ReportOptions.h"

namespace kl {

void AllRelativesReport::registerReport() {
    RelativesReportRegistry::registerMaker(RelativesReportRegistry::kAllRelatives,
                                           [](GEDCOMDocument& document, ReportHost& host) {
                                               return std::make_shared<AllRelativesReport>(document, host);
                                           });
}

bool AllRelativesReport::reportPreparation() {
    subject_ = subjectPerson();
    if (!subject_) return false;
    const std::string title = "All Relatives of " + subject_->altViewName();
    setTheTitle(title);
    setReport(title);
    // The worker walks this copy of the family links, never the records.
    graph_ = std::make_shared<RelativesGraph>(document().gedcomModel());
    return true;
}

void AllRelativesReport::compileReport() {
    std::vector<Relative> relatives;
    const int subject = graph_->personIndex(subject_.get());
    if (maxGen_ > 0 && subject >= 0) {
        RelativesWalk walk(graph_, subject, maxGen_);
        walk.setOnListed([this] { incrementDone(); });
        relatives = walk.listRelatives();
    } else {
        relatives.emplace_back(subject_, subject >= 0 ? graph_->person(subject).sex : u'U', 0, 0);
        incrementDone();
    }
    if ((flags_ & (kStyleColumn1 | kStyleColumn2)) == kStyleColumn2)
        writeTable(relatives);
    else
        writeLists(relatives);
}

namespace {

// The details of a relative after its name, which the link already shows.
std::vector<std::string> detailItems(const Value& description) {
    std::vector<std::string> items;
    if (const Array* list = description.array(); list && list->size() >= 2)
        for (std::size_t i = 1; i < list->size(); ++i) items.push_back((*list)[i].toString());
    return items;
}

}  // namespace

void AllRelativesReport::writeTable(std::vector<Relative>& relatives) {
    std::stable_sort(relatives.begin(), relatives.end(),
                     [](const Relative& a, const Relative& b) { return a.compareNames(b) < 0; });
    std::string& html = reportText();
    html += "<table>\n<thead><tr><th>Name</th><th>Relationship</th>\n";
    html += relativesDetailHeadings(flags_);
    html += "</tr></thead>\n<tbody>\n";
    const uint32_t options = static_cast<uint32_t>(flags_ | ReportLinks);
    for (const Relative& relative : relatives) {
        html += "<tr>\n<td>";
        addLink(html, *relative.info());
        html += "</td>\n<td>" + relative.relationship() + "</td>\n";
        if (const auto cells = detailItems(relative.info()->reportDescription(options)); !cells.empty())
            addRow(html, cells);
        html += "</tr>\n";
    }
    html += "</tbody>\n</table>\n</div>";
}

void AllRelativesReport::writeLists(std::vector<Relative>& relatives) {
    std::stable_sort(relatives.begin(), relatives.end(),
                     [](const Relative& a, const Relative& b) { return a.compare(b) < 0; });
    std::string& html = reportText();
    const bool detailList = (flags_ & kStyleColumn1) != 0;
    const uint32_t options = static_cast<uint32_t>(flags_ | ReportLinks);
    int32_t lastType = -1;
    int32_t lastCode = 0;
    int number = 0;
    for (const Relative& relative : relatives) {
        if (const auto heading = relative.pluralType(lastType, lastCode)) {
            if (number > 0) html += "</ul>\n\n";
            addSection(html, *heading);
            html += "<ul class='ahnen'>\n";
        }
        html += "<li>" + std::to_string(++number) + ". ";
        addLink(html, *relative.info());
        int32_t removal = 0;
        const int32_t type = relative.relType(removal);
        if (type >= 7 && removal == 1)
            html += " (once removed)";
        else if (type >= 7 && removal >= 2)
            html += " (" + std::to_string(removal) + " times removed)";
        else if (type == 2 && relative.descendNum() == -1)
            html += " (step)";
        const Value description = relative.info()->reportDescription(options);
        if (detailList) {
            if (const auto items = detailItems(description); !items.empty()) {
                html += "\n";
                addList(html, "ul", items, "subahnen");
            }
        } else if (const std::string text = description.toString(); !text.empty()) {
            html += "<br>\n" + text;
        }
        html += "</li>\n";
    }
    html += "</ul>\n\n</div>";
}

}  // namespace kl
