#pragma once
// EventCopy: Copy Event and Paste Event of a record window, without the
// window. An event (or attribute, or ordinance) of an individual or family
// travels as its lines [level, tag, contents] followed by the name of the
// document it came from, so that a paste knows whether the record links it
// carries still mean anything where it lands.
//
// Thread: main thread (reads and changes records of one document).
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "foundation/Value.h"

namespace kl {

class GEDCOMModel;
class GEDCOMObject;
class GEDCOMRecord;
class GEDCOMStructure;

class EventCopy {
public:
    static constexpr const char* kPasteboardType = "GEDCOMStructurePBoardType";
    static constexpr const char* kCopyError = "No event was selected or the selection is not part of an event";
    static constexpr const char* kCopyErrorInfo =
        "You should click to edit in any non-blank editing field within the event you want to copy.";
    static constexpr const char* kPasteError = "The copied event cannot be pasted into this record";
    static constexpr const char* kPasteErrorInfo = "Events of type %@ are not allowed in %@ records.";

    // Whether an individual or family takes events with this level-1 tag
    // (the current format's event, attribute and ordinance lists); other
    // records take any tag.
    static bool acceptsTag(const GEDCOMRecord& record, const std::string& tag);

    // The level-1 event of an individual or family that holds `structure`
    // (itself or any line below it); nullptr when there is none or the
    // format does not list the event for the record.
    static std::shared_ptr<GEDCOMStructure> eventToCopy(GEDCOMRecord& record, const GEDCOMObject* structure);

    // The pasteboard's list: the event's lines, then the document's name.
    static Array pasteboardArray(const GEDCOMStructure& event, const std::string& documentName);

    struct Paste {
        enum Outcome { Nothing, WrongTag, Pasted } outcome = Nothing;
        std::string tag;  // the refused tag
    };
    // Rebuilds the event in `record` as one undoable step named "Paste
    // Event": record links survive only within the document that copied
    // them, missing places are made, and a copied age is worked out again
    // from the record's own birth date. `sameDocument` says whether the
    // copy came from this record's document.
    static Paste paste(const Array& lines, bool sameDocument, GEDCOMRecord& record, GEDCOMModel& model);

    // Whole years from a birth to an event, youngest and oldest, over the
    // days each date may mean; nullopt when either date is missing or
    // partial beyond the day numbers.
    static std::optional<std::pair<int, int>> ageRange(const std::string& birthDate, const std::string& eventDate);
};

}  // namespace kl
