// The multimedia record itself: names, media words, keywords, merging,
// links and drops, report text and script keys.
#include <gtest/gtest.h>

#include "MediaTestSupport.h"
#include "RecordTestSupport.h"
#include "ScriptingTestSupport.h"
#include "model/GEDCOMStructure.h"
#include "model/OBJERecord.h"
#include "support/CaseName.h"

namespace kl::test {
namespace {

class MultimediaRecord : public ::testing::Test {
protected:
    RecordEnvironment environment{true};
    MediaStore store;

    std::shared_ptr<OBJERecord> object(const std::string& lines, const std::string& id = "@M1@") {
        return store.add<OBJERecord>(id, "OBJE", lines);
    }
};

// ---- names

TEST_F(MultimediaRecord, ViewNameIsTheFileTitleElseTheIDText) {
    auto bare = object("1 FILE a.jpg\n2 FORM jpg\n");
    EXPECT_EQ(bare->viewName(), "Multimedia Object ID @M1@");
    EXPECT_EQ(bare->viewTags(), (std::vector<std::string>{"FILE"}));
    bare->addStructure(std::make_shared<GEDCOMStructure>(bare.get(), 2, "TITL", "Beach"),
                       bare->firstChildWithTag("FILE").get(), nullptr, false);
    EXPECT_EQ(bare->viewName(), "Beach");
    EXPECT_EQ(bare->viewTags(), (std::vector<std::string>{"TITL", "FILE"}));

    auto none = object("1 _DATE 1900\n", "@M2@");
    EXPECT_EQ(none->viewTags(), std::nullopt);
    EXPECT_EQ(none->mmFormat(), "");
    EXPECT_EQ(none->mmFileName(), "");
    EXPECT_EQ(none->titleStructure(), nullptr);
    EXPECT_EQ(none->mmFormType(), 0);
}

TEST_F(MultimediaRecord, SettingTheTitleMakesFileAndTitleFirstAndUndoes) {
    auto record = object("1 _DATE 1900\n");
    const std::string before = record->gedcomString();
    store.undo.beginUndoGrouping();
    record->setViewName("Old\rHouse");
    store.undo.endUndoGrouping();
    ASSERT_FALSE(record->structures().empty());
    auto file = record->structures().front();
    EXPECT_EQ(file->gtag(), "FILE");
    EXPECT_EQ(file->contents(), "");
    ASSERT_EQ(file->structures().size(), 1u);
    EXPECT_EQ(file->structures().front()->gtag(), "TITL");
    EXPECT_EQ(record->viewName(), "Old\nHouse");
    EXPECT_TRUE(record->firstChildWithTag("CHAN"));
    store.undo.undo();
    EXPECT_EQ(record->gedcomString(), before);
}

TEST_F(MultimediaRecord, SettingTheTitleBeforeInstallWaitsForTheStore) {
    auto loose = std::make_shared<OBJERecord>("@M9@");
    loose->setViewName("Later");
    EXPECT_EQ(loose->pendingSetterCount(), 1u);
    store.install(loose);
    EXPECT_EQ(loose->viewName(), "Later");
}

TEST_F(MultimediaRecord, IpnNameFallsBackToTheRecordTitleThenUntitled) {
    EXPECT_EQ(object("1 FILE a\n2 TITL File title\n1 TITL Old title\n")->ipnName(), "File title");
    EXPECT_EQ(object("1 FILE a\n1 TITL Old title\n", "@M2@")->ipnName(), "Old title");
    EXPECT_EQ(object("1 FILE a\n", "@M3@")->ipnName(), "untitled");
}

TEST_F(MultimediaRecord, NewRecordTextAndTheUsersTitle) {
    auto record = object("");
    const std::string text = record->textForNewRecord(false);
    EXPECT_EQ(text.rfind("1 FILE (Choose... a file or enter URL)\n1 REFN ", 0), 0u) << text;
    record->reparse("0 @M1@ OBJE\n1 FILE x\n2 TITL\n");
    record->insertNewUserText("Typed");
    EXPECT_EQ(record->viewName(), "Typed");
}

// ---- media words and format

struct MediaCase {
    const char* lines;
    int type;
    bool url;
};

void PrintTo(const MediaCase& c, std::ostream* out) { *out << c.lines; }

class MediaWords : public MultimediaRecord, public ::testing::WithParamInterface<MediaCase> {};

TEST_P(MediaWords, AnswerTypeAndWebFlag) {
    auto record = object(GetParam().lines);
    bool url = false;
    record->mmFileName(&url);
    EXPECT_EQ(record->mmFormType(), GetParam().type);
    EXPECT_EQ(url, GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(Table, MediaWords,
                         ::testing::Values(MediaCase{"1 FILE a\n2 FORM jpg\n3 MEDI Photo\n", 1, false},
                                           MediaCase{"1 FILE a\n2 FORM jpg\n3 MEDI tombstone\n", 13, false},
                                           MediaCase{"1 FILE a\n2 FORM jpg\n3 MEDI OTHER\n", 14, false},
                                           MediaCase{"1 FILE a\n2 FORM jpg\n3 MEDI painting\n", 0, false},
                                           MediaCase{"1 FILE a\n2 FORM jpg\n", 0, false},
                                           MediaCase{"1 FILE http://x.org\n2 FORM URL\n", 0, true}), ::kl::test::CaseName());

// ---- keywords

TEST_F(MultimediaRecord, KeywordsAreTrimmedJoinedAndSkipNonTexts) {
    auto record = object("1 FILE a\n");
    record->setKeywords(Array{Value("Beach"), Value("  Sun \n"), Value(""), Value(7), Value("Sea")});
    auto lines = record->findChildren("_KEY", false);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->contents(), "Beach; Sun; Sea");
    EXPECT_EQ(record->keywords(), (std::vector<std::string>{"Beach", "Sun", "Sea"}));
}

TEST_F(MultimediaRecord, KeywordLinesCloseOnceTheyPassEightyCharacters) {
    auto record = object("1 FILE a\n");
    Array words;
    for (int i = 0; i < 40; ++i) words.emplace_back(std::string("w") + char('a' + i % 26) + "xyz");
    record->setKeywords(words);
    auto lines = record->findChildren("_KEY", false);
    ASSERT_GT(lines.size(), 1u);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::string& text = lines[i]->contents();
        EXPECT_GT(text.size(), 80u);
        EXPECT_LE(text.size() - std::string("; wxxyz").size(), 80u) << "closed one keyword late: " << text;
    }
    EXPECT_EQ(record->keywords().size(), 40u);
}

TEST_F(MultimediaRecord, AnEmptyListRemovesEveryKeywordLineUndoably) {
    auto record = object("1 FILE a\n1 _KEY a; b\n1 _KEY c\n1 _KEY d\n");
    const std::string before = record->gedcomString();
    store.undo.beginUndoGrouping();
    record->setKeywords(Array{});
    store.undo.endUndoGrouping();
    EXPECT_TRUE(record->findChildren("_KEY", false).empty());
    EXPECT_TRUE(record->firstChildWithTag("CHAN"));
    store.undo.undo();
    EXPECT_EQ(record->gedcomString(), before);

    auto plain = object("1 FILE a\n", "@M2@");
    plain->setKeywords(Array{});
    EXPECT_FALSE(plain->firstChildWithTag("CHAN")) << "nothing changed, nothing stamped";
}

// ---- merging, deletion and links

TEST_F(MultimediaRecord, MergeNeedsTheSameFileIgnoringCase) {
    auto a = object("1 FILE Photos/A.JPG\n", "@M1@");
    auto b = object("1 FILE photos/a.jpg\n", "@M2@");
    auto none1 = object("1 _DATE 1900\n", "@M3@");
    auto none2 = object("1 _KEY x\n", "@M4@");
    EXPECT_TRUE(a->canMergeWith(*b));
    EXPECT_TRUE(none1->canMergeWith(*none2));
    EXPECT_FALSE(none1->canMergeWith(*a));
    EXPECT_EQ(a->mergeRequirement(), "To merge multimedia objects, they must be linked to the same file or web site.");
}

TEST_F(MultimediaRecord, DropsLinkIndividualsAndFamiliesOnce) {
    auto record = object("1 FILE a\n");
    auto person = store.add("@I1@", "INDI", "1 NAME A /B/\n");
    auto family = store.add("@F1@", "FAM", "");
    EXPECT_EQ(record->drop(person), std::nullopt);
    EXPECT_TRUE(person->hasLink("OBJE", "@M1@"));
    EXPECT_EQ(record->crossRefIDs(), (std::vector<std::string>{"@I1@"}));
    EXPECT_EQ(record->drop(person), "The dragged individual is already linked to this multimedia object.");
    EXPECT_EQ(record->drop(family), std::nullopt);
    EXPECT_EQ(record->drop(family), "The dragged family is already linked to this multimedia object.");
    EXPECT_EQ(person->findChildren("OBJE", false).size(), 1u);
}

TEST_F(MultimediaRecord, LinkingAndDeletionQuestions) {
    auto record = object("1 FILE a\n");
    EXPECT_FALSE(record->isConnected());
    EXPECT_TRUE(record->isNotLinkedToRecordsBesides(std::nullopt));
    EXPECT_TRUE(record->isNotLinkedToRecordsBesides(std::string("@I1@")));
    auto first = store.add("@I1@", "INDI", "");
    auto other = store.add("@I2@", "INDI", "");
    record->drop(first);
    EXPECT_TRUE(record->isConnected());
    EXPECT_FALSE(record->isNotLinkedToRecordsBesides(std::nullopt));
    EXPECT_TRUE(record->isNotLinkedToRecordsBesides(std::string("@I1@")));
    EXPECT_FALSE(record->shouldVerifyDeleteAsChildOf(*first));
    record->drop(other);
    EXPECT_FALSE(record->isNotLinkedToRecordsBesides(std::string("@I1@")));
    EXPECT_TRUE(record->shouldVerifyDeleteAsChildOf(*first));
    EXPECT_TRUE(record->canLinkTo("SOUR"));
    EXPECT_TRUE(record->canLinkTo("NOTE"));
    EXPECT_FALSE(record->canLinkTo("INDI"));
}

TEST_F(MultimediaRecord, RemovingAllLinksClearsCitersAndStyleSheetReferences) {
    auto record = object("1 FILE a.css\n2 FORM css\n");
    auto person = store.add("@I1@", "INDI", "");
    auto family = store.add("@F1@", "FAM", "");
    record->drop(person);
    record->drop(family);
    record->removeAllLinks();
    EXPECT_FALSE(person->hasLink("OBJE", "@M1@"));
    EXPECT_FALSE(family->hasLink("OBJE", "@M1@"));
    EXPECT_EQ(store.cssDetached, (std::vector<std::string>{"@M1@"}));
}

TEST_F(MultimediaRecord, ChangingTheIDRepointsCitersAndTellsStyleSheets) {
    auto sheet = object("1 FILE a.css\n2 FORM CSS\n");
    auto photo = object("1 FILE a.jpg\n2 FORM jpg\n", "@M2@");
    auto person = store.add("@I1@", "INDI", "");
    sheet->drop(person);
    photo->drop(person);
    sheet->changeAllLinksFromID("@M1@", "@M7@", true);
    photo->changeAllLinksFromID("@M2@", "@M8@", false);
    EXPECT_TRUE(person->hasLink("OBJE", "@M7@"));
    EXPECT_TRUE(person->hasLink("OBJE", "@M8@"));
    EXPECT_EQ(store.cssRenamed, (std::vector<std::pair<std::string, std::string>>{{"@M7@", "@M1@"}}));
}

// ---- data and script keys

TEST_F(MultimediaRecord, DatePlaceAndFormAccessors) {
    auto record = object("1 FILE a.jpg\n2 FORM JPG\n1 _LOC Paris\n2 _GPS 48.85000,2.35000\n");
    EXPECT_EQ(record->firstPlace(), "Paris");
    EXPECT_EQ(record->mmObjectSDN(), 0);
    record->setMmObjectDate("12 MAR 1990");
    EXPECT_EQ(record->mmObjectDate(), "12 MAR 1990");
    EXPECT_GT(record->mmObjectSDN(), 0);
    EXPECT_EQ(record->mmObjectSDN(), record->mmObjectSDNMax());
    record->setMmObjectDate("1990");
    EXPECT_LT(record->mmObjectSDN(), record->mmObjectSDNMax());
    record->setMmObjectForm("png");
    EXPECT_EQ(record->mmObjectForm(), "png");
    EXPECT_EQ(record->firstChildWithTag("FILE")->firstChildWithTag("FORM")->contents(), "png");
    record->setMmObjectPlace("Lyon");
    EXPECT_EQ(record->mmObjectPlace(), "Lyon");
}

TEST_F(MultimediaRecord, ScriptKeysReadAndSetTheirFieldsOnTheMainThread) {
    CountingDispatcher dispatcher;
    Dispatcher::Scope scope(dispatcher);
    TestInterpreter interpreter;
    auto record = object("1 FILE http://x.org/\n2 FORM url\n2 TITL Site\n1 _DATE 1 JAN 1900\n");
    struct Read {
        const char* key;
        std::string value;
    };
    const Read reads[] = {{"objectDate", "1 JAN 1900"},
                          {"objectPath", "http://x.org/"},
                          {"objectForm", "url"},
                          {"objectPlace", ""},
                          {"objectSDN", std::to_string(record->mmObjectSDN())},
                          {"objectSDNMax", std::to_string(record->mmObjectSDNMax())},
                          {"name", "Site"}};
    for (const auto& read : reads) EXPECT_EQ(record->klis_getAttribute(read.key, &interpreter), read.value) << read.key;

    EXPECT_TRUE(record->klis_setAttribute("objectPlace", "Rome", &interpreter));
    EXPECT_EQ(record->mmObjectPlace(), "Rome");
    EXPECT_TRUE(record->klis_setAttribute("objectForm", "URL", &interpreter));
    EXPECT_EQ(dispatcher.waited, 2);
    EXPECT_FALSE(record->klis_setAttribute("objectPath", "/x", &interpreter));
    EXPECT_FALSE(record->klis_setAttribute("objectSDN", "5", &interpreter));

    auto person = store.add("@I1@", "INDI", "");
    record->drop(person);
    auto cited = record->klis_getObjectAttribute("referencedBy", &interpreter);
    EXPECT_TRUE(TestInterpreter::items(cited) == (Array{Value("@I1@")}));
}

// ---- report text

std::vector<std::string> linesOf(const Value& value) {
    std::vector<std::string> lines;
    if (const Array* list = value.array())
        for (const auto& line : *list) lines.push_back(line.toString());
    return lines;
}

TEST_F(MultimediaRecord, ReportListForAWebObjectHasNoPathOrFormat) {
    auto record = object("1 FILE http://x.org/\n2 FORM url\n2 TITL Site\n1 _DATE 1900\n");
    EXPECT_EQ(linesOf(record->reportDescription(0x10000 | 0x1)),
              (std::vector<std::string>{"Multimedia Object: Site", "URL: http://x.org/", "Date: 1900"}));
    EXPECT_EQ(linesOf(record->reportDescription(0x10000 | 0x1000 | 0x400)),
              (std::vector<std::string>{"URL: http://x.org/"}));
}

TEST_F(MultimediaRecord, ReportProseForMissingFilesAndWebSites) {
    auto lost = object("1 FILE nowhere/gone.jpg\n2 FORM jpg\n2 TITL A & B\n1 _DATE 1900\n1 _LOC Rome\n");
    EXPECT_EQ(lost->reportDescription(0x1 | 0x2).toString(),
              "The multimedia object's name is A & B. It is dated 1900 with location Rome. "
              "The file for this object cannot be found.");
    EXPECT_EQ(lost->reportDescription(0x1000 | 0x2).toString(),
              "The multimedia object's title is <a href='//@M1@'>A &amp; B</a>. It's location Rome. "
              "The file for this object cannot be found.");
    auto site = object("1 FILE http://x.org/\n2 FORM url\n", "@M2@");
    EXPECT_EQ(site->reportDescription(0x400).toString(), "This multimedia object is a link to the web site http://x.org/.");
    EXPECT_EQ(site->reportDescription(0x400 | 0x4000).toString(), "This object is a link to a web site.");
}

}  // namespace
}  // namespace kl::test
