#pragma once
// BrowserNavigation: the window-free rules of a record browser's moves and
// menus. It names the relationship commands (the list each reads, the
// message of its picker and the options it passes), decides whether a
// choice among linked records is made at once, on a picker or fails, steps
// through the record type's list and the index window's shown list, answers
// whether each browser menu or toolbar tag is enabled and how a menu item
// is titled for the shown record, and picks the help topic of the window.
//
// Values and borrowed models only. Thread: main thread.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/DocumentCommands.h"
#include "foundation/Value.h"
#include "model/RecordLinkLists.h"

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;
class RecordsList;
class RecordsListForPanel;

// Menu and toolbar tags of the browser's navigation commands.
enum BrowserNavigationTag : int {
    kFatherTag = 3001,
    kMotherTag = 3002,
    kFamiliesTag = 3003,
    kSpouseTag = 3004,
    kChildrenTag = 3005,
    kSiblingsTag = 3006,
    kSourcesTag = 3007,
    kMultimediaTag = 3008,
    kReferencedByTag = 3010,
    kPlacesTag = 3015,
    kGoBackTag = 3101,
    kGoForwardTag = 3102,
    kPreviousRecordTag = 3104,
    kNextRecordTag = 3106,
    kAlbumPreviousTag = 3111,
    kAlbumNextTag = 3113,
};

class BrowserNavigation {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;

    // A command that shows a record linked to the shown one.
    struct LinkCommand {
        int tag;
        std::vector<std::string> RecordLinkLists::*list;  // nullptr: the records citing the shown one
        const char* message;
        // Options of the picker; none for the family commands, which show
        // a single relative at once.
        const char* recordType;
    };
    static const std::vector<LinkCommand>& linkCommands();
    static const LinkCommand* linkCommand(int tag);

    // The text of a navigation message, "%@" filled with the record's name.
    static std::string message(const char* format, const GEDCOMRecord& record);
    // The options a link command hands to the picker; nullopt for the
    // family commands.
    static std::optional<Dictionary> optionsFor(const LinkCommand& command, const GEDCOMRecord& record);

    // What choosing among some records comes to.
    struct Selection {
        enum Kind { Failed, Direct, Sheet } kind = Failed;
        RecordPtr record;                            // Direct
        std::shared_ptr<RecordsListForPanel> list;   // Sheet
        Dictionary options;                          // Sheet
        std::string failure;                         // Failed
    };
    static constexpr const char* kRecordNotFound = "The record was not found, is corrupted, or was deleted";
    static constexpr const char* kNoRecordsFound = "No records could be found for the requested action.";
    // A choice among records named by ID: without options a single record
    // is taken at once; with a record type that must be chosen an empty
    // picker still opens, so that its buttons stay available.
    static Selection selectRecordFromArray(const std::vector<std::string>& ids, const std::optional<std::string>& message,
                                           const std::optional<Dictionary>& options, GEDCOMModel& model);

    // The record `step` places from `from` in the list, or nullptr when
    // the move shows nothing new (the caller beeps).
    static RecordPtr moveRecord(const RecordsList* list, int step, const RecordPtr& from);
    // The same through the index window's shown list: from its selected
    // record when the shown record is not in it, else from its first.
    static RecordPtr moveRecordInAlbum(const RecordsList* list, int step, const RecordPtr& shown,
                                       const RecordPtr& listSelection);

    // What validation reads of the browser.
    struct Facts {
        RecordPtr record;
        const RecordLinkLists* lists = nullptr;
        GEDCOMModel* model = nullptr;
        bool canGoBack = false;
        bool canGoForward = false;
        // Whether the type's list has a record `step` places away.
        std::function<bool(int step)> canStepRecord;
        bool displayingAlbum = false;
    };
    // nullopt for a tag that is not a navigation tag.
    static std::optional<DocumentMenuAnswer> validateMenuTag(int tag, const Facts& facts);
    // The titles of the father and mother items for the shown record.
    static std::optional<std::string> relationTitle(int tag, const Facts& facts);

    // The help topic of a window showing the record; nullopt when its type
    // has no name.
    static std::optional<std::string> contextHelpTopic(const GEDCOMRecord* record, GEDCOMModel* model);
};

}  // namespace kl
