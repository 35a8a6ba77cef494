// The sample database that ships in the System library: it reads without a
// damaged line, its links resolve both ways, its dates are valid in every
// calendar they use and its places and multimedia file are there.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "StoreTestSupport.h"
#include "dates/DateBridge.h"
#include "foundation/PropertyList.h"
#include "document/GEDCOMModel.h"
#include "document/PlaceIndex.h"
#include "document/RecordsIndices.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

fs::path samplePackage() {
    return fs::path(KL_SOURCE_DIR) / "resources/KinloreIIAppSupport/Radavizu/Brennow.gedpkg";
}

bool isLink(const std::string& text) { return text.size() > 2 && text.front() == '@' && text.back() == '@'; }

class SampleDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        store.document.undo.disableUndoRegistration();
        store.model.setGedcomFromFile((samplePackage() / "Brennow.ged").string());
        store.document.undo.enableUndoRegistration();
    }

    // Every structure of every record, depth first.
    void eachStructure(const std::function<void(const GEDCOMRecord&, const GEDCOMObject&)>& visit) const {
        std::function<void(const GEDCOMRecord&, const GEDCOMObject&)> walk = [&](const GEDCOMRecord& record,
                                                                                  const GEDCOMObject& node) {
            for (const auto& child : node.structures()) {
                visit(record, *child);
                walk(record, *child);
            }
        };
        for (const auto& list : store.model.recordsIndex().lists())
            for (const auto& record : list->order()) walk(*record, *record);
    }

    test::StoreFixture store;
};

TEST_F(SampleDatabase, HoldsEveryRecordKindUndamaged) {
    const std::map<std::string, std::size_t> expected{
        {"INDI", 41}, {"FAM", 13}, {"SOUR", 5}, {"REPO", 3}, {"NOTE", 6}, {"OBJE", 1},
        {"SUBM", 1},  {"_LOG", 1}, {"_PLC", 7}, {"_BOK", 1}, {"HEAD", 1}};
    for (const auto& [type, count] : expected) EXPECT_EQ(store.countOf(type), count) << type;
    EXPECT_EQ(store.countOf(RecordsIndices::kCorrupted), 0u);
    for (const auto& list : store.model.recordsIndex().lists())
        for (const auto& record : list->order()) EXPECT_EQ(record->corrupt(), 0u) << record->grecordID();
    eachStructure([](const GEDCOMRecord& record, const GEDCOMObject& node) {
        EXPECT_EQ(node.corrupt(), 0u) << record.grecordID() << " " << node.gtag();
    });
}

// Links name existing records, and every link the system keeps both ways
// has its partner line.
TEST_F(SampleDatabase, LinksResolveAndPair) {
    std::set<std::string> lines;  // "from tag to"
    eachStructure([&](const GEDCOMRecord& record, const GEDCOMObject& node) {
        if (!isLink(node.contents())) return;
        EXPECT_TRUE(store.model.recordWithID(node.contents())) << record.grecordID() << " " << node.gtag();
        lines.insert(record.grecordID() + " " + node.gtag() + " " + node.contents());
    });
    struct Pair {
        const char* tag;
        const char* partner;
    };
    const Pair pairs[] = {{"FAMC", "CHIL"}};
    for (const std::string& line : lines) {
        const auto first = line.find(' '), second = line.rfind(' ');
        const std::string from = line.substr(0, first), tag = line.substr(first + 1, second - first - 1),
                          to = line.substr(second + 1);
        for (const Pair& pair : pairs) {
            if (tag == pair.tag && from.rfind("@I", 0) == 0) {
                EXPECT_TRUE(lines.count(to + " " + pair.partner + " " + from)) << line;
            }
        }
        if (tag == "FAMS") {
            EXPECT_TRUE(lines.count(to + " HUSB " + from) || lines.count(to + " WIFE " + from)) << line;
        }
        if (tag == "_LOG") {
            const std::string back = from.rfind("@F", 0) == 0 ? "_FAM" : from.rfind("@P", 0) == 0 ? "__PLC" : "_INDI";
            EXPECT_TRUE(lines.count(to + " " + back + " " + from)) << line;
        }
    }
}

TEST_F(SampleDatabase, DatesAreValidInFourCalendars) {
    std::map<std::string, int> calendars;
    eachStructure([&](const GEDCOMRecord& record, const GEDCOMObject& node) {
        if (node.gtag() != "DATE" && node.gtag() != "_DATE") return;
        bool valid = false;
        validateDateString(node.contents(), valid);
        EXPECT_TRUE(valid) << record.grecordID() << ": " << node.contents();
        for (const char* escape : {"@#DJULIAN@", "@#DHEBREW@", "@#DFRENCH R@"})
            if (node.contents().find(escape) != std::string::npos) ++calendars[escape];
        if (node.contents().find('/') != std::string::npos) ++calendars["dual year"];
    });
    for (const char* kind : {"@#DJULIAN@", "@#DHEBREW@", "@#DFRENCH R@", "dual year"})
        EXPECT_GT(calendars[kind], 0) << kind;
}

TEST_F(SampleDatabase, PlacesAreRecordsWithMapBoxes) {
    eachStructure([&](const GEDCOMRecord& record, const GEDCOMObject& node) {
        if (node.gtag() == "PLAC" && node.glevel() == 2 && !node.contents().empty()) {
            EXPECT_TRUE(store.model.places().placeForName(node.contents()))
                << record.grecordID() << ": " << node.contents();
        }
    });
    auto places = store.list("_PLC");
    ASSERT_TRUE(places);
    for (const auto& place : places->order()) {
        auto box = place->findChild("_BOX", false);
        ASSERT_TRUE(box) << place->grecordID();
        auto bounds = box->findChild("_BNDS", false);
        ASSERT_TRUE(bounds) << place->grecordID();
        EXPECT_EQ(bounds->contents().front(), '(');
    }
}

TEST_F(SampleDatabase, MultimediaFileLiesBesideThePackage) {
    auto objects = store.list("OBJE");
    ASSERT_TRUE(objects && objects->count() == 1);
    auto file = objects->order().front()->findChild("FILE", false);
    ASSERT_TRUE(file);
    EXPECT_TRUE(fs::is_regular_file(samplePackage().parent_path() / file->contents())) << file->contents();
}

// Structures without a template of their own are labelled with their
// tag's name from the Default Format's strings; the sample uses none that
// would show as a bare tag.
TEST_F(SampleDatabase, EveryTagHasANameInTheDefaultFormat) {
    const auto english = PropertyList::readDictionaryFile(
        fs::path(KL_SOURCE_DIR) / "resources/KinloreIIAppSupport/Formats/Default Format.kfrmt/English.plist");
    ASSERT_TRUE(english);
    eachStructure([&](const GEDCOMRecord& record, const GEDCOMObject& node) {
        EXPECT_TRUE(english->contains(node.gtag())) << record.grecordID() << " " << node.gtag();
    });
}

}  // namespace
}  // namespace kl
