// The document's commands driven through a fake window layer: which items
// are enabled and how the family items are titled, the records and families
// they make, home records, the summaries copied and spoken, the date handed
// to Tempolin and the addresses of the outside searches.
#include <gtest/gtest.h>

#include <map>

#include "DocumentTestSupport.h"
#include "RecordKindsTestSupport.h"
#include "dates/DateClock.h"
#include "document/DocumentCommands.h"
#include "document/GEDCOMDocument.h"
#include "foundation/NotificationCenter.h"
#include "model/FAMRecord.h"
#include "model/HEADRecord.h"
#include "model/INDIRecord.h"

namespace kl {
namespace {

class FakeHost : public DocumentCommandsHost {
public:
    std::shared_ptr<GEDCOMRecord> key;
    std::vector<std::shared_ptr<GEDCOMRecord>> selection;
    std::optional<std::string> browserText;
    int answerWith = 0;
    bool tempolinStarts = true;
    int newFamilyCode = 1;
    Array newFamilySettings;

    std::vector<std::string> log;  // what the user saw, in order
    std::shared_ptr<GEDCOMRecord> selected, opened;
    bool linkFile = false;
    std::string clipboard, spoken, spokenTitle;
    std::vector<std::string> tempolin, addresses;
    int beeps = 0;

