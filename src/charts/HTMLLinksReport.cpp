#include "charts/HTMLLinksReport.h"

#include "charts/ReportHost.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "document/RecordsList.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {

HTMLLinksReport::HTMLLinksReport(GEDCOMDocument& document, ReportHost& host) : ReportController(document, host) {}

bool HTMLLinksReport::reportPreparation() {
    setTheTitle("Validation of HTML Links Report");
    setReport(theTitle() + " in " + host().displayName());
    numberOfRecords_ = static_cast<int32_t>(recordsIndex().numberOfRecords());
    edits_.clear();
    return true;
}

void HTMLLinksReport::compileReport() {
    std::string& html = reportText();
    html += "<p>This report validates all <a href='#links'>internal HTML link</a>";
    html += " used in HTML content embedded in records. It will delete any broken links that are found. ";
    html += " This report also compiles a list of records that <a href='#withhtml'>make use of HTML content</a>.</a>";
    addContents(html, {"HTML Links Summary", "Records with HTML Content"}, {"links", "withhtml"});

    GEDCOMRecord::clearHTMLCounters();
    std::vector<RecordPtr> withHTML;
    std::vector<RecordPtr> repaired;
    for (const auto& list : recordsIndex().lists()) {
        if (list->listType() >= ListReports) continue;
        for (const auto& record : list->order()) {
            const int broken = GEDCOMRecord::brokenHREFLinks();
            if (record->fixHREFLinksInRecord(nullptr, nullptr, &edits_)) withHTML.push_back(record);
            if (GEDCOMRecord::brokenHREFLinks() != broken) repaired.push_back(record);
            incrementDone();
        }
    }
    const int total = GEDCOMRecord::totalHREFLinks();
    const int broken = GEDCOMRecord::brokenHREFLinks();

    addSection(html, "HTML Links Summary", "links");
    html += "<p>This file has " + std::to_string(total) + " internal HTML link" + (total == 1 ? "" : "s");
    if (broken == 0 && total > 0) {
        html += ". All the links were valid links (<i>i.e.</i>, they link to records in this file).</p>\n";
    } else if (broken == 0) {
        html += ".</p>\n";
    } else {
        html += ". In addition, " + std::to_string(broken) + " internal HTML link";
        html += broken == 1 ? " was found to be invalid and it was deleted. It was in the following record"
                            : "s were found to be invalid and they were deleted. They were in the following record";
        if (repaired.size() >= 2) html += "s";
        html += ":</p>\n";
        addLinkList(html, repaired);
    }

    addSection(html, "Records with HTML Content", "withhtml");
    if (!withHTML.empty()) {
        html += withHTML.size() == 1 ? "<p>The following record makes use of embedded HTML content. "
                                     : "<p>The following " + std::to_string(withHTML.size()) +
                                           " records make use of embedded HTML content. ";
        html += " You can read the &quot;Web Content Options&quot; in the help";
        html += " window to learn more about using this feature in other records.</p>";
        addLinkList(html, withHTML);
    } else {
        html += "<p>No records in this file make use of HTML content. ";
        html += " You can read the &quot;Web Content Options&quot; in the help";
        html += " window to learn how to use this powerful feature.</p>";
    }
    html += "</div>";
}

void HTMLLinksReport::applyCollectedChanges() {
    if (edits_.empty()) return;
    UndoManager& undo = document().undo();
    undo.beginUndoGrouping();
    for (auto& edit : edits_) {
        edit.structure->setContents(std::move(edit.contents));
        if (GEDCOMRecord* record = edit.structure->theRecord()) record->setChangeDate();
    }
    undo.setActionName(kUndoName);
    undo.endUndoGrouping();
    edits_.clear();
}

}  // namespace kl
