// Merging another open database, or dragged records, into a document: fresh
// IDs where they clash, links intact, the destination's own records left
// alone, the note and album of the merge, and one undo step.
#include <gtest/gtest.h>

#include <set>

#include "DocumentTestSupport.h"
#include "dates/DateBridge.h"
#include "document/GEDCOMModel.h"
#include "document/MergeController.h"
#include "document/RecordsList.h"
#include "model/GEDCOMStructure.h"

namespace kl::test {
namespace {

// Two people and their family, a source they cite, a note with a record
// link in its HTML, a submitter and a submission.
constexpr const char* kSmallTree =
    "0 HEAD\n1 SUBM @U1@\n1 SUBN @S0@\n1 CHAR UTF-8\n"
    "0 @U1@ SUBM\n1 NAME Submitter One\n"
    "0 @S0@ SUBN\n1 SUBM @U1@\n"
    "0 @I1@ INDI\n1 NAME Alder /Brook/\n1 SEX M\n1 FAMS @F1@\n1 SOUR @S1@\n1 NOTE @N1@\n"
    "0 @I2@ INDI\n1 NAME Birch /Brook/\n1 SEX F\n1 FAMS @F1@\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n"
    "0 @S1@ SOUR\n1 TITL Parish Book\n"
    "0 @N1@ NOTE <div>See <a href=\"//@I2@\">his wife</a></div>\n"
    "0 TRLR\n";

// Answers waits at once and keeps the alerts a merge shows.
class MergeUI : public UIDouble {
public:
    void exportAlert(GEDCOMDocument&, const std::string& message, const std::string& information, bool) override {
        alerts.push_back(message + " " + information);
    }
    std::vector<std::string> alerts;
};

struct Database {
    QuestionDouble question;
    MergeUI ui;
    std::unique_ptr<GEDCOMDocument> document;

    Database(const ScratchFolder& scratch, const std::string& name, const std::string& text) {
        writeFile(scratch / name, text);
        document = std::make_unique<GEDCOMDocument>();
        document->setCharacterSetQuestion(&question);
        document->setUI(&ui);
        std::string error;
        EXPECT_TRUE(document->readFromURL(scratch / name, GEDCOMDocument::kGEDCOMType, &error)) << error;
    }
    GEDCOMModel& model() { return document->gedcomModel(); }
    std::size_t count(const std::string& type) { return model().numberOfType(type); }
    std::shared_ptr<GEDCOMRecord> named(const std::string& name) {
        for (const char* type : {"INDI", "FAM", "NOTE", "SOUR", "SUBM", "SUBN", "OBJE"})
            for (const auto& record : model().recordsOfType(type))
                if (record->viewName().find(name) != std::string::npos) return record;
        return nullptr;
    }
    std::shared_ptr<RecordsList> album(const std::string& name) {
        for (const auto& list : model().recordsIndex().lists())
            if (list->listType() == ListUserAlbum && list->name() == name) return list;
        return nullptr;
    }
};

std::vector<std::string> links(GEDCOMRecord& record, const std::string& tag) {
    std::vector<std::string> ids;
    for (const auto& pair : record.findAllStructuresWithTag(tag, std::nullopt)) ids.push_back(pair.structure->contents());
    return ids;
}

std::set<std::string> ids(GEDCOMModel& model) {
    std::set<std::string> all;
    for (const auto& entry : model.recordsIndex().collectIDs()) all.insert(entry.first);
    return all;
}

// Every family link of an individual is answered by the family, and the
// other way round.
void expectFamilyLinksHaveBothEnds(GEDCOMModel& model) {
    for (const auto& person : model.recordsOfType("INDI"))
        for (const char* tag : {"FAMS", "FAMC"})
            for (const auto& id : links(*person, tag)) {
                auto family = model.recordWithID(id);
                ASSERT_TRUE(family) << person->grecordID() << " " << tag << " " << id;
                const auto husb = links(*family, "HUSB"), wife = links(*family, "WIFE"), chil = links(*family, "CHIL");
                std::set<std::string> members(husb.begin(), husb.end());
                members.insert(wife.begin(), wife.end());
                members.insert(chil.begin(), chil.end());
                EXPECT_TRUE(members.count(person->grecordID())) << id << " lacks " << person->grecordID();
            }
    for (const auto& family : model.recordsOfType("FAM"))
        for (const char* tag : {"HUSB", "WIFE", "CHIL"})
            for (const auto& id : links(*family, tag)) {
                auto person = model.recordWithID(id);
                ASSERT_TRUE(person) << family->grecordID() << " " << tag << " " << id;
                const auto fams = links(*person, "FAMS"), famc = links(*person, "FAMC");
                const bool back = std::count(fams.begin(), fams.end(), family->grecordID()) +
                                  std::count(famc.begin(), famc.end(), family->grecordID());
                EXPECT_TRUE(back) << id << " does not link back to " << family->grecordID();
            }
}

class MergeAnotherDatabase : public testing::Test {
protected:
    ScratchFolder scratch;
    Database dest{scratch, "dest.ged", kSmallTree};
    Database source{scratch, "source.ged", kSmallTree};

