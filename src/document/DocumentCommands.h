#pragma once
// DocumentCommands: the commands every window of a document offers: new
// records and families, deleting a record on a browser's request, home
// records, record summaries for the clipboard and for speech, the hand-off
// of a date to Tempolin and the outside web, map and genealogy searches.
// Which of them are enabled, and the titles of the family items, is a pure
// function of what the key window shows (validateMenuTag).
//
// The commands decide; the window layer (DocumentCommandsHost) shows the
// alerts and sheets, owns the clipboard, the speech and the browser, and
// knows the key window's records. Tests drive the commands with a fake host.
//
// Ownership: borrows the model, the undo manager and the host, which
// outlive it. Thread: main thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"

namespace kl {

class GEDCOMModel;
class GEDCOMRecord;
class INDIRecord;
class UndoManager;

enum DocumentTag : int {
    kMergeTwoFilesTag = 1011,
    kCopySpecialTag = 2010,
    kFindRelationshipTag = 3013,
    kReadToMeTag = 3014,
    kHomeRecordTag = 3400,  // + n for home record n
    kAncestorsTag = 4001,
    kDescendantsTag = 4002,
    kNewMaleTag = 4101,
    kNewFemaleTag = 4102,
    kNewFamilySheetTag = 4103,
    kNewMultimediaTag = 4106,
    kNewSubmissionTag = 4109,
    kNewHeaderTag = 4111,
    kNewBookTag = 4113,
    kNewFamilyWithSpousesTag = 4120,
    kNewFamilyWithChildrenTag = 4121,
    kWebSearchTag = 10001,
    kMapSearchTag = 10002,
};

struct DocumentMenuAnswer {
    bool enabled = true;
    std::optional<std::string> title;  // applied to menu items, never to toolbar items
};

// What validation reads of the key window and the application.
struct DocumentMenuFacts {
    std::shared_ptr<GEDCOMRecord> keyRecord;
    std::vector<std::shared_ptr<GEDCOMRecord>> selection;
    std::size_t openDocuments = 1;
    std::size_t submissions = 0;
};

// A family's spouses, the people of a new-family sheet ("name", sex code,
// born, died at 0-3 and 4-7) as the sheet hands them over.
struct NewPeople {
    std::shared_ptr<INDIRecord> a, b;
    int sexA = -1, sexB = -1;
};

class DocumentCommandsHost {
public:
    using Answer = std::function<void(int button)>;
    using Terms = std::vector<std::string>;  // given names, surname, place, year
    virtual ~DocumentCommandsHost() = default;

    // ---- the key window
    virtual std::shared_ptr<GEDCOMRecord> keyWindowRecord() = 0;
    virtual std::vector<std::shared_ptr<GEDCOMRecord>> keyWindowRecords() = 0;
    // The record selected in a record browser's text, when it is one.
    virtual std::optional<std::string> selectedBrowserText() { return std::nullopt; }
    virtual void selectRecord(const std::shared_ptr<GEDCOMRecord>& record) = 0;
    // On the next turn of the event loop; `linkFile` asks the browser to
    // start linking a file to the new multimedia record.
    virtual void openRecordLater(const std::shared_ptr<GEDCOMRecord>& record, bool linkFile) = 0;

    // ---- what the user sees
    virtual void beep() = 0;
    virtual void informationalAlert(const std::string& message, const std::string& information) = 0;
    virtual void criticalAlert(const std::string& message, const std::string& information) = 0;
    // Buttons from the left: 0 the first; the answer may come later.
    virtual void askQuestion(const std::string& message, const std::string& information,
                             const std::vector<std::string>& buttons, bool critical, Answer answer) = 0;
    virtual void showNewFamilySheet(std::function<void(int code, const Array& settings)> ended) = 0;
    virtual void showSearchTermsSheet(const Terms& terms, std::function<void(int code, const Terms& terms)> ended) = 0;

