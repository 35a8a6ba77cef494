#include "charts/FamilyTreeReport.h"

#include <stack>

#include "charts/AhnentafelReport.h"
#include "charts/TreeItem.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"
#include "model/ReportOptions.h"

namespace kl {

void FamilyTreeReport::registerReport() {
    RelativesReportRegistry::registerMaker(RelativesReportRegistry::kFamilyTree,
                                           [](GEDCOMDocument& document, ReportHost& host) {
                                               return std::make_shared<FamilyTreeReport>(document, host);
                                           });
}

std::vector<FamilyTreeReport::Row> FamilyTreeReport::rowsOf(const std::vector<OutlineRow>& rows) {
    std::vector<Row> copied;
    copied.reserve(rows.size());
    for (const OutlineRow& row : rows)
        if (row.item)
            copied.push_back(Row{row.level, row.item->individual(), row.item->spouseRecord(), row.item->crossRefNum()});
    return copied;
}

bool FamilyTreeReport::reportPreparation() {
    auto subject = std::dynamic_pointer_cast<FamilyTreeSubject>(std::static_pointer_cast<Object>(record_));
    if (!subject || !subject->rootRecord()) return false;
    // From here on the subject is the tree's person.
    record_ = subject->rootRecord();
    reportType_ = subject->viewStyle() == RelativesTree::kAncestStyle ? "Ancestors" : "Descendants";
    rows_ = rowsOf(subject->shownRows());
    const std::string title = reportType_ + " Family Tree Report for " + subject->rootRecord()->altViewName();
    setTheTitle(title);
    setReport(title);
    return true;
}

void FamilyTreeReport::erase(const std::string& text) {
    std::string& html = reportText();
    if (html.ends_with(text)) html.erase(html.size() - text.size());
}

void FamilyTreeReport::compileReport() {
    std::string& html = reportText();
    const bool table = (flags_ & (kStyleColumn1 | kStyleColumn2)) == kStyleColumn2;
    std::string blankCells;
    if (table) {
        const std::string headings = relativesDetailHeadings(flags_);
        for (std::size_t at = headings.find("<th>"); at != std::string::npos; at = headings.find("<th>", at + 4))
            blankCells += "<td></td>";
        html += "<table>\n<thead><tr><th>Name</th>\n" + headings + "</tr></thead>\n<tbody>\n";
    } else {
        html += "<ol class='treelistroot'>\n";
    }
    std::stack<long> counters;
    long rowCounter = 0;
    currentGeneration_ = 0;
    for (const Row& row : rows_) {
        const int level = row.level;
        if (level > maxGen_) continue;
        if (level > currentGeneration_) {
            if (table) {
                counters.push(rowCounter);
                rowCounter = 0;
            } else {
                html += "<ol class='treelist'>\n";
            }
            currentGeneration_ = level;
        }
        while (currentGeneration_ > level) {
            if (table) {
                if (!counters.empty()) {
                    rowCounter = counters.top();
                    counters.pop();
                }
            } else {
                html += "</ol>\n";
            }
            --currentGeneration_;
        }
        writeRow(row, table, blankCells, rowCounter);
    }
    html += table ? "</tbody>\n</table>\n</div>" : "</ol></div>";
}

void FamilyTreeReport::writeRow(const Row& row, bool table, const std::string& blankCells, long& rowCounter) {
    std::string& html = reportText();
    std::string indent;
    for (int i = 0; i < row.level; ++i) indent += "&nbsp;&nbsp;&nbsp;";
    if (!row.individual) return;
    if (std::dynamic_pointer_cast<FAMRecord>(row.individual)) {
        // A family node whose other spouse is not known.
        if (table) {
            html += "<tr><td>" + indent + "+.&nbsp;&lt;unknown&gt;</td>\n" + blankCells + "</tr>\n";
        } else {
            erase("</li>\n");
            html += "\n<div class='spouse'>+.&nbsp;&nbsp;&lt;unknown&gt;</div></li>\n";
        }
        return;
    }
    const int k = row.crossRefNum;
    const std::string anchor = k > 0 ? " id='x" + std::to_string(k) + "'" : "";
    if (table) {
        html += "<tr><td" + anchor + ">" + indent;
        if (row.spouse)
            html += "+.&nbsp;";
        else
            html += std::to_string(++rowCounter) + ".&nbsp;";
    } else if (row.spouse) {
        erase("</li>\n");
        html += "\n<div class='spouse'" + anchor + ">+.&nbsp;&nbsp;";
    } else {
        html += "<li" + anchor + ">";
    }
    addLink(html, *row.individual);
    if (k < 0) {
        html += " (see <a href='#x" + std::to_string(-k) + "'>#" + std::to_string(-k) + "</a>)";
        if (table) {
            html += "</td>\n" + blankCells + "</tr>\n";
            return;
        }
    } else {
        if (k > 0) html += " [#" + std::to_string(k) + "]";
        const Value description =
            row.individual->reportDescription(static_cast<uint32_t>(flags_ | ReportLinks | ReportPron));
        if (table) {
            html += "</td>\n";
            if (const Array* cells = description.array(); cells && !cells->empty()) {
                std::vector<std::string> texts;
                for (const Value& cell : *cells) texts.push_back(cell.toString());
                addRow(html, texts);
            }
            html += "</tr>\n";
            return;
        }
        if (flags_ & kStyleColumn1) {
            if (const Array* items = description.array(); items && !items->empty()) {
                std::vector<std::string> lines;
                for (const Value& item : *items) lines.push_back(item.toString());
                html += "\n";
                addList(html, "ul", lines, "subahnen");
            }
        } else if (const std::string text = description.toString(); !text.empty()) {
            html += ": " + text;
        }
    }
    if (row.spouse) html += "</div>";
    html += "</li>\n";
}

}  // namespace kl
