// The prose a research log gives reports: its title, objective and the
// first individual, family (and, in lists, place) it researches.
#include "model/LOGRecord.h"
#include "model/RecordStore.h"
#include "model/ReportOptions.h"
#include "model/ReportText.h"

namespace kl {

namespace {

// The first record named by the lines with the tag, and whether there are
// several lines. A line naming no record of the type counts as no record.
struct Researched {
    std::shared_ptr<GEDCOMRecord> record;
    bool several = false;
};

Researched researched(const GEDCOMRecord& log, const char* tag, const char* type) {
    const auto ids = log.linkedIDs(tag);
    if (ids.empty() || !log.model()) return {};
    return {log.model()->recordWithID(ids.front(), type), ids.size() > 1};
}

std::string named(const GEDCOMRecord& record, bool links) {
    return links ? report::link(record.grecordID(), record.altViewName()) : record.altViewName();
}

void addListLine(Array& lines, const Researched& found, const char* one, const char* many, bool links) {
    if (!found.record) return;
    lines.emplace_back(std::string(found.several ? many : one) + " " + named(*found.record, links) +
                       (found.several ? " and others" : ""));
}

}  // namespace

Value LOGRecord::reportDescription(std::uint32_t options) const {
    const bool escape = options & kReportEscapesText;
    const bool links = options & ReportLinks;
    const bool pron = options & ReportPron;
    const bool mainLink = options & ReportMainLink;
    const std::string name = formatForReport(viewName(), escape);
    const std::string objective = formatForReport(dataWithTag("_OBJECT"), escape);
    const Researched person = researched(*this, "_INDI", "INDI");
    const Researched family = researched(*this, "_FAM", "FAM");

    if (options & ReportList) {
        Array lines;
        if (!pron) lines.emplace_back("Research Log: " + (mainLink ? report::link(grecordID(), name) : name));
        if (!objective.empty()) lines.emplace_back("Objective: " + objective);
        addListLine(lines, person, "Researched Individual:", "Researched Individuals:", links);
        addListLine(lines, family, "Researched Family:", "Researched Families:", links);
        addListLine(lines, researched(*this, "__PLC", "_PLC"), "Researched Places:", "Researched Places:", links);
        return Value(std::move(lines));
    }

    std::string text;
    std::string subject = "This research log's";
    if (!pron) {
        text = "This research log's title is " + (mainLink ? report::link(grecordID(), name) : name) + ". ";
        subject = "It's";
    }
    if (!objective.empty()) {
        text += subject + " objective is: " + objective;
        if (text.empty() || text.back() != '.') text += ".";
    }
    std::string joiner = " The research is on";
    if (person.record) {
        text += joiner + " " + named(*person.record, links) + (person.several ? " and other individuals" : "");
        joiner = person.several ? ", and on" : " and on";
    }
    if (family.record)
        text += joiner + " the " + named(*family.record, links) + (family.several ? " and other families" : "");
    if (person.record || family.record) text += ".";
    return Value(text);
}

}  // namespace kl
