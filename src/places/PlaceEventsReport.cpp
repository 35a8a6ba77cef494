#include "places/PlaceEventsReport.h"

#include <array>
#include <map>

#include "app/AppController.h"
#include "app/LibraryFolder.h"
#include "charts/ReportHost.h"
#include "document/GEDCOMModel.h"
#include "document/PlaceIndex.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/LibraryServices.h"
#include "model/PlaceRecord.h"
#include "script/Templates.h"

namespace kl {

namespace {

// No event; one event; several events in one record; several in several.
using Forms = std::array<const char*, 4>;

const Forms& formsFor(const std::string& language) {
    static const std::map<std::string, Forms> forms{
        {"French",
         {"<p>L'endroit <b>%@</b> est lié à aucun événement.",
          "<p>L'endroit <b>%@</b> est lié à 1 événement d'un individu ou enregistrement familial.",
          "<p>L'endroit <b>%@</b> est lié à %d événements d'un individu ou enregistrement familial.",
          "<p>L'endroit <b>%@</b> est lié à %d événements de %ld individus ou enregistrements familiaux."}},
        {"Swedish",
         {"<p>Platsen <b>%@</b> är inte relaterad till någon händelse.",
          "<p>Platsen <b>%@</b> är relaterad till 1 händelse för 1 individ eller familjeuppgift.",
          "<p>Platsen <b>%@</b> är relaterad till %d händelser för 1 individ eller familjeuppgift.",
          "<p>Platsen <b>%@</b> är relaterad till %d händelser för %ld individer eller familjeuppgifter."}},
        {"Finnish",
         {"<p>Paikka <b>%@</b> ei ole mainittu yksilön tai perheen tiedostossa.",
          "<p>Paikka <b>%@</b> on mainittu yhden perhetapahtuman yhteydessä yhdessä yksilön tai perheen "
          "tiedostossa.",
          "<p>Paikka <b>%@</b> on mainittu %d perhetapahtuman yhteydessä yksilön tai perheen tiedostossa.",
          "<p>Paikka <b>%@</b> on mainittu %d perhetapahtuman yhteydessä %ld kertaa yksilön tai perheen "
          "tiedostossa."}},
    };
    static const Forms english{
        "<p>The place <b>%@</b> is not cited by any individual or family record.",
        "<p>The place <b>%@</b> is cited by one event in one individual or family record.",
        "<p>The place <b>%@</b> is cited by %d events in one individual or family record.",
        "<p>The place <b>%@</b> is cited by %d events in %ld individual or family records."};
    const auto found = forms.find(language);
    return found == forms.end() ? english : found->second;
}

void replaceFirst(std::string& text, std::string_view mark, const std::string& by) {
    if (const std::size_t at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), by);
}

// The local string of a key; nullopt when the format has none (the
// library answers the key itself then).
std::optional<std::string> localString(const std::string& key) {
    std::string local = LibraryServices::current()->localString(key);
    if (local.empty() || local == key) return std::nullopt;
    return local;
}

// The child's text with the continuation lines that a file read leaves
// below it.
std::string childText(const GEDCOMObject& event, std::string_view tag) {
    const auto child = event.firstChildWithTag(tag);
    if (!child) return {};
    std::string text = child->contents();
    for (const auto& line : child->structures()) {
        if (line->gtag() == "CONT")
            text.append("\n").append(line->contents());
        else if (line->gtag() == "CONC")
            text.append(line->contents());
        else
            break;
    }
    return text;
}

}  // namespace

PlaceEventsReport::PlaceEventsReport(GEDCOMDocument& document, ReportHost& host) : ReportController(document, host) {}

std::string PlaceEventsReport::summarySentence(const std::string& language, const std::string& name, int events,
                                               long records) {
    const Forms& forms = formsFor(language);
    std::string sentence = forms[events == 0 ? 0 : events == 1 ? 1 : records <= 1 ? 2 : 3];
    replaceFirst(sentence, "%@", name);
    replaceFirst(sentence, "%d", std::to_string(events));
    replaceFirst(sentence, "%ld", std::to_string(records));
    return sentence;
}

bool PlaceEventsReport::reportPreparation() {
    const auto place = record_.lock();
    placeName_ = place ? place->viewName() : std::string();
    setTheTitle(placeName_);
    setReport(theTitle() + " (" + host().displayName() + ")");
    // Read here, on the main thread, where the preferences change it.
    LibraryFolder* library = AppController::sharedLibrary();
    language_ = library ? library->templates().language() : std::string();
    records_.clear();
    structures_.clear();
    numStructures_ = 0;
    if (place) {
        PlaceIndex::Citations citations;
        records_ = model().places().findPlace(placeName_, &citations);
        structures_ = std::move(citations);
        for (const auto& list : structures_) numStructures_ += static_cast<int32_t>(list.size());
    }
    return true;
}

std::string PlaceEventsReport::eventLine(const GEDCOMRecord& record, const GEDCOMStructure& place) const {
    // The record is only read: parentOfStructure searches without changing.
    const auto event = const_cast<GEDCOMRecord&>(record).parentOfStructure(&place);
    if (!event) return "<li></li>\n";
    std::string label;
    if (event->gtag() == "EVEN") label = childText(*event, "TYPE");
    if (label.empty()) label = localString(event->gtag()).value_or(event->gtag());
    std::string line = "<li>" + htmlText(label);
    if (const std::string date = childText(*event, "DATE"); !date.empty()) line += ": " + htmlText(date);
    if (const std::string address = childText(*event, "ADDR"); !address.empty()) {
        std::string shown;
        for (char c : htmlText(address)) shown += c == '\n' ? std::string("<br>\n&nbsp;&nbsp;&nbsp;&nbsp;") : std::string(1, c);
        line += "<br>" + htmlText(localString("ADDR").value_or("Address")) + ": " + shown;
    }
    return line + "</li>\n";
}

void PlaceEventsReport::compileReport() {
    std::string& html = reportText();
    html += summarySentence(language_, htmlText(placeName_), numStructures_, static_cast<long>(records_.size()));
    if (!records_.empty()) {
        html += "\n\n<ol>\n";
        for (std::size_t i = 0; i < records_.size() && stillRunning(); ++i) {
            html += "<li>";
            addLink(html, *records_[i]);
            html += "\n<ul>\n";
            for (const auto& place : structures_[i]) {
                html += eventLine(*records_[i], *place);
                incrementDone();
            }
            html += "\n</ul>\n</li>\n";
        }
        html += "\n</ol>\n";
    }
    html += "</div>";
}

}  // namespace kl