    bool mergeAll(std::optional<std::string> linkText, std::string album, long albumIndex = 0) {
        return dest.document->mergeRecords(MergeAnswer{source.document.get(), albumIndex, std::move(linkText), album});
    }
};

TEST_F(MergeAnotherDatabase, IntoACopyOfItselfEveryRecordGetsAFreshIDAndKeepsItsLinks) {
    const std::string before = recordsText(*dest.document, false);
    const std::set<std::string> oldIDs = ids(dest.model());

    ASSERT_TRUE(mergeAll(std::nullopt, "Merged"));

    EXPECT_EQ(dest.count("INDI"), 4u);
    EXPECT_EQ(dest.count("FAM"), 2u);
    EXPECT_EQ(dest.count("SUBM"), 2u);
    EXPECT_EQ(dest.count("SUBN"), 1u) << "a second submission is left out";
    // The destination's own records are as they were.
    for (const auto& id : oldIDs) {
        auto record = dest.model().recordWithID(id);
        ASSERT_TRUE(record) << id;
        EXPECT_NE(before.find(record->gedcomString()), std::string::npos) << record->gedcomString();
    }
    EXPECT_EQ(ids(dest.model()).size(), 2 * oldIDs.size() - 1);

    auto album = dest.album("Merged");
    ASSERT_TRUE(album);
    EXPECT_EQ(album->count(), oldIDs.size() - 1);
    for (const auto& record : album->order()) EXPECT_FALSE(oldIDs.count(record->grecordID())) << record->grecordID();

    // The merged family joins the merged people, and the merged note's HTML
    // link names the merged wife.
    expectFamilyLinksHaveBothEnds(dest.model());
    for (const auto& record : album->order()) {
        if (!record->isType("INDI")) continue;
        for (const char* tag : {"FAMS", "SOUR", "NOTE"})
            for (const auto& id : links(*record, tag)) EXPECT_FALSE(oldIDs.count(id)) << tag << " " << id;
    }
    std::shared_ptr<GEDCOMRecord> mergedNote;
    for (const auto& record : album->order())
        if (record->isType("NOTE")) mergedNote = record;
    ASSERT_TRUE(mergedNote);
    std::shared_ptr<GEDCOMRecord> mergedWife;
    for (const auto& record : album->order())
        if (record->isType("INDI") && record->viewName().find("Birch") != std::string::npos) mergedWife = record;
    ASSERT_TRUE(mergedWife);
    EXPECT_NE(mergedNote->gedcomString().find("//" + mergedWife->grecordID()), std::string::npos)
        << mergedNote->gedcomString();
    EXPECT_EQ(dest.document->undo().undoActionName(), GEDCOMDocument::kMergeActionName);
}

TEST_F(MergeAnotherDatabase, UndoTakesTheWholeMergeBack) {
    const std::string before = recordsText(*dest.document, false);
    const std::size_t lists = dest.model().recordsIndex().lists().size();
    ASSERT_TRUE(mergeAll(std::string("From the other file"), "Merged"));
    ASSERT_GT(dest.count("INDI"), 2u);

    dest.document->undo().undo();

    EXPECT_EQ(recordsText(*dest.document, false), before);
    EXPECT_EQ(dest.model().recordsIndex().lists().size(), lists);
}

TEST_F(MergeAnotherDatabase, RedoBringsTheWholeMergeBackExactly) {
    ASSERT_TRUE(mergeAll(std::string("From the other file"), "Merged"));
    const std::string merged = recordsText(*dest.document, false);
    const std::size_t records = dest.model().recordsIndex().numberOfRecords();
    const auto albumIDs = [&] {
        std::set<std::string> ids;
        if (auto album = dest.album("Merged"))
            for (const auto& record : album->order()) ids.insert(record->grecordID());
        return ids;
    };
    const std::set<std::string> inAlbum = albumIDs();
    ASSERT_FALSE(inAlbum.empty());

    dest.document->undo().undo();
    ASSERT_FALSE(dest.album("Merged"));
    dest.document->undo().redo();

    EXPECT_EQ(dest.model().recordsIndex().numberOfRecords(), records);
    EXPECT_EQ(recordsText(*dest.document, false), merged);
    EXPECT_EQ(albumIDs(), inAlbum);
    expectFamilyLinksHaveBothEnds(dest.model());
    auto note = dest.named("From the other file");
    ASSERT_TRUE(note);
    EXPECT_EQ(note->crossRefIDs().size(), 4u) << "each record linked to the merge note is known to it again";
}

TEST_F(MergeAnotherDatabase, StyleSheetCommentsOfMergedNotesFollowTheSheetsNewIDs) {
    const std::string styled = "0 HEAD\n1 CHAR UTF-8\n0 @M1@ OBJE\n1 FILE site.css\n2 FORM css\n2 TITL Site style\n"
                               "0 @N1@ NOTE <div><!--CSS @M1@ --><a href=\"//@I1@\">Alder</a></div>\n"
                               "0 @I1@ INDI\n1 NAME Alder /Brook/\n0 TRLR\n";
    Database into{scratch, "into.ged", styled};
    Database from{scratch, "from.ged", styled};
    ASSERT_TRUE(into.document->mergeRecords(MergeAnswer{from.document.get(), 0, std::nullopt, "Merged"}));

    auto album = into.album("Merged");
    ASSERT_TRUE(album);
    std::shared_ptr<GEDCOMRecord> note, sheet, person;
    for (const auto& record : album->order()) {
        if (record->isType("NOTE")) note = record;
        if (record->isType("OBJE")) sheet = record;
        if (record->isType("INDI")) person = record;
    }
    ASSERT_TRUE(note && sheet && person);
    ASSERT_NE(sheet->grecordID(), "@M1@");
    EXPECT_NE(note->gedcomString().find("<!--CSS " + sheet->grecordID() + " -->"), std::string::npos)
        << note->gedcomString();
    EXPECT_NE(note->gedcomString().find("//" + person->grecordID()), std::string::npos) << note->gedcomString();
    // The destination's own note still names its own style sheet, and no
    // replacement is left over for a later repair to apply.
    EXPECT_NE(into.model().recordWithID("@N1@")->gedcomString().find("<!--CSS @M1@ -->"), std::string::npos);
    EXPECT_EQ(into.model().cssRecords().size(), 0u);
}

TEST_F(MergeAnotherDatabase, AnEmptyNoteTextGivesOneDatedNoteLinkedFromAllButNotesSubmittersAndTheSubmission) {
    // The destination lacks a submission, so the source's joins it.
    Database bare{scratch, "bare.ged", "0 HEAD\n1 CHAR UTF-8\n0 TRLR\n"};
    ASSERT_TRUE(bare.document->mergeRecords(MergeAnswer{source.document.get(), 0, std::string(), "Merged"}));

    auto notes = bare.model().recordsOfType("NOTE");
    ASSERT_EQ(notes.size(), 2u);
    std::shared_ptr<GEDCOMRecord> mergeNote;
    for (const auto& note : notes)
        if (note->gedcomString().find("Merged " + todayDateString()) != std::string::npos) mergeNote = note;
    ASSERT_TRUE(mergeNote) << notes[0]->gedcomString() << notes[1]->gedcomString();
    EXPECT_EQ(bare.count("SUBN"), 1u);
    for (const char* type : {"INDI", "FAM", "SOUR", "NOTE", "SUBM", "SUBN"})
        for (const auto& record : bare.model().recordsOfType(type)) {
            if (record == mergeNote) continue;
            const auto noteLinks = links(*record, "NOTE");
            const bool linked = std::count(noteLinks.begin(), noteLinks.end(), mergeNote->grecordID()) == 1;
            const bool expected = std::string(type) != "NOTE" && std::string(type) != "SUBM" &&
                                  std::string(type) != "SUBN";
            EXPECT_EQ(linked, expected) << record->gedcomString();
        }
    // The note knows every record that links to it.
    EXPECT_EQ(mergeNote->crossRefIDs().size(), 4u);
}

TEST_F(MergeAnotherDatabase, AnAlbumMergesOnlyItsRecordsAndAClearedNameGivesNewAlbum) {
    auto picked = RecordsList::listWithType(source.model().recordsIndex().uniqueAlbumType(), "Picked", &source.model());
    picked->setListType(ListUserAlbum);
    source.model().recordsIndex().addExistingList(picked);
    picked->addRecordToAlbum(source.model().recordWithID("@S1@"));

    ASSERT_TRUE(mergeAll(std::nullopt, "", 1));

    EXPECT_EQ(dest.count("SOUR"), 2u);
    EXPECT_EQ(dest.count("INDI"), 2u);
    auto album = dest.album("New Album");
    ASSERT_TRUE(album);
    ASSERT_EQ(album->count(), 1u);
    EXPECT_TRUE(album->order().front()->isType("SOUR"));
}

TEST_F(MergeAnotherDatabase, AnUnchangedSourceIsReadFromItsPackageAndAChangedOneFromMemory) {
    ASSERT_TRUE(source.document->saveToURL(scratch / "source.gedpkg"));
    ASSERT_FALSE(source.document->isDocumentEdited());
    // Only the package's file holds this person: a merge that finds her
    // read the file.
    const fs::path file = scratch / "source.gedpkg" / source.document->sourceGEDCOM();
    std::string text = readFile(file);
    const auto trailer = text.rfind("0 TRLR");
    ASSERT_NE(trailer, std::string::npos);
    text.insert(trailer, "0 @I77@ INDI\n1 NAME Onlyin /Package/\n");
    writeFile(file, text);

    ASSERT_TRUE(mergeAll(std::nullopt, "First"));
    EXPECT_TRUE(dest.named("Onlyin"));

    source.document->undo().registerUndo(this, [] {});
    source.document->updateChangeCount(GEDCOMDocument::Change::Done);
    ASSERT_TRUE(source.document->isDocumentEdited());
    const std::size_t people = dest.count("INDI");
    ASSERT_TRUE(mergeAll(std::nullopt, "Second"));
    EXPECT_EQ(dest.count("INDI"), people + 2) << "the changed source's two people, not the package's three";
}

TEST_F(MergeAnotherDatabase, ADropMergesIntoAnImportedAlbumWithoutANote) {
    const std::string dragged = "0 HEAD\n0 @I1@ INDI\n1 NAME Cedar /Dale/\n0 TRLR\n";
    ASSERT_TRUE(dest.document->mergeGEDCOMString(dragged, source.document.get()));

    EXPECT_EQ(dest.count("INDI"), 3u);
    EXPECT_EQ(dest.count("NOTE"), 1u);
    auto cedar = dest.named("Cedar");
    ASSERT_TRUE(cedar);
    EXPECT_NE(cedar->grecordID(), "@I1@");
    std::shared_ptr<RecordsList> imported;
    for (const auto& list : dest.model().recordsIndex().lists())
        if (list->listType() == ListUserAlbum && list->name().rfind("Imported " + todayDateString() + " ", 0) == 0) imported = list;
    ASSERT_TRUE(imported);
    EXPECT_EQ(imported->count(), 1u);
}

TEST_F(MergeAnotherDatabase, CancelWhileDecodingOrAFailureChangesNothingAndNamesNoUndo) {
    const std::string before = recordsText(*dest.document, false);
    const std::size_t lists = dest.model().recordsIndex().lists().size();

    dest.ui.cancel = true;
    EXPECT_FALSE(dest.document->mergeGEDCOMString(kSmallTree, source.document.get()));
    dest.ui.cancel = false;
    EXPECT_TRUE(dest.ui.alerts.empty()) << "a cancel is no failure";

    // Text the parser refuses ends the wait with the parser's message.
    EXPECT_FALSE(dest.document->mergeGEDCOMString("this is not GEDCOM\n", source.document.get()));
    ASSERT_EQ(dest.ui.alerts.size(), 1u);
    EXPECT_EQ(dest.ui.alerts[0].rfind("The records could not be merged.", 0), 0u);

    EXPECT_EQ(recordsText(*dest.document, false), before);
    EXPECT_EQ(dest.model().recordsIndex().lists().size(), lists);
    EXPECT_FALSE(dest.document->undo().canUndo());
}

TEST(MergeRealData, APafFileMergedIntoACopyOfItselfDoublesItsPeopleAndFamilies) {
    const fs::path file = fs::path(KL_TESTDATA) / "gedcom/gedcom-parse/compat-paf2.ged";
    DocumentFixture dest, source;
    ASSERT_TRUE(dest.import(file));
    ASSERT_TRUE(source.import(file));
    GEDCOMModel& model = dest.document->gedcomModel();
    const std::size_t people = model.numberOfType("INDI"), families = model.numberOfType("FAM");
    ASSERT_GT(people, 0u);

    ASSERT_TRUE(dest.document->mergeRecords(MergeAnswer{source.document.get(), 0, std::nullopt, "Merged"}));

    EXPECT_EQ(model.numberOfType("INDI"), 2 * people);
    EXPECT_EQ(model.numberOfType("FAM"), 2 * families);
    expectFamilyLinksHaveBothEnds(model);
}

}  // namespace
}  // namespace kl::test
