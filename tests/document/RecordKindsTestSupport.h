#pragma once
// A store for the tests of the smaller record kinds: read from level-0
// records alone, with change dates, UUIDs and creation stamps switched off
// so that record texts compare exactly.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "StoreTestSupport.h"
#include "model/GEDCOMRecord.h"
#include "model/GEDCOMStructure.h"

namespace kl::test {

class RecordKindsFixture : public testing::Test, public StoreFixture {
protected:
    void SetUp() override {
        tracking_ = GEDCOMRecord::trackingChangeDates();
        uuids_ = GEDCOMRecord::insertingUUIDs();
        creation_ = GEDCOMRecord::addingCreationDates();
        GEDCOMRecord::setTrackingChangeDates(false);
        GEDCOMRecord::setInsertingUUIDs(false);
        GEDCOMRecord::setAddingCreationDates(false);
    }
    void TearDown() override {
        GEDCOMRecord::setTrackingChangeDates(tracking_);
        GEDCOMRecord::setInsertingUUIDs(uuids_);
        GEDCOMRecord::setAddingCreationDates(creation_);
    }
    // Reads the records and tidies them as the document does after reading.
    void load(const std::string& records) {
        read("0 HEAD\n1 CHAR UTF-8\n" + records + "0 TRLR\n");
        document.undo.disableUndoRegistration();
        model.runSimplifyGEDCOM(3);
        document.undo.enableUndoRegistration();
    }
    // Links `citing` to `cited` with a level-1 line of the tag and records
    // the back link, as a drop does; not undoable.
    void cite(const std::string& citing, const std::string& tag, const std::string& cited) {
        document.undo.disableUndoRegistration();
        get(citing)->attachRefedLink(get(cited), tag);
        document.undo.enableUndoRegistration();
    }
    template <class Kind = GEDCOMRecord>
    std::shared_ptr<Kind> get(const std::string& id) {
        return std::dynamic_pointer_cast<Kind>(model.recordWithID(id, ""));
    }
    // The record's lines below its level-0 line.
    std::string body(const std::string& id) {
        const std::string text = model.recordWithID(id, "")->gedcomString();
        return text.substr(text.find('\n') + 1);
    }

private:
    bool tracking_ = false;
    bool uuids_ = false;
    bool creation_ = true;
};

}  // namespace kl::test
