// The prose a note gives reports and the spoken description: who it is
// about, then its text (cut for speech) or a word on its web content.
#include "foundation/HTMLText.h"
#include "model/NOTERecord.h"
#include "model/RecordStore.h"
#include "model/ReportOptions.h"
#include "model/ReportText.h"
#include "foundation/Utf8.h"

namespace kl {

namespace {

constexpr std::size_t kSpokenLength = 160;
constexpr const char* kWebContent = "These notes contain web content and must be opened to view their display.";

// The text cut before the last blank at character positions 160 down to
// 11, or unchanged when there is no such blank.
std::string cutForSpeech(const std::string& text) {
    const std::size_t limit = utf8::advance(text, 0, kSpokenLength);
    const std::size_t lowest = utf8::advance(text, 0, 11);
    for (std::size_t at = std::min(limit, text.size() - 1); at >= lowest && at > 0; --at)
        if (text[at] == ' ') return text.substr(0, at);
    return text;
}

}  // namespace

Value NOTERecord::reportDescription(std::uint32_t options) const {
    const bool links = options & ReportLinks;
    const bool html = options & kReportEscapesText;
    report::Prose prose{(options & ReportList) != 0, {}, {}};

    std::string subject;
    const auto& ids = crossRefIDs();
    if (auto cited = !ids.empty() && model() ? model()->recordWithID(ids.front(), "") : nullptr) {
        if (cited->isType("NOTE"))
            subject = links ? report::fill("another <a href='//%@'>notes</a> record", {cited->grecordID()})
                            : "another notes record";
        else
            subject = links ? "the " + report::link(cited->grecordID(), cited->altViewName()) + " record"
                            : "the " + cited->altViewName() + " record";
        if (ids.size() >= 2) subject += " and other records";
    }
    if (prose.list)
        prose.add(subject.empty() ? "Notes about: not linked to any record" : "Notes about: " + subject);
    else
        prose.add(subject.empty() ? "These notes are not linked to any record." : "These notes are about " + subject + ". ");

    std::string text = notesText();
    if (isHTMLText(text)) {
        if (!prose.list && (options & ReportSay)) {
            prose.add(kWebContent);
        } else if (!html) {
            prose.add(prose.list ? "Notes: contain web content and must be opened to view the display" : kWebContent);
        } else if (prose.list) {
            prose.add("Notes:\n");
            prose.add(text);
        } else {
            prose.add("The notes are:\n" + text);
        }
        return prose.value();
    }

    const bool shorten = (options & ReportPron) || (!prose.list && (options & ReportSay));
    bool complete = true;
    if (shorten && utf8::longerThan(text, kSpokenLength)) {
        text = cutForSpeech(text);
        complete = false;
    }
    if (html) text = safeHTMLText(text, false, false);
    const bool mainLink = options & ReportMainLink;
    const std::string& id = grecordID();
    if (prose.list) {
        if (complete) {
            prose.add("Notes: " + text);
        } else {
            prose.add("Notes Start: " + text);
            if (mainLink) prose.add(report::fill("Notes: <a href='//%@'>Open</a> to see remaining text", {id}));
        }
    } else if (complete) {
        prose.add(mainLink ? report::fill("The complete <a href='//%@'>notes</a> are: %@", {id, text})
                           : "The complete notes are: " + text);
    } else if (mainLink) {
        prose.add(report::fill("The <a href='//%@'>notes</a> begin with: %@ ... ", {id, text}) +
                  report::fill("(Open the <a href='//%@'>notes</a> to see the remaining text)", {id}));
    } else {
        prose.add("The notes begin with: " + text + " ... (Open the notes to see the remaining text)");
    }
    return prose.value();
}

}  // namespace kl
