// The shipped Default Format loads as a format and every one of its
// templates, with the two report templates of the program's resources,
// compiles against the template command table; every cell it makes is of a
// kind the Cell command knows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "foundation/ResourceFolder.h"
#include "foundation/UserDefaults.h"
#include "script/TemplateCommandSet.h"
#include "script/Templates.h"

namespace kl {
namespace {

namespace fs = std::filesystem;

fs::path shippedResources() { return fs::path(KL_SOURCE_DIR) / "resources"; }
fs::path defaultFormat() { return shippedResources() / "KinloreIIAppSupport/Formats/Default Format.kfrmt"; }

// A library folder that accepts every list; the lists themselves are
// checked by the application's resource tests.
class QuietLibrary : public TemplatesDelegate {
public:
    void createEditingPreferences(const fs::path&) override {}
    bool createEditingStrings(const fs::path& list) override { return fs::is_regular_file(list); }
    void createIndiFamEvents(const fs::path&, const std::string&) override {}
    void infoAlert(const std::string& message, const std::string& information) override {
        alerts.push_back(message + " " + information);
    }
    std::vector<std::string> alerts;
};

class DefaultFormatTemplates : public ::testing::Test {
protected:
    void SetUp() override {
        config_ = fs::temp_directory_path() / ("kl-default-format-" + std::to_string(::getpid()));
        fs::create_directories(config_);
        savedResources_ = ResourceFolder::folder();
        ResourceFolder::setFolder(shippedResources());
        defaults_ = std::make_unique<UserDefaults>("Kinlore II", config_);
        templates_ = std::make_unique<Templates>(&library_, defaults_.get());
        templates_->readFormatAtPath(defaultFormat().string());
    }
    void TearDown() override {
        templates_.reset();
        defaults_.reset();
        ResourceFolder::setFolder(savedResources_);
        fs::remove_all(config_);
    }

    QuietLibrary library_;
    fs::path config_;
    fs::path savedResources_;
    std::unique_ptr<UserDefaults> defaults_;
    std::unique_ptr<Templates> templates_;
};

TEST_F(DefaultFormatTemplates, LoadsQuietlyInEnglish) {
    EXPECT_TRUE(library_.alerts.empty()) << library_.alerts.front();
    EXPECT_EQ(templates_->language(), "English");
    EXPECT_LE(templates_->formatVersion(), Templates::applicationFormatVersion);
    // The report templates come from the program, not the format.
    for (const char* name : {Templates::reportTemplate, Templates::reportBodyTemplate})
        EXPECT_TRUE(templates_->templatesByName().contains(name)) << name;
}

TEST_F(DefaultFormatTemplates, EveryTemplateCompiles) {
    for (const auto& [name, message] : templates_->compileAllTemplates()) ADD_FAILURE() << name << ": " << message;
    EXPECT_GT(templates_->templatesByName().size(), 40u);
}

// Each record kind finds a template of its own; any other kind and any tag
// without a template fall back to "_Unknown_".
TEST_F(DefaultFormatTemplates, EveryRecordKindAndShownTagHasATemplate) {
    struct Case {
        const char* name;
        int type;
    };
    const Case cases[] = {
        {"INDI", Templates::RecordTemplate}, {"FAM", Templates::RecordTemplate},  {"SOUR", Templates::RecordTemplate},
        {"NOTE", Templates::RecordTemplate}, {"OBJE", Templates::RecordTemplate}, {"REPO", Templates::RecordTemplate},
        {"SUBM", Templates::RecordTemplate}, {"SUBN", Templates::RecordTemplate}, {"HEAD", Templates::RecordTemplate},
        {"_LOG", Templates::RecordTemplate}, {"_PLC", Templates::RecordTemplate}, {"_BOK", Templates::RecordTemplate},
        {"_RPT", Templates::RecordTemplate}, {"_Unknown_", Templates::RecordTemplate},
        {"DATE", Templates::TagTemplate},    {"NAME", Templates::TagTemplate},    {"SEX", Templates::TagTemplate},
        {"FILE", Templates::TagTemplate},    {"PLAC", Templates::TagTemplate},    {"CONC", Templates::TagTemplate},
        {"CONT", Templates::TagTemplate},    {"_BOX", Templates::TagTemplate},    {"_BODY", Templates::TagTemplate},
        {"_Unknown_", Templates::TagTemplate}, {"_Event", Templates::TagTemplate},
    };
    const char* linkTags[] = {"FAMC", "FAMS", "HUSB", "WIFE", "CHIL", "SOUR", "NOTE", "OBJE", "REPO", "SUBM",
                              "SUBN", "ANCI", "DESI", "ALIA", "ASSO", "_LOG", "_INDI", "_FAM", "__PLC"};
    auto found = [&](const std::string& name, int type) {
        templates_->startStack();
        const bool ok = templates_->getTemplate(name, type, std::nullopt, true, name) != nullptr;
        templates_->removeLastTemplate(true);
        return ok;
    };
    for (const Case& c : cases) EXPECT_TRUE(found(c.name, c.type)) << c.name;
    for (const char* tag : linkTags) EXPECT_TRUE(found(tag, Templates::TagTemplate)) << tag;
}

TEST_F(DefaultFormatTemplates, CellsAreOfKnownKinds) {
    const std::regex cell(R"(^\s*Cell\s+(\w+))", std::regex::multiline | std::regex::icase);
    std::size_t cells = 0;
    for (std::size_t i = 0; i < templates_->templatesByName().size(); ++i) {
        const std::string& name = templates_->templatesByName().keyAt(i);
        const std::string text = templates_->templatesByName().valueAt(i).toString();
        for (auto m = std::sregex_iterator(text.begin(), text.end(), cell); m != std::sregex_iterator(); ++m) {
            EXPECT_TRUE(TemplateCommandSet::isCellKind((*m)[1].str())) << name << ": " << m->str();
            ++cells;
        }
    }
    EXPECT_GT(cells, 30u);
}

}  // namespace
}  // namespace kl
