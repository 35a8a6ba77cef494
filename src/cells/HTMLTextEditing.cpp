#include "cells/HTMLTextEditing.h"

#include <algorithm>

#include "document/GEDCOMModel.h"
#include "foundation/AsciiText.h"
#include "foundation/HTMLText.h"
#include "foundation/Utf8.h"
#include "model/GEDCOMRecord.h"
#include "model/NOTERecord.h"

namespace kl {

namespace {

bool isWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (true) {
        const std::size_t end = text.find('\n', from);
        std::string line(text.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string_view::npos) return lines;
        from = end + 1;
    }
}

std::string trimmed(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && isWhite(text[first])) ++first;
    while (last > first && isWhite(text[last - 1])) --last;
    return std::string(text.substr(first, last - first));
}

std::string nameComment(const std::string& firstLine) {
    std::string name = trimmed(firstLine);
    if (name.empty()) name = HTMLTextEditing::kUnnamed;
    if (utf8::longerThan(name, 50)) name = name.substr(0, utf8::advance(name, 0, 50)) + "...";
    return "<!--name " + name + " -->\n";
}

// The fields of one table line: runs between blanks, tabs and commas, with
// quoted runs kept whole (without their quotes).
std::vector<std::string> tableFields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (isWhite(line[at]) || line[at] == ',')) ++at;
        if (at >= line.size()) break;
        std::string field;
        if (line[at] == '"' || line[at] == '\'') {
            const char quote = line[at++];
            const std::size_t close = line.find(quote, at);
            field = std::string(line.substr(at, close == std::string_view::npos ? std::string_view::npos : close - at));
            at = close == std::string_view::npos ? line.size() : close + 1;
        } else {
            const std::size_t start = at;
            while (at < line.size() && !isWhite(line[at]) && line[at] != ',') ++at;
            field = std::string(line.substr(start, at - start));
        }
        fields.push_back(std::move(field));
    }
    return fields;
}

// The end of the body of a block: the "<" of its closing div tag, else just
// past the last character that is not white space.
std::size_t bodyEnd(std::string_view text) {
    const std::string lower = asciiLower(text);
    std::size_t last = text.size();
    while (last > 0 && isWhite(text[last - 1])) --last;
    if (last >= 6 && lower.compare(last - 6, 6, "</div>") == 0) return last - 6;
    return last;
}

}  // namespace

std::string HTMLTextEditing::makeHTMLText(std::string_view text, bool paragraphs) {
    const std::vector<std::string> lines = text.empty() ? std::vector<std::string>{} : splitLines(text);
    std::string html = "<div>" + nameComment(lines.empty() ? std::string() : lines.front());
    for (const std::string& line : lines) {
        if (line.empty()) html += "\n";
        else if (paragraphs) html += "<p>" + line + "\n</p>\n";
        else html += line + "\n";
    }
    return html + "</div>";
}

HTMLTextEditing::Range HTMLTextEditing::insertTextRange(std::string_view text, Range selection) {
    const std::size_t start = isHTMLText(text);
    const std::size_t end = std::max(start, bodyEnd(text));
    if (selection.location >= end) return {end, 0};
    if (selection.location < start) {
        const std::size_t cut = start - selection.location;
        selection.length = selection.length > cut ? selection.length - cut : 0;
        selection.location = start;
    }
    if (selection.end() > end) selection.length = end - selection.location;
    return selection;
}

HTMLTextEditing::Range HTMLTextEditing::lineRange(std::string_view text, Range selection) {
    const std::size_t location = std::min(selection.location, text.size());
    const std::size_t start = location == 0 ? 0 : text.rfind('\n', location - 1);
    const std::size_t first = start == std::string_view::npos || location == 0 ? 0 : start + 1;
    std::size_t last = std::min(selection.end(), text.size());
    // A selection that ends just past a line end does not take the next line.
    if (selection.length > 0 && last > first && text[last - 1] == '\n') return {first, last - first};
    const std::size_t end = text.find('\n', last);
    last = end == std::string_view::npos ? text.size() : end + 1;
    return {first, last - first};
}

