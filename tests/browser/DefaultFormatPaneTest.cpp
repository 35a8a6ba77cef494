// Every record of the public GEDCOM corpus builds its pane through the
// shipped Default Format without a template error, and an individual's
// pane shows the format's sections.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "PaneTestSupport.h"
#include "document/RecordsIndices.h"
#include "foundation/ResourceFolder.h"
#include "script/TemplatesDelegate.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

class QuietLibrary : public TemplatesDelegate {
public:
    void createEditingPreferences(const fs::path&) override {}
    bool createEditingStrings(const fs::path& list) override { return fs::is_regular_file(list); }
    void createIndiFamEvents(const fs::path&, const std::string&) override {}
    void infoAlert(const std::string&, const std::string&) override {}
};

class DefaultFormatPanes : public test::PaneTest {
protected:
    void SetUp() override {
        PaneTest::SetUp();
        saved_ = ResourceFolder::folder();
        ResourceFolder::setFolder(fs::path(KL_SOURCE_DIR) / "resources");
        format_ = std::make_unique<Templates>(&library_);
        format_->readFormatAtPath(test::defaultFormatFolder().string());
        environment_.templates = format_.get();
        environment_.prefs = &prefs;
    }
    void TearDown() override {
        format_.reset();
        ResourceFolder::setFolder(saved_);
    }
    // The failures of all records of the text, one line each.
    std::string buildAll(const std::string& gedcom) {
        model = std::make_unique<GEDCOMModel>();
        model->setInputGed(gedcom);
        model->setRecordsFromStringVerifyIDs(true, false);
        environment_.model = model.get();
        std::string failures;
        for (const auto& record : model->recordsIndex().collectRecords(std::nullopt)) {
            background.removeCustomCells(false);
            if (!builder.buildCustomEdit(record, true, environment_, 500, 400))
                failures += record->grecordID() + ": " + failure() + "\n";
        }
        return failures;
    }

    QuietLibrary library_;
    std::unique_ptr<Templates> format_;
    PaneBuilder::Environment environment_;
    fs::path saved_;
};

TEST_F(DefaultFormatPanes, ShowAnIndividualWithTheFormatsSections) {
    environment_.model = model.get();
    ASSERT_TRUE(builder.buildCustomEdit(person, true, environment_, 500, 400)) << failure();
    const auto all = texts();
    for (const char* shown : {"Individual", "Name and Sex", "Events", "Families", "Orla Fenwick", "3 MAR 1850"})
        EXPECT_NE(std::find(all.begin(), all.end(), shown), all.end()) << shown;
    EXPECT_GT(background.height(), 100);
    EXPECT_NE(std::find(builder.dropTypes().begin(), builder.dropTypes().end(), "INDICtrl"),
              builder.dropTypes().end());
}

TEST_F(DefaultFormatPanes, EveryCorpusRecordBuilds) {
    for (const char* file : {"eichmann/ALLGED.GED", "gedcom555/555SAMPLE.GED"}) {
        SCOPED_TRACE(file);
        std::ifstream in(fs::path(KL_TESTDATA) / "gedcom" / file, std::ios::binary);
        ASSERT_TRUE(in);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(buildAll(text), "");
    }
}

}  // namespace
}  // namespace kl
