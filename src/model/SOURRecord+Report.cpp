// The prose a source gives reports: a list of labelled lines, a citation
// sentence, or a spoken description, each closed by who cites the source.
#include "foundation/HTMLText.h"
#include "model/RecordStore.h"
#include "model/ReportOptions.h"
#include "model/ReportText.h"
#include "model/SOURRecord.h"
#include "foundation/TextCase.h"

namespace kl {

namespace {

struct SourceFacts {
    std::string title, authors, details, date, kind, url;
};

// The details' label, by kind of source.
std::string detailsLabel(const std::string& kind) {
    if (kind == "article") return "Periodical";
    if (kind == "vital records") return "Location";
    if (kind == "unpublished") return "Comments";
    return "Publisher";
}

std::string kindSentence(const std::string& kind) {
    if (kind == "article") return "This source is an article. ";
    if (kind == "book" || kind == "web page") return report::fill("This source is a %@. ", {kind});
    if (kind == "in book") return "This source is part of a book. ";
    if (kind == "vital records") return "This source contains vital records data. ";
    if (kind == "unpublished") return "This source is not published. ";
    return "This source's type is not recorded. ";
}

void addDetails(report::Prose& out, const SourceFacts& facts, std::uint32_t options) {
    if (facts.kind == "web page" && !facts.url.empty()) {
        const std::string address = (options & ReportLinks)
                                        ? report::fill("<a href='%@'>%@</a>", {facts.url, safeHTMLText(facts.url, false, false)})
                                        : facts.url;
        out.add(out.list ? "Web page: " + address : "The web page is " + address + ". ");
    }
    if (facts.details.empty()) return;
    const std::string label = detailsLabel(facts.kind);
    out.add(out.list ? label + ": " + facts.details : label + ": " + facts.details + ". ");
}

void addSpoken(report::Prose& out, const SourceFacts& facts) {
    if (!facts.date.empty())
        out.add(report::fill("The source titled \"%@\" was written", {facts.title}) + " by " + facts.authors + " in " +
                facts.date + ". ");
    else
        out.add(report::fill("The source title is \"%@.\" ", {facts.title}));
    out.add(kindSentence(facts.kind));
}

}  // namespace

Value SOURRecord::reportDescription(std::uint32_t options) const {
    const bool escape = options & kReportEscapesText;
    SourceFacts facts;
    facts.title = formatForReport(sourceTitle(), escape);
    if (facts.title.empty()) facts.title = viewName();
    if (options & ReportMainLink) facts.title = report::link(grecordID(), facts.title);
    facts.authors = formatForReport(sourceAuthors(), escape);
    if (facts.authors.empty()) facts.authors = "Unknown authors";
    facts.details = formatForReport(sourcePublisher(), escape);
    facts.date = sourceDate();
    facts.kind = textcase::lower(sourceType());
    facts.url = sourceURL();

    report::Prose out{(options & ReportList) != 0, {}, {}};
    const bool spoken = !out.list && (options & ReportSay);
    if (out.list) {
        out.add("Source Title: " + facts.title);
        if (!facts.kind.empty()) out.add("Kind: " + facts.kind);
        out.add("Authors: " + facts.authors);
        if (!facts.date.empty()) out.add("Date: " + facts.date);
        addDetails(out, facts, options);
    } else if (spoken) {
        addSpoken(out, facts);
    } else {
        out.add(facts.authors + (facts.date.empty() ? ", " : " (" + facts.date + "). "));
        out.add("\"" + facts.title + ".\" ");
        addDetails(out, facts, options);
    }

    std::string citedBy = "no records.";
    const auto& ids = crossRefIDs();
    if (auto cited = !ids.empty() && model() ? model()->recordWithID(ids.front(), "") : nullptr) {
        const bool links = options & ReportLinks;
        std::string first;
        if (cited->isType("NOTE"))
            first = links ? report::fill("a <a href='//%@'>notes</a> record", {cited->grecordID()}) : "a notes record";
        else
            first = "the " + (links ? report::link(cited->grecordID(), cited->altViewName()) : cited->altViewName()) +
                    " record";
        citedBy = first + (ids.size() == 1 ? "." : " and other records.");
    }
    out.add(out.list ? "Cited by: " + citedBy : (spoken ? "It is cited by " : "This source is cited by ") + citedBy);
    return out.value();
}

}  // namespace kl