    std::shared_ptr<GEDCOMRecord> keyWindowRecord() override { return key; }
    std::vector<std::shared_ptr<GEDCOMRecord>> keyWindowRecords() override { return selection; }
    std::optional<std::string> selectedBrowserText() override { return browserText; }
    void selectRecord(const std::shared_ptr<GEDCOMRecord>& record) override { selected = record; }
    void openRecordLater(const std::shared_ptr<GEDCOMRecord>& record, bool file) override {
        opened = record;
        linkFile = file;
    }
    void beep() override { ++beeps; }
    void informationalAlert(const std::string& message, const std::string& information) override {
        log.push_back("info: " + message + " | " + information);
    }
    void criticalAlert(const std::string& message, const std::string& information) override {
        log.push_back("critical: " + message + " | " + information);
    }
    void askQuestion(const std::string& message, const std::string& information,
                     const std::vector<std::string>& buttons, bool critical, Answer answer) override {
        std::string shown = std::string(critical ? "ask critical: " : "ask: ") + message + " | " + information + " |";
        for (const auto& b : buttons) shown += " [" + b + "]";
        log.push_back(shown);
        answer(answerWith);
    }
    void showNewFamilySheet(std::function<void(int, const Array&)> ended) override {
        log.push_back("new family sheet");
        ended(newFamilyCode, newFamilySettings);
    }
    void showSearchTermsSheet(const Terms& terms, std::function<void(int, const Terms&)> ended) override {
        std::string shown = "terms:";
        for (const auto& t : terms) shown += " [" + t + "]";
        log.push_back(shown);
        ended(1, terms);
    }
    void setClipboardText(const std::string& text) override { clipboard = text; }
    void speak(const std::string& text, double minVolume, const std::string& title) override {
        EXPECT_EQ(minVolume, 0.5);
        spoken = text;
        spokenTitle = title;
    }
    bool sendDateToTempolin(const std::string& date) override {
        tempolin.push_back(date);
        return tempolinStarts;
    }
    void openAddress(const std::string& address) override { addresses.push_back(address); }
    void launchSearch(const std::string& words, int tag) override {
        addresses.push_back(std::to_string(tag) + ": " + words);
    }
};

constexpr const char* kPeople =
    "0 @I1@ INDI\n1 NAME Karl /Berg/\n1 SEX M\n1 BIRT\n2 DATE 1 MAR 1820\n2 PLAC Kleinort, Nordland\n"
    "0 @I2@ INDI\n1 NAME Anton /Roth/\n1 SEX M\n"
    "0 @I3@ INDI\n1 NAME Eva /Kern/\n1 SEX F\n"
    "0 @I4@ INDI\n1 NAME Lena /Berg/\n1 SEX F\n"
    "0 @I5@ INDI\n1 NAME Sam /Ohne/\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n"
    "0 @F2@ FAM\n"
    "0 @N1@ NOTE A note\n";

class DocumentCommandsTest : public test::RecordKindsFixture {
protected:
    void SetUp() override {
        RecordKindsFixture::SetUp();
        load(kPeople);
    }
    std::vector<std::shared_ptr<GEDCOMRecord>> records(std::initializer_list<const char*> ids) {
        std::vector<std::shared_ptr<GEDCOMRecord>> out;
        for (const char* id : ids) out.push_back(get(id));
        return out;
    }
    std::string link(const std::shared_ptr<GEDCOMRecord>& record, const char* tag) {
        auto found = record->findChild(tag, false);
        return found ? found->contents() : std::string();
    }
    std::vector<std::string> links(const std::shared_ptr<GEDCOMRecord>& record, const char* tag) {
        std::vector<std::string> out;
        for (const auto& s : record->findChildren(tag, false)) out.push_back(s->contents());
        return out;
    }
    FakeHost host;
    DocumentCommands commands{model, document.undo, host};
};

TEST_F(DocumentCommandsTest, FamilyItemsAreTitledAfterTheSelectionAndMakeThatFamily) {
    struct Case {
        int tag;
        std::initializer_list<const char*> selection;
        bool enabled;
        const char* title;
        const char* husband;
        const char* wife;
        std::vector<std::string> children;
    };
    const Case cases[] = {
        {4120, {"@I1@", "@I2@", "@I3@"}, true, "Family with Spouses", "@I1@", "@I3@", {}},
        {4120, {"@I3@", "@I4@"}, true, "Family with Wife", "", "@I3@", {}},
        {4120, {"@I2@"}, true, "Family with Husband", "@I2@", "", {}},
        {4120, {"@F1@", "@I4@", "@I1@"}, true, "Family with Spouses", "@I1@", "@I4@", {}},
        // a first person of unknown sex decides nothing
        {4120, {"@I5@"}, false, nullptr, "", "", {}},
        {4120, {"@F1@"}, false, nullptr, "", "", {}},
        {4120, {}, false, nullptr, "", "", {}},
        {4121, {"@I4@", "@F1@"}, true, "Family with Child", "", "", {"@I4@"}},
        {4121, {"@I3@", "@I5@"}, true, "Family with Children", "", "", {"@I3@", "@I5@"}},
        {4121, {"@N1@"}, false, nullptr, "", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.tag) + " with " + std::to_string(c.selection.size()));
        host.selection = records(c.selection);
        const auto answer = DocumentCommands::validateMenuTag(c.tag, commands.facts());
        EXPECT_EQ(answer.enabled, c.enabled);
        EXPECT_EQ(answer.title.value_or("-"), c.title ? c.title : "-");
        if (!c.enabled) continue;
        const auto family = commands.makeNewRecord(c.tag);
        ASSERT_TRUE(family);
        EXPECT_EQ(family->recordType(), "FAM");
        EXPECT_EQ(link(family, "HUSB"), c.husband);
        EXPECT_EQ(link(family, "WIFE"), c.wife);
        EXPECT_EQ(links(family, "CHIL"), c.children);
        EXPECT_EQ(host.selected, family);
        EXPECT_EQ(host.opened, family);
        EXPECT_EQ(document.undo.undoActionName(), "New Record");
    }
}

TEST_F(DocumentCommandsTest, DocumentAndRecordItemsFollowTheKeyRecord) {
    struct Case {
        int tag;
        const char* key;
        std::size_t documents;
        bool enabled;
    };
    const Case cases[] = {
        {1011, nullptr, 1, false}, {1011, nullptr, 2, true},  {2010, nullptr, 1, false}, {2010, "@N1@", 1, true},
        {3014, nullptr, 1, false}, {3014, "@F2@", 1, true},   {3013, "@F1@", 1, false},  {3013, "@I1@", 1, true},
        {4001, "@F1@", 1, false},  {4001, "@I1@", 1, true},   {4002, "@F1@", 1, true},   {4002, "@F2@", 1, false},
        {4002, "@I3@", 1, true},   {4002, "@N1@", 1, false},  {4101, nullptr, 1, true},  {4111, nullptr, 1, true},
        {3405, nullptr, 1, true},  {10001, nullptr, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.tag) + " " + (c.key ? c.key : "none"));
        host.key = c.key ? get(c.key) : nullptr;
        const auto answer = DocumentCommands::validateMenuTag(c.tag, commands.facts(c.documents));
        EXPECT_EQ(answer.enabled, c.enabled);
        EXPECT_FALSE(answer.title);
    }
    EXPECT_TRUE(DocumentCommands::validateMenuTag(4109, commands.facts()).enabled);
    ASSERT_TRUE(commands.makeNewRecord(4109));
    EXPECT_FALSE(DocumentCommands::validateMenuTag(4109, commands.facts()).enabled);
}

