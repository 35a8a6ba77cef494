// A book style's settings lines, their defaults for a new book, the
// dictionary handed to scripts and the individuals dropped on it.
#include "model/BookRecord.h"

#include <cctype>
#include <map>

#include "dates/DateBridge.h"
#include "foundation/MainThread.h"
#include "foundation/UserDefaults.h"
#include "model/GEDCOMStructure.h"
#include "model/RecordStore.h"
#include "model/ReportOptions.h"
#include "model/ReportText.h"

namespace kl {

namespace {

// The setting lines a new book starts with, in order.
struct DefaultLine {
    const char* tag;
    const char* value;  // nullptr: the user's name
};

constexpr DefaultLine kDefaultLines[] = {
    {"_AUTH", nullptr}, {"_ANC", "all"},       {"_DES", "none"},      {"_FONT", "10"},     {"_FFAM", "Helvetica"},
    {"_LINE", "1.2"},   {"_PAPER", "US Letter"}, {"_SIZE", "Full Page"}, {"_TEXSTY", "Default"}, {"_TGEN", "4"},
    {"_XTEX", "Y"},     {"_TSET", "Y"},
};

// Level-1 lines handed on as they are.
constexpr std::pair<const char*, const char*> kPlainSettings[] = {
    {"_AUTH", "author"},     {"_EMAIL", "email"},        {"_ANC", "ancestors"},     {"_DES", "descendants"},
    {"_FONT", "fontSize"},   {"_FFAM", "fontFamily"},    {"_LINE", "lineSpread"},   {"_PAPER", "paperSize"},
    {"_SIZE", "pageSize"},   {"_TEXSTY", "styleSheet"},  {"_TSET", "typeset"},      {"_OVER", "overwrite"},
    {"_NTOP", "notesOption"}, {"_PTOP", "porOption"},    {"_TEXPATH", "texPath"},
};

bool isNo(const std::string& value) { return value.empty() || value == "n" || value == "N"; }

std::string childText(const std::shared_ptr<GEDCOMStructure>& parent, std::string_view tag) {
    auto child = parent ? parent->firstChildWithTag(tag) : nullptr;
    return child ? child->contents() : std::string();
}

using BookGetter = std::string (BookRecord::*)() const;
using BookSetter = void (BookRecord::*)(const std::string&);

const std::map<std::string, std::pair<BookGetter, BookSetter>, std::less<>>& scriptKeys() {
    static const std::map<std::string, std::pair<BookGetter, BookSetter>, std::less<>> keys{
        {"authorName", {&BookRecord::authorName, &BookRecord::setAuthorName}},
        {"authorEmail", {&BookRecord::authorEmail, &BookRecord::setAuthorEmail}},
        {"saveFolder", {&BookRecord::saveFolder, &BookRecord::setSaveFolder}},
    };
    return keys;
}

}  // namespace

std::string BookRecord::viewName() const {
    std::string description = dataWithTag("_DESC");
    return description.empty() ? "Book Style ID " + grecordID() : description;
}

std::optional<std::vector<std::string>> BookRecord::viewTags() const {
    return viewTagWhenPresent("_DESC");
}

std::string BookRecord::createdText() {
    std::string text;
    for (const DefaultLine& line : kDefaultLines) {
        const std::string value =
            line.value ? line.value : UserDefaults::standard().stringForKey("User Name").value_or("");
        text += std::string("\n1 ") + line.tag + " " + value;
    }
    if (addingCreationDates()) {
        std::string time;
        const std::string date = todayDateString(&time);
        text += "\n1 REFN " + date + " " + time + "\n2 TYPE Creation Date";
    }
    return text;
}

std::string BookRecord::textForNewRecord(bool) { return "1 _DESC Book Description" + createdText(); }

void BookRecord::insertNewUserText(const std::string& text) {
    if (auto description = firstChildWithTag("_DESC")) description->setContents(text);
}

// ---- settings

void BookRecord::setBookData(const std::string& value, const std::string& tag, Setter recall) {
    if (deferUntilInstalled([this, value, recall] { (this->*recall)(value); })) return;
    setDataWithTag(tag, removeReturns(value));
}

void BookRecord::setViewName(const std::string& v) { setBookData(v, "_DESC", &BookRecord::setViewName); }
void BookRecord::setAuthorName(const std::string& v) { setBookData(v, "_AUTH", &BookRecord::setAuthorName); }
void BookRecord::setAuthorEmail(const std::string& v) { setBookData(v, "_EMAIL", &BookRecord::setAuthorEmail); }
void BookRecord::setSaveFolder(const std::string& v) { setBookData(v, "_FLDR", &BookRecord::setSaveFolder); }

std::string BookRecord::anywhere(std::string_view tag) const {
    auto found = findStructureWithTag(tag);
    return found ? found->contents() : std::string();
}

Dictionary BookRecord::bookSettings() const {
    Dictionary settings;
    for (const auto& [tag, key] : kPlainSettings) settings.set(key, Value(dataWithTag(tag)));
    const std::string generations = dataWithTag("_TGEN");
    settings.set("treeGenerations", Value(generations.empty() ? "4" : generations));
    settings.set("texCmd", Value(isNo(dataWithTag("_XTEX")) ? "pdflatex" : "xelatex"));
    settings.set("chinese", Value(isNo(dataWithTag("_CHN")) ? "No" : "Yes"));
    auto intro = findStructureWithTag("_INTRO");
    settings.set("introduction", Value(intro ? intro->contents() : ""));
    settings.set("introTeX", Value(childText(intro, "_TEX")));
    auto about = findStructureWithTag("_ABOUT");
    settings.set("aboutAuthor", Value(about ? about->contents() : ""));
    settings.set("aboutTeX", Value(childText(about, "_TEX")));
    auto copyright = findStructureWithTag("_COPY");
    if (copyright && copyright->contents() == "Y") {
        settings.set("owner", Value(childText(copyright, "_OWNER")));
        settings.set("grantees", Value(childText(copyright, "_GTEES")));
    } else {
        settings.set("noowner", Value(""));
        settings.set("nograntees", Value(""));
    }
    Array individuals;
    for (const auto& id : linkedIDs("_INDI"))
        if (auto person = model() ? model()->recordWithID(id, "INDI") : nullptr)
            individuals.emplace_back(std::move(person));
    settings.set("individuals", Value(std::move(individuals)));
    return settings;
}

// ---- drops, prose and scripting

const GEDCOMRecord::DropTable& BookRecord::dropTable() const {
    static const DropTable table = extendDropTable(
        baseDropTable(), {{"dropINDIRecord:", static_cast<DropHandler>(&BookRecord::dropINDIRecord)}});
    return table;
}

GEDCOMRecord::DropAnswer BookRecord::dropINDIRecord(const std::shared_ptr<GEDCOMRecord>& dropped) {
    if (!dropped) return std::string("No record was dropped.");
    for (const auto& line : findChildren("_INDI", false))
        if (line->contents() == dropped->grecordID())
            return std::string("The dropped individual record is already linked to this book.");
    attachLink(*dropped, "_INDI");
    return std::nullopt;
}

Value BookRecord::reportDescription(std::uint32_t options) const {
    const std::string name = (options & ReportMainLink) ? report::link(grecordID(), viewName()) : viewName();
    if (options & ReportList) return Value(Array{Value("Book Description: " + name)});
    return Value("This book style record is for preparing a book with description " + name + ".");
}

std::optional<std::string> BookRecord::klis_getAttribute(const std::string& name, ISInterpreter* sender) {
    auto it = scriptKeys().find(name);
    if (it != scriptKeys().end()) return (this->*(it->second.first))();
    return GEDCOMRecord::klis_getAttribute(name, sender);
}

bool BookRecord::klis_setAttribute(const std::string& name, const std::string& value, ISInterpreter* sender) {
    auto it = scriptKeys().find(name);
    if (it == scriptKeys().end()) return GEDCOMRecord::klis_setAttribute(name, value, sender);
    auto self = std::static_pointer_cast<BookRecord>(holdRecord());
    const BookSetter setter = it->second.second;
    Dispatcher::current().postAndWait([self, setter, value] { ((*self).*setter)(value); });
    return true;
}

std::shared_ptr<Object> BookRecord::klis_getObjectAttribute(const std::string& name, ISInterpreter* sender) {
    if (name == "bookSettings") return sender ? sender->makeDictionary(bookSettings()) : nullptr;
    return GEDCOMRecord::klis_getObjectAttribute(name, sender);
}

}  // namespace kl
