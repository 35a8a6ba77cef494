// Files of other programs after reading: embedded notes, sources and
// objects become linked records that know their citers, event places become
// place records with their coordinates, FONE/ROMN name variants become TRAN,
// and multimedia records take the one shape this program keeps.
#include <gtest/gtest.h>

#include "DocumentTestSupport.h"
#include "StoreTestSupport.h"
#include "document/GEDCOMEncodeDecode.h"
#include "model/GEDCOMStructure.h"
#include "model/INDIRecord.h"
#include "model/OBJERecord.h"
#include "model/PlaceRecord.h"

namespace kl {
namespace {

using RecordPtr = std::shared_ptr<GEDCOMRecord>;

// A document that keeps the thumbnails a read hands it.
class ThumbnailDocument : public test::FakeDocument {
public:
    void setThumbnail(std::string jpegBytes, const std::string& recordID) override {
        thumbnails[recordID] = std::move(jpegBytes);
    }
    std::vector<std::string> multimediaRoot() const override { return roots; }
    std::map<std::string, std::string> thumbnails;
    std::vector<std::string> roots;
};

// A store that has read the records and tidied them as a GEDCOM import does.
struct ImportFixture {
    ThumbnailDocument document;
    GEDCOMModel model{&document};

    void import(const std::string& records) {
        document.undo.disableUndoRegistration();
        model.setInputGed("0 HEAD\n1 CHAR UTF-8\n0 @U1@ SUBM\n1 NAME Nobody\n" + records + "0 TRLR\n");
        model.setRecordsFromStringVerifyIDs(true, true);
        model.runSimplifyGEDCOM(1);
        document.undo.enableUndoRegistration();
    }
    RecordPtr record(const std::string& id) { return model.recordWithID(id); }
    std::size_t count(const std::string& type) { return model.numberOfType(type); }
    RecordPtr only(const std::string& type) {
        auto records = model.recordsOfType(type);
        EXPECT_EQ(records.size(), 1u) << type;
        return records.empty() ? nullptr : records.front();
    }
    // The structure at a path of tags below a record ("BIRT", "NOTE").
    static std::shared_ptr<GEDCOMStructure> at(const RecordPtr& record, std::initializer_list<const char*> tags) {
        std::shared_ptr<GEDCOMObject> node = record;
        std::shared_ptr<GEDCOMStructure> found;
        for (const char* tag : tags) {
            found = node ? node->firstChildWithTag(tag) : nullptr;
            node = found;
        }
        return found;
    }
    static bool cites(const RecordPtr& record, const std::string& id) {
        const auto& refs = record->crossRefIDs();
        return std::find(refs.begin(), refs.end(), id) != refs.end();
    }
};

// ---- notes and sources

TEST(UnembedTest, NoteWithACitationBecomesALinkedNoteHoldingIt) {
    ImportFixture f;
    f.import("0 @I1@ INDI\n1 BIRT\n2 NOTE Born at sea\n3 CONC  on a calm day\n3 SOUR @S1@\n4 PAGE 12\n"
             "0 @S1@ SOUR\n1 TITL Ship log\n");
    const RecordPtr note = f.only("NOTE");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(ImportFixture::at(f.record("@I1@"), {"BIRT", "NOTE"})->contents(), note->grecordID());
    EXPECT_TRUE(ImportFixture::at(f.record("@I1@"), {"BIRT", "NOTE"})->structures().empty());
    EXPECT_EQ(ImportFixture::at(note, {"CONC"})->contents(), "Born at sea on a calm day");
    auto citation = ImportFixture::at(note, {"SOUR"});
    ASSERT_NE(citation, nullptr);
    EXPECT_EQ(citation->glevel(), 1);
    EXPECT_EQ(citation->contents(), "@S1@");
    EXPECT_EQ(ImportFixture::at(note, {"SOUR", "PAGE"})->glevel(), 2);
    EXPECT_TRUE(ImportFixture::cites(note, "@I1@"));
}

TEST(UnembedTest, LinkToAMissingNoteKeepsItsTextAsANewNote) {
    ImportFixture f;
    f.import("0 @I1@ INDI\n1 NOTE @N99@\n");
    const RecordPtr note = f.only("NOTE");
    ASSERT_NE(note, nullptr);
    EXPECT_NE(note->grecordID(), "@N99@");
    EXPECT_EQ(ImportFixture::at(note, {"CONC"})->contents(), "@N99@");
    EXPECT_EQ(ImportFixture::at(f.record("@I1@"), {"NOTE"})->contents(), note->grecordID());
}

TEST(UnembedTest, NoteCitedByTwoIndividualsKnowsBoth) {
    ImportFixture f;
    f.import("0 @I1@ INDI\n1 NOTE @N1@\n0 @I2@ INDI\n1 BIRT\n2 NOTE @N1@\n0 @N1@ NOTE Shared\n");
    const RecordPtr note = f.record("@N1@");
    EXPECT_EQ(f.count("NOTE"), 1u);
    EXPECT_TRUE(ImportFixture::cites(note, "@I1@"));
    EXPECT_TRUE(ImportFixture::cites(note, "@I2@"));
}

TEST(UnembedTest, EmbeddedSourcesOfOneTitleShareARecordAndKeepTheirText) {
    ImportFixture f;
    f.import("0 @I1@ INDI\n1 BIRT\n2 SOUR Parish book\n3 TEXT Baptised on Sunday\n1 DEAT\n2 SOUR Parish book\n"
             "0 @I2@ INDI\n1 SOUR Parish book\n");
    const RecordPtr source = f.only("SOUR");
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(ImportFixture::at(source, {"TITL"})->contents(), "Parish book");
    const RecordPtr person = f.record("@I1@");
    EXPECT_EQ(ImportFixture::at(person, {"BIRT", "SOUR"})->contents(), source->grecordID());
    EXPECT_EQ(ImportFixture::at(person, {"DEAT", "SOUR"})->contents(), source->grecordID());
    auto text = ImportFixture::at(person, {"BIRT", "SOUR", "DATA", "TEXT"});
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->contents(), "Baptised on Sunday");
    EXPECT_EQ(text->glevel(), 4);
    EXPECT_TRUE(ImportFixture::cites(source, "@I1@"));
    EXPECT_TRUE(ImportFixture::cites(source, "@I2@"));
}

TEST(UnembedTest, ARecordReReadWhileEditingMakesItsNoteUndoably) {
    ImportFixture f;
    f.import("0 @I1@ INDI\n1 NAME Ada /Lark/\n");
    const RecordPtr person = f.record("@I1@");
    // The source editor re-reads with registration off; the note it makes
    // is still undone with the edit.
    f.document.undo.disableUndoRegistration();
    ASSERT_TRUE(f.model.reparseRecord(person, "1 NAME Ada /Lark/\n1 NOTE Typed in place\n"));
    f.document.undo.enableUndoRegistration();
    ASSERT_EQ(f.count("NOTE"), 1u);
    EXPECT_TRUE(f.document.undo.canUndo());
    f.document.undo.undo();
    EXPECT_EQ(f.count("NOTE"), 0u);
}

// ---- places

TEST(UnembedTest, EventPlacesBecomePlaceRecordsWithTheirDetails) {
    ImportFixture f;
    f.import("0 @I1@ INDI\n1 BIRT\n2 PLAC Vessland\n3 FORM Town, Region\n3 _GPS 7.5E, 45.25N\n3 ROMN Vesland\n"
             "3 NOTE Near the river\n"
             "1 DEAT\n2 PLAC Vessland\n3 MAP\n4 LATI N45.5\n4 LONG W7.25\n"
             "0 @F1@ FAM\n1 MARR\n2 PLAC Vessland\n");
    const RecordPtr place = f.only("_PLC");
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(f.model.placeForName("Vessland"), place);
    EXPECT_EQ(ImportFixture::at(place, {"_PLACE", "FORM"})->contents(), "Town, Region");
    EXPECT_EQ(ImportFixture::at(place, {"_PLACE", "TRAN"})->contents(), "Vesland");
    EXPECT_EQ(ImportFixture::at(place, {"_PLACE", "TRAN", "_TLIT"})->contents(), "(ROMN)");
    std::vector<std::pair<std::string, std::string>> boxes;
    for (const auto& box : place->findChildren("_BOX", false))
        boxes.emplace_back(box->contents(), box->firstChildWithTag("_BNDS")->contents());
    EXPECT_EQ(boxes, (std::vector<std::pair<std::string, std::string>>{
                         {"", "(45.25N, 7.5E)"}, {"Import Coordinates", "(45.500000 N,7.250000 W),1k"}}));
    EXPECT_NE(ImportFixture::at(place, {"NOTE"}), nullptr) << "other details move to the place";
    auto plac = ImportFixture::at(f.record("@I1@"), {"BIRT", "PLAC"});
    EXPECT_EQ(plac->contents(), "Vessland");
    EXPECT_TRUE(plac->structures().empty());
}

struct GPSCase {
    const char* value;
    const char* bounds;
};

class GPSValue : public testing::TestWithParam<GPSCase> {};

TEST_P(GPSValue, GivesBoundsOrTheReason) {
    ImportFixture f;
    f.import(std::string("0 @I1@ INDI\n1 BIRT\n2 PLAC Radavizu\n3 _GPS ") + GetParam().value + "\n");
    const RecordPtr place = f.only("_PLC");
    ASSERT_NE(place, nullptr);
    auto bounds = ImportFixture::at(place, {"_BOX", "_BNDS"});
    ASSERT_NE(bounds, nullptr);
    EXPECT_EQ(bounds->contents(), GetParam().bounds);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GPSValue,
    testing::Values(GPSCase{"45.5", "45.5 (Not comma-delimited list of two items)"},
                    GPSCase{"45.5N, 7x", "45.5N, 7x (Invalid character ('x' with code 120) in the coordinate)"},
                    GPSCase{"9q, 7.5",
                            "9q (Invalid character ('q' with code 113) in the coordinate),  7.5"},
                    GPSCase{"-33.5, 18.25", "(33.5S, 18.25E)"}));

TEST(UnembedTest, AnEmptyPlaceMakesNoPlaceRecord) {
    ImportFixture f;
    f.import("0 @I1@ INDI\n1 BIRT\n2 PLAC\n1 DEAT\n2 PLAC\n");
    EXPECT_EQ(f.count("_PLC"), 0u);
}

TEST(UnembedTest, APlaceBelowACitationIsNoEventPlace) {
    ImportFixture f;
    f.import("0 @I1@ INDI\n1 SOUR @S1@\n2 EVEN BIRT\n3 PLAC Vessland\n0 @S1@ SOUR\n1 TITL Ledger\n");
    EXPECT_EQ(f.count("_PLC"), 0u);
    EXPECT_EQ(ImportFixture::at(f.record("@I1@"), {"SOUR", "EVEN", "PLAC"})->contents(), "Vessland");
}

// ---- name variants

TEST(NameVariantTest, TypesConvertBothWays) {
    struct Case {
        bool phonetic;
        const char* type;
        const char* lang;
        const char* tlit;
        const char* back;
    };
    const Case cases[] = {
        {true, "hangul", "ko", "hang", "hangul"},     {true, "Kana", "ja", "hrkt", "kana"},
        {false, "pinyin", "und", "Latn-pinyin", "pinyin"}, {false, "wadegiles", "zh", "Latn-wadegile", "wadegiles"},
        {true, "ja-hira", "ja", "hira (FONE)", "ja-hira"}, {true, "Japanese", "japanese", "(FONE)", "japanese"},
        {false, "", "", "(ROMN)", ""},
    };
    for (const Case& c : cases) {
        const auto converted = INDIRecord::convertFONE(c.phonetic, c.type);
        EXPECT_EQ(converted[0], c.lang) << c.type;
        EXPECT_EQ(converted[1], c.tlit) << c.type;
        bool phonetic = !c.phonetic;
        EXPECT_EQ(INDIRecord::convertTRAN(phonetic, converted[0], converted[1]), c.back) << c.type;
        EXPECT_EQ(phonetic, c.phonetic) << c.type;
    }
}

class NameVariantExport : public testing::Test {
protected:
    void TearDown() override { GEDCOMRecord::setExportFlags(0); }
    std::string exported(const RecordPtr& record, std::uint32_t flags) {
        GEDCOMRecord::setExportFlags(flags);
        std::string text;
        record->appendGEDCOMRecordExport(text, false);
        return text;
    }
    ImportFixture f;
};

TEST_F(NameVariantExport, VariantsReadAsTRANAndGoBackForStandardStyles) {
    f.import("0 @I1@ INDI\n1 NAME Kim /Lee/\n2 _LANG ko\n2 FONE Kim\n3 TYPE hangul\n2 ROMN Wang\n");
    const RecordPtr person = f.record("@I1@");
    auto name = ImportFixture::at(person, {"NAME"});
    ASSERT_EQ(name->structures().size(), 3u);
    EXPECT_EQ(name->structures()[0]->gtag(), "LANG");
    const auto& fone = name->structures()[1];
    EXPECT_EQ(fone->gtag(), "TRAN");
    EXPECT_EQ(fone->firstChildWithTag("LANG")->contents(), "ko");
    EXPECT_EQ(fone->firstChildWithTag("_TLIT")->contents(), "hang");
    const auto& romn = name->structures()[2];
    EXPECT_EQ(romn->firstChildWithTag("LANG")->contents(), "und");
    EXPECT_EQ(romn->firstChildWithTag("_TLIT")->contents(), "(ROMN)");

    const std::string style0 = exported(person, 1 | 16 | 32);
    EXPECT_NE(style0.find("1 NAME Kim /Lee/\n2 _LANG ko\n2 FONE Kim\n3 TYPE hangul\n2 ROMN Wang\n3 TYPE und\n"),
              std::string::npos)
        << style0;
    const std::string style2 = exported(person, 1 | 8 | 16 | 32);
    EXPECT_NE(style2.find("1 NAME Kim /Lee/\n2 _LANG ko\n"), std::string::npos) << style2;
    EXPECT_EQ(style2.find("FONE"), std::string::npos) << style2;
    EXPECT_EQ(style2.find("ROMN"), std::string::npos) << style2;
    const std::string style3 = exported(person, 0);
    EXPECT_NE(style3.find("2 TRAN Kim\n3 LANG ko\n3 _TLIT hang\n"), std::string::npos) << style3;
}

TEST_F(NameVariantExport, ADamagedRecordKeepsItsVariants) {
    f.import("0 @I1@ INDI\n1 NAME Kim /Lee/\n2 FONE Kim\n4 TYPE hangul\n");
    const RecordPtr person = f.model.recordsIndex().listForType(RecordsIndices::kCorrupted)->recordWithIndex(0);
    ASSERT_NE(person, nullptr);
    EXPECT_NE(ImportFixture::at(person, {"NAME", "FONE"}), nullptr);
}

// ---- multimedia records

TEST(MultimediaImportTest, OlderRecordLevelFormAndTitleMoveBelowTheFile) {
    ImportFixture f;
    f.import("0 @O1@ OBJE\n1 FORM jpg\n1 TITL Beach\n1 FILE D:\\Photos\\beach.jpg\n"
             "0 @O2@ OBJE\n1 _FILE holiday.png\n2 FORM png\n3 TYPE photo\n"
             "0 @O3@ OBJE\n1 FILE /media/disk/x.jpg\n"
             "0 @O4@ OBJE\n1 FORM jpg\n1 FILE http://host/x.jpg\n"
             "0 @O5@ OBJE\n1 NOTE no file\n");
    auto file = ImportFixture::at(f.record("@O1@"), {"FILE"});
    EXPECT_EQ(file->contents(), "beach.jpg");
    ASSERT_EQ(file->structures().size(), 2u);
    EXPECT_EQ(file->structures()[0]->gtag(), "TITL");
    EXPECT_EQ(file->structures()[1]->gtag(), "FORM");
    EXPECT_EQ(f.record("@O1@")->findChildren("FORM", false).size(), 0u);
    EXPECT_EQ(ImportFixture::at(f.record("@O2@"), {"FILE", "FORM", "MEDI"})->contents(), "photo");
    EXPECT_EQ(ImportFixture::at(f.record("@O3@"), {"FILE"})->contents(), "/media/disk/x.jpg");
    EXPECT_EQ(ImportFixture::at(f.record("@O4@"), {"FILE"})->contents(), "http://host/x.jpg");
    EXPECT_EQ(f.record("@O5@")->structures().front()->contents(), "(unknown)");
}

TEST(MultimediaImportTest, AWebAddressStaysWhateverItsFormat) {
    ImportFixture f;
    f.import("0 @O1@ OBJE\n1 FILE https://host/a:b.jpg\n2 FORM jpg\n0 @O2@ OBJE\n1 FILE Disk:Photos:a.jpg\n");
    EXPECT_EQ(ImportFixture::at(f.record("@O1@"), {"FILE"})->contents(), "https://host/a:b.jpg");
    EXPECT_EQ(ImportFixture::at(f.record("@O2@"), {"FILE"})->contents(), "/Volumes/Disk/Photos/a.jpg");
}

TEST(MultimediaImportTest, AnotherDisksNameIsDroppedOnlyWhenTheRestIsFound) {
    test::ScratchFolder scratch;
    test::writeFile(scratch / "a.jpg", "jpeg");
    ImportFixture f;
    const std::string onDisk = "/Other Disk" + (scratch / "a.jpg").string();
    f.import("0 @O1@ OBJE\n1 FILE " + onDisk + "\n0 @O2@ OBJE\n1 FILE /Other Disk/nowhere/b.jpg\n");
    EXPECT_EQ(ImportFixture::at(f.record("@O1@"), {"FILE"})->contents(), (scratch / "a.jpg").string());
    EXPECT_EQ(ImportFixture::at(f.record("@O2@"), {"FILE"})->contents(), "/Other Disk/nowhere/b.jpg");
}

TEST(MultimediaImportTest, EachFurtherFileBecomesARecordCitedByEveryCiter) {
    ImportFixture f;
    f.import("0 @I1@ INDI\n1 OBJE @O1@\n0 @I2@ INDI\n1 OBJE @O1@\n"
             "0 @O1@ OBJE\n1 FILE a.jpg\n2 TITL Album\n1 FILE b.jpg\n1 FILE c.jpg\n"
             "0 @O9@ OBJE\n1 FILE c.jpg\n");
    const RecordPtr first = f.record("@O1@");
    EXPECT_EQ(first->findChildren("FILE", false).size(), 1u);
    EXPECT_EQ(f.count("OBJE"), 3u) << "b.jpg gets a record, c.jpg joins @O9@";
    RecordPtr second;
    for (const auto& object : f.model.recordsOfType("OBJE"))
        if (ImportFixture::at(object, {"FILE"})->contents() == "b.jpg") second = object;
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(ImportFixture::at(second, {"FILE", "TITL"})->contents(), "Album (title copied on import)");
    for (const char* person : {"@I1@", "@I2@"}) {
        std::vector<std::string> links;
        for (const auto& link : f.record(person)->findChildren("OBJE", false)) links.push_back(link->contents());
        EXPECT_EQ(links, (std::vector<std::string>{"@O1@", second->grecordID(), "@O9@"})) << person;
        EXPECT_TRUE(ImportFixture::cites(second, person));
        EXPECT_TRUE(ImportFixture::cites(f.record("@O9@"), person));
    }
}

TEST(MultimediaImportTest, EmbeddedObjectsLinkTheRecordOfTheirFile) {
    ImportFixture f;
    f.import("0 @O1@ OBJE\n1 FILE a.jpg\n"
             "0 @I1@ INDI\n1 OBJE\n2 FILE a.jpg\n2 TITL Portrait\n"
             "0 @I2@ INDI\n1 OBJE\n2 FORM png\n2 TITL Sketch\n2 FILE sketch.png\n2 _DATE 1901\n");
    EXPECT_EQ(f.count("OBJE"), 2u);
    EXPECT_EQ(ImportFixture::at(f.record("@I1@"), {"OBJE"})->contents(), "@O1@");
    EXPECT_TRUE(ImportFixture::cites(f.record("@O1@"), "@I1@"));
    const RecordPtr sketch = f.model.recordWithID(ImportFixture::at(f.record("@I2@"), {"OBJE"})->contents());
    ASSERT_NE(sketch, nullptr);
    auto file = ImportFixture::at(sketch, {"FILE"});
    EXPECT_EQ(file->contents(), "sketch.png");
    EXPECT_EQ(ImportFixture::at(sketch, {"FILE", "FORM"})->contents(), "png");
    EXPECT_EQ(ImportFixture::at(sketch, {"FILE", "TITL"})->contents(), "Sketch");
    EXPECT_EQ(ImportFixture::at(sketch, {"_DATE"})->contents(), "1901");
}

TEST(MultimediaImportTest, AStyleSheetKeyInTheTitleIsLearnedAndDropped) {
    ImportFixture f;
    f.import("0 @N1@ NOTE <!--CSS @old3@-->\n1 OBJE\n2 FILE look.css\n3 FORM css\n3 TITL Look @old3@\n");
    const RecordPtr sheet = f.only("OBJE");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(ImportFixture::at(sheet, {"FILE", "TITL"})->contents(), "Look");
    // The learned key is spent at the end of the read: the note's comment
    // now names the style sheet's record.
    EXPECT_EQ(f.record("@N1@")->firstChildWithTag("CONC")->contents(), "<!--CSS " + sheet->grecordID() + " -->");
    EXPECT_EQ(f.model.cssRecords().size(), 0u);
}

TEST(MultimediaImportTest, AnEmbeddedThumbnailJoinsTheDocument) {
    const Data jpeg{0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3};
    const std::string embedded = GEDCOMEncodeDecode::dataToEmbeddedGedcom(jpeg, 1, "Thumbnail");
    ImportFixture f;
    f.import("0 @O1@ OBJE\n1 FILE a.jpg\n" + embedded + "1 _NSDATA Other =AAAA\n" +
             "0 @O2@ OBJE\n1 FILE b.jpg\n1 _NSDATA Thumbnail =bm90IGFuIGltYWdl\n");
    EXPECT_EQ(f.document.thumbnails.count("@O1@"), 1u);
    EXPECT_EQ(f.document.thumbnails["@O1@"], std::string(jpeg.begin(), jpeg.end()));
    EXPECT_EQ(f.document.thumbnails.count("@O2@"), 0u) << "text that is no image is dropped";
    for (const char* id : {"@O1@", "@O2@"}) EXPECT_EQ(f.record(id)->findChildren("_NSDATA", false).size(), 0u);
}

TEST(MultimediaImportTest, EmbeddedFormFollowsTheExportFlags) {
    ImportFixture f;
    f.import("0 @O1@ OBJE\n1 FILE a.jpg\n2 FORM jpg\n3 MEDI photo\n2 TITL Beach\n1 _LOC Shore\n"
             "1 _LOC Nowhere\n1 SOUR @S1@\n1 NOTE @N1@\n0 @N1@ NOTE Sunny\n0 @S1@ SOUR\n1 TITL Almanac\n");
    auto object = std::dynamic_pointer_cast<OBJERecord>(f.record("@O1@"));
    EXPECT_EQ(object->embeddedGedcomString(1, 2),
              "1 OBJE\n2 FILE a.jpg\n3 FORM jpg\n4 MEDI photo\n2 TITL Beach\n2 NOTE @N1@\n");
    EXPECT_EQ(object->embeddedGedcomString(2, 8), "2 OBJE\n3 FILE a.jpg\n3 FORM jpg\n3 TITL Beach\n3 NOTE @N1@\n");
}

}  // namespace
}  // namespace kl