TEST_F(DocumentCommandsTest, NewRecordsOfEveryKindAndTheirLinks) {
    struct Case {
        int tag;
        const char* type;
        const char* sex;  // of a new individual
    };
    const Case cases[] = {{4101, "INDI", "M"}, {4102, "INDI", "F"},  {4104, "_PLC", ""}, {4105, "SOUR", ""},
                          {4106, "OBJE", ""},  {4107, "REPO", ""},  {4108, "SUBM", ""}, {4109, "SUBN", ""},
                          {4110, "NOTE", ""},  {4112, "_LOG", ""},  {4113, "_BOK", ""}, {4114, "_RPT", ""},
                          {4115, "FAM", ""}};
    host.selection = records({"@I1@", "@N1@", "@I3@"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        const auto record = commands.makeNewRecord(c.tag);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->recordType(), c.type);
        EXPECT_EQ(host.selected, record);
        EXPECT_EQ(host.linkFile, c.tag == 4106);
        EXPECT_EQ(document.undo.undoActionName(), "New Record");
        if (auto person = std::dynamic_pointer_cast<INDIRecord>(record)) { EXPECT_EQ(person->sex(), c.sex); }
        if (c.tag == 4109) { EXPECT_EQ(link(model.header(), "SUBN"), record->grecordID()); }
        if (c.tag == 4113) { EXPECT_EQ(links(record, "_INDI"), (std::vector<std::string>{"@I1@", "@I3@"})); }
    }
    // The header type makes nothing.
    host.selected = nullptr;
    EXPECT_FALSE(commands.makeNewRecord(4111));
    EXPECT_EQ(host.beeps, 1);
    EXPECT_FALSE(host.selected);
}

TEST_F(DocumentCommandsTest, NewFamilyFromTheSheet) {
    struct Case {
        Array settings;
        int code;
        const char* husband;  // view names, "" for none
        const char* wife;
        const char* husbandSex;
        const char* wifeSex;
    };
    const Case cases[] = {
        {{Value("Adam /Neu/"), Value(1), Value(""), Value(""), Value(""), Value(1), Value(""), Value("")}, 1,
         "Neu, Adam", "", "M", ""},
        {{Value("Bea /Neu/"), Value(2), Value("31 FEB 1850x"), Value(""), Value("Carl /Alt/"), Value(3), Value(""),
          Value("")},
         1, "Alt, Carl", "Neu, Bea", "U", "F"},
        {{Value("Dora /Neu/"), Value(3), Value(""), Value(""), Value(""), Value(0), Value(""), Value("")}, 1, "", "",
         "", ""},
        {{Value("Emil /Neu/"), Value(1)}, 0, nullptr, nullptr, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings[0].toString());
        host.newFamilyCode = c.code;
        host.newFamilySettings = c.settings;
        host.selected = nullptr;
        const std::size_t people = model.numberOfType("INDI");
        commands.makeNewRecord(4103);
        if (!c.husband) {
            EXPECT_FALSE(host.selected);
            EXPECT_EQ(model.numberOfType("INDI"), people);
            continue;
        }
        auto family = std::dynamic_pointer_cast<FAMRecord>(host.selected);
        ASSERT_TRUE(family);
        EXPECT_EQ(document.undo.undoActionName(), "New Family Record");
        auto husband = family->husbandRecord();
        auto wife = family->wifeRecord();
        EXPECT_EQ(husband ? husband->viewName() : "", c.husband);
        EXPECT_EQ(wife ? wife->viewName() : "", c.wife);
        if (husband) { EXPECT_EQ(husband->sex(), c.husbandSex); }
        if (wife) { EXPECT_EQ(wife->sex(), c.wifeSex); }
    }
    // An unknown-sex person is made from the female template; a date that
    // does not read is dropped without a word.
    int sex = 0;
    auto person = DocumentCommands::makeFirstIndividual(
        model, {Value("Fritz /Neu/"), Value(3), Value("no date at all"), Value("abt 1900")}, 0, sex);
    ASSERT_TRUE(person);
    EXPECT_EQ(sex, 3);
    EXPECT_EQ(person->sex(), "U");
    EXPECT_FALSE(person->findChild("BIRT", false) && person->findChild("BIRT", false)->findChild("DATE", false));
    auto death = person->findChild("DEAT", false);
    ASSERT_TRUE(death && death->findChild("DATE", false));
    EXPECT_EQ(death->findChild("DATE", false)->contents(), "ABT 1900");
}

