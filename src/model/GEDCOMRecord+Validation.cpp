// A record's item in the GEDCOM validation report.
#include "foundation/HTMLText.h"
#include "model/GEDCOMRecord.h"
#include "model/ValidationReport.h"

namespace kl {

std::string ValidationReport::escapeHTML(std::string_view text) { return safeHTMLText(text, false, false); }

void ValidationReport::addLink(std::string& html, const GEDCOMRecord& record) {
    html.append("<a href='//").append(record.grecordID()).append("'>");
    html.append(escapeHTML(record.viewName())).append("</a>");
}

void ValidationReport::addList(std::string& html, std::string_view kind, const std::vector<std::string>& items) {
    html.append("<").append(kind).append(">");
    for (const auto& item : items) html.append("<li>").append(escapeHTML(item)).append("</li>");
    html.append("</").append(kind).append(">");
}

void GEDCOMRecord::checkGEDCOMOfRecord(std::string& html, const Dictionary& grammar, int flags,
                                       ValidationReport& report) {
    if (corrupt() != 0) {
        report.incrementBadRecords();
        html += "<li>";
        ValidationReport::addLink(html, *this);
        html += ": The basic GEDCOM structure of this record is corrupted for the reasons listed below.";
        html += " The data in the record will not be checked until these problems are fixed.";
        ValidationReport::addList(html, "ul", allCorruptions().value_or(std::vector<std::string>{}));
        html += "</li>\n";
        return;
    }
    const Value* typeGrammar = grammar.get(recordType());
    if (!typeGrammar) {
        report.incrementBadRecords();
        html += "<li>";
        ValidationReport::addLink(html, *this);
        html += "\n<ul><li>Unrecognized custom record of type " + ValidationReport::escapeHTML(recordType()) +
                "</li></ul>\n</li>";
        return;
    }
    std::vector<std::string> messages;
    std::vector<std::string> tags{recordType()};
    report.checkStructures(*this, messages, tags, grammar, typeGrammar, flags);
    if (messages.empty()) return;
    report.incrementBadRecords();
    html += "<li>";
    ValidationReport::addLink(html, *this);
    html += "\n<ul>\n";
    // Messages quote the record's own values; they must not become markup.
    for (const auto& message : messages) html += "<li>" + ValidationReport::escapeHTML(message) + "</li>\n";
    html += "\n</ul>\n</li>\n";
}

}  // namespace kl
