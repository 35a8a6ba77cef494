#pragma once
// RecordLinking: what a record window's Attach commands and record drops do
// to the data, apart from the pickers and questions around them: which of
// the commands the shown record allows and how the Attach items read, new
// families made around an individual, spouses and children joined to a
// family, links from and to other records, events and optional data copied
// in, associations, and records dropped on the window through the shown
// record's drop handlers. Each change is one undo step of the record's
// document, named as the Edit menu shows it.
//
// Values and borrowed records only. Thread: main thread.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/DocumentCommands.h"
#include "foundation/Value.h"

namespace kl {

class EVENTRecord;
class FAMRecord;
class GEDCOMModel;
class GEDCOMRecord;
class INDIRecord;
class RecordsListForPanel;
struct EventDefinition;

class RecordLinking {
public:
    static constexpr int kAttachHusbandTag = 4201;
    static constexpr int kAttachWifeTag = 4202;
    static constexpr int kAttachChildTag = 4203;
    static constexpr int kAssociationTag = 4204;
    static constexpr int kAttachEventTag = 4205;
    static constexpr int kLinkNotesTag = 4206;
    static constexpr int kLinkSourceTag = 4207;
    static constexpr int kLinkMultimediaTag = 4208;
    static constexpr int kLinkLogTag = 4209;
    static constexpr int kOptionalDataTag = 4213;
    static constexpr int kQuickCommentTag = 4214;

    // Texts the window shows.
    static constexpr const char* kAttachFailed = "Selected record could not be attached.";
    static constexpr const char* kAlreadyLinked = "That record is already linked to this data.";
    static constexpr const char* kLinkToSelf = "Can not link a  record to itself.";  // two blanks, as shipped
    static constexpr const char* kDropFailed = "One of the records could not be attached.";
    static constexpr const char* kNoEvents = "The current format does not allow attaching events or attributes to this record.";
    static constexpr const char* kNoOptionalData = "The current format does not allow attaching optional data to this record.";
    static constexpr const char* kNotAChild =
        "The select child is probably not a child in this family. Are you sure you want to attach as a child?";
    static constexpr const char* kAttachedFormat = "Attached %@";
    static constexpr const char* kDroppedFormat = "Dropped Record(s)";

    // What validation reads of the window.
    struct Facts {
        GEDCOMRecord* record = nullptr;
        const std::vector<std::string>* dropTypes = nullptr;
        bool hasOptionalTags = false;
        bool canQuickComment = false;  // the focused cell can take a quick comment
        std::size_t children = 0;      // the shown family's listed children
    };
    // Whether an Attach, link, sort or quick-comment tag is enabled, and
    // the title of the Attach items; nullopt for another tag.
    static std::optional<DocumentMenuAnswer> validateTag(int tag, const Facts& facts);

    // ---- husband, wife and child
    // A new family holding the individual as husband (4201), wife (4202)
    // or child (4203); nullptr when no family could be made.
    static std::shared_ptr<FAMRecord> attachInNewFamily(const std::shared_ptr<INDIRecord>& person, int tag,
                                                        GEDCOMModel& model);
    // A new individual of that sex, named from the picker's typed text.
    static std::shared_ptr<INDIRecord> newIndividual(GEDCOMModel& model, bool male, const std::string& findText);
    static void attachSpouse(FAMRecord& family, const std::shared_ptr<INDIRecord>& person, const std::string& role);
    static void attachChild(FAMRecord& family, const std::shared_ptr<INDIRecord>& child, int pedigree);
    // The individuals of the document of one sex ('M' or 'F'), in the
    // order of the document's list.
    static std::shared_ptr<RecordsListForPanel> individualsOfSex(GEDCOMModel& model, char sex);
    // The child picker's find field starts with the husband's surname and
    // ", " (else the wife's); empty without either.
    static std::string childTypeSelect(const FAMRecord& family);
    // The chosen record gets a link to the shown one, tagged with the
    // shown record's type.
    static void attachCiteFrom(GEDCOMRecord& shown, const std::shared_ptr<GEDCOMRecord>& chosen);