std::string HTMLTextEditing::paragraphText(std::string_view selected) {
    std::string html;
    const std::vector<std::string> lines = splitLines(selected);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // The piece after the selection's last line end is no line of its own.
        if (i + 1 == lines.size() && lines[i].empty() && i > 0) break;
        html += lines[i].empty() ? std::string("\n") : "<p>" + lines[i] + "\n</p>\n";
    }
    return html;
}

std::string HTMLTextEditing::listText(std::string_view selected, bool ordered) {
    std::string html = ordered ? "<ol>\n" : "<ul>\n";
    if (selected.empty()) {
        html += "<li>item</li>\n";
    } else {
        const std::vector<std::string> lines = splitLines(selected);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i + 1 == lines.size() && lines[i].empty() && i > 0) break;
            html += "<li>" + lines[i] + "</li>\n";
        }
    }
    return html + (ordered ? "</ol>\n" : "</ul>\n");
}

std::string HTMLTextEditing::tableText(std::string_view selected) {
    std::vector<std::vector<std::string>> rows;
    if (!selected.empty()) {
        for (const std::string& line : splitLines(selected)) {
            auto fields = tableFields(line);
            // Empty lines before the header row are skipped.
            if (rows.empty() && fields.empty()) continue;
            rows.push_back(std::move(fields));
        }
    }
    std::size_t columns = rows.empty() ? 0 : rows.front().size();
    if (rows.empty()) {
        rows.assign(4, {});
        columns = 3;
    }
    std::string html = "<table border='1' cellspacing='0' cellpadding='3'>\n";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const bool header = r == 0;
        const std::string open = header ? "<th>" : "<td>";
        const std::string close = header ? "</th>" : "</td>";
        if (header) html += "\n<thead>";
        html += "\n<tr>\n";
        const std::size_t given = std::min(rows[r].size(), columns);
        for (std::size_t c = 0; c < given; ++c) html += open + rows[r][c] + close + " ";
        for (std::size_t c = given; c < columns; ++c) html += open + "col " + std::to_string(c + 1) + close + " ";
        html += "\n</tr>\n";
        if (header) html += "</thead>\n\n<tbody>";
    }
    return html + "</tbody>\n\n</table>\n";
}

std::string HTMLTextEditing::tagText(std::string_view selected, int tag) {
    static const char* const wraps[][2] = {{"<a href=\"\">", "</a>"}, {"<b>", "</b>"},   {"<i>", "</i>"},
                                           {"<u>", "</u>"},           {"<h1>", "</h1>"}, {"<h2>", "</h2>"},
                                           {"<h3>", "</h3>"}};
    if (tag < 0 || tag > 6) return std::string(selected);
    return wraps[tag][0] + std::string(selected) + wraps[tag][1];
}

std::string HTMLTextEditing::recordLinkText(const std::string& recordID, const std::string& linkText) {
    return "<a href=\"kinlore:" + recordID + "\">" + linkText + "</a>";
}

std::string HTMLTextEditing::droppedRecordsText(const std::vector<std::shared_ptr<GEDCOMRecord>>& records,
                                                bool html) {
    std::string text;
    for (const auto& record : records) {
        if (!record) continue;
        text += " " + (html ? recordLinkText(record->grecordID(), record->altViewName()) : record->altViewName());
    }
    return text.empty() ? text : text + " ";
}

bool HTMLTextEditing::attachCSSComment(std::string& text, const std::string& recordID) {
    const std::size_t body = isHTMLText(text);
    if (body == 0) return false;
    NOTERecord::TextRange range;
    if (auto current = NOTERecord::findHTMLComment("<!--CSS", text, &range)) {
        if (*current == recordID) return false;
        text.replace(range.location, range.length, " " + recordID + " ");
        return true;
    }
    // An empty marker has no content to replace: a new one goes in front.
    text.insert(body, "<!--CSS " + recordID + " -->");
    return true;
}

