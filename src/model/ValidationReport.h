#pragma once
// ValidationReport: what a record asks of the GEDCOM validation report while
// it adds its item: the counters of the summary, the grammar check of its
// lines, and the report's HTML pieces (record links, lists).
//
// The report runs on its own thread and calls each record there; the
// grammar check may delete custom lines with undo from that thread.
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class GEDCOMObject;
class GEDCOMRecord;

class ValidationReport {
public:
    virtual ~ValidationReport() = default;

    virtual void incrementBadRecords() = 0;
    virtual void incrementDeletedCustomTags() = 0;
    // Checks the node's lines against `currentGrammar` (the grammar of its
    // sub-lines), appending one message per problem; `tags` is the path of
    // the node and holds again what it held when the call returns.
    virtual void checkStructures(GEDCOMObject& node, std::vector<std::string>& messages, std::vector<std::string>& tags,
                                 const Dictionary& grammar, const Value* currentGrammar, int flags) = 0;

    // "<a href='//ID'>name</a>", the name escaped for HTML.
    static void addLink(std::string& html, const GEDCOMRecord& record);
    // An HTML list of `kind` ("ul", "ol") with one escaped item per text.
    static void addList(std::string& html, std::string_view kind, const std::vector<std::string>& items);
    // Record data made safe for the page (safeHTMLText: HTML blocks kept).
    static std::string escapeHTML(std::string_view text);
};

}  // namespace kl