TEST_F(DocumentCommandsTest, DeletingOnABrowsersRequest) {
    EXPECT_TRUE(commands.deleteRecordHere(get("@N1@")));
    EXPECT_FALSE(model.recordWithID("@N1@", ""));
    EXPECT_EQ(document.undo.undoActionName(), "Delete Record");
    EXPECT_FALSE(commands.deleteRecordHere(model.header()));
    EXPECT_TRUE(model.header());
}

TEST_F(DocumentCommandsTest, HomeRecords) {
    auto header = std::dynamic_pointer_cast<HEADRecord>(model.header());
    ASSERT_TRUE(header);
    document.undo.disableUndoRegistration();
    header->drop(get("@I3@"));
    header->drop(get("@F1@"));
    document.undo.enableUndoRegistration();
    struct Case {
        int tag;
        const char* opened;
    };
    for (const Case c : {Case{3400, "@I3@"}, Case{3401, "@F1@"}, Case{3109, "@I3@"}}) {
        SCOPED_TRACE(c.tag);
        commands.doHomeRecordCommand(c.tag);
        ASSERT_TRUE(host.opened);
        EXPECT_EQ(host.opened->grecordID(), c.opened);
    }
    EXPECT_TRUE(host.log.empty());

    // Missing, with nothing selected: how to set one.
    host.opened = nullptr;
    commands.doHomeRecordCommand(3402);
    EXPECT_FALSE(host.opened);
    ASSERT_EQ(host.log.size(), 1u);
    EXPECT_EQ(host.log.back(),
              "info: This document does not have the requested Home record | To set a home record, open or select any "
              "record and choose this command again; or drag any record to the Header.");

    // Missing, with a person selected: the offer; "No" changes nothing,
    // "Yes" makes the person the next home record.
    host.key = get("@I2@");
    host.answerWith = 1;
    commands.doHomeRecordCommand(3405);
    EXPECT_EQ(host.log.back(),
              "ask: This document does not have the requested Home record | Would you like to make the record "
              "'Roth, Anton' (which is from the front window) a home record? | [Yes] [No]");
    EXPECT_EQ(header->homeRecordAtIndex(2), "");
    host.answerWith = 0;
    commands.doHomeRecordCommand(3405);
    EXPECT_EQ(header->homeRecordAtIndex(2), "@I2@");
    EXPECT_EQ(document.undo.undoActionName(), "Set Home Record");
    document.undo.undo();
    EXPECT_EQ(header->homeRecordAtIndex(2), "");
}

