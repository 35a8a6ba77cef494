// A stored report's title and body, kept out of the undo history.
#include "model/ReportRecord.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "foundation/HTMLText.h"
#include "foundation/MainThread.h"
#include "foundation/UndoManager.h"
#include "model/GEDCOMStructure.h"

namespace kl {

namespace {

struct CounterSource {
    std::mutex mutex;
    std::function<std::int64_t()> source;
    std::atomic<std::int64_t> own{0};
};

CounterSource& counterSource() {
    static CounterSource counter;
    return counter;
}

// Switches undo registration off for one scope when it was on.
class QuietUndo {
public:
    explicit QuietUndo(UndoManager* um) : um_(um && um->isUndoRegistrationEnabled() ? um : nullptr) {
        if (um_) um_->disableUndoRegistration();
    }
    ~QuietUndo() {
        if (um_) um_->enableUndoRegistration();
    }
    QuietUndo(const QuietUndo&) = delete;
    QuietUndo& operator=(const QuietUndo&) = delete;

private:
    UndoManager* um_;
};

std::string pointSizeText(double size) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", size);
    return text;
}

}  // namespace

void ReportRecord::setReportCounter(std::function<std::int64_t()> source) {
    std::lock_guard lock(counterSource().mutex);
    counterSource().source = std::move(source);
}

std::int64_t ReportRecord::reportCounter() {
    CounterSource& counter = counterSource();
    {
        std::lock_guard lock(counter.mutex);
        if (counter.source) return counter.source();
    }
    return ++counter.own;
}

std::string ReportRecord::viewName() const {
    std::string title = dataWithTag("_TITLE");
    return title.empty() ? "Report ID " + grecordID() : title;
}

std::optional<std::vector<std::string>> ReportRecord::viewTags() const {
    return viewTagWhenPresent("_TITLE");
}

std::string ReportRecord::textForNewRecord(bool) {
    isHtmlReport_ = false;
    return "1 _TITLE New Report\n1 _BODY report text\n" + createdText();
}

void ReportRecord::insertNewUserText(const std::string& text) {
    QuietUndo quiet(undoManager());
    if (auto title = firstChildWithTag("_TITLE")) title->setContents(text);
}

void ReportRecord::setQuietly(const std::string& tag, const std::string& value, bool first) {
    QuietUndo quiet(undoManager());
    if (auto line = firstChildWithTag(tag))
        line->setContents(value);
    else
        addStructure(std::make_shared<GEDCOMStructure>(this, 1, tag, value), this,
                     first ? nullptr : lastStructure().get(), false);
}

void ReportRecord::setViewName(const std::string& name) {
    if (!model()) {
        const std::string numbered = name + " (" + std::to_string(reportCounter()) + ")";
        deferUntilInstalled([this, numbered] { setViewName(numbered); });
        return;
    }
    setQuietly("_TITLE", name, true);
}

void ReportRecord::setBody(const std::string& text, const std::optional<Font>& font) {
    if (deferUntilInstalled([this, text] { setBody(text); })) return;
    const std::string clean = removeReturns(text);
    setQuietly("_BODY", clean, false);
    isHtmlReport_ = isHTMLText(clean) != 0;
    if (!font) return;
    setQuietly("_FONT", font->name, false);
    setQuietly("_SIZE", pointSizeText(font->pointSize), false);
}

std::optional<std::string> ReportRecord::klis_getAttribute(const std::string& name, ISInterpreter* sender) {
    if (name == "body") return body();
    return GEDCOMRecord::klis_getAttribute(name, sender);
}

bool ReportRecord::klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) {
    if (name != "body") return GEDCOMRecord::klis_setAttribute(name, value, sender);
    auto self = std::static_pointer_cast<ReportRecord>(holdRecord());
    Dispatcher::current().postAndWait([self, value] { self->setBody(value); });
    return true;
}

}  // namespace kl