namespace {

// One anchor of a record link: where the anchor starts, where its ID
// (with a leading "//") lies, and the ID itself.
struct RecordLink {
    std::size_t anchor = 0;
    std::size_t valueStart = 0;
    std::size_t valueEnd = 0;
    std::string id;
    bool dead = false;
};

// Walks the anchors of a text; `visit` answers false to stop the walk and
// may rewrite the text, telling where the scan goes on.
template <class Visit>
void eachRecordLink(std::string& text, Visit visit) {
    std::size_t from = 0;
    while (true) {
        const std::string lower = asciiLower(text);
        const std::size_t anchor = lower.find("<a href", from);
        if (anchor == std::string::npos) return;
        std::size_t at = anchor + 7;
        from = at;
        const std::size_t equals = text.find_first_of("=>", at);
        if (equals == std::string::npos || text[equals] != '=') continue;
        at = equals + 1;
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
        if (at >= text.size()) return;
        char quote = 0;
        if (text[at] == '"' || text[at] == '\'') quote = text[at++];
        RecordLink link;
        link.anchor = anchor;
        link.valueStart = at;
        if (text.compare(at, 2, "//") == 0) at += 2;
        else if (at < text.size() && text[at] == '/') continue;
        if (at >= text.size() || text[at] != '@') continue;
        const std::size_t idStart = at;
        const char stop = quote ? quote : ' ';
        std::size_t end = idStart;
        while (end < text.size() && text[end] != stop && text[end] != '>') ++end;
        link.dead = end >= text.size() || text[end] == '>';
        link.valueEnd = end;
        link.id = text.substr(idStart, end - idStart);
        std::size_t next = end;
        if (!visit(link, next)) return;
        from = next;
    }
}

std::shared_ptr<GEDCOMRecord> linkedRecord(const RecordLink& link, const GEDCOMModel* model) {
    if (link.dead || !model || link.id.size() < 3) return nullptr;
    return model->recordWithID(link.id);
}

}  // namespace

void HTMLTextEditing::convertForExport(std::string& text, const LinkFormats* links, const GEDCOMModel* model) {
    eachRecordLink(text, [&](const RecordLink& link, std::size_t& next) {
        const auto record = links ? linkedRecord(link, model) : nullptr;
        const LinkFormats::const_iterator none = links ? links->end() : LinkFormats::const_iterator();
        auto format = none;
        if (record) {
            format = links->find(record->recordType());
            if (format == none) format = links->find(asciiLower(record->recordType()));
        }
        if (record && format != none) {
            std::string bare;
            for (char c : link.id)
                if (c != '@') bare += c;
            std::string name = format->second;
            if (const std::size_t mark = name.find("%@"); mark != std::string::npos) name.replace(mark, 2, bare);
            text.replace(link.valueStart, link.valueEnd - link.valueStart, name);
            next = link.valueStart + name.size();
            return true;
        }
        const std::string lower = asciiLower(text);
        const std::size_t close = lower.find("</a>", link.valueEnd);
        if (close == std::string::npos) return false;
        const std::size_t tagEnd = text.find('>', link.valueEnd);
        const std::size_t inner = tagEnd != std::string::npos && tagEnd < close ? tagEnd + 1 : close;
        const std::string innerText = text.substr(inner, close - inner);
        text.replace(link.anchor, close + 4 - link.anchor, innerText);
        next = link.anchor + innerText.size();
        return true;
    });
}

std::vector<std::shared_ptr<GEDCOMRecord>> HTMLTextEditing::collectLinks(std::string_view text,
                                                                         const GEDCOMModel& model) {
    std::vector<std::shared_ptr<GEDCOMRecord>> records;
    std::string copy(text);
    eachRecordLink(copy, [&](const RecordLink& link, std::size_t&) {
        if (auto record = linkedRecord(link, &model)) records.push_back(std::move(record));
        return true;
    });
    return records;
}

}  // namespace kl