TEST_F(DocumentCommandsTest, SummariesForTheClipboardAndForSpeech) {
    host.selection = records({"@I1@", "@I3@"});
    commands.copySpecialCommand();
    const std::string first = DocumentCommands::copySpecialText(records({"@I1@"}));
    const std::string second = DocumentCommands::copySpecialText(records({"@I3@"}));
    EXPECT_EQ(host.clipboard, first + second);
    // Each summary in list form, then an empty line.
    EXPECT_NE(first.find("Karl"), std::string::npos);
    EXPECT_NE(first.find("1820"), std::string::npos);  // the birth date bit
    EXPECT_EQ(first.substr(first.size() - 2), "\n\n");
    EXPECT_NE(second.find("Eva"), std::string::npos);

    host.selection.clear();
    host.clipboard = "kept";
    commands.copySpecialCommand();
    EXPECT_EQ(host.clipboard, "kept");
    EXPECT_EQ(host.beeps, 1);

    host.key = get("@I1@");
    commands.readRecordCommand();
    EXPECT_NE(host.spoken.find("Karl"), std::string::npos);
    EXPECT_EQ(host.spokenTitle, "Reading record Berg, Karl");
    ASSERT_TRUE(commands.makeNewRecord(4109));
    EXPECT_EQ(DocumentCommands::readRecordText(*host.selected),
              "This is the submission record for the file. It is used by members of the LDS Church for Temple Ready "
              "submissions of genealogy records.");
}

TEST_F(DocumentCommandsTest, AnEmptySpokenTextIsReplaced) {
    // A custom record kind whose report says nothing.
    struct Quiet : GEDCOMRecord {
        Quiet() : GEDCOMRecord("@X1@", "_CUSTOM") {}
        Value reportDescription(std::uint32_t) const override { return Value(""); }
    };
    Quiet quiet;
    EXPECT_EQ(DocumentCommands::readRecordText(quiet), "I don't know anything about this type of custom record.");
}

TEST_F(DocumentCommandsTest, TheDateHandedToTempolin) {
    DateClock::setSource([] { return DateClock::LocalTime{2024, 6, 1, 12, 0, 0}; });
    struct Case {
        std::optional<std::string> text;
        std::optional<std::string> browserText;
        const char* key;
        const char* sent;
    };
    const Case cases[] = {
        {"abt 5 mar 1850", std::nullopt, nullptr, "ABT 5 MAR 1850"},
        {"no date here", std::nullopt, nullptr, "1 JUN 2024"},
        {std::nullopt, "bef 1900", "@I1@", "BEF 1900"},
        {std::nullopt, "not a date", "@I1@", "1 MAR 1820"},
        {std::nullopt, std::nullopt, "@I1@", "1 MAR 1820"},
        // no text and a record without dates: Tempolin only starts
        {std::nullopt, std::nullopt, "@I2@", ""},
        {std::nullopt, std::nullopt, nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.value_or("-") + " / " + c.browserText.value_or("-"));
        host.tempolin.clear();
        host.browserText = c.browserText;
        host.key = c.key ? get(c.key) : nullptr;
        commands.openTempolin(c.text);
        EXPECT_EQ(host.tempolin, std::vector<std::string>{c.sent});
    }
    DateClock::setSource({});
    EXPECT_TRUE(host.log.empty());

    // Not to be started: tried twice, then the alert; "Download..." opens
    // the configured page.
    host.tempolinStarts = false;
    host.answerWith = 1;
    host.tempolin.clear();
    commands.openTempolin(std::string("1850"));
    EXPECT_EQ(host.tempolin, (std::vector<std::string>{"1850", "1850"}));
    EXPECT_EQ(host.log.back(),
              "ask critical: The Tempolin application could not be found. | Click Download to get and install the Tempolin "
              "application | [OK] [Download...]");
    EXPECT_TRUE(host.addresses.empty());  // no download page configured
    commands.setTempolinDownloadAddress("https://downloads.example/tempolin");
    commands.openTempolin(std::string("1850"));
    EXPECT_EQ(host.addresses, std::vector<std::string>{"https://downloads.example/tempolin"});
}

