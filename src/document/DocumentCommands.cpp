#include "document/DocumentCommands.h"

#include "dates/DateBridge.h"
#include "document/GEDCOMModel.h"
#include "document/RecordsIndices.h"
#include "foundation/FormatText.h"
#include "foundation/NotificationCenter.h"
#include "foundation/UndoManager.h"
#include "model/FAMRecord.h"
#include "model/HEADRecord.h"
#include "model/INDIRecord.h"
#include "model/LibraryServices.h"
#include "model/ReportOptions.h"

namespace kl {

namespace {

enum Sex { NoPerson = -1, Male = 1, Female = 2, Unknown = 3 };

// A library without the key answers it untranslated.
std::string localized(const std::string& key) {
    auto library = LibraryServices::current();
    std::string text = library ? library->localString(key) : std::string();
    return text.empty() ? key : text;
}

std::string textAt(const Array& settings, std::size_t at) {
    return at < settings.size() ? settings[at].toString() : std::string();
}

std::shared_ptr<INDIRecord> individual(const std::shared_ptr<GEDCOMRecord>& record) {
    return std::dynamic_pointer_cast<INDIRecord>(record);
}

// Letters, digits and "-._~" stay; everything else, "&", "=", "+" and "#"
// among it, is written as %XX so that a term stays one query value.
std::string encodeQueryValue(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string joinLines(const Value& report) {
    if (const Array* lines = report.array()) {
        std::string text;
        for (std::size_t i = 0; i < lines->size(); ++i) {
            if (i) text += '\n';
            text += (*lines)[i].toString();
        }
        return text;
    }
    return report.toString();
}

}  // namespace

DocumentCommands::DocumentCommands(GEDCOMModel& model, UndoManager& undo, DocumentCommandsHost& host)
    : model_(model), undo_(undo), host_(host) {}

// ---- validation

DocumentMenuAnswer DocumentCommands::validateMenuTag(int tag, const DocumentMenuFacts& facts) {
    const auto& key = facts.keyRecord;
    const auto keyPerson = individual(key);
    switch (tag) {
    case kMergeTwoFilesTag: return {facts.openDocuments >= 2, {}};
    case kCopySpecialTag:
    case kReadToMeTag: return {key != nullptr, {}};
    case kFindRelationshipTag:
    case kAncestorsTag: return {keyPerson != nullptr, {}};
    case kDescendantsTag: {
        if (keyPerson) return {true, {}};
        const auto family = std::dynamic_pointer_cast<FAMRecord>(key);
        return {family && (family->husbandRecord() || family->wifeRecord()), {}};
    }
    case kNewSubmissionTag: return {facts.submissions == 0, {}};
    case kNewFamilyWithSpousesTag: {
        std::optional<std::string> first;
        for (const auto& record : facts.selection) {
            const auto person = individual(record);
            if (!person) continue;
            const std::string sex = person->sex();
            if (!first)
                first = sex;
            else if (sex != *first)
                return {true, "Family with Spouses"};
        }
        if (first == "M") return {true, "Family with Husband"};
        if (first == "F") return {true, "Family with Wife"};
        return {false, {}};
    }
    case kNewFamilyWithChildrenTag: {
        std::size_t people = 0;
        for (const auto& record : facts.selection)
            if (individual(record)) ++people;
        if (people == 0) return {false, {}};
        return {true, people == 1 ? "Family with Child" : "Family with Children"};
    }
    default: return {true, {}};
    }
}

bool DocumentCommands::handlesTag(int tag) {
    switch (tag) {
    case kCopySpecialTag:
    case kReadToMeTag:
    case kWebSearchTag:
    case kMapSearchTag: return true;
    default:
        // The toolbar's home item carries a tag below the menu's range.
        return (tag >= 3100 && tag < 3500) ? tag == 3109 || tag >= kHomeRecordTag
                                           : tag >= kNewMaleTag && tag <= kNewFamilyWithChildrenTag;
    }
}

DocumentMenuFacts DocumentCommands::facts(std::size_t openDocuments) {
    DocumentMenuFacts facts;
    facts.keyRecord = host_.keyWindowRecord();
    facts.selection = host_.keyWindowRecords();
    facts.openDocuments = openDocuments;
    facts.submissions = model_.numberOfType("SUBN");
    return facts;
}

bool DocumentCommands::performCommand(int tag) {
    if (!handlesTag(tag)) return false;
    switch (tag) {
    case kCopySpecialTag: copySpecialCommand(); break;
    case kReadToMeTag: readRecordCommand(); break;
    case kWebSearchTag:
    case kMapSearchTag: tryGoogleSearch(tag); break;
    default:
        if (tag >= kNewMaleTag)
            makeNewRecord(tag);
        else
            doHomeRecordCommand(tag);
    }
    return true;
}

// ---- new records

DocumentCommands::RecordPtr DocumentCommands::makeNewRecord(int tag) {
    if (tag == kNewFamilySheetTag) {
        makeNewFamilyRecord();
        return nullptr;
    }
    // A file has one header; a second would be dropped on saving.
    if (tag == kNewHeaderTag) {
        host_.beep();
        return nullptr;
    }
    const std::string type = RecordsIndices::recordTypeAtIndex(tag - kNewMaleTag).value_or("FAM");
    std::vector<RecordPtr> selection;
    if (tag == kNewBookTag || tag == kNewFamilyWithSpousesTag || tag == kNewFamilyWithChildrenTag)
        selection = host_.keyWindowRecords();
    undo_.beginUndoGrouping();
    const RecordPtr record = model_.createNewRecordOfType(type, type == "INDI" ? Value(tag == kNewMaleTag) : Value());
    if (record) {
        if (tag == kNewSubmissionTag) {
            if (const RecordPtr header = model_.header()) header->attachLink(*record, "SUBN");
        } else if (tag == kNewFamilyWithSpousesTag || tag == kNewFamilyWithChildrenTag) {
            if (auto family = std::dynamic_pointer_cast<FAMRecord>(record)) {
                bool husband = false, wife = false;
                for (const auto& selected : selection) {
                    const auto person = individual(selected);
                    if (!person) continue;
                    if (tag == kNewFamilyWithChildrenTag) {
                        family->attachChild(person, 0);
                        continue;
                    }
                    const std::string sex = person->sex();
                    if (sex == "M" && !husband) {
                        family->attachSpouse(person, "HUSB");
                        husband = true;
                    } else if (sex == "F" && !wife) {
                        family->attachSpouse(person, "WIFE");
                        wife = true;
                    }
                    if (husband && wife) break;
                }
            }
        } else if (tag == kNewBookTag) {
            for (const auto& selected : selection)
                if (individual(selected)) record->attachLink(*selected, "_INDI");
        }
        undo_.setActionName(kNewRecord);
    }
    undo_.endUndoGrouping();
    if (!record) return nullptr;
    host_.selectRecord(record);
    host_.openRecordLater(record, tag == kNewMultimediaTag);
    return record;
}

void DocumentCommands::makeNewFamilyRecord() {
    host_.showNewFamilySheet([this](int code, const Array& settings) { makeFamilyDidEnd(code, settings); });
}

std::shared_ptr<INDIRecord> DocumentCommands::makeFirstIndividual(GEDCOMModel& model, const Array& settings,
                                                                  std::size_t at, int& sex) {
    sex = NoPerson;
    const std::string name = textAt(settings, at);
    if (name.empty()) return nullptr;
    sex = at + 1 < settings.size() ? static_cast<int>(settings[at + 1].toInteger(0)) : 0;
    auto person = individual(model.createNewRecordOfType("INDI", Value(sex == Male)));
    if (!person) return nullptr;
    if (sex == Unknown) person->setSex("U");
    person->insertNewUserText(name);
    // A date that does not read is left out without a word.
    bool valid = false;
    if (std::string born = validateDateString(textAt(settings, at + 2), valid); valid) person->setBirthDate(born);
    if (std::string died = validateDateString(textAt(settings, at + 3), valid); valid) person->setDeathDate(died);
    return person;
}

NewPeople DocumentCommands::makeFirstPeople(GEDCOMModel& model, const Array& settings) {
    NewPeople people;
    people.a = makeFirstIndividual(model, settings, 0, people.sexA);
    people.b = makeFirstIndividual(model, settings, 4, people.sexB);
    return people;
}

void DocumentCommands::attachSpouses(GEDCOMRecord& record, const NewPeople& people) {
    auto* family = dynamic_cast<FAMRecord*>(&record);
    if (!family) return;
    const auto& [a, b, sexA, sexB] = people;
    if (a && (sexA == Male || sexA == Female)) {
        family->attachSpouse(a, sexA == Male ? "HUSB" : "WIFE");
        if (b) family->attachSpouse(b, sexA == Male ? "WIFE" : "HUSB");
    } else if (b && (sexB == Male || sexB == Female)) {
        family->attachSpouse(b, sexB == Male ? "HUSB" : "WIFE");
    }
}

DocumentCommands::RecordPtr DocumentCommands::makeFamilyDidEnd(int code, const Array& settings) {
    if (code != 1) return nullptr;
    undo_.beginUndoGrouping();
    const NewPeople people = makeFirstPeople(model_, settings);
    const RecordPtr family = model_.createNewRecordOfType("FAM");
    if (family) attachSpouses(*family, people);
    undo_.setActionName(kNewFamilyRecord);
    undo_.endUndoGrouping();
    if (!family) return nullptr;
    host_.selectRecord(family);
    host_.openRecordLater(family, false);
    return family;
}

bool DocumentCommands::deleteRecordHere(const RecordPtr& record) {
    if (!record || record->canBeDeleted(1)) return false;
    undo_.beginUndoGrouping();
    model_.deleteRecord(record);
    undo_.setActionName("Delete Record");
    undo_.endUndoGrouping();
    return true;
}

// ---- home records

void DocumentCommands::doHomeRecordCommand(int tag) {
    const int n = tag > kHomeRecordTag ? tag - kHomeRecordTag : 0;
    const auto header = std::dynamic_pointer_cast<HEADRecord>(model_.header());
    const std::string id = header ? header->homeRecordAtIndex(n) : std::string();
    if (const RecordPtr home = id.empty() ? nullptr : model_.recordWithID(id)) {
        host_.openRecordLater(home, false);
        return;
    }
    const RecordPtr selected = host_.keyWindowRecord();
    if (header && selected && header->respondsToDrop(GEDCOMRecord::dropOperationName(selected->recordType()))) {
        std::weak_ptr<HEADRecord> weakHeader = header;
        std::weak_ptr<GEDCOMRecord> weakSelected = selected;
        UndoManager* undo = &undo_;
        host_.askQuestion(localized(kNoHomeRecord), formatText(localized(kOfferHomeRecord), {selected->viewName()}),
                          {localized("Yes"), localized("No")}, false, [weakHeader, weakSelected, undo](int button) {
                              const auto head = weakHeader.lock();
                              const auto record = weakSelected.lock();
                              if (button != 0 || !head || !record) return;
                              undo->beginUndoGrouping();
                              head->drop(record);
                              undo->setActionName(kSetHomeRecord);
                              undo->endUndoGrouping();
                          });
        return;
    }
    host_.informationalAlert(localized(kNoHomeRecord), localized(kHowToSetHomeRecord));
}

// ---- summaries

std::string DocumentCommands::copySpecialText(const std::vector<RecordPtr>& records) {
    std::string text;
    for (const auto& record : records) {
        std::uint32_t bits = ReportList;
        const std::string& type = record->recordType();
        if (type == "INDI")
            bits |= ReportBD | ReportBP | ReportDD | ReportDP | ReportSN | ReportCN | ReportMD | ReportMP | ReportSex |
                    ReportFM;
        else if (type == "FAM")
            bits |= ReportBD | ReportBP | ReportDD | ReportDP | ReportCN | ReportMD | ReportMP | ReportSex;
        else if (type == "OBJE")
            bits |= ReportBD | ReportBP;
        // Each summary is followed by an empty line.
        text += joinLines(record->reportDescription(bits)) + "\n\n";
    }
    return text;
}

void DocumentCommands::copySpecialCommand() {
    const std::vector<RecordPtr> records = host_.keyWindowRecords();
    if (records.empty()) {
        host_.beep();
        return;
    }
    host_.setClipboardText(copySpecialText(records));
}

std::string DocumentCommands::readRecordText(const GEDCOMRecord& record) {
    const std::string& type = record.recordType();
    if (type == "SUBN") return kSubmissionSpeech;
    std::uint32_t bits = ReportSay;
    if (type == "INDI")
        bits |= ReportBD | ReportBP | ReportDD | ReportDP | ReportSN | ReportCN | ReportMD | ReportMP | ReportSex;
    else if (type == "FAM")
        bits |= ReportBD | ReportBP | ReportDD | ReportDP | ReportCN | ReportMD | ReportMP | ReportSex;
    else if (type == "OBJE")
        bits |= ReportBD | ReportBP;
    std::string text = joinLines(record.reportDescription(bits));
    return text.empty() ? std::string(kUnknownCustomRecord) : text;
}

void DocumentCommands::readRecordCommand() {
    const RecordPtr record = host_.keyWindowRecord();
    if (!record) {
        host_.beep();
        return;
    }
    host_.speak(readRecordText(*record), 0.5, formatText(localized("Reading record %@"), {record->description()}));
}

bool DocumentCommands::pageLayoutDidEnd(int code, std::optional<int> context) {
    if (code == 0) return false;
    if (context != 2) return true;
    NotificationCenter::defaultCenter().post(kTreePageLinesChanged, nullptr);
    return false;
}

// ---- Tempolin

std::optional<std::string> DocumentCommands::tempolinDate(const std::optional<std::string>& text) {
    bool valid = false;
    if (text) {
        std::string date = validateDateString(*text, valid);
        return valid ? date : todayDateString();
    }
    if (const auto selected = host_.selectedBrowserText()) {
        std::string date = validateDateString(*selected, valid);
        if (valid) return date;
    }
    if (const RecordPtr record = host_.keyWindowRecord()) return record->firstDate();
    return std::nullopt;
}

void DocumentCommands::openTempolin(const std::optional<std::string>& text) {
    const std::string date = tempolinDate(text).value_or(std::string());
    // Starting can fail once while the desktop is busy; it is tried again.
    if (host_.sendDateToTempolin(date) || host_.sendDateToTempolin(date)) return;
    const std::string download = tempolinDownload_;
    DocumentCommandsHost* host = &host_;
    host_.askQuestion(localized(kNoTempolin), localized(kDownloadTempolin), {localized("OK"), localized("Download...")}, true,
                      [host, download](int button) {
                          if (button == 1 && !download.empty()) host->openAddress(download);
                      });
}

// ---- outside searches

void DocumentCommands::tryGoogleSearch(int tag) {
    const RecordPtr record = host_.keyWindowRecord();
    if (!record) {
        host_.beep();
        return;
    }
    std::string words;
    if (tag == kMapSearchTag) words = record->firstPlace().value_or(std::string());
    if (words.empty()) words = record->googleWords();
    host_.launchSearch(words, tag);
}

void DocumentCommands::tryFamilySearch() {
    const RecordPtr record = host_.keyWindowRecord();
    const std::optional<Value> terms = record ? record->familySearchTerms() : std::nullopt;
    const Array* list = terms ? terms->array() : nullptr;
    if (!list) {
        host_.beep();
        host_.criticalAlert(localized(kNoSearchTerms), localized(kSelectForSearch));
        return;
    }
    DocumentCommandsHost::Terms texts;
    for (const auto& term : *list) texts.push_back(term.toString());
    texts.resize(4);
    host_.showSearchTermsSheet(texts, [this](int code, const DocumentCommandsHost::Terms& entered) {
        famTermsDidEnd(code, entered);
    });
}

std::string DocumentCommands::familySearchQuery(const DocumentCommandsHost::Terms& terms) {
    auto term = [&](std::size_t at) { return at < terms.size() ? terms[at] : std::string(); };
    // Written date first, then place, given names and surname.
    const std::pair<const char*, std::string> keys[] = {
        {"q.anyDate.from", term(3)}, {"q.anyPlace", term(2)}, {"q.givenName", term(0)}, {"q.surname", term(1)}};
    std::string query;
    for (const auto& [key, value] : keys) {
        if (value.empty()) continue;
        if (!query.empty()) query += '&';
        query += key;
        query += '=';
        query += encodeQueryValue(value);
    }
    return query;
}

std::string DocumentCommands::familySearchAddress(const std::string& base, int code,
                                                  const DocumentCommandsHost::Terms& terms) {
    return base + (code == 1 ? "/search/tree/results?" : "/search/all-collections/results?") +
           familySearchQuery(terms);
}

void DocumentCommands::famTermsDidEnd(int code, const DocumentCommandsHost::Terms& terms) {
    if (code == 0) return;
    if (genealogySearch_.empty()) {
        host_.beep();
        return;
    }
    host_.openAddress(familySearchAddress(genealogySearch_, code, terms));
}

}  // namespace kl
