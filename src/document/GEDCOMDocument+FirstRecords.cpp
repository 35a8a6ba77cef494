#include "dates/DateBridge.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "model/FAMRecord.h"
#include "model/INDIRecord.h"

namespace kl {

namespace {

enum Sex { NoPerson = -1, Male = 1, Female = 2, Unknown = 3 };

std::string textAt(const Array& settings, std::size_t at) {
    return at < settings.size() ? settings[at].toString() : std::string();
}

// The person at `at` (name, sex, born, died), made in the model; nullptr
// without a name. `sex` is NoPerson then.
std::shared_ptr<INDIRecord> makeFirstIndividual(GEDCOMModel& model, const Array& settings, std::size_t at, int& sex) {
    sex = NoPerson;
    const std::string name = textAt(settings, at);
    if (name.empty()) return nullptr;
    sex = at + 1 < settings.size() ? static_cast<int>(settings[at + 1].toInteger(0)) : 0;
    auto person = std::dynamic_pointer_cast<INDIRecord>(model.createNewRecordOfType("INDI", Value(sex == Male)));
    if (!person) return nullptr;
    if (sex == Unknown) person->setSex("U");
    person->insertNewUserText(name);
    // A date that does not read is left out without a word.
    bool valid = false;
    if (std::string born = validateDateString(textAt(settings, at + 2), valid); valid) person->setBirthDate(born);
    if (std::string died = validateDateString(textAt(settings, at + 3), valid); valid) person->setDeathDate(died);
    return person;
}

void attachSpouses(FAMRecord& family, const std::shared_ptr<INDIRecord>& a, int sexA,
                   const std::shared_ptr<INDIRecord>& b, int sexB) {
    if (a && (sexA == Male || sexA == Female)) {
        family.attachSpouse(a, sexA == Male ? "HUSB" : "WIFE");
        if (b) family.attachSpouse(b, sexA == Male ? "WIFE" : "HUSB");
    } else if (b && (sexB == Male || sexB == Female)) {
        family.attachSpouse(b, sexB == Male ? "HUSB" : "WIFE");
    }
}

bool hasSex(int sex) { return sex != Unknown && sex != NoPerson; }

}  // namespace

bool GEDCOMDocument::makeFirstRecords(const Array& settings) {
    GEDCOMModel& model = gedcomModel();
    int sexA = NoPerson, sexB = NoPerson;
    const auto a = makeFirstIndividual(model, settings, 0, sexA);
    const auto b = makeFirstIndividual(model, settings, 4, sexB);
    if (!a && !b) return false;
    RecordsIndices& index = model.recordsIndex();
    // The lists of a new file are made at the end of the index as their
    // first records arrive; the people come first.
    if (const long row = index.recordTypeIndex("INDI"); row > 0) index.moveRowFrom(row, 0);
    const bool family = settings.size() > 8 && (hasSex(sexA) || hasSex(sexB));
    if (family) {
        if (auto made = std::dynamic_pointer_cast<FAMRecord>(model.createNewRecordOfType("FAM")))
            attachSpouses(*made, a, sexA, b, sexB);
        if (const long row = index.recordTypeIndex("FAM"); row > 1) index.moveRowFrom(row, 1);
    }
    undo().setActionName(family ? "Created Individuals and Family" : "Created Individuals");
    return true;
}

}  // namespace kl