    // ---- links
    // Why the record cannot get a link with the tag to `record`; nullopt
    // when it can.
    static std::optional<std::string> attachableLinkRefusal(GEDCOMRecord& shown, const std::string& tag,
                                                            const GEDCOMRecord& record);
    // One level-1 link from the shown record (a family linked by FAMC
    // takes the shown individual as its child instead).
    static void finalDropOperation(GEDCOMRecord& shown, const std::string& tag, const std::shared_ptr<GEDCOMRecord>& record,
                                   const std::string& undoFormat, GEDCOMModel& model);
    // The picker's options of a generic link command (tags 4206 to 4209);
    // nullopt for another tag.
    static std::optional<Dictionary> genericOptions(int tag, const Dictionary& lastAttached);
    // The second step of a generic link: the chosen record (or, without
    // one, a new record) linked to the shown one.
    struct LinkOutcome {
        std::shared_ptr<GEDCOMRecord> record;  // nullptr: nothing was linked
        std::optional<std::string> refusal;    // shown as kAttachFailed's reason
        std::optional<std::string> dropFailure;  // shown as kDropFailed's reason
        bool beep = false;
        bool isNew = false;
        int target = 6;  // where to show the record (6: not at all)
    };
    static LinkOutcome attachGenericLinkNow(GEDCOMRecord& shown, const std::shared_ptr<GEDCOMRecord>& chosen,
                                            const Dictionary& info, GEDCOMModel& model,
                                            const std::vector<std::string>& dropTypes, Dictionary& lastAttached);

    // ---- record drops
    // 0 refused, 1 copy, 2 link (a Control-drag of a single record).
    static int dragOperation(const std::vector<std::string>& ids, bool linkOnly,
                             const std::vector<std::string>& dropTypes, GEDCOMModel& model);
    struct DropOutcome {
        int attached = 0;
        int beeps = 0;
        std::optional<std::string> failure;  // a handler's reason; the drop stopped there
    };
    // Each dropped record of an accepted type through the shown record's
    // handler for its type.
    static DropOutcome dropRecords(GEDCOMRecord& shown, const std::vector<std::string>& ids,
                                   const std::vector<std::string>& dropTypes, bool control, GEDCOMModel& model,
                                   const std::string& undoFormat);

    // Dropped files and web addresses (items with "ImagePath", "isWebURL",
    // "Caption" and image properties): each becomes a multimedia record (or
    // finds its own) that the shown record links through its handler.
    // `outside` collects the new records whose files lie outside the
    // multimedia folders. The number of items linked; 0 changes nothing.
    static int dropMultimediaItems(GEDCOMRecord& shown, const std::vector<Dictionary>& items, GEDCOMModel& model,
                                   std::vector<std::string>& outside);

    // ---- events and optional data
    // The format's events as picker entries; each entry's last line is
    // the event to copy.
    static std::shared_ptr<RecordsListForPanel> eventList(const std::vector<EventDefinition>& events, GEDCOMModel& model);
    static std::shared_ptr<RecordsListForPanel> optionalList(const std::vector<std::shared_ptr<EVENTRecord>>& entries,
                                                             GEDCOMModel& model);
    // A copy of the entry's last line (with its lines) joins the record.
    static void attachLastStructure(GEDCOMRecord& shown, const GEDCOMRecord& entry, const char* undoName);
    // The tag of an optional-data entry (of its last line).
    static std::string entryTag(const GEDCOMRecord& entry);

    // ---- associations
    static constexpr const char* kAssoFailed = "The selected record could not be linked.";
    static constexpr const char* kAlreadyAssociated = "That record is already associated with this record.";
    static constexpr const char* kAssoSelf = "Can not associate a record with itself.";
    // nullopt when linked, else [message, information].
    static std::optional<std::pair<std::string, std::string>> attachAssociation(GEDCOMRecord& shown,
                                                                                 const std::shared_ptr<GEDCOMRecord>& chosen,
                                                                                 bool linkBack);

    // "%@" filled once.
    static std::string fill(std::string text, const std::string& value);
};

}  // namespace kl