    // ---- the desktop
    virtual void setClipboardText(const std::string& text) = 0;
    virtual void speak(const std::string& text, double minVolume, const std::string& title) = 0;
    // False when Tempolin could not be started; an empty date only starts it.
    virtual bool sendDateToTempolin(const std::string& date) = 0;
    virtual void openAddress(const std::string& address) = 0;
    virtual void launchSearch(const std::string& words, int tag) = 0;
};

class DocumentCommands {
public:
    using RecordPtr = std::shared_ptr<GEDCOMRecord>;
    static constexpr const char* kNewRecord = "New Record";
    static constexpr const char* kNewFamilyRecord = "New Family Record";
    static constexpr const char* kSetHomeRecord = "Set Home Record";
    static constexpr const char* kTreePageLinesChanged = "Tree Chart Page Lines Changed Notification";
    static constexpr const char* kNoHomeRecord = "This document does not have the requested Home record";
    static constexpr const char* kOfferHomeRecord =
        "Would you like to make the record '%@' (which is from the front window) a home record?";
    static constexpr const char* kHowToSetHomeRecord =
        "To set a home record, open or select any record and choose this command again; or drag any record to "
        "the Header.";
    static constexpr const char* kNoTempolin = "The Tempolin application could not be found.";
    static constexpr const char* kDownloadTempolin = "Click Download to get and install the Tempolin application";
    static constexpr const char* kNoSearchTerms =
        "The currently selected record does not have family search information";
    static constexpr const char* kSelectForSearch = "Select an individual or family record and try again";
    static constexpr const char* kUnknownCustomRecord = "I don't know anything about this type of custom record.";
    static constexpr const char* kSubmissionSpeech =
        "This is the submission record for the file. It is used by members of the LDS Church for Temple Ready "
        "submissions of genealogy records.";

    DocumentCommands(GEDCOMModel& model, UndoManager& undo, DocumentCommandsHost& host);

    // Configuration: where the genealogy search and Tempolin's download
    // page live. Empty (the default) leaves the search and the button
    // without an address.
    void setGenealogySearchAddress(std::string address) { genealogySearch_ = std::move(address); }
    void setTempolinDownloadAddress(std::string address) { tempolinDownload_ = std::move(address); }

    // ---- validation
    static DocumentMenuAnswer validateMenuTag(int tag, const DocumentMenuFacts& facts);
    // Whether the document answers a tag at all (the window asks before
    // handing a tag over).
    static bool handlesTag(int tag);
    DocumentMenuFacts facts(std::size_t openDocuments = 1);
    // Runs the command of a tag; false for a tag not served here.
    bool performCommand(int tag);

    // ---- new records
    // The record made, or nullptr (4103 shows the sheet; 4111 beeps).
    RecordPtr makeNewRecord(int tag);
    void makeNewFamilyRecord();
    RecordPtr makeFamilyDidEnd(int code, const Array& settings);
    // The person at `at` (0 or 4) of new-family or new-file settings, made
    // in the model; nullptr without a name, with `sex` -1 then.
    static std::shared_ptr<INDIRecord> makeFirstIndividual(GEDCOMModel& model, const Array& settings,
                                                           std::size_t at, int& sex);
    static NewPeople makeFirstPeople(GEDCOMModel& model, const Array& settings);
    static void attachSpouses(GEDCOMRecord& family, const NewPeople& people);
    // True when the record was deleted.
    bool deleteRecordHere(const RecordPtr& record);

    // ---- home records, summaries
    void doHomeRecordCommand(int tag);
    static std::string copySpecialText(const std::vector<RecordPtr>& records);
    void copySpecialCommand();
    static std::string readRecordText(const GEDCOMRecord& record);
    void readRecordCommand();
    // The end of a page set-up sheet; true when the caller is to copy the
    // margins accessory into the sheet's print settings (OK, and not a
    // tree chart's layout, whose sheet has no accessory).
    static bool pageLayoutDidEnd(int code, std::optional<int> context);

    // ---- Tempolin
    // The date sent for a date text from a date cell, or, without one, for
    // the key window; nullopt when there is none to send.
    std::optional<std::string> tempolinDate(const std::optional<std::string>& text);
    void openTempolin(const std::optional<std::string>& text = std::nullopt);

    // ---- outside searches
    void tryGoogleSearch(int tag);
    void tryFamilySearch();
    void famTermsDidEnd(int code, const DocumentCommandsHost::Terms& terms);
    // The query of the genealogy search; each term is encoded as a query
    // value, so it cannot add or cut a key.
    static std::string familySearchQuery(const DocumentCommandsHost::Terms& terms);
    static std::string familySearchAddress(const std::string& base, int code, const DocumentCommandsHost::Terms& terms);

private:
    GEDCOMModel& model_;
    UndoManager& undo_;
    DocumentCommandsHost& host_;
    std::string genealogySearch_;
    std::string tempolinDownload_;
};

}  // namespace kl
