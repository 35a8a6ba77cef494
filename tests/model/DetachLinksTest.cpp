#include <gtest/gtest.h>

#include "FakeRecordStore.h"
#include "TreeTestSupport.h"
#include "model/DetachLinkList.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"
#include "model/RecordStore.h"

namespace kl {
namespace {

// A named record whose view name is its NAME line.
struct NamedRecord : GEDCOMRecord {
    using GEDCOMRecord::GEDCOMRecord;
    std::vector<std::string> eventLinksAsked;
    std::string viewName() const override { return "view of " + grecordID(); }
    void addEventLinks(DetachLinkList&, const std::shared_ptr<GEDCOMStructure>& inEvent) override {
        eventLinksAsked.push_back(inEvent->gtag());
    }
};

// Names each type "a <type>" so that labels taken from it show.
struct Store : test::FakeRecordStore {
    std::string singularNameForType(const std::string& type) override { return "a " + type; }
    void add(const std::string& id, const std::string& type) { FakeRecordStore::add<NamedRecord>(id, type); }
};

struct Offered {
    std::string tag;
    std::optional<DetachLinkList::LinkName> name;
    bool operator==(const Offered&) const = default;
};

struct Picker : DetachLinkList {
    std::vector<Offered> offered;
    void addDetachLink(const std::shared_ptr<GEDCOMStructure>& link, const std::optional<LinkName>& name,
                       const std::optional<std::string>&, GEDCOMObject*) override {
        offered.push_back({link->gtag(), name});
    }
};

std::shared_ptr<NamedRecord> readInto(const std::string& id, const std::string& type, const std::string& lines) {
    auto record = std::make_shared<NamedRecord>(id, type);
    auto parsed = test::readRecord("0 " + id + " " + type + "\n" + lines);
    for (const auto& s : parsed->structures()) {
        s->changeLevel(s->glevel(), record.get());
        record->addStructure(s);
    }
    return record;
}

TEST(DetachLinks, OffersEachLinkWithLabelAndLinkedName) {
    Store store;
    store.add("@S1@", "SOUR");
    store.add("@I2@", "INDI");
    store.add("@F1@", "FAM");
    auto record = readInto("@F1@", "FAM",
                           "1 HUSB @I2@\n1 WIFE @I9@\n1 SOUR @S1@\n1 NOTE @N9@\n1 ASSO @I2@\n1 ASSO @X1@\n"
                           "1 MARR\n2 SOUR @S1@\n");
    record->setModel(&store);
    Picker picker;
    record->addLinksToList(picker, std::nullopt);
    using N = DetachLinkList::LinkName;
    EXPECT_EQ(picker.offered,
              (std::vector<Offered>{{"HUSB", std::nullopt},
                                    {"WIFE", N{"Link to Wife", "Invalid Link"}},
                                    {"SOUR", N{"a SOUR", "view of @S1@"}},
                                    {"NOTE", N{"a NOTE", "Invalid Link"}},
                                    {"ASSO", N{"Association", "view of @I2@"}},
                                    {"ASSO", N{"Association", "Invalid Link"}}}));
    EXPECT_EQ(record->eventLinksAsked, std::vector<std::string>{"MARR"});

    Picker inEvent;
    record->findStructureWithTag("MARR")->addLinksToList(inEvent, std::string("Marriage"));
    EXPECT_EQ(inEvent.offered, (std::vector<Offered>{{"SOUR", N{"a SOUR", "view of @S1@"}}}));
}

TEST(DetachLinks, BookNamesItsIndividualAsSource) {
    Store store;
    auto book = readInto("@B1@", "_BOK", "1 _INDI @I1@\n");
    auto log = readInto("@L1@", "_LOG", "1 _INDI @I1@\n");
    book->setModel(&store);
    log->setModel(&store);
    Picker picker;
    book->addLinksToList(picker, std::nullopt);
    log->addLinksToList(picker, std::nullopt);
    ASSERT_EQ(picker.offered.size(), 2u);
    EXPECT_EQ(picker.offered[0].name->at(0), "Source Individual for Book");
    EXPECT_EQ(picker.offered[1].name->at(0), "Researched Individual Link");
}

TEST(DetachLinks, LinkedRecordsSkipIDsThatFindNothing) {
    Store store;
    store.add("@S1@", "SOUR");
    auto record = readInto("@I1@", "INDI", "1 SOUR @S1@\n1 SOUR @S7@\n1 SOUR @\n");
    record->setModel(&store);
    auto linked = record->linkedRecs("SOUR");
    ASSERT_EQ(linked.size(), 1u);
    EXPECT_EQ(linked[0]->grecordID(), "@S1@");
}

}  // namespace
}  // namespace kl