TEST_F(DocumentCommandsTest, GenealogySearchQuery) {
    struct Case {
        DocumentCommandsHost::Terms terms;
        const char* query;
    };
    const Case cases[] = {
        {{"", "Berg", "", ""}, "q.surname=Berg"},
        {{"Karl", "Berg", "New Kleinort", "1820"},
         "q.anyDate.from=1820&q.anyPlace=New%20Kleinort&q.givenName=Karl&q.surname=Berg"},
        // a term cannot add or cut a key
        {{"A&q.surname=X", "B+C#D", "", ""}, "q.givenName=A%26q.surname%3DX&q.surname=B%2BC%23D"},
        {{"J\xC3\xBCrgen", "", "", ""}, "q.givenName=J%C3%BCrgen"},
        {{"", "", "", ""}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DocumentCommands::familySearchQuery(c.terms), c.query) << c.query;
    EXPECT_EQ(DocumentCommands::familySearchAddress("https://search.example", 1, {"", "Berg", "", ""}),
              "https://search.example/search/tree/results?q.surname=Berg");
    EXPECT_EQ(DocumentCommands::familySearchAddress("https://search.example", 2, {"", "Berg", "", ""}),
              "https://search.example/search/all-collections/results?q.surname=Berg");
}

TEST_F(DocumentCommandsTest, OutsideSearchesFromTheKeyRecord) {
    commands.setGenealogySearchAddress("https://search.example");
    host.key = get("@I1@");
    commands.tryFamilySearch();
    EXPECT_EQ(host.log.back(), "terms: [Karl] [Berg] [Nordland] [1820]");
    ASSERT_EQ(host.addresses.size(), 1u);
    EXPECT_EQ(host.addresses.back(),
              "https://search.example/search/tree/results?q.anyDate.from=1820&q.anyPlace=Nordland&q.givenName=Karl&"
              "q.surname=Berg");

    commands.tryGoogleSearch(10002);
    EXPECT_EQ(host.addresses.back(), "10002: Kleinort, Nordland");
    commands.tryGoogleSearch(10001);
    EXPECT_EQ(host.addresses.back(), "10001: " + host.key->googleWords());
    host.key = get("@I2@");  // no place: the map searches the search words
    commands.tryGoogleSearch(10002);
    EXPECT_EQ(host.addresses.back(), "10002: " + host.key->googleWords());

    host.key = get("@N1@");
    commands.tryFamilySearch();
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(host.log.back(),
              "critical: The currently selected record does not have family search information | Select an "
              "individual or family record and try again");
    host.key = nullptr;
    commands.tryGoogleSearch(10001);
    EXPECT_EQ(host.beeps, 2);
}

TEST_F(DocumentCommandsTest, PageLayoutEnded) {
    test::NotificationLog posted({DocumentCommands::kTreePageLinesChanged});
    EXPECT_FALSE(commands.pageLayoutDidEnd(0, 2));
    EXPECT_FALSE(commands.pageLayoutDidEnd(0, 1)) << "cancelled: no margins copied";
    EXPECT_TRUE(commands.pageLayoutDidEnd(1, 1)) << "a browser's layout takes its margins";
    EXPECT_TRUE(commands.pageLayoutDidEnd(1, std::nullopt));
    EXPECT_EQ(posted.count(DocumentCommands::kTreePageLinesChanged), 0u);
    EXPECT_FALSE(commands.pageLayoutDidEnd(1, 2)) << "a chart's layout has no margins accessory";
    EXPECT_EQ(posted.count(DocumentCommands::kTreePageLinesChanged), 1u);
}

TEST(DocumentCommandsData, EveryRecordOfASampleFileHasASummary) {
    test::DocumentFixture fixture;
    ASSERT_TRUE(fixture.import(std::string(KL_TESTDATA) + "/gedcom/eichmann/ALLGED.GED"));
    GEDCOMModel& model = fixture.document->gedcomModel();
    std::size_t people = 0, records = 0;
    for (const char* type : {"HEAD", "INDI", "FAM", "SOUR", "NOTE", "OBJE", "REPO", "SUBM", "SUBN", "_PLC"}) {
        const auto list = model.recordsIndex().listForType(type);
        if (!list) continue;
        for (const auto& record : list->order()) {
            SCOPED_TRACE(record->grecordID());
            ++records;
            EXPECT_FALSE(DocumentCommands::readRecordText(*record).empty());
            if (record->recordType() != "INDI") continue;
            ++people;
            EXPECT_GT(DocumentCommands::copySpecialText({record}).size(), 2u);
        }
    }
    EXPECT_GT(people, 0u);
    EXPECT_GT(records, people);
}

}  // namespace
}  // namespace kl
