#pragma once
// A pane built from templates given as texts, over a small database of
// invented people, with the spacing settings of the shipped Default Format.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/EditingPrefs.h"
#include "browser/EditBackgroundView.h"
#include "browser/PaneBuilder.h"
#include "cells/CustomCell.h"
#include "document/GEDCOMModel.h"
#include "model/GEDCOMRecord.h"
#include "script/Templates.h"

namespace kl::test {

inline std::filesystem::path defaultFormatFolder() {
    return std::filesystem::path(KL_SOURCE_DIR) / "resources/KinloreIIAppSupport/Formats/Default Format.kfrmt";
}

class PaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(prefs.readFormat(defaultFormatFolder()));
        read("0 @I1@ INDI\n1 NAME Orla /Fenwick/\n1 SEX F\n1 BIRT\n2 DATE 3 MAR 1850\n2 PLAC Millbrook\n"
             "1 BIRT\n2 DATE ABT 1851\n1 NOTE first\n");
    }
    void read(const std::string& records) {
        model = std::make_unique<GEDCOMModel>();
        model->setInputGed("0 HEAD\n1 CHAR UTF-8\n" + records + "0 TRLR\n");
        model->setRecordsFromStringVerifyIDs(true, false);
        person = model->recordWithID("@I1@");
    }
    // Builds the person's pane with the INDI record template and the tag
    // templates given ("BIRT" for "BIRT Editing.txt").
    bool build(const std::string& recordTemplate, const std::map<std::string, std::string>& tagTemplates = {},
               std::shared_ptr<GEDCOMRecord> record = nullptr) {
        Dictionary texts;
        if (!record) record = person;
        texts.set(record->recordType() + " Record Editing.txt", Value(recordTemplate));
        for (const auto& [tag, text] : tagTemplates) texts.set(tag + " Editing.txt", Value(text));
        templates.setTemplatesByName(std::move(texts));
        PaneBuilder::Environment environment;
        environment.templates = &templates;
        environment.prefs = &prefs;
        environment.model = model.get();
        background.removeCustomCells(false);
        return builder.buildCustomEdit(record, true, environment, 500, 400);
    }
    // The cells that show something, in pane order.
    std::vector<CustomCell*> shown() const {
        std::vector<CustomCell*> cells;
        for (const auto& cell : background.customCells())
            if (cell->hasView()) cells.push_back(cell.get());
        return cells;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> all;
        for (CustomCell* cell : shown()) all.push_back(cell->text());
        return all;
    }
    std::string failure() const { return builder.failure().value_or(""); }

    EditingPrefs prefs;
    Templates templates;
    std::unique_ptr<GEDCOMModel> model;
    std::shared_ptr<GEDCOMRecord> person;
    EditBackgroundView background;
    PaneBuilder builder{background};
};

}  // namespace kl::test
