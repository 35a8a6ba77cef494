#include "document/DocumentCommands.h"
#include "document/GEDCOMDocument.h"
#include "document/RecordsIndices.h"
#include "model/INDIRecord.h"

namespace kl {

namespace {

enum Sex { NoPerson = -1, Unknown = 3 };

bool hasSex(int sex) { return sex != Unknown && sex != NoPerson; }

}  // namespace

std::shared_ptr<INDIRecord> GEDCOMDocument::makeFirstIndividual(const Array& settings, std::size_t at, int& sex) {
    return DocumentCommands::makeFirstIndividual(gedcomModel(), settings, at, sex);
}

bool GEDCOMDocument::makeFirstRecords(const Array& settings) {
    GEDCOMModel& model = gedcomModel();
    const NewPeople people = DocumentCommands::makeFirstPeople(model, settings);
    if (!people.a && !people.b) return false;
    RecordsIndices& index = model.recordsIndex();
    // The lists of a new file are made at the end of the index as their
    // first records arrive; the people come first.
    if (const long row = index.recordTypeIndex("INDI"); row > 0) index.moveRowFrom(row, 0);
    const bool family = settings.size() > 8 && (hasSex(people.sexA) || hasSex(people.sexB));
    if (family) {
        if (const auto made = model.createNewRecordOfType("FAM")) DocumentCommands::attachSpouses(*made, people);
        if (const long row = index.recordTypeIndex("FAM"); row > 1) index.moveRowFrom(row, 1);
    }
    undo().setActionName(family ? "Created Individuals and Family" : "Created Individuals");
    return true;
}

}  // namespace kl
